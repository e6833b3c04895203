#ifndef QUORVELL_TABELLEN_XLSX_H_
#define QUORVELL_TABELLEN_XLSX_H_

// Reading one worksheet of an Excel workbook (.xlsx, transitional or strict):
// the sheets in workbook order, each one's part found through the workbook's
// relationships, the 1900 or 1904 day numbers, the shared texts, and every
// cell as stored.

#include <string>

#include "tabellen/Zellen.h"
#include "tabellen/ZipXml.h"

// Reads the sheet called `blattname` (empty: the first) of the open workbook
// into `blatt`. False with `fehler` (starting with the workbook's name) when
// a part is missing or damaged, there is no such sheet or it is no
// worksheet, or the sheet exceeds the bounds.
bool leseXlsx(const Zipmappe& mappe, const std::string& blattname, Blatt& blatt,
              std::string& fehler);

#endif  // QUORVELL_TABELLEN_XLSX_H_
