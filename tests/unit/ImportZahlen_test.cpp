#include "ImportZahlen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr Zahlenstil de = Zahlenstil::deutsch;
constexpr Zahlenstil en = Zahlenstil::englisch;

// The kind of a refusal: its text up to what was expected.
std::string art(const std::string& fehler) {
  return "! " + fehler.substr(0, fehler.find(", erwartet"));
}

std::string betrag(const std::string& text, Zahlenstil stil, uint64_t einheit) {
  std::string fehler;
  const auto wert = leseBetrag(text, stil, einheit, fehler);
  return wert ? std::to_string(*wert) : art(fehler);
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
  const char* text;
  Zahlenstil stil;
  uint64_t einheit;
  const char* erwartet;
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
      {"-", de, 1, "! ist keine Zahl"},
      {"1e6", en, 1, "! ist keine Zahl"},
      {"1 234", de, 1, "! ist keine Zahl"},
      {"(5.000)", de, 1, "! ist keine Zahl"},
      {"  ", de, 1, "! ist leer"},
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
