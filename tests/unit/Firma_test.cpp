#include "Firma.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <fstream>
#include <limits>
#include <locale>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "Testdaten.h"

namespace {

const int64_t kMax = std::numeric_limits<int64_t>::max();
const int64_t kMin = std::numeric_limits<int64_t>::min();
const double kInf = std::numeric_limits<double>::infinity();
const double kDrittel = 0.3333333333333333;

// One report per year on 31 December, newest first, the same value in all
// four series.
Firma firmaMitWerten(int neuestesJahr, const std::vector<int64_t>& werte) {
  std::vector<Finanzen> berichte;
  int jahr = neuestesJahr;
  for (int64_t w : werte) {
    berichte.push_back(bericht(datum(31, 12, jahr--), w, w, w, w));
  }
  Firma firma;
  firma.setAttr("Muster AG", berichte);
  return firma;
}

bool gleich(double a, double b) {
  return a == b || (std::isnan(a) && std::isnan(b));
}

// Compares every getter over the positions -1..n+1 and the trend lines over a
// range of years.
void erwarteGleicheAntworten(const Firma& a, const Firma& b) {
  EXPECT_EQ(a.getName(), b.getName());
  ASSERT_EQ(a.anzahlBerichte(), b.anzahlBerichte());
  for (int i = -1; i <= a.anzahlBerichte() + 1; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(a.getUmsatz(i), b.getUmsatz(i));
    EXPECT_EQ(a.getGewinn(i), b.getGewinn(i));
    EXPECT_EQ(a.getBilanzsumme(i), b.getBilanzsumme(i));
    EXPECT_EQ(a.getEigenkapital(i), b.getEigenkapital(i));
    EXPECT_TRUE(gleich(a.getEKAnteil(i), b.getEKAnteil(i)));
    EXPECT_TRUE(gleich(a.getUmsatzrendite(i), b.getUmsatzrendite(i)));
    EXPECT_TRUE(gleich(a.getCAGRUmsatz(i), b.getCAGRUmsatz(i)));
    EXPECT_TRUE(gleich(a.getCAGRGewinn(i), b.getCAGRGewinn(i)));
  }
  for (size_t i = 0; i < a.getFinanzen().size(); ++i) {
    EXPECT_EQ(text(a.getFinanzen()[i]), text(b.getFinanzen()[i]));
  }
  for (int jahr : {0, 1, 2011, 2012, 2013, 2020}) {
    EXPECT_EQ(a.lineareRegUmsatz(jahr), b.lineareRegUmsatz(jahr)) << jahr;
    EXPECT_EQ(a.lineareRegGewinn(jahr), b.lineareRegGewinn(jahr)) << jahr;
    EXPECT_EQ(a.lineareRegBilanz(jahr), b.lineareRegBilanz(jahr)) << jahr;
    EXPECT_EQ(a.lineareRegEK(jahr), b.lineareRegEK(jahr)) << jahr;
  }
}

}  // namespace

// A line's value for year 0 is its intercept and the step from year 0 to
// year 1 its slope, so both stored coefficients are observable.

TEST(Trendlinie, DreiBerichteErgebenSteigung100UndAchsenabschnittMinus200900) {
  Firma f = firmaMitWerten(2012, {300, 200, 100});
  EXPECT_EQ(-200900, f.lineareRegGewinn(0));
  EXPECT_EQ(-200800, f.lineareRegGewinn(1));
  EXPECT_EQ(200, f.lineareRegGewinn(2011));
  EXPECT_EQ(400, f.lineareRegGewinn(2013));
  EXPECT_EQ(400, f.lineareRegUmsatz(2013));
  EXPECT_EQ(400, f.lineareRegBilanz(2013));
  EXPECT_EQ(400, f.lineareRegEK(2013));
}

TEST(Trendlinie, ProduktWirdVorDerSummeAbgeschnitten) {
  // Products -12 and -12 give slope -48 (not -50) and intercept 96629.
  Firma f = firmaMitWerten(2011, {100, 150});
  EXPECT_EQ(96629, f.lineareRegGewinn(0));
  EXPECT_EQ(96629 - 48, f.lineareRegGewinn(1));
  EXPECT_EQ(53, f.lineareRegGewinn(2012));
}

TEST(Trendlinie, MittelwertWirdZurNullHinAbgeschnitten) {
  // Mean -1 (not -2), slope -2, intercept 4020.
  Firma f = firmaMitWerten(2011, {-3, 0});
  EXPECT_EQ(4020, f.lineareRegEK(0));
  EXPECT_EQ(-4, f.lineareRegEK(2012));
}

TEST(Trendlinie, TagUndMonatAendernDieGeradeNicht) {
  Firma a = firmaMitWerten(2011, {100, 150});
  Firma b;
  b.setAttr("Muster AG", {bericht(datum(1, 1, 2011), 100, 100, 100, 100),
                          bericht(datum(15, 7, 2010), 150, 150, 150, 150)});
  for (int jahr : {0, 1, 2012}) {
    EXPECT_EQ(a.lineareRegGewinn(jahr), b.lineareRegGewinn(jahr));
    EXPECT_EQ(a.lineareRegBilanz(jahr), b.lineareRegBilanz(jahr));
  }
}

TEST(Trendlinie, BerichteEinesJahresErgebenWaagerechteGeradeAmMittelwert) {
  Firma einer = firmaMitWerten(2014, {7});
  Firma zwei;
  zwei.setAttr("Muster AG", {bericht(datum(31, 12, 2014), -3, 10),
                             bericht(datum(30, 6, 2014), 0, -3)});
  for (int jahr : {0, 2014, 2015}) {
    EXPECT_EQ(7, einer.lineareRegUmsatz(jahr));
    EXPECT_EQ(-1, zwei.lineareRegUmsatz(jahr));
    EXPECT_EQ(3, zwei.lineareRegGewinn(jahr));
    EXPECT_EQ(0, zwei.lineareRegEK(jahr));
  }
  EXPECT_EQ(0.0, einer.getCAGRUmsatz(0));  // 7 against the line's 7
}

TEST(Wachstumsrate, NeuesterBerichtGegenDenDreiPositionenAelteren) {
  Firma f = firmaMitWerten(2014, {1331, 1210, 1100, 1000});
  EXPECT_EQ(0.10000000000000009, f.getCAGRUmsatz(0));
  EXPECT_EQ(0.10000000000000009, f.getCAGRGewinn(0));

  // With a newer report in front the former newest keeps partner and rate.
  Firma fuenf = firmaMitWerten(2015, {2000, 1331, 1210, 1100, 1000});
  EXPECT_EQ(0.10000000000000009, fuenf.getCAGRUmsatz(1));
}

TEST(Wachstumsrate, OhneDreiAeltereBerichteGegenDieTrendlinieDreiJahreFrueher) {
  // Mean year 2012.5, mean 1160, products 256 + 25 + 30 + 240 = 551 over
  // 5.0: slope 110, intercept 1160 - 221375 = -220215.
  Firma f = firmaMitWerten(2014, {1331, 1210, 1100, 1000});
  EXPECT_EQ(885, f.lineareRegUmsatz(2010));
  EXPECT_EQ(775, f.lineareRegUmsatz(2009));
  EXPECT_EQ(665, f.lineareRegUmsatz(2008));
  EXPECT_EQ(std::pow(1210.0 / 885.0, kDrittel) - 1.0, f.getCAGRUmsatz(1));
  EXPECT_EQ(std::pow(1100.0 / 775.0, kDrittel) - 1.0, f.getCAGRUmsatz(2));
  EXPECT_EQ(std::pow(1000.0 / 665.0, kDrittel) - 1.0, f.getCAGRGewinn(3));
  EXPECT_EQ(0.0, f.getCAGRUmsatz(4));
  EXPECT_EQ(0.0, f.getCAGRGewinn(-1));
}

TEST(Wachstumsrate, NullUndVorzeichenwechselFolgenDenGleitkommaregeln) {
  Firma f;
  f.setAttr("Muster AG", {bericht(datum(31, 12, 2014), 0, 100),
                          bericht(datum(31, 12, 2013), 1, 1),
                          bericht(datum(31, 12, 2012), 1, 1),
                          bericht(datum(31, 12, 2011), 500, -50)});
  EXPECT_EQ(-1.0, f.getCAGRUmsatz(0));          // 0 over 500
  EXPECT_TRUE(std::isnan(f.getCAGRGewinn(0)));  // 100 over -50

  f.setAttr("Muster AG", {bericht(datum(31, 12, 2014), 500, -5),
                          bericht(datum(31, 12, 2013), 1, 1),
                          bericht(datum(31, 12, 2012), 1, 1),
                          bericht(datum(31, 12, 2011), 0, 0)});
  EXPECT_EQ(kInf, f.getCAGRUmsatz(0));
  EXPECT_EQ(kInf, f.getCAGRGewinn(0));  // negative over zero
}

TEST(Firma, PositionenAusserhalbDerBerichteGebenNull) {
  Firma f;
  f.setAttr("Muster AG", {bericht(datum(31, 12, 2014), 300, 30, 1000, 400),
                          bericht(datum(31, 12, 2013), 200, 20, 900, 300),
                          bericht(datum(31, 12, 2012), 100, 10, 800, 200)});
  EXPECT_EQ(100, f.getUmsatz(2));
  EXPECT_EQ(0.4, f.getEKAnteil(0));
  for (int i : {-1, 3, INT_MIN}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(0, f.getUmsatz(i));
    EXPECT_EQ(0, f.getGewinn(i));
    EXPECT_EQ(0, f.getBilanzsumme(i));
    EXPECT_EQ(0, f.getEigenkapital(i));
    EXPECT_EQ(0.0, f.getEKAnteil(i));
    EXPECT_EQ(0.0, f.getUmsatzrendite(i));
    EXPECT_EQ(0.0, f.getCAGRUmsatz(i));
    EXPECT_EQ(0.0, f.getCAGRGewinn(i));
    EXPECT_EQ(0, f.getDatum(i).tm_mday + f.getDatum(i).tm_year);
  }
}

TEST(Firma, KopieAntwortetWieDasOriginal) {
  Firma original = firmaMitWerten(2014, {1331, 1210, 1100, 1000, -5});
  original.setVorhersage();
  Firma kopie(original);
  erwarteGleicheAntworten(original, kopie);
  Firma zugewiesen;
  zugewiesen = original;
  erwarteGleicheAntworten(original, zugewiesen);
}

TEST(Firma, ZweitesSetAttrHinterlaesstKeineSpurDesErsten) {
  Firma zweimal = firmaMitWerten(2016, {900, 10, 700, 0, 5, 3});
  zweimal.setVorhersage();
  Firma einmal;
  einmal.setAttr("Beispiel GmbH", {bericht(datum(30, 6, 2014), 300, 20, 5, 1),
                                   bericht(datum(30, 6, 2013), 100, 10, 4, 2)});
  zweimal.setAttr("Beispiel GmbH", einmal.getFinanzen());
  erwarteGleicheAntworten(einmal, zweimal);
}

class Vorhersage : public ::testing::Test {
 protected:
  void SetUp() override {
    // Revenue, profit, total and equity rise by 1000, 100, 200 and 10 a year;
    // the currency factors differ from year to year.
    firma.setAttr("Muster AG",
                  {bericht(datum(31, 12, 2012), 3000, 300, 600, 30, 1.0, 1.3),
                   bericht(datum(31, 12, 2011), 2000, 200, 400, 20, 0.9, 1.2),
                   bericht(datum(31, 12, 2010), 1000, 100, 200, 10, 0.5, 0.7)});
  }
  std::string eintrag(int i) const { return text(firma.getFinanzen()[i]); }
  Firma firma;
};

TEST_F(Vorhersage, LiegtAufDerTrendlinieMitDenFaktorenDesAeltestenBerichts) {
  firma.setVorhersage();
  EXPECT_EQ("31-12-2013 4000 400 800 40 0.5 0.7 *", eintrag(0));
  firma.setVorhersage();
  ASSERT_EQ(5, firma.anzahlBerichte());
  EXPECT_EQ("31-12-2014 5000 500 1000 50 0.5 0.7 *", eintrag(0));
  EXPECT_EQ("31-12-2013 4000 400 800 40 0.5 0.7 *", eintrag(1));
  EXPECT_EQ("31-12-2012 3000 300 600 30 1 1.3", eintrag(2));
  EXPECT_EQ("31-12-2010 1000 100 200 10 0.5 0.7", eintrag(4));
  const bool erwartet[] = {true, true, false, false, false};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(erwartet[i], firma.getLinReg(i)) << i;
}

TEST_F(Vorhersage, AendertDieTrendlinienNicht) {
  for (int k = 0; k < 3; ++k) firma.setVorhersage();
  EXPECT_EQ(-200900, firma.lineareRegGewinn(0));
  EXPECT_EQ(-200800, firma.lineareRegGewinn(1));
  EXPECT_EQ(-2009000, firma.lineareRegUmsatz(0));
  EXPECT_EQ(-401800, firma.lineareRegBilanz(0));
  EXPECT_EQ(-20090, firma.lineareRegEK(0));
  EXPECT_EQ(40, firma.lineareRegEK(2013));
}

TEST_F(Vorhersage, WachstumsreihenWachsenUmEinElementMit) {
  // With fewer than three older reports every profit is taken against the
  // line: 300 over 0 (year 2009) is infinite, 200 over -100 and 100 over
  // -200 are NaN.
  EXPECT_EQ(kInf, firma.getCAGRGewinn(0));
  EXPECT_TRUE(std::isnan(firma.getCAGRGewinn(2)));
  EXPECT_EQ(0.0, firma.getCAGRGewinn(3));

  firma.setVorhersage();
  EXPECT_EQ(std::pow(4.0, kDrittel) - 1.0, firma.getCAGRGewinn(0));  // 400/100
  EXPECT_EQ(std::pow(4.0, kDrittel) - 1.0, firma.getCAGRUmsatz(0));
  EXPECT_EQ(kInf, firma.getCAGRGewinn(1));
  EXPECT_TRUE(std::isnan(firma.getCAGRGewinn(3)));
  EXPECT_EQ(0.0, firma.getCAGRGewinn(4));

  firma.setVorhersage();
  EXPECT_EQ(std::pow(2.5, kDrittel) - 1.0, firma.getCAGRGewinn(0));  // 500/200
  EXPECT_EQ(std::pow(4.0, kDrittel) - 1.0, firma.getCAGRGewinn(1));
  EXPECT_EQ(kInf, firma.getCAGRGewinn(2));
  EXPECT_TRUE(std::isnan(firma.getCAGRUmsatz(4)));
  EXPECT_EQ(0.0, firma.getCAGRUmsatz(5));
}

TEST(VorhersageDatum, NeunundzwanzigsterFebruarWirdNichtNormalisiert) {
  Firma f;
  f.setAttr("Muster AG", {bericht(datum(29, 2, 2016), 10, 10),
                          bericht(datum(28, 2, 2015), 5, 5)});
  f.setVorhersage();
  // Slope trunc(2 / 0.5) = 4, intercept 7 - 8062: 2017 gives 13.
  EXPECT_EQ("29-2-2017 13 13 0 0 1 1 *", text(f.getFinanzen()[0]));
}

TEST(ExtremeBetraege, SummenUndProdukteLaufenHerumStattAbzubrechen) {
  // One year: the sum max + max wraps to -2, the mean is -1.
  Firma einJahr;
  einJahr.setAttr("X", {bericht(datum(31, 12, 2014), kMax, kMax),
                        bericht(datum(1, 1, 2014), kMax, kMax)});
  EXPECT_EQ(-1, einJahr.lineareRegUmsatz(2015));

  // Two years: mean 0, products 2^62 + 2^62 wrap to -2^63, the slope -2^64
  // saturates at min and so does the intercept's product; the intercept
  // 0 - min wraps to min. Evaluated: min times an even year is 0.
  Firma f;
  f.setAttr(
      "X",
      {bericht(datum(31, 12, 2011), kMax, kMax, kMax, kMax, 0.0, 1e300),
       bericht(datum(31, 12, 2010), kMin, kMin, kMin, kMin, 1e-300, 1e300)});
  EXPECT_EQ(kMin, f.lineareRegGewinn(0));
  EXPECT_EQ(kMin, f.lineareRegGewinn(2012));
  EXPECT_EQ(0, f.lineareRegGewinn(2011));
  EXPECT_EQ(0, f.lineareRegUmsatz(INT_MAX));
  EXPECT_EQ(kMin, f.lineareRegUmsatz(INT_MIN));
  // max over min (line at 2008) is -1: NaN; min over 0 (line at 2007): +inf.
  EXPECT_TRUE(std::isnan(f.getCAGRGewinn(0)));
  EXPECT_EQ(kInf, f.getCAGRUmsatz(1));
  EXPECT_EQ(1.0, f.getEKAnteil(1));

  f.setVorhersage();
  f.setVorhersage();
  EXPECT_EQ("31-12-2013 0 0 0 0 1e-300 1e+300 *", text(f.getFinanzen()[0]));
  EXPECT_EQ(kMin, f.getGewinn(1));  // year 2012
  Firma kopie = f;
  erwarteGleicheAntworten(f, kopie);
}

// Runs in UTC so that the day counts do not depend on the machine.
class AnzahlTage : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = getenv("TZ");
    if (tz != nullptr) alteTz = tz;
    hatteTz = tz != nullptr;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (hatteTz) {
      setenv("TZ", alteTz.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  static time_t zeitpunkt(int tag, int monat, int jahr, int stunde = 12) {
    tm t = datum(tag, monat, jahr);
    t.tm_hour = stunde;
    return mktime(&t);
  }
  static Firma firmaVom(tm neuester) {
    Firma f;
    f.setAttr("Muster AG", {bericht(neuester, 1, 1)});
    return f;
  }
  bool hatteTz = false;
  std::string alteTz;
};

TEST_F(AnzahlTage, AngebrocheneTageZaehlenGanz) {
  // 304.5 days from noon on 1 March to 31 December, leap year or not.
  EXPECT_EQ(305,
            firmaVom(datum(31, 12, 2014)).getAnzahlTage(zeitpunkt(1, 3, 2015)));
  EXPECT_EQ(305,
            firmaVom(datum(31, 12, 2015)).getAnzahlTage(zeitpunkt(1, 3, 2016)));
}

TEST_F(AnzahlTage, JahrestagIstNullUndDanachNegativ) {
  Firma f = firmaVom(datum(31, 12, 2014));
  EXPECT_EQ(1, f.getAnzahlTage(zeitpunkt(30, 12, 2015)));
  EXPECT_EQ(0, f.getAnzahlTage(zeitpunkt(31, 12, 2015, 0)));
  EXPECT_EQ(0, f.getAnzahlTage(zeitpunkt(31, 12, 2015)));
  EXPECT_EQ(-1, f.getAnzahlTage(zeitpunkt(1, 1, 2016)));
  EXPECT_EQ(-366, f.getAnzahlTage(zeitpunkt(31, 12, 2016)));
}

TEST_F(AnzahlTage, OhneArgumentZaehltVonJetzt) {
  const time_t jetzt = time(nullptr);
  tm heute{};
  localtime_r(&jetzt, &heute);
  // Newest report today one year ago: the anniversary is today.
  const int tag = heute.tm_mday, monat = heute.tm_mon + 1;
  Firma f = firmaVom(datum(tag, monat, heute.tm_year + 1900 - 1));
  const int vorher = f.getAnzahlTage(time(nullptr));
  const int ohne = f.getAnzahlTage();
  const int nachher = f.getAnzahlTage(time(nullptr));
  EXPECT_TRUE(ohne == vorher || ohne == nachher);
  if (vorher == nachher) {
    EXPECT_EQ(0, ohne);
  }
  EXPECT_LT(
      firmaVom(datum(tag, monat, heute.tm_year + 1900 - 3)).getAnzahlTage(),
      -700);
}
