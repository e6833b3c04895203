#ifndef QUORVELL_IMPORTJSONZAHL_H_
#define QUORVELL_IMPORTJSONZAHL_H_

// Numbers of published reports as they are written: whether a text is a
// number as JSON writes it, and the whole number a JSON number or a decimal
// text stands for, exactly, without going through a double.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Whether `text` is a number as JSON writes it.
bool istJsonZahl(std::string_view text);

// The whole number written as `text`, a JSON number or a decimal text such as
// "-477000" or "20935000000.0", exactly; empty when it is no number, not
// whole, or outside the int64 range, and then `fehler` holds the words that
// follow the quoted text in a message.
std::optional<int64_t> leseGanzzahl(std::string_view text, std::string& fehler);

#endif  // QUORVELL_IMPORTJSONZAHL_H_
