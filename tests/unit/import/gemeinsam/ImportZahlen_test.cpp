#include "gemeinsam/ImportZahlen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gemeinsam/Kalender.h"

namespace {

constexpr Zahlenstil de = Zahlenstil::deutsch;
constexpr Zahlenstil en = Zahlenstil::englisch;
constexpr Zahlenstil ch = Zahlenstil::schweizerisch;
constexpr Zahlenstil fr = Zahlenstil::franzoesisch;

// The kind of a refusal: its text up to what was expected.
std::string art(const std::string& fehler) {
  return "! " + fehler.substr(0, fehler.find(", erwartet"));
}

// The value with the currency it carried, "leer", or the refusal.
std::string betrag(const std::string& text, Zahlenstil stil, uint64_t einheit,
                   bool ganzerFehler = false) {
  std::string fehler;
  const Betrag b = leseBetrag(text, stil, einheit, fehler);
  if (b.art == Betrag::kLeer) return "leer";
  if (b.art == Betrag::kFehler)
    return ganzerFehler ? "! " + fehler : art(fehler);
  return std::to_string(b.wert) + (b.waehrung.empty() ? "" : " " + b.waehrung);
}

std::string faktor(const std::string& text, Zahlenstil stil) {
  std::string fehler;
  const auto wert = leseFaktor(text, stil, fehler);
  return wert ? std::to_string(*wert) : art(fehler);
}

std::string datum(const std::string& text) {
  std::string fehler;
  const auto d = leseDatum(text, fehler);
  if (!d) return art(fehler);
  return std::to_string(d->tag) + "." + std::to_string(d->monat) + "." +
         std::to_string(d->jahr);
}

struct BetragFall {
  std::string text;
  Zahlenstil stil;
  uint64_t einheit;
  std::string erwartet;
};

}  // namespace

TEST(ImportZahlen, BetraegeWerdenExaktSkaliertUndNieGeraten) {
  const std::vector<BetragFall> faelle = {
      {"1.234.567", de, 1, "1234567"},
      {"1234567", de, 1, "1234567"},
      {" -1.427,9 ", de, 1000000, "-1427900000"},
      {"+0,5", de, 1000, "500"},
      {"0,000", de, 1, "0"},
      {"2,5", de, 2, "5"},
      {"4,812.3", en, 1000000, "4812300000"},
      {"1.234", en, 1000, "1234"},
      {"1.234", de, 1000, "1234000"},
      {"9.223.372.036.854.775.807", de, 1, "9223372036854775807"},
      {"-9223372036854775808", en, 1, "-9223372036854775808"},
      {"-9.223.372.036.854,775808", de, 1000000, "-9223372036854775808"},
      {"1,5", de, 1, "! ergibt mal Einheit 1 keinen ganzen Betrag"},
      {"1.427,9005", de, 1000,
       "! ergibt mal Einheit 1000 keinen ganzen Betrag"},
      {"1,3", de, 2, "! ergibt mal Einheit 2 keinen ganzen Betrag"},
      {"1,00000000000000000000000000001", de, 1000000,
       "! ergibt mal Einheit 1000000 keinen ganzen Betrag"},
      {"9223372036854775808", de, 1,
       "! liegt mal Einheit 1 ausserhalb des "
       "64-Bit-Bereichs"},
      {"9.223.372.036.854,775808", de, 1000000,
       "! liegt mal Einheit 1000000 ausserhalb des 64-Bit-Bereichs"},
      {"1.23", de, 1, "! hat ein Tausendertrennzeichen an falscher Stelle"},
      {"1.2345", de, 1, "! hat ein Tausendertrennzeichen an falscher Stelle"},
      {"1234.567", de, 1, "! hat ein Tausendertrennzeichen an falscher Stelle"},
      {"1,234.5", de, 1, "! hat ein Tausendertrennzeichen an falscher Stelle"},
      {"1,23", en, 1, "! hat ein Tausendertrennzeichen an falscher Stelle"},
      {"1.234.567", en, 1, "! ist keine Zahl"},
      {",5", de, 1000, "! ist keine Zahl"},
      {"1,", de, 1000, "! ist keine Zahl"},
      {"-", de, 1, "leer"},
      {"1e6", en, 1, "! ist keine Zahl"},
      {"1 234", de, 1, "! ist keine Zahl"},
      {"(5.000)", de, 1, "-5000"},
      {"  ", de, 1, "leer"},
  };
  for (const BetragFall& f : faelle) {
    EXPECT_EQ(f.erwartet, betrag(f.text, f.stil, f.einheit))
        << f.text << " mal " << f.einheit;
  }
}

TEST(ImportZahlen, FaktorenSindZahlenDesStilsGroesserAlsNull) {
  std::string fehler;
  EXPECT_EQ(1.0824, leseFaktor("1,0824", de, fehler).value_or(0));
  EXPECT_EQ(1.0824, leseFaktor("1.0824", en, fehler).value_or(0));
  EXPECT_EQ("1000.500000", faktor("1.000,5", de));
  EXPECT_EQ("1000.500000", faktor("1,000.5", en));
  EXPECT_EQ("! ist kein Faktor groesser als 0", faktor("0", de));
  EXPECT_EQ("! ist kein Faktor groesser als 0", faktor("-1,2", de));
  EXPECT_EQ("! hat ein Tausendertrennzeichen an falscher Stelle",
            faktor("1,13", en));
  EXPECT_EQ("! liegt ausserhalb des Zahlenbereichs",
            faktor(std::string(400, '9'), en));
  EXPECT_EQ("! liegt ausserhalb des Zahlenbereichs",
            faktor("0." + std::string(400, '0') + "1", en));
}

// A factor is stored as the shortest decimal of its double: it must be the
// number given, or the shown amounts would be off without a word.
TEST(ImportZahlen, FaktorenGenauOderAbgelehnt) {
  const std::string kZuGenau = "! ist als Faktor nicht genau darstellbar";
  const std::vector<std::pair<std::string, std::string>> faelle = {
      {"1,10000000000000", "1.100000"},
      {"0,30000000000000004", "0.300000"},
      {"9.007.199.254.740.992", "9007199254740992.000000"},
      {"0,000001234", "0.000001"},
      {"1,00000000000000001", kZuGenau + " (gespeichert wuerde 1)"},
      {"9.007.199.254.740.993",
       kZuGenau + " (gespeichert wuerde 9007199254740992)"},
      {"0,12345678901234567",
       kZuGenau + " (gespeichert wuerde 0,12345678901234566)"},
  };
  for (const auto& [text, erwartet] : faelle) {
    EXPECT_EQ(erwartet, faktor(text, de)) << text;
  }
  std::string fehler;
  EXPECT_FALSE(leseFaktor("1.00000000000000001", en, fehler));
  EXPECT_EQ(
      "ist als Faktor nicht genau darstellbar (gespeichert wuerde 1), "
      "erwartet hoechstens 15 gueltige Ziffern",
      fehler);
}

TEST(ImportZahlen, DatenInDenDreiFormenUndNurTageDesKalenders) {
  const std::vector<std::pair<const char*, const char*>> faelle = {
      {"31.12.2020", "31.12.2020"},
      {"2020-12-31", "31.12.2020"},
      {"31-12-2020", "31.12.2020"},
      {" 1.2.2020 ", "1.2.2020"},
      {"2024-2-29", "29.2.2024"},
      {"29.02.2023", "! ist kein Tag des Kalenders"},
      {"2020-02-30", "! ist kein Tag des Kalenders"},
      {"31.04.2020", "! ist kein Tag des Kalenders"},
      {"00.01.2020", "! ist kein Tag des Kalenders"},
      {"31.13.2020", "! ist kein Tag des Kalenders"},
      {"01-01-0000", "! ist kein Tag des Kalenders"},
      {"12/31/2020", "! ist kein Datum"},
      {"2020-12-31 00:00", "! ist kein Datum"},
      {"31.12.20", "! ist kein Datum"},
      {"31.12.2020.", "! ist kein Datum"},
      {"031.12.2020", "! ist kein Datum"},
      {"31.12-2020", "! ist kein Datum"},
      {"", "! ist leer"},
  };
  for (const auto& [text, erwartet] : faelle) {
    EXPECT_EQ(erwartet, datum(text)) << text;
  }
}

TEST(ImportZahlen, FinanzschreibweisenInVierStilen) {
  const std::string nbsp = "\xC2\xA0", schmal = "\xE2\x80\xAF";
  const std::string euro = "\xE2\x82\xAC", minus = "\xE2\x88\x92";
  const std::string keineDe =
      "! ist keine Zahl, erwartet eine Zahl im deutschen Format wie "
      "1.234.567,8";
  const std::vector<BetragFall> faelle = {
      {"(1.234)", de, 1, "-1234"},
      {" ( 1.234,5 ) ", de, 10, "-12345"},
      {"(1,234.5)", en, 10, "-12345"},
      {"(0)", de, 1, "0"},
      {(minus + "1.234"), de, 1, "-1234"},
      {(euro + " 1.234"), de, 1, "1234 \xE2\x82\xAC"},
      {("1.234,5" + nbsp + euro), de, 10, "12345 \xE2\x82\xAC"},
      {("-" + euro + "1,234"), en, 1, "-1234 \xE2\x82\xAC"},
      {"$-1,234", en, 1, "-1234 $"},
      {"($1,234)", en, 1, "-1234 $"},
      {"$ (1,234)", en, 1, "-1234 $"},
      {"(1.234) EUR", de, 1, "-1234 EUR"},
      {"USD 5", en, 1, "5 USD"},
      {"\xC2\xA3"
       "5",
       en, 1, "5 \xC2\xA3"},
      {"5 CHF", ch, 1, "5 CHF"},
      {"-", de, 1, "leer"},
      {" \xE2\x80\x93 ", de, 1, "leer"},
      {minus, de, 1, "leer"},
      {"n/a", en, 1, "leer"},
      {"N/A", en, 1, "leer"},
      {"1'234'567.8", ch, 10, "12345678"},
      {"1\xE2\x80\x99"
       "234\xE2\x80\x99"
       "567.8",
       ch, 10, "12345678"},
      {"1 234 567,8", fr, 10, "12345678"},
      {("1" + nbsp + "234" + schmal + "567,8"), fr, 10, "12345678"},
      {("(1 234,5" + nbsp + euro + ")"), fr, 10, "-12345 \xE2\x82\xAC"},
      {"(9 223 372 036 854 775 808)", fr, 1, "-9223372036854775808"},
      {"(-5)", de, 1, keineDe},
      {"-(5)", de, 1, keineDe},
      {"((5))", de, 1, keineDe},
      {"EUR 5 EUR", de, 1, keineDe},
      {"EUR", de, 1, keineDe},
      {"()", de, 1, keineDe},
      {"- 5", de, 1, keineDe},
      {"5-", de, 1, keineDe},
      {"5 GBP", de, 1, "5 GBP"},
      {"5 Gbp", de, 1, keineDe},
      {"5 GBPX", de, 1, keineDe},
      {"1'234", de, 1, keineDe},
      {"1,234", ch, 1,
       "! ist keine Zahl, erwartet eine Zahl im Schweizer Format wie "
       "1'234'567.8"},
      {"1.234,5", fr, 1,
       "! ist keine Zahl, erwartet eine Zahl im franzoesischen Format wie "
       "1 234 567,8"},
      {"1'23'4", ch, 1,
       "! hat ein Tausendertrennzeichen an falscher Stelle, erwartet "
       "Dreiergruppen wie 1'234'567.8"},
      {"1 23,5", fr, 1,
       "! hat ein Tausendertrennzeichen an falscher Stelle, erwartet "
       "Dreiergruppen wie 1 234 567,8"},
      {"1  234", fr, 1,
       "! hat ein Tausendertrennzeichen an falscher Stelle, erwartet "
       "Dreiergruppen wie 1 234 567,8"},
      {"(1,5)", de, 1,
       "! ergibt mal Einheit 1 keinen ganzen Betrag, erwartet eine ganze Zahl"},
      {"(9 223 372 036 854 775 809)", fr, 1,
       "! liegt mal Einheit 1 ausserhalb des 64-Bit-Bereichs, erwartet "
       "-9 223 372 036 854 775 808 bis 9 223 372 036 854 775 807"},
  };
  for (const BetragFall& f : faelle) {
    EXPECT_EQ(f.erwartet, betrag(f.text, f.stil, f.einheit, true))
        << f.text << " mal " << f.einheit;
  }
}

TEST(ImportZahlen, GespeicherteZahlenUndTagesnummernExakt) {
  const auto gespeichert = [](const char* text, uint64_t einheit) {
    std::string fehler;
    const auto wert = leseGespeichertenBetrag(text, einheit, fehler);
    return wert ? std::to_string(*wert) : "! " + fehler;
  };
  const std::string keine =
      "! ist keine gespeicherte Zahl, erwartet eine Zahl wie 1427.9 oder "
      "4.8123E3";
  const std::vector<std::pair<std::string, std::string>> zahlen = {
      {gespeichert("1427.9", 1000000), "1427900000"},
      {gespeichert("-3.5E-2", 1000), "-35"},
      {gespeichert("4.8123E3", 10), "48123"},
      {gespeichert("4812300000", 1), "4812300000"},
      {gespeichert(".5", 2), "1"},
      {gespeichert("+5.", 1), "5"},
      {gespeichert("0E999999999", 1000), "0"},
      {gespeichert("9.223372036854775807e18", 1), "9223372036854775807"},
      {gespeichert("-9223372036854775808", 1), "-9223372036854775808"},
      // a double printed with 16 or 17 digits is the number it shows
      {gespeichert("97.59999999999999", 1000000), "97600000"},
      {gespeichert("9887.200000000001", 10), "98872"},
      {gespeichert("12345678901234567", 1), "12345678901234567"},
      {gespeichert("0.30000000000000004", 10),
       "! ergibt mal Einheit 10 keinen ganzen Betrag, erwartet hoechstens 1 "
       "Nachkommastelle"},
      {gespeichert("4.8123E3", 1),
       "! ergibt mal Einheit 1 keinen ganzen Betrag, erwartet eine ganze Zahl"},
      {gespeichert("1E-999999999", 1000000),
       "! ergibt mal Einheit 1000000 keinen ganzen Betrag, erwartet "
       "hoechstens 6 Nachkommastellen"},
      {gespeichert("1E999999999", 1),
       "! liegt mal Einheit 1 ausserhalb des 64-Bit-Bereichs, erwartet "
       "-9223372036854775808 bis 9223372036854775807"},
      {gespeichert("1427,9", 1), keine},
      {gespeichert(" 5", 1), keine},
      {gespeichert("1e", 1), keine},
      {gespeichert("e5", 1), keine},
      {gespeichert("INF", 1), keine},
      {gespeichert("--5", 1), keine},
      {gespeichert("", 1), keine},
  };
  for (const auto& [ist, soll] : zahlen) EXPECT_EQ(soll, ist);

  const auto tag = [](const char* text, const Datum& nullpunkt) {
    std::string fehler;
    const auto d = leseTagesnummer(text, nullpunkt, fehler);
    if (!d) return "! " + fehler;
    return std::to_string(d->tag) + "." + std::to_string(d->monat) + "." +
           std::to_string(d->jahr);
  };
  const std::string ausserhalb =
      "! ist keine Tagesnummer eines Tages vom 1.3.1900 bis zum 31.12.9999, "
      "erwartet das Datum eines Berichts";
  const std::vector<std::pair<std::string, std::string>> tage = {
      {tag("44926", kNullpunkt1900), "31.12.2022"},
      {tag("44926.75", kNullpunkt1900), "31.12.2022"},
      {tag("4.4926E4", kNullpunkt1900), "31.12.2022"},
      {tag("43464", kNullpunkt1904), "31.12.2022"},
      {tag("45351", kNullpunkt1900), "29.2.2024"},
      {tag("61", kNullpunkt1900), "1.3.1900"},
      {tag("2958465.9", kNullpunkt1900), "31.12.9999"},
      {tag("-0", kNullpunkt1904), "1.1.1904"},
      {tag("60", kNullpunkt1900), ausserhalb},
      {tag("2958466", kNullpunkt1900), ausserhalb},
      {tag("-1", kNullpunkt1904), ausserhalb},
      {tag("-0.5", kNullpunkt1904), ausserhalb},
      {tag("1E300", kNullpunkt1900), ausserhalb},
      {tag("31.12.2022", kNullpunkt1900),
       "! ist keine Tagesnummer, erwartet eine Zahl wie 44926"},
  };
  for (const auto& [ist, soll] : tage) EXPECT_EQ(soll, ist);
}
