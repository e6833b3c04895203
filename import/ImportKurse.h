#ifndef QUORVELL_IMPORTKURSE_H_
#define QUORVELL_IMPORTKURSE_H_

// The euro reference rates of the ECB, read from their history as published
// (eurofxref-hist.csv: "Date,USD,JPY,...," newest first, units of each
// currency per euro, N/A where one was not quoted), and a report's two
// factors from them.

#include <cstdint>
#include <string>
#include <vector>

#include "ImportKalender.h"

class Kurstabelle {
 public:
  // Reads the history `text`, named `quelle` in messages; false with
  // `fehler`, a message line, when it is not one.
  bool lies(const std::string& text, const std::string& quelle,
            std::string& fehler);

  // The EUR and the USD factor of amounts in `waehrung` reported at `datum`:
  // 1 / r and r_USD / r with the rates r of `waehrung` and r_USD of the
  // latest day on or before `datum`, or with `jahresmittel` the mean of these
  // factors over the days of the year up to `datum`. False when they cannot
  // be found, with `fehler` saying why.
  bool faktoren(const std::string& waehrung, const Datum& datum,
                bool jahresmittel, double faktor[2], std::string& fehler) const;

 private:
  // The rate of the currency in column `spalte` on day number `tag` (an
  // index into tage_); 1 for the euro, NaN where it was not quoted.
  double kurs(size_t tag, int spalte) const;
  int spalte(const std::string& waehrung) const;

  std::string quelle_;
  std::vector<std::string> waehrungen_;
  std::vector<int64_t> tage_;  // oldest first
  std::vector<double> kurse_;  // a row of waehrungen_.size() rates per day
};

#endif  // QUORVELL_IMPORTKURSE_H_
