#ifndef QUORVELL_KATALOG_H_
#define QUORVELL_KATALOG_H_

// The column catalogues: every column the company table and the report table
// of one company can show, built whole from the companies for a currency.

#include <cstdint>
#include <string>
#include <vector>

#include "Firma.h"

struct Spalte;

// Ten columns, one cell per company in list order, from each company's newest
// report: name, date, four amounts converted with that report's factor of
// currency `waehrung` (titled with its code `iso`), two growth rates and two
// ratios.
std::vector<Spalte> firmenKatalog(const std::vector<Firma>& firmen,
                                  int waehrung, const std::string& iso);

// Nine columns of `zeilen` rows, row i from report i of `firma`, each amount
// converted with its own report's factor: date, four amounts, two growth
// rates (three rows fewer: they need a report three rows further down) and
// two ratios. Cells of forecast reports are marked.
std::vector<Spalte> berichtsKatalog(const Firma& firma, int zeilen,
                                    int waehrung, const std::string& iso);

// A company's trend line of one money series, evaluated for a calendar year.
using Trendlinie = int64_t (Firma::*)(int jahr) const;
// The trend line of the money series in report catalogue column `pos`; null
// for a column that has none.
Trendlinie berichtsTrend(int pos);

#endif  // QUORVELL_KATALOG_H_
