#include "berichte/Json.h"

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

// The same, read as the readers do, every member passed over with
// uebergehe().
std::string uebergeheAlles(const std::string& json) {
  const std::string puffer = json + std::string(kJsonPolster, '\0');
  oj::parser parser;
  JsonLeser leser(parser, std::string_view(puffer.data(), json.size()), "t");
  oj::object wurzel;
  if (leser.art() != Jsonart::keine && leser.wurzel(wurzel)) {
    bool gut = true;
    for (auto feld : wurzel) {
      oj::field f;
      gut = leser.gut(std::move(feld).get(f)) && leser.uebergehe(f.value());
      if (!gut) break;
    }
    if (gut) leser.amEnde();
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

TEST(ImportJson, UebergehenPrueftGrammatikUndTiefeAberKeineAtome) {
  const std::string vorn = "{\"cik\": 1, \"entityName\": \"A\", \"facts\":\n";
  const auto tief = [](size_t n) {
    return "{\"dei\": " + std::string(n, '[') + std::string(n, ']') + "}}";
  };
  const std::string grammatik =
      ": JSON fehlerhaft: ein Komma, ein Doppelpunkt oder eine Klammer fehlt "
      "oder steht falsch\n";
  const std::string zuTief =
      "t:2:1007: JSON fehlerhaft: mehr als 1000 Ebenen tief\n";
  struct Fall {
    std::string rest;
    std::string pruefe;  // and uebergehe, unless given below
    std::string uebergehe;
  };
  const Fall faelle[] = {
      {"{\"dei\": {\"x\": [1 2]}}}", "t:2:18" + grammatik, ""},
      {"{\"dei\": {\"x\": [1}}}}", "t:2:17" + grammatik, ""},
      {"{\"dei\": {\"x\": {\"y\": 1]}}}", "t:2:22" + grammatik, ""},
      {"{\"dei\": {\"x\": [1]}", "t:2:19" + grammatik, ""},
      {"{\"dei\": {\"x\": [1]}}} }",
       "t:2:22: JSON fehlerhaft: hinter dem Ende "
       "des JSON-Werts steht noch etwas\n",
       ""},
      {"{\"dei\": {\"x\": [1, 01]}}}",
       "t:2:19: JSON fehlerhaft: keine gueltige Zahl\n", "gut"},
      {"{\"dei\": [[1], {\"y\": [2]}], \"us\": {\"z\": [nul]}}}",
       "t:2:41: JSON fehlerhaft: ein unbekanntes Wort, erwartet true, false "
       "oder null\n",
       "gut"},
      {"{\"dei\": {\"x\": \"a\\qb\"}}}",
       "t:2:15: JSON fehlerhaft: eine Zeichenkette hat eine ungueltige "
       "Escape-Folge\n",
       "gut"},
      {"{\"dei\": {\"x\": [1, x]}}}",
       "t:2:19: JSON fehlerhaft: ein unbekanntes Wort, erwartet true, false "
       "oder null\n",
       ""},
      // The top level is 1, "facts" 2: 998 lists more are the most.
      {tief(998), "gut", ""},
      {tief(999), zuTief, ""},
      {tief(100000), zuTief, ""},
  };
  for (const Fall& f : faelle) {
    const std::string json = vorn + f.rest;
    EXPECT_EQ(f.pruefe, pruefeAlles(json)) << f.rest.substr(0, 60);
    EXPECT_EQ(f.uebergehe.empty() ? f.pruefe : f.uebergehe,
              uebergeheAlles(json))
        << f.rest.substr(0, 60);
  }
}

TEST(ImportJson, EinDokumentKeinerArtWirdErstGanzGeprueft) {
  const std::string weder =
      "t:1:1: JSON, aber weder SEC-Firmendaten (mit \"cik\", \"entityName\" "
      "und \"facts\") noch ein xBRL-JSON-Bericht (\"documentType\": "
      "\"https://xbrl.org/2021/xbrl-json\")\n";
  const std::pair<std::string, std::string> faelle[] = {
      {"[1, [2]]", weder},
      {"{\"a\": [1, {}]}", weder},
      {std::string(100000, '['),
       "t:1:1001: JSON fehlerhaft: mehr als 1000 Ebenen tief\n"},
      {"[[1]",
       "t:1:5: JSON fehlerhaft: ein Komma, ein Doppelpunkt oder eine "
       "Klammer fehlt oder steht falsch\n"},
      {"{\"a\": [1 2]}",
       "t:1:10: JSON fehlerhaft: ein Komma, ein Doppelpunkt "
       "oder eine Klammer fehlt oder steht falsch\n"},
      {"[1] [2]",
       "t:1:5: JSON fehlerhaft: hinter dem Ende des JSON-Werts "
       "steht noch etwas\n"},
  };
  for (const auto& [json, erwartet] : faelle) {
    EXPECT_EQ(erwartet, pruefeAlles(json)) << json.substr(0, 60);
  }
}
