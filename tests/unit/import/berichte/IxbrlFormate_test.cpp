#include "berichte/IxbrlFormate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Dateien.h"
#include "berichte/IxbrlXml.h"
#include "berichte/IxbrlZahl.h"

namespace {

const std::string kTrr = std::string(QUORVELL_QUELLEN) + "/ixbrl/trr/";
const std::string kR4 =
    "http://www.xbrl.org/inlineXBRL/transformation/2020-02-12";
const std::string kR5 =
    "http://www.xbrl.org/inlineXBRL/transformation/2022-02-16";

// The value, "leer", "unbekannt" or "abgelehnt".
std::string lies(const std::string& raum, const std::string& lokal,
                 const std::string& text) {
  const Formatwert w = leseFormatiert(raum, lokal, text);
  switch (w.art) {
    case Formatwert::kWert:
      return w.zahl;
    case Formatwert::kLeer:
      return "leer";
    case Formatwert::kUnbekannt:
      return "unbekannt";
    default:
      return "abgelehnt";
  }
}

// One test case of a registry's conformance file.
struct Fall {
  std::string raum, lokal, eingabe, ausgabe;
  bool gueltig;
};

// The cases of the numeric transformations in a conformance file.
class Faelle : public XmlStrom::Empfaenger {
 public:
  explicit Faelle(XmlStrom& strom) : strom_(strom) {}

  void beginn(std::string_view, std::string_view lokal,
              const char** attribute) override {
    if (lokal == "transform") {
      const std::string typ = XmlStrom::attribut(attribute, "outputType");
      numerisch_ = typ == "ixt:nonNegativeDecimalType" ||
                   typ == "ixt:zeroIntegerType" || typ == "ixt:nocontentType";
      std::string_view raum, name;
      strom_.loese(XmlStrom::attribut(attribute, "name"), raum, name);
      raum_ = std::string(raum);
      lokal_ = std::string(name);
    } else if (lokal == "variation" && numerisch_) {
      liste.push_back(
          {raum_, lokal_, XmlStrom::attribut(attribute, "input"),
           XmlStrom::attribut(attribute, "output"),
           std::string(XmlStrom::attribut(attribute, "result")) == "valid"});
    }
  }
  void ende(std::string_view, std::string_view) override {}
  void zeichen(std::string_view) override {}

  std::vector<Fall> liste;

 private:
  XmlStrom& strom_;
  bool numerisch_ = false;
  std::string raum_, lokal_;
};

std::vector<Fall> leseFaelle(const std::string& datei) {
  std::string bytes, fehler;
  EXPECT_TRUE(leseDatei(kTrr + datei, bytes, fehler)) << fehler;
  XmlStrom strom(datei);
  Faelle faelle(strom);
  EXPECT_TRUE(strom.lies(bytes, faelle, fehler)) << fehler;
  return faelle.liste;
}

// The name a format of registries 2 and 3 has in registries 4 and 5.
std::string neuerName(const std::string& alt) {
  const std::pair<const char*, const char*> namen[] = {
      {"numdotdecimal", "num-dot-decimal"},
      {"numcommadecimal", "num-comma-decimal"},
      {"numunitdecimal", "num-unit-decimal"},
      {"numdotdecimalin", "num-dot-decimal-in"},
      {"numunitdecimalin", "num-unit-decimal-in"},
      {"zerodash", "fixed-zero"},
      {"nocontent", "fixed-empty"}};
  for (const auto& [a, n] : namen) {
    if (alt == a) return n;
  }
  return alt;
}

// What a case must give: its output, "leer" for no content, or a refusal.
std::string erwartet(const Fall& f) {
  if (!f.gueltig) return "abgelehnt";
  return f.lokal == "nocontent" ? "leer" : f.ausgabe;
}

TEST(IxbrlFormate, ReadsEveryNumericTestCaseOfTheRegistries) {
  std::vector<Fall> alle = leseFaelle("trr-v2-2011-07-31-tests.xml");
  const std::vector<Fall> v3 = leseFaelle("trr-v3-2015-02-26-tests.xml");
  alle.insert(alle.end(), v3.begin(), v3.end());
  std::string falsch;
  for (const Fall& f : alle) {
    const std::string ist = lies(f.raum, f.lokal, f.eingabe);
    if (ist != erwartet(f)) {
      falsch += f.lokal + " \"" + f.eingabe + "\": " + ist + "\n";
    }
  }
  EXPECT_EQ("", falsch);
  EXPECT_EQ(207u, alle.size());
  // Registries 4 and 5 read every valid number as 3 does; they accept more:
  // fixed-zero and fixed-empty any text, and a number without whole part.
  for (const Fall& f : v3) {
    const std::string name = neuerName(f.lokal);
    const bool weiter = name.rfind("fixed-", 0) == 0 || f.eingabe[0] == '.' ||
                        f.eingabe[0] == ',';
    if (!f.gueltig && weiter) continue;
    for (const std::string& raum : {kR4, kR5}) {
      const std::string ist = lies(raum, name, f.eingabe);
      if (ist != (name == "fixed-empty" ? "leer" : erwartet(f))) {
        falsch += raum.substr(raum.size() - 10) + " " + name + " \"" +
                  f.eingabe + "\": " + ist + "\n";
      }
    }
  }
  EXPECT_EQ("", falsch);
}

TEST(IxbrlFormate, ReadsTheOlderAndNewerFormatsByTheirRegistry) {
  const std::string r1 =
      "http://www.xbrl.org/inlineXBRL/transformation/2010-04-20";
  const std::string r3 =
      "http://www.xbrl.org/inlineXBRL/transformation/2015-02-26";
  const std::string sec =
      "http://www.sec.gov/inlineXBRL/transformation/2015-08-31";
  const struct {
    std::string raum, lokal, text, wert;
  } faelle[] = {
      {r1, "numcommadot", "1,234,567.89", "1234567.89"},
      {r1, "numcommadot", "1.234", "1.234"},
      {r1, "numcommadot", "1 234", "abgelehnt"},
      {r1, "numdotcomma", "1.234.567,8", "1234567.8"},
      {r1, "numspacedot", "1\u00a0234 567.5", "1234567.5"},
      {r1, "numspacecomma", "1 234,5", "1234.5"},
      {r1, "numcomma", "1234,5", "1234.5"},
      {r1, "numcomma", "1.234,5", "abgelehnt"},
      {r1, "numdash", "-", "0"},
      {r1, "num-dot-decimal", "1", "unbekannt"},
      {r3, "num-dot-decimal", "1", "unbekannt"},
      {kR4, "numdotdecimal", "1", "unbekannt"},
      {kR4, "num-dot-decimal", " 007\n", "7"},
      {kR4, "num-dot-decimal", ".5", "0.5"},
      {kR4, "num-dot-decimal", "1,234.", "abgelehnt"},
      {kR4, "num-comma-decimal", "1\u202f234,5", "1234.5"},
      {kR4, "num-comma-decimal", "1.234,5", "1234.5"},
      {kR4, "num-comma-decimal", "1.23,5", "abgelehnt"},
      {kR4, "num-dot-decimal-apos", "1'234.5", "unbekannt"},
      {kR5, "num-dot-decimal-apos", "1'234\u2019567.5", "1234567.5"},
      {kR5, "num-comma-decimal-apos", "1'234,5", "1234.5"},
      {kR4, "fixed-zero", "\u2014", "0"},
      {kR4, "fixed-empty", "n/a", "leer"},
      {sec, "numwordsen", "no", "0"},
      {sec, "numwordsen", "Two", "2"},
      {sec, "numwordsen", "twenty-five", "25"},
      {sec, "numwordsen", "one hundred and five thousand, forty-two", "105042"},
      {sec, "numwordsen", "three million two hundred", "3000200"},
      {sec, "numwordsen", "twenty twenty", "abgelehnt"},
      {sec, "numwordsen", "thousand", "abgelehnt"},
      {sec, "numwordsen", "one thousand one million", "abgelehnt"},
      {sec, "numwordsen", "five", "5"},
      {sec, "duryear", "1.5", "unbekannt"},
      {"", "", "1234.5", "1234.5"},
      {"", "", "1,234", "abgelehnt"},
      {"", "", "-5", "abgelehnt"},
      {"http://example.com/eigene", "num-dot-decimal", "1", "unbekannt"},
  };
  for (const auto& f : faelle) {
    EXPECT_EQ(f.wert, lies(f.raum, f.lokal, f.text))
        << f.lokal << " " << f.text;
  }
}

TEST(IxbrlFormate, ScalesAndRoundsExactly) {
  const auto skaliert = [](const char* text, int potenz) {
    return dezimalText(verschiebe(*leseDezimal(text), potenz));
  };
  const auto gerundet = [](const char* text, int stellen) {
    return dezimalText(runde(*leseDezimal(text), stellen));
  };
  EXPECT_EQ("1234500000", skaliert("1234.5", 6));
  EXPECT_EQ("-0.012345", skaliert("-1234.5", -5));
  EXPECT_EQ("0", skaliert("-0.000", 3));
  EXPECT_EQ("12.5", skaliert("1250", -2));
  EXPECT_EQ("1234", gerundet("1234.5", 0));  // half to even
  EXPECT_EQ("1236", gerundet("1235.5", 0));
  EXPECT_EQ("1235", gerundet("1234.51", 0));
  EXPECT_EQ("-1200", gerundet("-1250", -2));
  EXPECT_EQ("1000000", gerundet("999999.5", 0));
  EXPECT_EQ("0", gerundet("49", -3));
  EXPECT_EQ("1.23", gerundet("1.23", 5));
  EXPECT_FALSE(leseDezimal("1."));
  EXPECT_FALSE(leseDezimal("1e5"));
}

}  // namespace
