#ifndef QUORVELL_IMPORTMAPPE_H_
#define QUORVELL_IMPORTMAPPE_H_

// A spreadsheet workbook (.xlsx or .ods) as a zip archive: which kind it is,
// and one of its sheets read by the reader of its kind (ImportXlsx,
// ImportOds).

#include <string>
#include <string_view>

#include "ImportZellen.h"

struct zip;  // libzip's archive, zip_t

enum class Mappenart { keine, xlsx, ods };

// The kind of workbook an open archive is: xlsx when it holds
// xl/workbook.xml, ods when its member mimetype reads
// application/vnd.oasis.opendocument.spreadsheet.
Mappenart erkenneMappe(zip* archiv);
// The same for the bytes of a file; keine when they are no zip archive.
Mappenart erkenneMappe(std::string_view bytes);

// Reads the sheet called `blattname` (empty: the first) of the workbook in
// `bytes`, which messages call `quelle`. False with `fehler` when it is no
// workbook, is damaged, has no such sheet or exceeds the bounds of
// ImportZipXml; the text starts with `quelle` and has no line end, and `blatt`
// may hold part of the rows.
bool leseMappe(std::string_view bytes, const std::string& quelle,
               const std::string& blattname, Blatt& blatt, std::string& fehler);

#endif  // QUORVELL_IMPORTMAPPE_H_
