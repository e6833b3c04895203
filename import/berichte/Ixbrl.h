#ifndef QUORVELL_BERICHTE_IXBRL_H_
#define QUORVELL_BERICHTE_IXBRL_H_

// Turns what the inline XBRL reader found in a document set into a
// document of the Berichtssammlung: the figures of the concepts the import
// reads, of totals only (no breakdown) and in a currency, each figure tagged
// several times counted once; a company by its entity identifier (a CIK
// meets the SEC's company facts of that CIK, an LEI the xBRL-JSON reports of
// that LEI); its name from the report. A set whose dei:DocumentType names no
// annual form counts for nothing.

#include <string>
#include <string_view>

#include "berichte/IxbrlLeser.h"
#include "berichte/Sammlung.h"

// Whether the reader keeps the concept `konzept`: a field's concept, a name
// or the document type.
bool ixbrlGesucht(std::string_view konzept);

// The document of `satz`; false with `warnung`, a message line, when its
// document type is no annual form.
bool ixbrlDokument(IxbrlSatz satz, Dokument& dokument, std::string& warnung);

// A company's identifier as the import names it: "CIK 320193" for the SEC's
// scheme (leading zeros dropped), "LEI ..." for the LEI's, else the scheme
// and the value.
std::string ixbrlKennung(const std::string& schema, const std::string& wert);

#endif  // QUORVELL_BERICHTE_IXBRL_H_
