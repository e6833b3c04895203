#ifndef QUORVELL_GEMEINSAM_IMPORTZAHLEN_H_
#define QUORVELL_GEMEINSAM_IMPORTZAHLEN_H_

// Reading the numbers of a spreadsheet, in German, English, Swiss or French
// number style or as a sheet stores them, exactly: amounts are scaled by their
// unit in decimal and never rounded, and whatever is not clearly one value is
// refused with a text that says what was expected.

#include <cstdint>
#include <optional>
#include <string>

// German: 1.234.567,8; English: 1,234,567.8; Swiss: 1'234'567.8 (also with
// U+2019); French: 1 234 567,8 (also with U+00A0 or U+202F between groups).
enum class Zahlenstil { deutsch, englisch, schweizerisch, franzoesisch };

// A number taken apart: its sign, all its digits and how many of them stand
// after the decimal separator.
struct Dezimal {
  bool negativ = false;
  std::string ziffern;
  size_t nachkomma = 0;
};

// An amount cell read from its text: a value, an empty cell, or a refusal. It
// reads like an optional of the value: true and *betrag when there is one.
struct Betrag {
  enum Art { kWert, kLeer, kFehler };

  explicit operator bool() const { return art == kWert; }
  int64_t operator*() const { return wert; }

  Art art = kFehler;
  int64_t wert = 0;
  // The currency the text carried (Schreibweise::waehrung), or empty.
  std::string waehrung;
};

// The amount `text` times `einheit`, exactly. The number may stand in
// parentheses for a negative amount, begin with U+2212 as its minus, and carry
// one currency sign or code before or after it; blanks around all this are
// ignored. A blank text, or "-", an en dash, U+2212 or "n/a" (in any case)
// alone, is an empty cell.
// When the text is no number of the style, its thousands separators stand in
// the wrong place, the product is not whole or it leaves the int64 range, the
// result is a refusal. For a refusal and for an empty cell, `fehler` holds the
// words that follow the quoted text in a message.
// REQUIRES: einheit >= 1.
Betrag leseBetrag(const std::string& text, Zahlenstil stil, uint64_t einheit,
                  std::string& fehler);

// A number as a sheet stores it ("1427.9", "-3.5E-2", "4812300000") times
// `einheit`, exactly; refused like leseBetrag when it is not whole or leaves
// the int64 range. A text of 16 or 17 significant digits whose double has a
// shorter text of at most 15 ("97.59999999999999") is read as that one
// ("97.6"), the number the spreadsheet holds and shows.
// REQUIRES: einheit >= 1.
std::optional<int64_t> leseGespeichertenBetrag(const std::string& text,
                                               uint64_t einheit,
                                               std::string& fehler);

// Takes apart a number as a sheet stores it ("1427.9", "-3.5E-2"), its
// exponent applied (within bounds that keep the digits short and change no
// product with a 64-bit unit); false when it is none.
bool zerlegeGespeichert(const std::string& text, Dezimal& zahl);

// A currency factor: a number of the style greater than 0, as the double
// nearest to its decimal value. A number that double does not hold exactly
// in its shortest decimal form (one of more than 15 to 17 significant digits)
// is refused.
std::optional<double> leseFaktor(const std::string& text, Zahlenstil stil,
                                 std::string& fehler);

// A factor as a sheet stores it ("1.0824", "1.0824E0"), exact or refused as
// by leseFaktor, with a 16- or 17-digit text read as leseGespeichertenBetrag
// reads it.
std::optional<double> leseGespeichertenFaktor(const std::string& text,
                                              std::string& fehler);

// `text` without the blanks and tabs around it.
std::string ohneRand(const std::string& text);

#endif  // QUORVELL_GEMEINSAM_IMPORTZAHLEN_H_
