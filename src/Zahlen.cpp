#include "Zahlen.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

int64_t zuInt64(double d) {
  if (std::isnan(d)) return 0;
  // 2^63 is the first double above the int64 range; -2^63 is still inside.
  if (d >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (d < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(d);
}

int zuInt(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 2147483648.0) return std::numeric_limits<int>::max();
  if (d <= -2147483649.0) return std::numeric_limits<int>::min();
  return static_cast<int>(d);
}

int64_t wrapAdd(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) +
                              static_cast<uint64_t>(b));
}

int64_t wrapSub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) -
                              static_cast<uint64_t>(b));
}

int64_t wrapMul(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) *
                              static_cast<uint64_t>(b));
}

namespace {

__extension__ typedef __int128 Int128;

constexpr int64_t kGroesster = std::numeric_limits<int64_t>::max();
constexpr int64_t kKleinster = std::numeric_limits<int64_t>::min();

// A factor as its shortest decimal text: ziffern x 10^exponent.
struct Dezimal {
  bool negativ;
  uint64_t ziffern;
  int exponent;
};

// REQUIRES: `faktor` is finite.
Dezimal alsDezimal(double faktor) {
  // The shortest scientific text has at most 17 significant digits, which
  // fit into 57 bits: "-1.7976931348623157e+308".
  char text[32];
  const auto [ende, fehler] = std::to_chars(text, text + sizeof text, faktor,
                                            std::chars_format::scientific);
  (void)fehler;
  Dezimal d{text[0] == '-', 0, 0};
  int nachkomma = -1;
  const char* p = d.negativ ? text + 1 : text;
  for (; p != ende && *p != 'e'; ++p) {
    if (*p == '.') {
      nachkomma = 0;
      continue;
    }
    d.ziffern = d.ziffern * 10 + static_cast<uint64_t>(*p - '0');
    if (nachkomma >= 0) ++nachkomma;
  }
  std::from_chars(p + 1 + (p[1] == '+'), ende, d.exponent);
  d.exponent -= std::max(nachkomma, 0);
  return d;
}

int64_t saettige(Int128 wert) {
  if (wert > kGroesster) return kGroesster;
  if (wert < kKleinster) return kKleinster;
  return static_cast<int64_t>(wert);
}

}  // namespace

/* The product of a 64-bit amount and at most 17 decimal digits stays below
 * 2^120, so it is exact in 128 bits. Scaling up stops as soon as the result
 * leaves the int64 range; scaling down divides once, which truncates toward
 * zero as the conversion must. */
int64_t umrechnen(int64_t betrag, double faktor) {
  if (!std::isfinite(faktor)) {
    return zuInt64(static_cast<double>(betrag) * faktor);
  }
  const Dezimal d = alsDezimal(faktor);
  Int128 wert = static_cast<Int128>(betrag) * static_cast<Int128>(d.ziffern);
  if (d.negativ) wert = -wert;
  for (int e = 0; e < d.exponent && wert != 0; ++e) {
    if (wert > kGroesster || wert < kKleinster) break;
    wert *= 10;
  }
  if (d.exponent < 0) {
    // |wert| < 10^37, so 10^37 and beyond leave nothing.
    if (d.exponent < -37) return 0;
    Int128 teiler = 1;
    for (int e = 0; e < -d.exponent; ++e) teiler *= 10;
    wert /= teiler;
  }
  return saettige(wert);
}

namespace {

// Decimal separator and digit grouping by three, as the named locales of the
// two currencies have them.
class Zahlenformat : public std::numpunct<char> {
 public:
  Zahlenformat(char dezimal, char tausender)
      : dezimal_(dezimal), tausender_(tausender) {}

 protected:
  char do_decimal_point() const override { return dezimal_; }
  char do_thousands_sep() const override { return tausender_; }
  std::string do_grouping() const override { return "\3"; }

 private:
  char dezimal_;
  char tausender_;
};

const char* localeName(int waehrung) {
  return waehrung == 0 ? "de_DE.utf8" : "en_US.utf8";
}

std::optional<std::locale> versucheLocale(const char* name) {
  try {
    return std::locale(name);
  } catch (const std::runtime_error&) {
    return std::nullopt;
  }
}

}  // namespace

std::locale ersatzLocale(int waehrung) {
  return waehrung == 0
             ? std::locale(std::locale::classic(), new Zahlenformat(',', '.'))
             : std::locale(std::locale::classic(), new Zahlenformat('.', ','));
}

const std::locale* systemLocale(int waehrung) {
  static const std::optional<std::locale> de = versucheLocale(localeName(0));
  static const std::optional<std::locale> en = versucheLocale(localeName(1));
  const std::optional<std::locale>& l = waehrung == 0 ? de : en;
  return l ? &*l : nullptr;
}

const std::locale& zahlenLocale(int waehrung) {
  static const std::locale de =
      systemLocale(0) ? *systemLocale(0) : ersatzLocale(0);
  static const std::locale en =
      systemLocale(1) ? *systemLocale(1) : ersatzLocale(1);
  return waehrung == 0 ? de : en;
}

namespace {

// Every group three digits long, as in both currencies and on the console.
bool dreierGruppen(std::string_view gruppen) {
  return !gruppen.empty() && std::all_of(gruppen.begin(), gruppen.end(),
                                         [](char g) { return g == 3; });
}

}  // namespace

Zahlformat::Zahlformat(const std::locale& loc) {
  const auto& np = std::use_facet<std::numpunct<char>>(loc);
  dezimal_ = np.decimal_point();
  trenn_ = np.thousands_sep();
  gruppen_ = np.grouping();
  dreier_ = dreierGruppen(gruppen_);
}

namespace {

// Walks the digit groups of a locale's grouping string from the right: the
// first size counts from the right, the last one repeats, and a size of
// zero, a negative one or CHAR_MAX ends the grouping.
class Gruppen {
 public:
  explicit Gruppen(std::string_view gruppen) : gruppen_(gruppen) {}
  // The size of the next group, 0 when grouping has ended.
  size_t naechste() {
    if (i_ >= gruppen_.size() && i_ > 0) return letzte_;
    const char g = i_ < gruppen_.size() ? gruppen_[i_++] : 0;
    letzte_ = g > 0 && g != std::numeric_limits<char>::max()
                  ? static_cast<size_t>(g)
                  : 0;
    return letzte_;
  }

 private:
  std::string_view gruppen_;
  size_t i_ = 0;
  size_t letzte_ = 0;
};

}  // namespace

// The number of separators `n` digits get.
size_t trennAnzahl(size_t n, std::string_view gruppen) {
  size_t anzahl = 0;
  Gruppen gruppe(gruppen);
  for (size_t rest = n, g = gruppe.naechste(); g > 0 && rest > g;
       g = gruppe.naechste()) {
    rest -= g;
    ++anzahl;
  }
  return anzahl;
}

void gruppiert(std::string& aus, std::string_view ziffern, char trenn,
               std::string_view gruppen) {
  if (ziffern.size() <= 3 && !gruppen.empty() && gruppen[0] >= 3) {
    aus += ziffern;  // a single group, as most small numbers are
    return;
  }
  const size_t laenge = ziffern.size() + trennAnzahl(ziffern.size(), gruppen);
  // Filled from the right in a buffer on the stack, then appended at once.
  char puffer[512];
  std::string gross;
  char* anfang = puffer;
  if (laenge > sizeof puffer) {
    gross.resize(laenge);
    anfang = gross.data();
  }
  char* z = anfang + laenge;
  const char* q = ziffern.data() + ziffern.size();
  Gruppen gruppe(gruppen);
  while (z - anfang > q - ziffern.data()) {
    for (size_t g = gruppe.naechste(); g > 0; --g) *--z = *--q;
    *--z = trenn;
  }
  while (q != ziffern.data()) *--z = *--q;
  aus.append(anfang, laenge);
}

char* dreierRueckwaerts(char* ende, uint64_t betrag, char trenn) {
  char* p = ende;
  for (;;) {
    for (int i = 0; i < 3; ++i) {
      *--p = static_cast<char>('0' + betrag % 10);
      betrag /= 10;
      if (betrag == 0) return p;
    }
    *--p = trenn;
  }
}

// Appends the C-formatted number [anfang, ende) with the locale's decimal
// point and digit groups.
void Zahlformat::lokal(std::string& aus, const char* anfang, const char* ende,
                       bool gruppieren) const {
  const char* punkt = std::find(anfang, ende, '.');
  const char* ziffern = anfang != ende && (*anfang == '-' || *anfang == '+')
                            ? anfang + 1
                            : anfang;
  const std::string_view ganzteil(ziffern,
                                  static_cast<size_t>(punkt - ziffern));
  if (ziffern != anfang) aus += *anfang;
  if (gruppieren) {
    gruppiert(aus, ganzteil, trenn_, gruppen_);
  } else {
    aus += ganzteil;
  }
  if (punkt != ende) {
    aus += dezimal_;
    aus.append(punkt + 1, static_cast<size_t>(ende - punkt - 1));
  }
}

void Zahlformat::ganz(std::string& aus, int64_t wert) const {
  char puffer[32];
  if (dreier_) {
    char* const ende = puffer + sizeof puffer;
    // The magnitude as unsigned: the most negative value has no negation.
    const uint64_t betrag = wert < 0 ? 0 - static_cast<uint64_t>(wert)
                                     : static_cast<uint64_t>(wert);
    char* p = dreierRueckwaerts(ende, betrag, trenn_);
    if (wert < 0) *--p = '-';
    aus.append(p, static_cast<size_t>(ende - p));
    return;
  }
  const auto ergebnis = std::to_chars(puffer, puffer + sizeof puffer, wert);
  lokal(aus, puffer, ergebnis.ptr, true);
}

namespace {

static_assert(std::numeric_limits<long double>::digits >= 63,
              "a double times 1000 must be exact in long double");

/* The magnitude of `wert` in thousandths, as fixed notation with three
 * decimals rounds it. The 53-bit mantissa of a double times 1000 (10 bits)
 * fits the 64-bit mantissa of long double exactly, so rounding that product
 * once, ties to even, gives the thousandths that the general conversion would
 * give, at a fraction of its cost. Values beyond 10^15 and non-finite ones
 * give false: they take the general way. */
bool tausendstel(double wert, uint64_t& n) {
  const long double t = static_cast<long double>(wert) * 1000.0L;
  if (!std::isfinite(wert) || std::fabs(t) >= 1e18L) return false;
  n = static_cast<uint64_t>(std::fabs(std::rint(t)));
  return true;
}

}  // namespace

void Zahlformat::fest3(std::string& aus, double wert) const {
  uint64_t n = 0;
  if (dreier_ && tausendstel(wert, n)) {
    char kurz[40];
    char* const ende = kurz + sizeof kurz;
    char* p = ende;
    for (int i = 0; i < 3; ++i, n /= 10) *--p = static_cast<char>('0' + n % 10);
    *--p = dezimal_;
    p = dreierRueckwaerts(p, n, trenn_);
    if (std::signbit(wert)) *--p = '-';
    aus.append(p, static_cast<size_t>(ende - p));
    return;
  }
  char puffer[400];
  lokal(aus, puffer,
        std::to_chars(puffer, puffer + sizeof puffer, wert,
                      std::chars_format::fixed, 3)
            .ptr,
        std::isfinite(wert));
}

namespace {

/* Six significant digits in fixed notation, as to_chars (and a stream's
 * default format) writes values from 10^-4 to below 10^6: the digits
 * rounded, the decimal point placed, trailing zeros dropped. The value is
 * scaled to six integer digits in long double, where a double times an exact
 * power of ten errs by less than 10^-13 at that size; so unless it lies within
 * 10^-6 of a tie, rounding it gives the correctly rounded digits. Everything
 * else (ties, the exponent form, zero, subnormal and non-finite values) takes
 * the general conversion. Returns null when the fast way does not apply. */
char* sechsStellenFest(char* anfang, double wert) {
  static constexpr long double kZehnHoch[] = {1e0L, 1e1L, 1e2L, 1e3L, 1e4L,
                                              1e5L, 1e6L, 1e7L, 1e8L, 1e9L};
  const double betrag = std::fabs(wert);
  if (!std::isnormal(wert) || betrag < 1e-4 || betrag >= 1e6) return nullptr;
  // The power of ten below `betrag`; where an inexact bound makes it one
  // off, the range check below notices.
  static constexpr double kGrenzen[] = {1e-3, 1e-2, 1e-1, 1e0, 1e1,
                                        1e2,  1e3,  1e4,  1e5};
  int exponent = -4;
  while (exponent < 5 && betrag >= kGrenzen[exponent + 4]) ++exponent;
  const long double skaliert =
      static_cast<long double>(betrag) * kZehnHoch[5 - exponent];
  const long double gerundet = std::rint(skaliert);
  const long double rest = skaliert - std::floor(skaliert);
  if (skaliert < 99999.5L || gerundet > 999999.0L ||
      std::fabs(rest - 0.5L) < 1e-6L) {
    return nullptr;
  }
  char ziffern[8];
  std::to_chars(ziffern, ziffern + sizeof ziffern,
                static_cast<uint32_t>(gerundet));
  // Place the decimal point after exponent + 1 digits, or pad with zeros.
  char* p = anfang;
  if (std::signbit(wert)) *p++ = '-';
  if (exponent < 0) {
    *p++ = '0';
    *p++ = '.';
    for (int i = -1; i > exponent; --i) *p++ = '0';
    p = std::copy(ziffern, ziffern + 6, p);
  } else {
    p = std::copy(ziffern, ziffern + exponent + 1, p);
    *p++ = '.';
    p = std::copy(ziffern + exponent + 1, ziffern + 6, p);
  }
  while (p[-1] == '0') --p;
  if (p[-1] == '.') --p;
  return p;
}

char* sechsStellen(char* anfang, char* ende, double wert) {
  char* schnell = sechsStellenFest(anfang, wert);
  if (schnell != nullptr) return schnell;
  return std::to_chars(anfang, ende, wert, std::chars_format::general, 6).ptr;
}

}  // namespace

void Zahlformat::standard(std::string& aus, double wert) const {
  char puffer[64];
  const char* c = puffer;
  const char* ende = sechsStellen(puffer, puffer + sizeof puffer, wert);
  const long laenge = ende - c;
  // Streams group the integer digits unless the text is in exponent form
  // without a decimal point (such as 1e+06).
  const bool gruppieren =
      std::isfinite(wert) && (std::find(c, ende, '.') != ende || laenge < 3 ||
                              (std::isdigit(static_cast<unsigned char>(c[1])) &&
                               std::isdigit(static_cast<unsigned char>(c[2]))));
  lokal(aus, c, ende, gruppieren);
}

std::string Zahlformat::ganz(int64_t wert) const {
  std::string aus;
  ganz(aus, wert);
  return aus;
}

std::string Zahlformat::fest3(double wert) const {
  std::string aus;
  fest3(aus, wert);
  return aus;
}

std::string Zahlformat::standard(double wert) const {
  std::string aus;
  standard(aus, wert);
  return aus;
}
