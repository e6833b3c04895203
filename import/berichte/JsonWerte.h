#ifndef QUORVELL_BERICHTE_JSONWERTE_H_
#define QUORVELL_BERICHTE_JSONWERTE_H_

// The scalars of JSON as they are written: whether a token is a string with
// valid escapes, a number or true, false or null, and the whole number a
// JSON number or a decimal text stands for, exactly, without going through a
// double.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Whether the string token `token` (with its quotes) has only escapes JSON
// knows. Its characters are checked as the document's UTF-8 by simdjson.
bool istJsonText(std::string_view token);

// Whether `token` is a number as JSON writes it, true, false or null.
bool istJsonAtom(std::string_view token);

// Whether `text` is a number as JSON writes it.
bool istJsonZahl(std::string_view text);

// The whole number written as `text`, a JSON number or a decimal text such as
// "-477000" or "20935000000.0", exactly; empty when it is no number, not
// whole, or outside the int64 range, and then `fehler` holds the words that
// follow the quoted text in a message.
std::optional<int64_t> leseGanzzahl(std::string_view text, std::string& fehler);

#endif  // QUORVELL_BERICHTE_JSONWERTE_H_
