#ifndef QUORVELL_HILFEN_H_
#define QUORVELL_HILFEN_H_

// Small helpers the classes share: integer arithmetic that never has undefined
// behaviour, the number formats of the two display currencies, and text
// measuring and escaping for UTF-8 data.

#include <cstdint>
#include <locale>
#include <string>

// Truncates toward zero and saturates at the int64 limits; NaN gives 0.
int64_t zuInt64(double d);
// Same for int.
int zuInt(double d);

// Two's complement arithmetic: results that leave the int64 range wrap around.
int64_t wrapAdd(int64_t a, int64_t b);
int64_t wrapSub(int64_t a, int64_t b);
int64_t wrapMul(int64_t a, int64_t b);

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
// large tables format quickly.
class Zahlformat {
 public:
  explicit Zahlformat(const std::locale& loc);
  // As `stream << wert`.
  std::string ganz(int64_t wert) const;
  // As `stream << std::fixed << std::setprecision(3) << wert`.
  std::string fest3(double wert) const;
  // As `stream << wert` with the default format (6 significant digits).
  std::string standard(double wert) const;

 private:
  std::string lokal(const char* anfang, const char* ende,
                    bool gruppieren) const;

  char dezimal_;
  char trenn_;
  std::string gruppen_;
};

// Number of characters in `text`: UTF-8 sequences, and every byte that is
// not part of one (read as Latin-1, as htmlText does).
int zeichenAnzahl(const std::string& text);

// `text` for an HTML page: &, <, > and " as entities, every character outside
// ASCII as a numeric character reference. Bytes that are not valid UTF-8 are
// read as Latin-1.
std::string htmlText(const std::string& text);

// Reads the whole file `pfad` into `inhalt`; false when it cannot be opened
// or read (a directory, for example).
bool leseDatei(const std::string& pfad, std::string& inhalt);

// Replaces the file `pfad` by `inhalt`: writes a temporary file beside it and
// renames it into place, so the old file stays whole when writing fails.
// Returns false (and leaves the old file) when it cannot be written.
bool ersetzeDatei(const std::string& pfad, const std::string& inhalt);

#endif  // QUORVELL_HILFEN_H_
