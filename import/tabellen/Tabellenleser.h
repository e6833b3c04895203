#ifndef QUORVELL_TABELLEN_TABELLENLESER_H_
#define QUORVELL_TABELLEN_TABELLENLESER_H_

// The one reader of tables, whichever file they come from (CSV, xlsx, ods):
// finds the columns in the header (Kopf), turns each row into
// reports by the table's layout (Layout), gathers them by company name
// and checks each company's years. The companies and what is said about them
// are declared in ImportFirma, which comes with this header.

#include <string>
#include <string_view>
#include <vector>

#include "gemeinsam/ImportFirma.h"
#include "gemeinsam/ImportZahlen.h"
#include "tabellen/Csv.h"
#include "tabellen/Kopf.h"
#include "tabellen/Zellen.h"

// The companies of the sheet `blattname` (empty: the first) of the workbook
// in `bytes`, which messages call `quelle`, whose first row is the header,
// in the order they first appear, each with its reports newest first; its
// rows are read into reports as the workbook gives them. Messages name the
// sheet and the row or cell; a workbook that cannot be read is the one
// error. With any error the result is incomplete and must not be written.
// Factor columns may be left out where the currency is known (a column
// Waehrung or --waehrung); the factors are found later.
std::vector<ImportFirma> leseFirmen(std::string_view bytes,
                                    const std::string& quelle,
                                    const std::string& blattname,
                                    const Importregeln& regeln,
                                    Meldungen& meldungen);

// The same for the CSV table `quelle`, its records read one at a time from
// `csv`; a record must have as many fields as the header. A record the CSV
// grammar breaks is the one error of the table.
std::vector<ImportFirma> leseFirmen(CsvLeser& csv, const Importregeln& regeln,
                                    const std::string& quelle,
                                    Meldungen& meldungen);

#endif  // QUORVELL_TABELLEN_TABELLENLESER_H_
