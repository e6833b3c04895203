#ifndef QUORVELL_QUELLEN_IXBRLPAKET_H_
#define QUORVELL_QUELLEN_IXBRLPAKET_H_

// What tells published reports from other files: an inline XBRL document by
// the namespace its root element declares, a report package by the names of
// the entries of its zip archive. Both decide on what they are given alone;
// reading the files and archives is Quellen's.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Whether the document that begins with `anfang` is inline XBRL: its root
// element declares the namespace of inline XBRL 1.1
// (http://www.xbrl.org/2013/inlineXBRL) or 1.0. `anfang` must reach past the
// root's start tag; 64 KiB are plenty. UTF-8, ASCII, Latin-1 and UTF-16 are
// understood.
bool istIxbrl(std::string_view anfang);

// One report of a package: the entries of its inline XBRL documents, read
// together as one document set.
struct IxbrlBericht {
  std::string ordner;             // "gleif/reports/", "reports/2024/"
  std::vector<size_t> dokumente;  // indices into the entry names
};

// Whether a zip archive with the entries `namen` (in archive order, folders
// ending in "/") is a report package: it holds META-INF/reportPackage.json,
// or its one top folder holds META-INF/ and reports/. If so, its reports:
// the .xhtml, .html and .htm documents directly in reports/ as one report,
// or else those of each folder directly below reports/ as one each. Images,
// stylesheets, fonts, the extension taxonomy and the package's own files are
// passed over. A package without such a document has no report.
std::optional<std::vector<IxbrlBericht>> erkennePaket(
    const std::vector<std::string>& namen);

#endif  // QUORVELL_QUELLEN_IXBRLPAKET_H_
