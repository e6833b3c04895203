#include "berichte/Sec.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "gemeinsam/Kalender.h"

namespace {

// One value of company facts: "Konzept" (in us-gaap), unit, start ("" for
// an instant), end, val as written, form, filed, accn.
struct Wert {
  std::string konzept, einheit, start, ende, val, form, filed, accn;
};

// The four values of a fiscal year from start to end, filed with a 10-K.
std::vector<Wert> jahr(const std::string& start, const std::string& ende,
                       const std::string& filed = "2024-03-20") {
  return {{"Revenues", "USD", start, ende, "100", "10-K", filed, "a"},
          {"NetIncomeLoss", "USD", start, ende, "-7", "10-K", filed, "a"},
          {"Assets", "USD", "", ende, "300", "10-K", filed, "a"},
          {"StockholdersEquity", "USD", "", ende, "40", "10-K", filed, "a"}};
}

// `werte` in the currency `einheit`.
std::vector<Wert> in(const std::string& einheit, std::vector<Wert> werte) {
  for (Wert& w : werte) w.einheit = einheit;
  return werte;
}

std::vector<Wert> mit(std::vector<Wert> werte, const std::vector<Wert>& dazu) {
  werte.insert(werte.end(), dazu.begin(), dazu.end());
  return werte;
}

std::string secJson(const std::vector<Wert>& werte) {
  std::map<std::string, std::map<std::string, std::string>> konzepte;
  for (const Wert& w : werte) {
    std::string& liste = konzepte[w.konzept][w.einheit];
    liste += std::string(liste.empty() ? "" : ",") + "{" +
             (w.start.empty() ? "" : "\"start\":\"" + w.start + "\",") +
             "\"end\":\"" + w.ende + "\",\"val\":" + w.val + ",\"accn\":\"" +
             w.accn + "\",\"fy\":2024,\"fp\":\"FY\"," + "\"form\":\"" + w.form +
             "\",\"filed\":\"" + w.filed + "\"}";
  }
  std::string text =
      "{\"cik\":\"0000000042\",\"entityName\":\"Muster Inc.\",\"facts\":{"
      "\"dei\":{\"EntityCommonStockSharesOutstanding\":{\"label\":null,"
      "\"units\":{\"shares\":[{\"end\":\"2024-03-01\",\"val\":5}]}}},"
      "\"us-gaap\":{";
  bool erstes = true;
  for (const auto& [konzept, einheiten] : konzepte) {
    text += std::string(erstes ? "" : ",") + "\"" + konzept +
            "\":{\"label\":\"x\",\"units\":{";
    erstes = false;
    bool ersteEinheit = true;
    for (const auto& [einheit, liste] : einheiten) {
      text += std::string(ersteEinheit ? "" : ",") + "\"" + einheit + "\":[" +
              liste + "]";
      ersteEinheit = false;
    }
    text += "}}";
  }
  return text + "}}}";
}

// The reports read from `json` as "DATE CUR AMOUNTS", then the warnings;
// or the message of the failure.
std::string lies(const std::string& json) {
  const std::string puffer = json + std::string(kJsonPolster, '\0');
  oj::parser parser;
  JsonLeser leser(parser, std::string_view(puffer.data(), json.size()), "t");
  Befund befund;
  if (leser.art() != Jsonart::sec || !leseSec(leser, befund)) {
    return leser.meldung();
  }
  std::string text = befund.firma.name + " (" + befund.firma.kennung + ")\n";
  for (const ImportBericht& b : befund.firma.berichte) {
    text += isoText(b.datum) + " " + b.waehrung;
    for (int64_t betrag : b.betrag) text += " " + std::to_string(betrag);
    text += "\n";
  }
  for (const std::string& h : befund.hinweise) text += h;
  return text + befund.unvollstaendig + befund.andereWaehrung;
}

const std::string kFirma = "Muster Inc. (CIK 42)\n";
const std::string kWarnung =
    "quorvell-import: Warnung: Firma \"Muster Inc.\" (CIK 42): ";

}  // namespace

TEST(ImportSec, JahreAusJahresformularenMitRangStandUndWaehrung) {
  const std::vector<Wert> y24 = jahr("2023-02-01", "2024-01-31");
  const char* const kVertrag =
      "RevenueFromContractWithCustomerExcludingAssessedTax";
  // A revenue fact of the year of y24; its accn "b" counts over y24's "a".
  const auto umsatz = [](const char* konzept, const char* val) {
    return Wert{konzept, "USD",  "2023-02-01", "2024-01-31",
                val,     "10-K", "2024-03-20", "b"};
  };
  struct Fall {
    const char* was;
    std::vector<Wert> werte;
    std::string erwartet;
  };
  const std::vector<Fall> faelle = {
      {"one year, the dei facts passed over", y24,
       kFirma + "2024-01-31 USD 100 -7 300 40\n"},
      {"the concept first in order wins, year by year",
       mit(mit(y24, jahr("2022-02-01", "2023-01-31")),
           {{"RevenueFromContractWithCustomerExcludingAssessedTax", "USD",
             "2023-02-01", "2024-01-31", "111", "10-K", "2024-03-20", "a"}}),
       kFirma + "2024-01-31 USD 111 -7 300 40\n2023-01-31 USD 100 -7 300 40\n"},
      {"restated: the later filing, on the same day the greater accn",
       mit(y24, {{"Revenues", "USD", "2023-02-01", "2024-01-31", "105", "10-K",
                  "2025-03-20", "b"},
                 {"Assets", "USD", "", "2024-01-31", "301", "10-K/A",
                  "2024-03-20", "b"},
                 {"NetIncomeLoss", "USD", "2023-02-01", "2024-01-31", "-7",
                  "10-K", "2025-03-20", "c"}}),
       kFirma + "2024-01-31 USD 105 -7 301 40\n"},
      {"only annual forms; 350 to 380 days; quarters never make a year",
       mit(jahr("2022-01-31", "2023-01-15"),
           {{"Revenues", "USD", "2023-01-16", "2024-01-31", "9", "10-K",
             "2024-03-20", "a"},
            {"NetIncomeLoss", "USD", "2023-11-01", "2024-01-31", "1", "10-K",
             "2024-03-20", "a"},
            {"Revenues", "USD", "2024-02-01", "2025-01-31", "1", "10-Q",
             "2025-03-01", "q"},
            {"Revenues", "USD", "2025-02-01", "2026-02-15", "1", "10-K",
             "2026-03-01", "a"},
            {"Assets", "USD", "", "2026-02-15", "1", "10-K", "2026-03-01",
             "a"}}),
       kFirma + "2023-01-15 USD 100 -7 300 40\n" + kWarnung +
           "unvollstaendiges Jahr ausgelassen: 2026-02-15 ohne Gewinn, "
           "Eigenkapital\n"},
      {"the total's currency: US dollars where there are several",
       {{"Revenues", "EUR", "2023-02-01", "2024-01-31", "90", "20-F",
         "2024-03-20", "a"},
        {"NetIncomeLoss", "USD", "2023-02-01", "2024-01-31", "1", "20-F",
         "2024-03-20", "a"},
        {"Assets", "EUR", "", "2024-01-31", "270", "20-F", "2024-03-20", "a"},
        {"Assets", "USD", "", "2024-01-31", "300", "20-F", "2024-03-20", "a"},
        {"StockholdersEquity", "USD", "", "2024-01-31", "4", "20-F",
         "2024-03-20", "a"}},
       kFirma + kWarnung +
           "unvollstaendiges Jahr ausgelassen: 2024-01-31 ohne Umsatz\n"},
      {"a trader: total revenue more than a quarter above contract revenue",
       mit(y24, {umsatz(kVertrag, "24956"), umsatz("Revenues", "80269")}),
       kFirma + "2024-01-31 USD 80269 -7 300 40\n"},
      {"an oil producer: a smaller total leaves the contract revenue",
       mit(y24, {umsatz(kVertrag, "2801"), umsatz("Revenues", "2299")}),
       kFirma + "2024-01-31 USD 2801 -7 300 40\n"},
      {"exactly a quarter more is not more; the second total then counts",
       mit(y24, {umsatz(kVertrag, "80"), umsatz("Revenues", "100"),
                 umsatz("RevenuesNetOfInterestExpense", "101")}),
       kFirma + "2024-01-31 USD 101 -7 300 40\n"},
      {"a translation into dollars beside the reporting currency; a year "
       "complete only in dollars",
       mit(mit(mit(in("TWD", y24), in("TWD", jahr("2022-02-01", "2023-01-31"))),
               y24),
           jahr("2021-02-01", "2022-01-31")),
       kFirma + "2024-01-31 TWD 100 -7 300 40\n2023-01-31 TWD 100 -7 300 40\n" +
           kWarnung +
           "Jahr in anderer Waehrung ausgelassen: 2022-01-31 nur in USD "
           "vollstaendig; die Berichte stehen in TWD, eine Waehrung je "
           "Firma\n"},
      {"a fraction and a value beyond 64 bits leave their years out",
       mit(mit(mit(y24, jahr("2022-02-01", "2023-01-31")),
               jahr("2021-02-01", "2022-01-31")),
           {{"Assets", "USD", "", "2023-01-31", "2.5", "10-K", "2025-01-01",
             "a"},
            {"NetIncomeLoss", "USD", "2021-02-01", "2022-01-31", "1e400",
             "10-K", "2025-01-01", "a"}}),
       kFirma + "2024-01-31 USD 100 -7 300 40\n" +
           "t: Warnung: Firma \"Muster Inc.\" (CIK 42): us-gaap:Assets am "
           "2023-01-31: \"2.5\" ist keine ganze Zahl; Jahr 2023-01-31 "
           "ausgelassen\n"
           "t: Warnung: Firma \"Muster Inc.\" (CIK 42): us-gaap:NetIncomeLoss "
           "2021-02-01 bis 2022-01-31: \"1e400\" liegt ausserhalb des "
           "64-Bit-Bereichs; Jahr 2022-01-31 ausgelassen\n"},
      {"a member of the wrong type damages the file",
       mit(y24, {{"Assets", "USD", "", "2023-01-31", "\"5\"", "10-K",
                  "2024-03-20", "a"}}),
       "t:1:339: \"val\" ist keine Zahl\n"},
  };
  for (const Fall& f : faelle) {
    EXPECT_EQ(f.erwartet, lies(secJson(f.werte))) << f.was;
  }
  EXPECT_EQ(
      "t:1:8: JSON fehlerhaft: ein Komma, ein Doppelpunkt oder eine "
      "Klammer fehlt oder steht falsch\n",
      lies("{\"cik\" 1, \"entityName\": \"A\", \"facts\": {}}"));
}
