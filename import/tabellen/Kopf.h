#ifndef QUORVELL_TABELLEN_KOPF_H_
#define QUORVELL_TABELLEN_KOPF_H_

// The header of a table: which column holds which field, found by the names
// built in or given with --spalte, and, where the years run across
// ("Umsatz 2022", "2023 Umsatz"), for which year; with the rules of a run
// that decide which columns a table needs.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gemeinsam/ImportFirma.h"
#include "gemeinsam/ImportZahlen.h"
#include "tabellen/Zellen.h"

// The fields of a table; betrag[b] of a report is the field kUmsatz + b.
enum Feld {
  kFirma,
  kDatum,
  kJahr,
  kUmsatz,
  kGewinn,
  kBilanzsumme,
  kEigenkapital,
  kEurFaktor,
  kUsdFaktor,
  kWaehrung,
  kFelder
};

// A field's name in messages: "Umsatz", "EUR-Faktor".
const char* feldname(int feld);

// The header of a field's column, given as --spalte FELD=KOPF.
struct Spaltenname {
  int feld;
  std::string kopf;
};

// Adds the value `wert` of --spalte to `namen`. False with `fehler` when
// FELD is none of the names a header of a field may have, KOPF is empty, or
// the field or the header was named before.
bool nimmSpaltenname(const std::string& wert, std::vector<Spaltenname>& namen,
                     std::string& fehler);

// How the tables of a run are read: number style, unit of the amounts, the
// factors and the currency given for all rows (--eur-faktor, --usd-faktor,
// --waehrung), the year given for all rows (--jahr), the day the fiscal
// years end (--stichtag; its `jahr` unused) and the headers named with
// --spalte.
struct Importregeln {
  // Empty for a workbook without --zahlen: a number stored as text may then
  // hold no separator, which the styles read differently.
  std::optional<Zahlenstil> stil;
  uint64_t einheit;
  std::optional<double> faktor[2];
  std::optional<std::string> waehrung;
  std::optional<int> jahr;
  Datum stichtag = {31, 12, 0};
  std::vector<Spaltenname> spalten;
};

// Column numbers of a field that has no column of its own.
constexpr int kKeineSpalte = -1;
constexpr int kAusOption = -2;

// The columns of a header.
struct Spalten {
  // The column of `feld` for the report of `jahr` where the years run
  // across, else for the row: a column, kKeineSpalte or kAusOption.
  int fuer(int feld, std::optional<int> jahr) const;

  std::vector<std::string> kopf;  // each header without blanks around it
  int spalte[kFelder];            // a field's column for every row and year
  bool jahreQuer = false;
  // Years across: the years with a column for each of the four amounts, and
  // the columns of each field for the year, kKeineSpalte where it has none.
  std::map<int, std::array<int, kFelder>> jahre;
};

// Finds the columns of the header `kopf` of `blatt`. False, with the errors
// in `meldungen`, when a field is missing or has two columns, or a header
// named with --spalte is not there. Warnings: an option that a column gives
// too, a year across that lacks one of the four amounts, a column of years
// beside a column of dates, --jahr for a table that has its years.
bool findeSpalten(const Zellenzeile& kopf, const Blatt& blatt,
                  const Importregeln& regeln, Spalten& spalten,
                  Meldungen& meldungen);

#endif  // QUORVELL_TABELLEN_KOPF_H_
