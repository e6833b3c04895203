#ifndef QUORVELL_SCHREIBEN_SCHREIBER_H_
#define QUORVELL_SCHREIBEN_SCHREIBER_H_

// Writes the checked companies of an import into the target directory: one
// data file per company and the index, all put in place at once through an
// Umstellung, after every data file has been read back with the program's
// own reader.

#include <string>
#include <vector>

#include "gemeinsam/ImportFirma.h"

// Writes `firmen` into `ziel` ("" is the current directory) and appends
// every message line, the closing one included, to `meldungen`. Files that
// exist are replaced only with `ueberschreiben`. Returns whether all of them
// were written; otherwise the directory is as it was.
bool schreibeImport(const std::string& ziel, bool ueberschreiben,
                    const std::vector<ImportFirma>& firmen,
                    std::string& meldungen);

#endif  // QUORVELL_SCHREIBEN_SCHREIBER_H_
