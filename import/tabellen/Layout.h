#ifndef QUORVELL_TABELLEN_LAYOUT_H_
#define QUORVELL_TABELLEN_LAYOUT_H_

// The two layouts of a table, each turning a row into reports: one row per
// report, dated by a column of dates or of years or by --jahr; or one row per
// company with the years across, a report for each year of the header that
// has all four amounts in the row.

#include <string>
#include <vector>

#include "gemeinsam/ImportFirma.h"
#include "tabellen/Kopf.h"
#include "tabellen/Zellen.h"

// Reads the reports of the row `zeile` of `blatt` into `berichte`, the errors
// and warnings into `meldungen`; false when a cell is wrong. `firma`, the
// company's name, is named in the warning on years across left out for an
// empty amount. A year across with no amount at all is no report and no
// warning.
bool leseBerichte(const Zellenzeile& zeile, const std::string& firma,
                  const Spalten& spalten, const Importregeln& regeln,
                  const Blatt& blatt, std::vector<ImportBericht>& berichte,
                  Meldungen& meldungen);

#endif  // QUORVELL_TABELLEN_LAYOUT_H_
