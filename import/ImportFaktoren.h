#ifndef QUORVELL_IMPORTFAKTOREN_H_
#define QUORVELL_IMPORTFAKTOREN_H_

// Every report's two factors, found in one step once all sources are read:
// from the command line, from the rate files of --kurse, or 1 for a report in
// euro or in dollars. A table's report without them is an error, since the
// user can give them. A published report can't be mended: one that no rate
// serves is left out with a warning, and a company whose currency no rate
// file has is left out whole.

#include <optional>
#include <string>
#include <vector>

#include "Optionen.h"
#include "gemeinsam/ImportFirma.h"
#include "gemeinsam/Kurse.h"

// The factors given on the command line, read in the number style `stil`;
// false with a message when one is not a factor.
bool leseFaktorOptionen(const Optionen& optionen, Zahlenstil stil,
                        std::optional<double> faktor[2],
                        std::string& meldungen);

// The rate files `pfade` into `kurse`, each the file itself or the one file
// of its zip archive (eurofxref-hist.zip); false with the messages.
bool leseKurse(const std::vector<std::string>& pfade, Kurstabelle& kurse,
               std::string& meldungen);

// Gives every report of `firmen` its two factors, with `kurse` the rates or
// null, and leaves out the published reports and companies without rates;
// kErfolg, or the exit status of the failure. Every message line is
// appended to `meldungen`.
Ausgang setzeAlleFaktoren(const Optionen& optionen, const Kurstabelle* kurse,
                          std::vector<ImportFirma>& firmen,
                          std::string& meldungen);

#endif  // QUORVELL_IMPORTFAKTOREN_H_
