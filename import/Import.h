#ifndef QUORVELL_IMPORT_H_
#define QUORVELL_IMPORT_H_

// One run of quorvell-import: reads every source (CSV tables, workbooks, SEC
// company facts, xBRL-JSON reports; files, directories, zip archives) and
// checks all of it, finds each report's factors, and only then writes the
// company data files and the index into the target directory (Schreiber).

#include <string>

#include "Optionen.h"

// Runs the import and appends every message line to `meldungen`; returns the
// exit status. Nothing is written unless every source is right, at least one
// company has a complete report, and no file would be replaced without
// `ueberschreiben`.
Ausgang importiere(const Optionen& optionen, std::string& meldungen);

#endif  // QUORVELL_IMPORT_H_
