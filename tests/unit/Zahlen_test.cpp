#include "Zahlen.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const int64_t kMax = std::numeric_limits<int64_t>::max();
const int64_t kMin = std::numeric_limits<int64_t>::min();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

template <typename T>
std::string mitLocale(const std::locale& loc, T wert) {
  std::ostringstream out;
  out.imbue(loc);
  out << wert;
  return out.str();
}

template <typename T>
std::string festMitLocale(const std::locale& loc, T wert, int stellen) {
  std::ostringstream out;
  out.imbue(loc);
  out << std::fixed << std::setprecision(stellen) << wert;
  return out.str();
}

}  // namespace

TEST(ZuInt64, SchneidetZurNullHinAbFuerBeideVorzeichen) {
  EXPECT_EQ(1234, zuInt64(1234.9));
  EXPECT_EQ(-1234, zuInt64(-1234.9));
  EXPECT_EQ(0, zuInt64(-0.5));
  EXPECT_EQ(0, zuInt64(0.999));
  // The largest double below 2^63 is representable and stays as it is.
  EXPECT_EQ(INT64_C(9223372036854774784), zuInt64(9223372036854774784.0));
}

TEST(ZuInt64, SaettigtAnDenGrenzenUndMachtAusNaNNull) {
  EXPECT_EQ(kMax, zuInt64(1e300));
  EXPECT_EQ(kMin, zuInt64(-1e300));
  EXPECT_EQ(kMax, zuInt64(kInf));
  EXPECT_EQ(kMin, zuInt64(-kInf));
  // 2^63 itself does not fit; -2^63 does.
  EXPECT_EQ(kMax, zuInt64(9223372036854775808.0));
  EXPECT_EQ(kMin, zuInt64(-9223372036854775808.0));
  EXPECT_EQ(0, zuInt64(kNaN));
}

TEST(ZuInt, SchneidetAbUndSaettigtAnDenIntGrenzen) {
  EXPECT_EQ(-2, zuInt(-2.7));
  EXPECT_EQ(305, zuInt(305.0));
  EXPECT_EQ(INT_MAX, zuInt(1e10));
  EXPECT_EQ(INT_MIN, zuInt(-1e10));
  EXPECT_EQ(INT_MAX, zuInt(kInf));
  EXPECT_EQ(0, zuInt(kNaN));
}

TEST(WrapArithmetik, UeberlaufLaeuftWieImZweierkomplementHerum) {
  EXPECT_EQ(kMin, wrapAdd(kMax, 1));
  EXPECT_EQ(kMax, wrapAdd(kMin, -1));
  EXPECT_EQ(-2, wrapAdd(kMax, kMax));
  EXPECT_EQ(-5, wrapAdd(-2, -3));

  EXPECT_EQ(kMax, wrapSub(kMin, 1));
  EXPECT_EQ(kMin, wrapSub(0, kMin));
  EXPECT_EQ(-1, wrapSub(kMax, kMin));

  EXPECT_EQ(-12, wrapMul(3, -4));
  EXPECT_EQ(-2, wrapMul(kMax, 2));
  EXPECT_EQ(kMin, wrapMul(kMin, -1));
  EXPECT_EQ(0, wrapMul(INT64_C(1) << 32, INT64_C(1) << 32));
  // (2^32 + 1)^2 = 2^64 + 2^33 + 1; the 2^64 falls away.
  EXPECT_EQ(INT64_C(8589934593),
            wrapMul(INT64_C(4294967297), INT64_C(4294967297)));
  EXPECT_EQ(kMin, wrapMul(kMin, 2011));
  EXPECT_EQ(0, wrapMul(kMin, 2012));
}

TEST(ZahlenLocale, GruppiertUndTrenntDezimalenJeWaehrung) {
  struct Fall {
    int waehrung;
    const char* fest;
    const char* ganz;
    const char* negativ;
  };
  for (const Fall& f : {Fall{0, "1.234.567,500", "1.234.567", "-1.234.567"},
                        Fall{1, "1,234,567.500", "1,234,567", "-1,234,567"},
                        Fall{2, "1,234,567.500", "1,234,567", "-1,234,567"}}) {
    const std::locale& loc = zahlenLocale(f.waehrung);
    EXPECT_EQ(f.fest, festMitLocale(loc, 1234567.5, 3));
    EXPECT_EQ(f.ganz, mitLocale(loc, 1234567));
    EXPECT_EQ(f.negativ, mitLocale(loc, INT64_C(-1234567)));
    EXPECT_EQ("999", mitLocale(loc, 999));
  }
}

// Integers and doubles whose text touches every rule of stream output:
// grouping, rounding to three places, exponent form, signs, NaN and infinity.
const int64_t kGanze[] = {
    0,     7,     -7,     999,      1000,
    -1000, 99999, 100000, -1234567, INT64_C(1234567890123),
    kMax,  kMin};
const double kKommazahlen[] = {
    0.0, -0.0, 0.0005, 0.0625, 0.1875, -0.5, 0.125, 0.9995, 999.5, 999.9995,
    1000.0, 99999.95, 100000.0, 999999.5, 1234567.5, -1234567.25, 1e15, 1e16,
    1e21, -1e21, 1.5e300, -1e-7, 1e-5, 5e-324, kNaN, -kNaN, kInf, -kInf,
    // Exact ties in the third decimal, rounded to the even neighbour.
    0.3125, 0.4375, -1.0625, 2.9375,
    // Where six significant digits switch between fixed and exponent form.
    0.0001, 0.00001, 9.99999e-5, 123456.0, 999999.0, 1234567.0, 1e6,
    9.999995e5};

class ZahlenLocaleGegenSystem : public ::testing::TestWithParam<int> {};

TEST_P(ZahlenLocaleGegenSystem, EigenesFormatGleichtDerBenanntenLocale) {
  const std::locale* system = systemLocale(GetParam());
  if (system == nullptr) {
    GTEST_SKIP() << "Locale der Waehrung " << GetParam() << " fehlt";
  }
  const std::locale eigen = ersatzLocale(GetParam());
  for (int64_t ganz : kGanze) {
    EXPECT_EQ(mitLocale(*system, ganz), mitLocale(eigen, ganz));
  }
  for (double d : kKommazahlen) {
    EXPECT_EQ(mitLocale(*system, d), mitLocale(eigen, d));
    EXPECT_EQ(festMitLocale(*system, d, 3), festMitLocale(eigen, d, 3));
  }
}

INSTANTIATE_TEST_SUITE_P(BeideWaehrungen, ZahlenLocaleGegenSystem,
                         ::testing::Values(0, 1));

// Digit groups of any shape, as a locale's numpunct facet may have them.
class Gruppen : public std::numpunct<char> {
 public:
  explicit Gruppen(std::string g) : g_(std::move(g)) {}

 protected:
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '\''; }
  std::string do_grouping() const override { return g_; }

 private:
  std::string g_;
};

class ZahlformatWieStream : public ::testing::TestWithParam<int> {
 protected:
  std::locale loc() const {
    switch (GetParam()) {
      case 0:
        return zahlenLocale(0);
      case 1:
        return zahlenLocale(1);
      case 2:
        return std::locale::classic();
      case 3:
        return std::locale(std::locale::classic(), new Gruppen("\3\2"));
      case 4:
        return std::locale(std::locale::classic(), new Gruppen("\1"));
      default:
        return std::locale(std::locale::classic(), new Gruppen("\2\1\x7f"));
    }
  }
};

TEST_P(ZahlformatWieStream, GanzFestUndStandardformat) {
  const std::locale l = loc();
  const Zahlformat zahl(l);
  for (int64_t ganz : kGanze) EXPECT_EQ(mitLocale(l, ganz), zahl.ganz(ganz));
  std::vector<double> werte(std::begin(kKommazahlen), std::end(kKommazahlen));
  // Values spread over many magnitudes, from a fixed linear congruential
  // sequence.
  uint64_t x = 12345;
  for (int k = 0; k < 2000; ++k) {
    x = x * 6364136223846793005u + 1442695040888963407u;
    const double mantisse = static_cast<double>(x >> 11) / 9007199254740992.0;
    werte.push_back((k % 2 ? -1 : 1) * mantisse * std::pow(10.0, k % 25 - 8));
    // The same with one to eight significant digits, as ratios have them.
    const double stellen = std::pow(10.0, k % 8);
    werte.push_back(std::round(mantisse * stellen) / stellen *
                    std::pow(10.0, k % 13 - 6));
  }
  for (double d : werte) {
    EXPECT_EQ(mitLocale(l, d), zahl.standard(d)) << d;
    EXPECT_EQ(festMitLocale(l, d, 3), zahl.fest3(d)) << d;
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, ZahlformatWieStream, ::testing::Range(0, 6));

TEST(Umrechnen, ExaktesProduktMitDemDezimalwertDesFaktors) {
  struct Fall {
    int64_t betrag;
    double faktor;
    int64_t erwartet;
  };
  for (const Fall& f : {
           // The double product is 3122754999.9999995.
           Fall{2763500000, 1.13, 3122755000},
           Fall{-2763500000, 1.13, -3122755000},
           // Beyond 2^53 a double would lose the last digit.
           Fall{INT64_C(9007199254740993), 1.0, INT64_C(9007199254740993)},
           Fall{12349, 0.1, 1234},
           Fall{-12349, 0.1, -1234},
           Fall{-12349, -2.5, 30872},
           Fall{1, 1e300, kMax},
           Fall{-1, 1e300, kMin},
           Fall{kMin, 1.0, kMin},
           Fall{kMin, -1.0, kMax},
           Fall{kMax, 0.5, kMax / 2},
           Fall{kMax, 5e-324, 0},
           Fall{0, 1e300, 0},
           Fall{100, 0.0, 0},
           Fall{3, 1.7976931348623157e308, kMax},
           Fall{123456789, 1.2345678901234567, 152415787},
       }) {
    EXPECT_EQ(f.erwartet, umrechnen(f.betrag, f.faktor))
        << f.betrag << " x " << f.faktor;
  }
  // Factors that are not finite act as the double product does.
  EXPECT_EQ(kMax, umrechnen(5, kInf));
  EXPECT_EQ(0, umrechnen(5, kNaN));
}

TEST(Gruppiert, DreiergruppenUndAndereGruppierungen) {
  const std::string lang(30, '9');
  const struct {
    std::string ziffern, gruppen, erwartet;
  } faelle[] = {
      {"", "\3", ""},
      {"7", "\3", "7"},
      {"1234", "\3", "1.234"},
      {"123456", "\3\3", "123.456"},
      {"1234567", "\3", "1.234.567"},
      {lang, "\3", "999.999.999.999.999.999.999.999.999.999"},
      {"1234567", "\3\2", "12.34.567"},
      {"1234567", "\1", "1.2.3.4.5.6.7"},
      {"1234567", "\3\177", "1234.567"},
      {"1234567", "", "1234567"},
  };
  for (const auto& f : faelle) {
    std::string aus = "<";
    gruppiert(aus, f.ziffern, '.', f.gruppen);
    EXPECT_EQ(aus, "<" + f.erwartet) << f.ziffern << " / " << f.gruppen.size();
  }
}
