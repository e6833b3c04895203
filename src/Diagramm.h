#ifndef QUORVELL_DIAGRAMM_H_
#define QUORVELL_DIAGRAMM_H_

// The picture of the shown view, written to diagramm.svg at every display:
// the company table as bands of bars, one company's detail view as its
// figures over the years. Each is SVG text computed from the shown table and
// the company alone; the company table's picture reads only the rows it
// draws.

#include <string>
#include <vector>

#include "Firma.h"
#include "Tabelle.h"

struct Spalte;

// The rows the company table's picture draws, the first in display order.
constexpr int kDiagrammZeilen = 50;
// What both pictures share: their least width, their margin and the size of
// their texts, in pixels.
constexpr double kBildBreite = 1000;
constexpr double kBildRand = 20;
constexpr double kBildSchrift = 11;

// The company table: the rows labelled with the names of their companies
// (row j is firmen[j]); for every shown number column a band of bars, side by
// side, each bar with its value as the table shows it; beneath, how many rows
// are not drawn. Without a number column, a line naming the command that adds
// one from `katalog`.
std::string firmenDiagramm(const Anzeige& a, const std::vector<Firma>& firmen,
                           const std::vector<Spalte>& katalog);

// The detail view of `firma`, its forecasts included: the money columns of
// the report catalogue `katalog` over the years, each with its trend line, and
// below them the ratio columns `a` shows. `waehrung` 0 writes the axes the
// German way, 1 the US way.
std::string berichtsDiagramm(const Anzeige& a, const Firma& firma,
                             const std::vector<Spalte>& katalog, int waehrung);

// The common scale of a band on a bar area `breite` pixels wide.
struct Bandskala {
  // Where the zero line is.
  double null;
  // Half the distance from the smallest value (at most 0) to the largest (at
  // least 0); 0 when every value is 0.
  double spanne;
  double breite;

  // The signed length of the bar of `wert`; a negative value grows to the
  // left.
  double laenge(double wert) const;
};

// The scale of `werte` (those that are not finite left out) on the bar area
// from `links`, `breite` pixels wide: zero at its left edge without negative
// values, inside where there are some, at its right edge when all are.
Bandskala bandskala(const std::vector<double>& werte, double links,
                    double breite);

#endif  // QUORVELL_DIAGRAMM_H_
