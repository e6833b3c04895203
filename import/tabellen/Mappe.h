#ifndef QUORVELL_TABELLEN_MAPPE_H_
#define QUORVELL_TABELLEN_MAPPE_H_

// A spreadsheet workbook (.xlsx or .ods) as a zip archive: one of its sheets
// read by the reader of its kind (Xlsx, Ods).

#include <string>
#include <string_view>

#include "quellen/Dateiart.h"
#include "tabellen/Zellen.h"

// Reads the sheet called `blattname` (empty: the first) of the workbook in
// `bytes`, which messages call `quelle`. False with `fehler` when it is no
// workbook, is damaged, has no such sheet or exceeds the bounds of
// ZipXml; the text starts with `quelle` and has no line end, and `blatt`
// may hold part of the rows.
bool leseMappe(std::string_view bytes, const std::string& quelle,
               const std::string& blattname, Blatt& blatt, std::string& fehler);

#endif  // QUORVELL_TABELLEN_MAPPE_H_
