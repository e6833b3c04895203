#ifndef QUORVELL_TABELLEN_FELDER_H_
#define QUORVELL_TABELLEN_FELDER_H_

// One cell of a table read as the value of a field, by what the cell holds:
// a text as a spreadsheet export writes it; a number, a date or a day number
// as a workbook stores them; a formula's error value or a formula without its
// result refused. A refusal leaves in `fehler` the words that follow the
// quoted cell in a message.

#include <cstdint>
#include <optional>
#include <string>

#include "gemeinsam/ImportZahlen.h"
#include "gemeinsam/Kalender.h"
#include "tabellen/Zellen.h"

// The company name: a text, or a number as stored, without the blanks around
// it, and a name namensfehler() finds nothing wrong with.
std::optional<std::string> leseNamenszelle(const Zelle& zelle,
                                           std::string& fehler);

// A date as text (leseDatum), a date cell, or a day number counted from
// `nullpunkt`.
std::optional<Datum> leseDatumszelle(const Zelle& zelle, const Datum& nullpunkt,
                                     std::string& fehler);

// A year of four digits, 1000 to 9999, as text or as a number.
std::optional<int> leseJahreszelle(const Zelle& zelle, std::string& fehler);

// An amount times `einheit`: a number as stored, or a text in the style
// `stil` (leseBetrag). Without a style (a workbook without --zahlen) a text
// may hold no "." "," or "'", which the styles read differently.
Betrag leseBetragszelle(const Zelle& zelle, std::optional<Zahlenstil> stil,
                        uint64_t einheit, std::string& fehler);

// A factor: a number as stored, or a text read like leseBetragszelle's.
std::optional<double> leseFaktorzelle(const Zelle& zelle,
                                      std::optional<Zahlenstil> stil,
                                      std::string& fehler);

// A currency code of three letters (leseWaehrung).
std::optional<std::string> leseWaehrungszelle(const Zelle& zelle,
                                              std::string& fehler);

// Whether the currency an amount carries, `zeichen` as leseBetrag gives it,
// is the currency `code`: each code only itself, the euro sign EUR, the pound
// sign GBP, the dollar sign one of the dollars USD, AUD, CAD, HKD, NZD and
// SGD.
bool waehrungPasst(const std::string& zeichen, const std::string& code);

// Whether two currencies, each a code or a sign as leseBetrag gives it, can
// be one: the same text, or a sign and a code it stands for.
bool gleicheWaehrung(const std::string& a, const std::string& b);

#endif  // QUORVELL_TABELLEN_FELDER_H_
