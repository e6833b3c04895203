#ifndef QUORVELL_IMPORTZAHLEN_H_
#define QUORVELL_IMPORTZAHLEN_H_

// Reading the numbers and dates of a spreadsheet export, in German or English
// number style, exactly: amounts are scaled by their unit in decimal and never
// rounded, and whatever is not clearly one value is refused with a text that
// says what was expected.

#include <cstdint>
#include <optional>
#include <string>

// German: 1.234.567,8; English: 1,234,567.8.
enum class Zahlenstil { deutsch, englisch };

struct Datum {
  int tag;
  int monat;
  int jahr;
};

// The amount `text` times `einheit`, exactly. When the text is no number of
// the style, its thousands separators stand in the wrong place, the product is
// not whole or it leaves the int64 range, the result is empty and `fehler`
// holds the words that follow the quoted text in a message.
// REQUIRES: einheit >= 1.
std::optional<int64_t> leseBetrag(const std::string& text, Zahlenstil stil,
                                  uint64_t einheit, std::string& fehler);

// A currency factor: a number of the style greater than 0, as the double
// nearest to its decimal value. A number that double does not hold exactly
// in its shortest decimal form (one of more than 15 to 17 significant digits)
// is refused.
std::optional<double> leseFaktor(const std::string& text, Zahlenstil stil,
                                 std::string& fehler);

// A date as 31.12.2020, 2020-12-31 or 31-12-2020 (day and month with one or
// two digits, the year with four), which must exist in the calendar.
std::optional<Datum> leseDatum(const std::string& text, std::string& fehler);

// `text` without the blanks and tabs around it.
std::string ohneRand(const std::string& text);

#endif  // QUORVELL_IMPORTZAHLEN_H_
