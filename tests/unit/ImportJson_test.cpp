#include "ImportJson.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The message of checking the whole document `json`, or "gut".
std::string pruefeAlles(const std::string& json) {
  const std::string puffer = json + std::string(kJsonPolster, '\0');
  oj::parser parser;
  JsonLeser leser(parser, std::string_view(puffer.data(), json.size()), "t");
  const Jsonart art = leser.art();
  oj::object wurzel;
  if (art != Jsonart::keine && leser.wurzel(wurzel)) {
    for (auto feld : wurzel) {
      oj::field f;
      if (!leser.gut(std::move(feld).get(f)) || !leser.pruefe(f.value())) break;
    }
    leser.amEnde();
  }
  return leser.meldung().empty() ? "gut" : leser.meldung();
}

// The same, read as the readers do: within lies(), every member passed over
// with uebergehe().
std::string uebergeheAlles(const std::string& json) {
  const std::string puffer = json + std::string(kJsonPolster, '\0');
  oj::parser parser;
  JsonLeser leser(parser, std::string_view(puffer.data(), json.size()), "t");
  if (leser.art() != Jsonart::keine) {
    leser.lies([&]() {
      oj::object wurzel;
      if (!leser.wurzel(wurzel)) return false;
      for (auto feld : wurzel) {
        oj::field f;
        if (!leser.gut(std::move(feld).get(f)) || !leser.uebergehe(f.value())) {
          return false;
        }
      }
      return leser.amEnde();
    });
  }
  return leser.meldung().empty() ? "gut" : leser.meldung();
}

}  // namespace

TEST(ImportJson, FehlerAuchInUebergangenenTeilenMitZeileUndSpalte) {
  const std::string vorn = "{\"cik\": 1, \"entityName\": \"A\", \"facts\":\n";
  const std::string kaputt = "t:2:";
  const std::vector<std::pair<std::string, std::string>> faelle = {
      {"{\"dei\": {\"x\": [1, -2.5e3, true, null, \"\\u00e4\"]}}}", "gut"},
      {"{\"dei\": {\"x\": [1 2]}}}",
       kaputt + "18: JSON fehlerhaft: ein Komma, ein Doppelpunkt oder eine "
                "Klammer fehlt oder steht falsch\n"},
      {"{\"dei\": {\"x\": [1, 01]}}}",
       kaputt + "19: JSON fehlerhaft: keine gueltige Zahl\n"},
      {"{\"dei\": {\"x\": [1, tru]}}}",
       kaputt + "19: JSON fehlerhaft: ein unbekanntes Wort, erwartet true, "
                "false oder null\n"},
      {"{\"dei\": {\"x\": \"a\\qb\"}}}",
       kaputt + "15: JSON fehlerhaft: eine Zeichenkette hat eine ungueltige "
                "Escape-Folge\n"},
      {"{\"dei\": {\"x\" 1}}}",
       kaputt + "14: JSON fehlerhaft: ein Komma, ein Doppelpunkt oder eine "
                "Klammer fehlt oder steht falsch\n"},
      {"{\"dei\": {\"x\": 1,}}}",
       kaputt + "17: JSON fehlerhaft: ein Komma, ein Doppelpunkt oder eine "
                "Klammer fehlt oder steht falsch\n"},
      {"{\"dei\": {\"x\": [1}}}}",
       kaputt + "17: JSON fehlerhaft: ein Komma, ein Doppelpunkt oder eine "
                "Klammer fehlt oder steht falsch\n"},
      {"{\"dei\": {\"x\": [1]}",  // the closing brace missing at the end
       kaputt + "19: JSON fehlerhaft: ein Komma, ein Doppelpunkt oder eine "
                "Klammer fehlt oder steht falsch\n"},
      {"{\"dei\": \"\xC3\"}}",
       kaputt + "10: JSON fehlerhaft: die Bytes hier sind kein UTF-8\n"},
      {"{\"dei\": \"a\nb\"}}",
       kaputt + "11: JSON fehlerhaft: ein Steuerzeichen steht ungeschuetzt in "
                "einer Zeichenkette\n"},
  };
  for (const auto& [rest, erwartet] : faelle) {
    EXPECT_EQ(erwartet, pruefeAlles(vorn + rest)) << rest;
  }
  EXPECT_EQ(
      "t:1:1: JSON, aber weder SEC-Firmendaten (mit \"cik\", \"entityName\" "
      "und \"facts\") noch ein xBRL-JSON-Bericht (\"documentType\": "
      "\"https://xbrl.org/2021/xbrl-json\")\n",
      pruefeAlles("{\"cik\": 1, \"facts\": {}}"));
}

TEST(ImportJson, UebergehenFindetDieFehlerDesGenauenPruefens) {
  const std::string vorn = "{\"cik\": 1, \"entityName\": \"A\", \"facts\":\n";
  // More than the quick check takes in one go.
  std::string gross = "[0";
  while (gross.size() < (size_t{1} << 21)) gross += ", 12345.5";
  // Valid throughout; the DOM parser refuses the key's escape, the lone
  // surrogate and the number beyond the double range.
  const std::string strenger =
      "{\"dei\": {\"x\\q\": [\"\\ud800\", 1e400, "
      "123456789012345678901234567890]}}}";
  const std::vector<std::string> faelle = {
      "{\"dei\": {\"x\": [1, -2.5e3, true, null, \"\\u00e4\"]}}}",
      "{\"dei\": {\"x\": [1 2]}}}",
      "{\"dei\": {\"x\": [1, 01]}}}",
      "{\"dei\": {\"x\": [1, tru]}}}",
      "{\"dei\": {\"x\": \"a\\qb\"}}}",
      "{\"dei\": {\"x\" 1}}}",
      "{\"dei\": {\"x\": 1,}}}",
      "{\"dei\": {\"x\": [1}}}}",
      "{\"dei\": {\"x\": [1]}",
      "{\"dei\": [[1], {\"y\": [2]}], \"us\": {\"z\": [nul]}}}",
      strenger,
      "{\"dei\": " + gross + "]}}",
      "{\"dei\": " + gross + ", -]}}",
      "{\"dei\": {\"x\": " + gross + "]}, \"y\": [1 2]}}",
  };
  for (const std::string& rest : faelle) {
    EXPECT_EQ(pruefeAlles(vorn + rest), uebergeheAlles(vorn + rest))
        << rest.substr(0, 60);
  }
  EXPECT_EQ("gut", uebergeheAlles(vorn + strenger));
  EXPECT_EQ("gut", uebergeheAlles(vorn + "{\"dei\": " + gross + "]}}"));
}

TEST(ImportJson, GanzeZahlenExaktAusDemGeschriebenenText) {
  struct Fall {
    const char* text;
    std::optional<int64_t> wert;
    const char* fehler;
  };
  const Fall faelle[] = {
      {"96666000", 96666000, ""},
      {"-477000", -477000, ""},
      {"20935000000.0", 20935000000, ""},
      {"1.2e3", 1200, ""},
      {"12500e-2", 125, ""},
      {"0e-400", 0, ""},
      {"9223372036854775807", INT64_MAX, ""},
      {"-9223372036854775808", INT64_MIN, ""},
      {"9223372036854775808", std::nullopt,
       "liegt ausserhalb des 64-Bit-Bereichs"},
      {"1e400", std::nullopt, "liegt ausserhalb des 64-Bit-Bereichs"},
      {"1.5", std::nullopt, "ist keine ganze Zahl"},
      {"1e-400", std::nullopt, "ist keine ganze Zahl"},
      {"zwei", std::nullopt, "ist keine Zahl, erwartet eine ganze Zahl"},
  };
  for (const Fall& f : faelle) {
    std::string fehler;
    EXPECT_EQ(f.wert, leseGanzzahl(f.text, fehler)) << f.text;
    EXPECT_EQ(f.fehler, fehler) << f.text;
  }
}
