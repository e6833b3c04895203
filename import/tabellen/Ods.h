#ifndef QUORVELL_TABELLEN_ODS_H_
#define QUORVELL_TABELLEN_ODS_H_

// Reading one table of an OpenDocument spreadsheet (.ods) from its
// content.xml: the tables in document order, rows and cells with their
// repetitions (without ever spelling out repeated empty ones), covered cells,
// paragraphs and spaces of texts, and every value as stored.

#include <string>

#include "tabellen/Zellen.h"
#include "tabellen/ZipXml.h"

// Reads the table called `blattname` (empty: the first) of the open
// spreadsheet into `blatt`. False with `fehler` (starting with the file's
// name) when content.xml is missing or damaged, there is no such table, or it
// exceeds the bounds.
bool leseOds(const Zipmappe& mappe, const std::string& blattname, Blatt& blatt,
             std::string& fehler);

#endif  // QUORVELL_TABELLEN_ODS_H_
