#ifndef QUORVELL_TABELLE_H_
#define QUORVELL_TABELLE_H_

// Turns a table into text: the values of its cells, the aligned console table
// with its sort line, and the HTML page of the export. Each returns a string
// or hands the text on in pieces; the menu system prints and saves them.

#include <cstdint>
#include <ctime>
#include <functional>
#include <locale>
#include <string>
#include <string_view>
#include <vector>

#include "Zahlen.h"

struct Spalte;

// What a table shows: the shown columns in order, the row order, the number
// of rows, the sort column and direction, and the number format.
struct Anzeige {
  const std::vector<Spalte>& spalten;
  // Display position k shows row reihenfolge[k]; a position beyond it shows
  // no row.
  const std::vector<int>& reihenfolge;
  int zeilen;
  // Position in `spalten`; no sort line when it names no shown column.
  int sortSpalte;
  bool aufsteigend;
  // Groups the digits of amounts on the console.
  char trenn;
  // Writes ratios on the console and every number of the page.
  Zahlformat zahl;
  // The measure (spaltenMass) of each shown column when it is known already;
  // null to measure them.
  const std::vector<int>* masse = nullptr;
};

// `a` with copies of `b` put in front until it is `c` long; a longer text
// comes back unchanged.
std::string fuelle(std::string a, char b, int c);
// A report date as year-month-day with four, two and two digits.
std::string datumText(const tm& datum);
// `i` with `trenn` between groups of three digits; a negative `i` is written
// without separators.
std::string tausender(int64_t i, char trenn);
// An amount as the table shows it: grouped, a negative one in parentheses.
std::string betragText(int64_t i, char trenn);
// A fraction as a percentage with at most three decimals and "%", written
// as a stream with the locale `loc` writes it.
std::string prozentText(double i, const std::locale& loc);

// The text the table shows for row `zeile` of `s`: grouped, negative values
// in parentheses, forecasts with "*"; empty where the column has no cell there
// (a ratio column shows a blank).
std::string zellenText(const Spalte& s, int zeile, char trenn,
                       const Zahlformat& zahl);
// The sort line without its line end; empty when the sort column names no
// shown column.
std::string sortZeile(const Anzeige& a);

// The width a column needs before the two blanks that separate it: the
// widest of its title and its cells, plus 3. A ratio is measured as the
// fraction, not as the percentage the cell shows.
int spaltenMass(const Spalte& s, char trenn, const Zahlformat& zahl);

// Takes a rendered text piece by piece.
using Ausgabe = std::function<void(std::string_view stueck)>;

// The table as printed: heading line, one line per row, an empty line, the
// sort line and another empty line. Every field is right-aligned in the
// width of its column; widths count characters, not bytes.
std::string tabellenText(const Anzeige& a);
// The same, handed to `ausgabe` in pieces of some kilobytes.
void schreibeTabelle(const Anzeige& a, const Ausgabe& ausgabe);

// The export page: the shown columns and rows with raw values, texts
// escaped, amounts and ratios written in the number format.
std::string htmlSeite(const Anzeige& a);
// The same, handed to `ausgabe` in pieces.
void schreibeHtml(const Anzeige& a, const Ausgabe& ausgabe);
// The progress lines the export prints: "I" and the display position before
// each row, "J" and the column position before each cell.
std::string htmlFortschritt(const Anzeige& a);

#endif  // QUORVELL_TABELLE_H_
