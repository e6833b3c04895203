#ifndef QUORVELL_TABELLEN_ZELLEN_H_
#define QUORVELL_TABELLEN_ZELLEN_H_

// The rows of cells that every sheet reader (CSV, xlsx, ods) hands to the
// table reader: each cell as the file stores it, each row with its place in
// the file, and the texts that name a row or a cell in messages.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "gemeinsam/Kalender.h"
#include "tabellen/Csv.h"

// What a cell holds; its text is, by kind:
enum class Zellart {
  leer,    // empty
  text,    // the text, never empty
  zahl,    // the number as stored ("1427.9", "4.8123E3"), never via a double
  datum,   // a date cell as year-month-day ("2022-12-31"), time of day dropped
  fehler,  // the error value a formula gave ("#DIV/0!")
  formel,  // a formula whose result the file does not hold, as written there
           // ("C2*2" in xlsx, "of:=[.C2]*2" in ods)
};

struct Zelle {
  Zellart art = Zellart::leer;
  std::string text;
};

struct Zellenzeile {
  int zeile;  // CSV: the line the record starts on; sheet: the row, from 1
  // From column A on: every field of a CSV record; a sheet's cells up to the
  // last one that is not empty.
  std::vector<Zelle> zellen;
};

// One sheet: its rows that hold anything, top to bottom, and where they come
// from.
struct Blatt {
  std::string quelle;  // the file, as messages name it
  std::string name;    // the sheet's name in a workbook
  bool ausMappe = false;
  Datum nullpunkt = kNullpunkt1900;  // day 0 of its day numbers
  std::vector<Zellenzeile> zeilen;
  // Where given, a workbook's reader hands each row there as it is read,
  // instead of keeping it in `zeilen`.
  std::function<void(const Zellenzeile&)> weiter;
};

// The CSV records as rows of text cells, every field as it is (an empty field
// an empty cell).
Blatt blattAusCsv(const std::vector<CsvZeile>& saetze,
                  const std::string& quelle);

// Makes `zeile` the row of the CSV record `satz`, as blattAusCsv does, taking
// the fields out of `satz`; `zeile` keeps its memory from row to row.
void nimmSatz(CsvZeile& satz, Zellenzeile& zeile);

// Whether the cell is empty or a text of blanks and tabs.
bool ohneInhalt(const Zelle& zelle);
// Whether every cell of the row is.
bool ohneInhalt(const Zellenzeile& zeile);

// The cell in column `spalte` (from 0), or an empty one right of the row.
const Zelle& zelleIn(const Zellenzeile& zeile, size_t spalte);

// The letters of the column `spalte`, counted from 0: A to Z, AA, AB, ...
std::string spaltenname(size_t spalte);

// The sheet, for a message: "firmen.csv" or "firmen.xlsx, Blatt \"Daten\"".
std::string blattOrt(const Blatt& blatt);

// Where a row is, for a message: "firmen.csv:7" or
// "firmen.xlsx, Blatt \"Daten\", Zeile 7".
std::string zeilenOrt(const Blatt& blatt, int zeile);
// The same for the sheet `blatt` of `quelle`; a CSV file has none (empty).
std::string zeilenOrt(const std::string& quelle, const std::string& blatt,
                      int zeile);

// Where a cell is, for a message: "firmen.csv:7" (a CSV names the line) or
// "firmen.xlsx, Blatt \"Daten\", Zelle C7".
std::string zellenOrt(const Blatt& blatt, int zeile, size_t spalte);

#endif  // QUORVELL_TABELLEN_ZELLEN_H_
