#include "berichte/Xbrl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gemeinsam/Kalender.h"

namespace {

// One fact: concept (in ifrs-full), period, unit, value as JSON, and any
// further dimension as `"axis": "member"` text.
struct Angabe {
  std::string konzept, zeitraum, einheit, wert, weitere;
};

const std::string kJahr = "2021-04-01T00:00:00/2022-04-01T00:00:00";
const std::string kBilanz = "2022-04-01T00:00:00";

std::vector<Angabe> jahr(const std::string& zeitraum = kJahr,
                         const std::string& bilanz = kBilanz) {
  return {{"Revenue", zeitraum, "iso4217:GBP", "\"302632000\"", ""},
          {"ProfitLoss", zeitraum, "iso4217:GBP", "\"35768000\"", ""},
          {"Assets", bilanz, "iso4217:GBP", "\"207222000\"", ""},
          {"Equity", bilanz, "iso4217:GBP", "\"107690000\"", ""}};
}

std::vector<Angabe> mit(std::vector<Angabe> fakten,
                        const std::vector<Angabe>& dazu) {
  fakten.insert(fakten.end(), dazu.begin(), dazu.end());
  return fakten;
}

const Angabe kName = {"NameOfReportingEntityOrOtherMeansOfIdentification",
                      kJahr, "", "\"Kainos Group plc\"", ""};

std::string xbrlJson(const std::vector<Angabe>& fakten) {
  std::string text =
      "{\"documentInfo\":{\"documentType\":\"https://xbrl.org/2021/"
      "xbrl-json\",\"namespaces\":{}},\"facts\":{";
  for (size_t i = 0; i < fakten.size(); ++i) {
    const Angabe& f = fakten[i];
    text += std::string(i > 0 ? "," : "") + "\"f" + std::to_string(i) +
            "\":{\"value\":" + f.wert + ",\"decimals\":-3," +
            "\"dimensions\":{\"concept\":\"ifrs-full:" + f.konzept +
            "\",\"entity\":\"scheme:213800H2PQMIF3OVZY47\",\"period\":\"" +
            f.zeitraum + "\"" +
            (f.einheit.empty() ? "" : ",\"unit\":\"" + f.einheit + "\"") +
            (f.weitere.empty() ? "" : "," + f.weitere) + "}}";
  }
  return text + "}}";
}

// The reports read from the files `dateien`, in this order, as "DATE CUR
// AMOUNTS", then the warnings; or the message of the first failure.
std::string lies(const std::vector<std::string>& dateien) {
  oj::parser parser;
  Berichtssammlung sammlung;
  for (size_t i = 0; i < dateien.size(); ++i) {
    const std::string puffer = dateien[i] + std::string(kJsonPolster, '\0');
    JsonLeser leser(parser, std::string_view(puffer.data(), dateien[i].size()),
                    "d" + std::to_string(i + 1));
    if (leser.art() != Jsonart::xbrl || !leseXbrl(leser, sammlung)) {
      return leser.meldung();
    }
  }
  std::string text;
  for (Befund& befund : sammlung.befunde()) {
    text += befund.firma.name + " (" + befund.firma.kennung + ")\n";
    for (const ImportBericht& b : befund.firma.berichte) {
      text += isoText(b.datum) + " " + b.waehrung;
      for (int64_t betrag : b.betrag) text += " " + std::to_string(betrag);
      text += "\n";
    }
    for (const std::string& h : befund.hinweise) text += h;
    text += befund.unvollstaendig;
  }
  return text;
}

const std::string kFirma = "Kainos Group plc (LEI 213800H2PQMIF3OVZY47)\n";
const std::string kBericht =
    "2022-03-31 GBP 302632000 35768000 207222000 107690000\n";

}  // namespace

TEST(ImportXbrl, SummenOhneAchsenMitExklusivenEnden) {
  struct Fall {
    const char* was;
    std::vector<std::vector<Angabe>> dateien;
    std::string erwartet;
  };
  const std::string vorjahr = "2020-04-01T00:00:00/2021-04-01T00:00:00";
  const std::vector<Fall> faelle = {
      {"exclusive ends: the year and the balance of 2022-03-31",
       {mit(jahr(), {kName})},
       kFirma + kBericht},
      {"dates alone are inclusive; a whole-unit decimal text",
       {mit(jahr("2021-04-01/2022-03-31", "2022-03-31"),
            {kName,
             {"Revenue", "2020-04-01/2021-03-31", "iso4217:GBP", "\"1.0\"",
              ""}})},
       kFirma + kBericht +
           "quorvell-import: Warnung: Firma \"Kainos Group plc\" (LEI "
           "213800H2PQMIF3OVZY47): unvollstaendiges Jahr ausgelassen: "
           "2021-03-31 ohne Gewinn, Bilanzsumme, Eigenkapital\n"},
      {"a breakdown by an axis is passed over; the first concept counts",
       {mit(jahr(),
            {kName,
             {"Equity", kBilanz, "iso4217:GBP", "\"1\"",
              "\"ifrs-full:ComponentsOfEquityAxis\":\"ifrs-full:"
              "RetainedEarningsMember\""},
             {"EquityAttributableToOwnersOfParent", kBilanz, "iso4217:GBP",
              "\"2\"", ""},
             {"RevenueFromContractsWithCustomers", kJahr, "iso4217:GBP",
              "\"3\"", ""},
             {"Revenue", kJahr, "iso4217:GBP", "\"302632000.00\"", ""}})},
       kFirma + kBericht},
      {"a duration of 349 days, a value that is no currency, null",
       {mit({kName,
             {"Revenue", "2021-04-17T00:00:00/2022-04-01T00:00:00",
              "iso4217:GBP", "\"1\"", ""},
             {"ProfitLoss", vorjahr, "iso4217:GBP", "\"2\"", ""},
             {"Assets", "2021-04-01T00:00:00", "xbrli:pure", "\"3\"", ""},
             {"Equity", "2021-04-01T00:00:00", "iso4217:GBP", "null", ""}},
            {})},
       kFirma.substr(0, kFirma.size() - 1) +
           "\nquorvell-import: Warnung: Firma \"Kainos Group plc\" (LEI "
           "213800H2PQMIF3OVZY47): unvollstaendiges Jahr ausgelassen: "
           "2021-03-31 ohne Umsatz, Bilanzsumme, Eigenkapital\n"},
      {"a fraction and a contradicting duplicate leave their years out",
       {mit(jahr(), {kName,
                     {"Revenue", vorjahr, "iso4217:GBP", "\"234694000\"", ""},
                     {"ProfitLoss", vorjahr, "iso4217:GBP", "\"39601000\"", ""},
                     {"Assets", "2021-04-01T00:00:00", "iso4217:GBP",
                      "\"164462000.5\"", ""},
                     {"Equity", "2021-04-01T00:00:00", "iso4217:GBP",
                      "\"87608000\"", ""},
                     {"Equity", kBilanz, "iso4217:GBP", "\"9\"", ""}})},
       kFirma + "d1: Warnung: Firma \"Kainos Group plc\" (LEI "
                "213800H2PQMIF3OVZY47): ifrs-full:Equity am 2022-03-31: "
                "\"107690000\" und \"9\" widersprechen sich; Jahr 2022-03-31 "
                "ausgelassen\n"
                "d1: Warnung: Firma \"Kainos Group plc\" (LEI "
                "213800H2PQMIF3OVZY47): ifrs-full:Assets am 2021-03-31: "
                "\"164462000.5\" ist keine ganze Zahl; Jahr 2021-03-31 "
                "ausgelassen\n"},
      {"the file with the later newest report restates, and names",
       {mit(jahr(vorjahr, "2021-04-01T00:00:00"),
            {{"NameOfReportingEntityOrOtherMeansOfIdentification", vorjahr, "",
              "\"Kainos Alt\"", ""}}),
        mit(mit(jahr(), {kName}),
            {{"Revenue", vorjahr, "iso4217:GBP", "\"234694000\"", ""}})},
       kFirma + kBericht +
           "2021-03-31 GBP 234694000 35768000 207222000 107690000\n"},
      {"no name: the LEI stands for it",
       {jahr()},
       "213800H2PQMIF3OVZY47 (LEI 213800H2PQMIF3OVZY47)\n" + kBericht +
           "d1: Warnung: Firma mit LEI 213800H2PQMIF3OVZY47: kein Name "
           "(ifrs-full:NameOfReportingEntityOrOtherMeansOfIdentification); "
           "als Name steht \"213800H2PQMIF3OVZY47\"\n"},
      {"a period that is none damages the file",
       {mit(jahr(), {{"Revenue", "2022", "iso4217:GBP", "\"1\"", ""}})},
       "d1:1:846: \"period\": \"2022\" ist kein Zeitraum, erwartet etwa "
       "2021-04-01T00:00:00/2022-04-01T00:00:00 oder 2022-03-31\n"},
  };
  for (const Fall& f : faelle) {
    std::vector<std::string> dateien;
    for (const std::vector<Angabe>& d : f.dateien)
      dateien.push_back(xbrlJson(d));
    EXPECT_EQ(f.erwartet, lies(dateien)) << f.was;
  }
  EXPECT_EQ(
      "d1:1:68: JSON fehlerhaft: ein Komma, ein Doppelpunkt oder eine "
      "Klammer fehlt oder steht falsch\n",
      lies({"{\"documentInfo\":{\"documentType\":\"https://xbrl.org/"
            "2021/xbrl-json\"} \"facts\":{}}"}));
}
