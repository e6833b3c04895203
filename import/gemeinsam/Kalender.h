#ifndef QUORVELL_GEMEINSAM_KALENDER_H_
#define QUORVELL_GEMEINSAM_KALENDER_H_

// Dates for the importer: days counted from 1970-01-01, dates written the ISO
// way (2024-01-31) or as a spreadsheet writes them (31.12.2020), a sheet's
// day numbers, and the day a fiscal year ends.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct Datum {
  int tag;
  int monat;
  int jahr;
};

// Day 0 of a sheet's day numbers: 1899-12-30 by default, 1904-01-01 in the
// 1904 system.
inline constexpr Datum kNullpunkt1900{30, 12, 1899};
inline constexpr Datum kNullpunkt1904{1, 1, 1904};

// The number of days from 1970-01-01 to `datum` (negative before it).
int64_t tagNummer(const Datum& datum);

// The date of the day `tag` days after 1970-01-01.
Datum ausTagNummer(int64_t tag);

// A date as 31.12.2020, 2020-12-31 or 31-12-2020 (day and month with one or
// two digits, the year with four), which must exist in the calendar.
std::optional<Datum> leseDatum(const std::string& text, std::string& fehler);

// The day a sheet's day number `text` (as stored, counted from `nullpunkt`)
// falls on; a time of day in its fraction is dropped. Only days from
// 1900-03-01 to 9999-12-31 are accepted.
std::optional<Datum> leseTagesnummer(const std::string& text,
                                     const Datum& nullpunkt,
                                     std::string& fehler);

// The day a fiscal year ends, as "TT.MM." (31.03., 30.6.; the last dot may
// be left out): a day that every year has. Its `jahr` is 0.
std::optional<Datum> leseStichtag(const std::string& text);

// A date written as four, two and two digits joined by "-", which must be a
// day of the calendar.
std::optional<Datum> leseIsoDatum(std::string_view text);

std::string isoText(const Datum& datum);
std::string isoText(int64_t tag);

// The same day one year earlier; 29 February gives 28 February.
Datum einJahrVorher(const Datum& datum);

#endif  // QUORVELL_GEMEINSAM_KALENDER_H_
