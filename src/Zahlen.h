#ifndef QUORVELL_ZAHLEN_H_
#define QUORVELL_ZAHLEN_H_

// Numbers without undefined behaviour: conversions that saturate, integer
// arithmetic that wraps, the exact currency conversion of amounts, and the
// number formats of the two display currencies.

#include <cstdint>
#include <locale>
#include <string>
#include <string_view>

// Truncates toward zero and saturates at the int64 limits; NaN gives 0.
int64_t zuInt64(double d);
// Same for int.
int zuInt(double d);

// Two's complement arithmetic: results that leave the int64 range wrap around.
int64_t wrapAdd(int64_t a, int64_t b);
int64_t wrapSub(int64_t a, int64_t b);
int64_t wrapMul(int64_t a, int64_t b);

// `betrag` times `faktor`, truncated toward zero and saturated at the int64
// limits. The factor counts as its shortest decimal text (1.13 for the double
// nearest to 1.13), and the product is exact: 2763500000 x 1.13 gives
// 3122755000, where the product of the two doubles would give 3122754999.
// A factor that is not finite gives what the double product gives.
int64_t umrechnen(int64_t betrag, double faktor);

// Appends `ziffern` (decimal digits) to `aus` with `trenn` between the digit
// groups that a locale's grouping string describes: the first size counts
// from the right, the last one repeats, and a size of zero, a negative one or
// CHAR_MAX ends the grouping. "\3" gives groups of three: "1234567" with '.'
// becomes "1.234.567".
void gruppiert(std::string& aus, std::string_view ziffern, char trenn,
               std::string_view gruppen);

// Writes `betrag` so that it ends just before `ende`, with `trenn` between
// groups of three digits, and returns where it begins: 26 characters at most.
char* dreierRueckwaerts(char* ende, uint64_t betrag, char trenn);

// The number format of a currency: "de_DE.utf8" for 0 (euro), "en_US.utf8"
// otherwise. Where the system lacks the named locale, an equivalent numeric
// format of our own (same separators and grouping) stands in. Created once.
const std::locale& zahlenLocale(int waehrung);
// Our own numeric format for the currency, as the system locale has it.
std::locale ersatzLocale(int waehrung);
// The locale exactly as the system provides it, or null when it has none.
const std::locale* systemLocale(int waehrung);

// Writes numbers exactly as a stream imbued with `loc` writes them (digit
// grouping and decimal separator included), without a stream per number, so
// large tables format quickly. Each form appends to a text or returns one.
class Zahlformat {
 public:
  explicit Zahlformat(const std::locale& loc);
  // As `stream << wert`.
  void ganz(std::string& aus, int64_t wert) const;
  std::string ganz(int64_t wert) const;
  // As `stream << std::fixed << std::setprecision(3) << wert`.
  void fest3(std::string& aus, double wert) const;
  std::string fest3(double wert) const;
  // As `stream << wert` with the default format (6 significant digits).
  void standard(std::string& aus, double wert) const;
  std::string standard(double wert) const;

 private:
  void lokal(std::string& aus, const char* anfang, const char* ende,
             bool gruppieren) const;

  char dezimal_;
  char trenn_;
  std::string gruppen_;
  // Every digit group is three long, as in both currencies.
  bool dreier_;
};

#endif  // QUORVELL_ZAHLEN_H_
