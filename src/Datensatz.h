#ifndef QUORVELL_DATENSATZ_H_
#define QUORVELL_DATENSATZ_H_

// One record of a company data file, read field by field from its words: the
// report date as written, the four amounts and the two factors, and for a
// word that is no value of its field, the reason.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Finanzen.h"

// A report date as written in the file.
struct Berichtsdatum {
  int tag = 0;
  int monat = 0;
  int jahr = 0;
  bool kurzesJahr = false;  // written with fewer than four digits
};

bool frueher(const Berichtsdatum& a, const Berichtsdatum& b);

// REQUIRES: 1 <= monat <= 12. Counts leap years by the Gregorian rule, as the
// date arithmetic of the C library does.
int tageImMonat(int monat, int jahr);

// The names of a record's seven fields, the date first, as messages give them.
constexpr std::array<const char*, 7> kFeldnamen = {
    "Datum",        "Umsatz",     "Gewinn",    "Bilanzsumme",
    "Eigenkapital", "EUR-Faktor", "USD-Faktor"};

// One report as read from a data file, with the text and line of its date.
struct Datensatz {
  Berichtsdatum datum;
  std::array<int64_t, 4> betrag{};
  std::array<double, 2> faktor{};
  std::string_view datumText;
  int64_t zeile = 0;
};

// Reads field `feld` (0 is the date) of a record from `wort`. False when it
// holds no value of that field; `grund` then holds the words that follow the
// quoted word in a message, such as " hat keinen Monat von 1 bis 12".
bool leseFeld(size_t feld, std::string_view wort, Datensatz& d,
              std::string& grund);

Finanzen alsBericht(const Datensatz& d);

#endif  // QUORVELL_DATENSATZ_H_
