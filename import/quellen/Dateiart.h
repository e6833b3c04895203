#ifndef QUORVELL_QUELLEN_DATEIART_H_
#define QUORVELL_QUELLEN_DATEIART_H_

// What a file of a source is, told by its content alone: a zip archive,
// JSON, an inline XBRL document, a workbook (a zip archive of a
// spreadsheet's kind) or else a table; and the few zip reads the telling
// needs, over bytes held in memory.

#include <cstddef>
#include <string_view>

struct zip;  // libzip's archive, zip_t

enum class Dateiart { archiv, json, tabelle, mappe, ixbrl };

// The kind of file that begins with `anfang`: a zip archive, JSON (an
// object or list), inline XBRL (IxbrlPaket's istIxbrl; the root's start tag
// must lie within `anfang`), or else a table. For the first two its first
// bytes are enough.
Dateiart erkenneArt(std::string_view anfang);

enum class Mappenart { keine, xlsx, ods };

// The kind of workbook an open archive is: xlsx when it holds
// xl/workbook.xml, ods when its member mimetype reads
// application/vnd.oasis.opendocument.spreadsheet.
Mappenart erkenneMappe(zip* archiv);
// The same for the bytes of a file; keine when they are no zip archive.
Mappenart erkenneMappe(std::string_view bytes);

// The media type an ods archive's member mimetype holds.
extern const char kOdsArt[];

// The zip archive over `bytes`, which must outlive it, opened for reading;
// null when they are none. The caller closes it (zip_close or zip_discard).
zip* oeffneZip(std::string_view bytes);

// Whether the member `teil` of `archiv` holds exactly `inhalt`.
bool teilIst(zip* archiv, const char* teil, std::string_view inhalt);

#endif  // QUORVELL_QUELLEN_DATEIART_H_
