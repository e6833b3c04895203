#ifndef QUORVELL_IMPORTKALENDER_H_
#define QUORVELL_IMPORTKALENDER_H_

// Calendar arithmetic for published reports and exchange rates: days counted
// from 1970-01-01, and dates written the ISO way (2024-01-31).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ImportZahlen.h"

// The number of days from 1970-01-01 to `datum` (negative before it).
int64_t tagNummer(const Datum& datum);

// The date of the day `tag` days after 1970-01-01.
Datum ausTagNummer(int64_t tag);

// A date written as four, two and two digits joined by "-", which must be a
// day of the calendar.
std::optional<Datum> leseIsoDatum(std::string_view text);

std::string isoText(const Datum& datum);
std::string isoText(int64_t tag);

// The same day one year earlier; 29 February gives 28 February.
Datum einJahrVorher(const Datum& datum);

#endif  // QUORVELL_IMPORTKALENDER_H_
