#include "Hilfen.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST(ZeichenAnzahl, ZaehltUtf8ZeichenStattBytes) {
  EXPECT_EQ(0, zeichenAnzahl(""));
  EXPECT_EQ(9, zeichenAnzahl("Muster AG"));
  EXPECT_EQ(6, zeichenAnzahl("M\xC3\xBCller"));
  EXPECT_EQ(5, zeichenAnzahl("1 \xE2\x82\xAC ."));  // euro sign: 3 bytes
}

TEST(HtmlText, MaskiertSonderzeichenUndSchreibtNichtAsciiAlsZeichenreferenz) {
  EXPECT_EQ("Muster AG", htmlText("Muster AG"));
  EXPECT_EQ("A&amp;B &lt;C&gt; &quot;D&quot;", htmlText("A&B <C> \"D\""));
  EXPECT_EQ("M&#252;ller", htmlText("M\xC3\xBCller"));
  EXPECT_EQ("&#8364;", htmlText("\xE2\x82\xAC"));
}

TEST(HtmlText, UngueltigesUtf8WirdAlsLatin1Gelesen) {
  EXPECT_EQ("M&#252;ller", htmlText("M\xFCller"));
  EXPECT_EQ("&#252;", htmlText("\xFC"));
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
    0.0,       -0.0,        0.0005,   0.0625, 0.1875,   -0.5,     0.125,
    0.9995,    999.5,       999.9995, 1000.0, 99999.95, 100000.0, 999999.5,
    1234567.5, -1234567.25, 1e15,     1e16,   1e21,     -1e21,    1.5e300,
    -1e-7,     1e-5,        5e-324,   kNaN,   -kNaN,    kInf,     -kInf};

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
  }
  for (double d : werte) {
    EXPECT_EQ(mitLocale(l, d), zahl.standard(d)) << d;
    EXPECT_EQ(festMitLocale(l, d, 3), zahl.fest3(d)) << d;
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, ZahlformatWieStream, ::testing::Range(0, 6));

// A file in a fresh directory, removed again with the directory.
class Dateiersatz : public ::testing::Test {
 protected:
  void SetUp() override {
    char muster[] = "/tmp/dateiersatz_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(muster));
    ordner = muster;
    pfad = ordner + "/save.dat";
  }
  void TearDown() override {
    chmod(ordner.c_str(), 0700);
    std::remove(pfad.c_str());
    rmdir((pfad + ".tmp").c_str());
    std::remove((pfad + ".tmp").c_str());
    rmdir(ordner.c_str());
  }
  std::string inhalt() {
    std::string text;
    EXPECT_TRUE(leseDatei(pfad, text));
    return text;
  }

  std::string ordner;
  std::string pfad;
};

TEST_F(Dateiersatz, ErsetztDenInhaltGanzOhneReste) {
  ASSERT_TRUE(ersetzeDatei(pfad, "alt\n"));
  ASSERT_TRUE(ersetzeDatei(pfad, "neu\n"));
  EXPECT_EQ("neu\n", inhalt());
  EXPECT_NE(0, access((pfad + ".tmp").c_str(), F_OK));
}

TEST_F(Dateiersatz, AlteDateiBleibtGanzWennDieNeueNichtGeschriebenWerdenKann) {
  ASSERT_TRUE(ersetzeDatei(pfad, "0\n0\n5\n3\n1\n0\n0\n1\n"));
  ASSERT_EQ(0, mkdir((pfad + ".tmp").c_str(), 0700));
  EXPECT_FALSE(ersetzeDatei(pfad, "1\n"));
  EXPECT_EQ("0\n0\n5\n3\n1\n0\n0\n1\n", inhalt());
}

TEST_F(Dateiersatz, SchreibgeschuetzterOrdnerLaesstDieAlteDateiStehen) {
  if (geteuid() == 0) GTEST_SKIP() << "root darf auch hier schreiben";
  ASSERT_TRUE(ersetzeDatei(pfad, "alt\n"));
  ASSERT_EQ(0, chmod(ordner.c_str(), 0500));
  EXPECT_FALSE(ersetzeDatei(pfad, "neu\n"));
  EXPECT_EQ("alt\n", inhalt());
}
