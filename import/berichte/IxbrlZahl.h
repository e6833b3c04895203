#ifndef QUORVELL_BERICHTE_IXBRLZAHL_H_
#define QUORVELL_BERICHTE_IXBRLZAHL_H_

// The exact decimals of inline XBRL figures: a value read by its format,
// scaled by a power of ten and signed, written as plain text, and rounded to
// the decimals a report gives, without ever leaving decimal digits.

#include <optional>
#include <string>
#include <string_view>

#include "gemeinsam/ImportZahlen.h"

// Takes apart a plain decimal: an optional "-", digits, an optional point
// with more digits ("-1234.50"); nothing for another text.
std::optional<Dezimal> leseDezimal(std::string_view text);

// `zahl` times ten to the `potenz`, exactly.
Dezimal verschiebe(Dezimal zahl, int potenz);

// `zahl` rounded half to even to `stellen` places after the point; where
// `stellen` is negative, to tens, hundreds and so on.
Dezimal runde(const Dezimal& zahl, int stellen);

// `zahl` as plain text without leading zeros, without zeros at the end of
// its fraction and without a sign for zero: "-1234.5", "0.07", "0". Two
// values are equal when their texts are.
std::string dezimalText(const Dezimal& zahl);

#endif  // QUORVELL_BERICHTE_IXBRLZAHL_H_
