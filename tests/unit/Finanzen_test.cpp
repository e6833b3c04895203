#include "Finanzen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Testdaten.h"

namespace {

Finanzen bericht(int64_t umsatz, int64_t gewinn, int64_t bilanzsumme,
                 int64_t eigenkapital) {
  return ::bericht(datum(31, 12, 2014), umsatz, gewinn, bilanzsumme,
                   eigenkapital);
}

}  // namespace

TEST(Finanzen, VorgabewerteSindNullEinsUndKeineVorhersage) {
  Finanzen f;
  EXPECT_EQ(0, f.getUmsatz());
  EXPECT_EQ(0, f.getGewinn());
  EXPECT_EQ(0, f.getBilanzsumme());
  EXPECT_EQ(0, f.getEigenkapital());
  EXPECT_EQ(1.0, f.getKonv(0));
  EXPECT_EQ(1.0, f.getKonv(1));
  EXPECT_FALSE(f.getVorhersage());
}

TEST(Finanzen, SetAttrBehaeltDasVorhersageKennzeichen) {
  Finanzen f;
  f.setVorhersage(true);
  f.setAttr(datum(31, 12, 2013), 1, 2, 3, 4, 1.0, 1.1);
  EXPECT_TRUE(f.getVorhersage());
  EXPECT_EQ(1.1, f.getKonv(1));
}

TEST(Finanzen, QuotientenWerdenAufDreiStellenMitHalbZurGeradenGerundet) {
  // 62.5 and -62.5 go to the even neighbour, 187.5 to 188.
  EXPECT_EQ(0.062, bericht(1, 0, 16, 1).getEKAnteil());
  EXPECT_EQ(0.188, bericht(1, 0, 16, 3).getEKAnteil());
  EXPECT_EQ(0.123, bericht(1, 0, 1000000, 123456).getEKAnteil());

  EXPECT_EQ(-0.062, bericht(16, -1, 1, 0).getUmsatzrendite());
  EXPECT_EQ(0.188, bericht(16, 3, 1, 0).getUmsatzrendite());
  EXPECT_EQ(0.123, bericht(1000000, 123456, 1, 0).getUmsatzrendite());
}

TEST(Finanzen, NullImNennerErgibtUnendlichOderNaN) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(inf, bericht(1, 0, 0, 5).getEKAnteil());
  EXPECT_EQ(-inf, bericht(1, 0, 0, -5).getEKAnteil());
  EXPECT_TRUE(std::isnan(bericht(1, 0, 0, 0).getEKAnteil()));

  EXPECT_EQ(inf, bericht(0, 5, 1, 0).getUmsatzrendite());
  EXPECT_EQ(-inf, bericht(0, -5, 1, 0).getUmsatzrendite());
  EXPECT_TRUE(std::isnan(bericht(0, 0, 1, 0).getUmsatzrendite()));
}

TEST(Finanzen, QuotientenAusBetraegenAnDenInt64Grenzen) {
  const int64_t max = std::numeric_limits<int64_t>::max();
  const int64_t min = std::numeric_limits<int64_t>::min();
  EXPECT_EQ(1.0, bericht(1, 0, max, max).getEKAnteil());
  EXPECT_EQ(-1.0, bericht(1, 0, max, min).getEKAnteil());
  EXPECT_EQ(0.0, bericht(max, 1, 1, 0).getUmsatzrendite());
  EXPECT_EQ(-1.0, bericht(min, max, 1, 0).getUmsatzrendite());
}
