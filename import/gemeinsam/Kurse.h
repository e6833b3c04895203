#ifndef QUORVELL_GEMEINSAM_KURSE_H_
#define QUORVELL_GEMEINSAM_KURSE_H_

// The euro reference rates of the ECB, read from their history as published
// (eurofxref-hist.csv: "Date,USD,JPY,...," newest first, units of each
// currency per euro, N/A where one was not quoted) or from files a user
// writes in the same layout, and a report's two factors from them.

#include <cstdint>
#include <string>
#include <vector>

#include "gemeinsam/Kalender.h"

// What looking up a report's factors came to.
enum class Kurslage {
  gefunden,
  unbekannt,  // no file has a column for the currency, or for the dollar
  davor,      // the report lies before the first day of a file it needs
  ohneKurs,   // a rate it needs is N/A on its day
  veraltet,   // a file it needs ends more than a week before the report
};

// One rate file: its days, oldest first, and a row of rates for each.
class Kursdatei {
 public:
  // Reads the history `text`, named `quelle` in messages; false with
  // `fehler`, a message line, when it is not one.
  bool lies(const std::string& text, const std::string& quelle,
            std::string& fehler);

  // The column of `waehrung`, kEuro for the euro, or kFehlt.
  int spalte(const std::string& waehrung) const;
  // The rate of the currency in column `spalte` on the latest day on or
  // before day number `stichtag`; davor or ohneKurs, with `fehler`, when
  // there is none.
  Kurslage kursAm(int spalte, int64_t stichtag, double& kurs,
                  std::string& fehler) const;
  // The days of the file from `von` to `bis`, both day numbers, inclusive.
  std::vector<int64_t> tage(int64_t von, int64_t bis) const;
  // Whether the file serves a report of day number `stichtag`: davor when it
  // begins after it, veraltet when it ends more than a week before it, each
  // with `fehler`.
  Kurslage pruefe(int64_t stichtag, std::string& fehler) const;
  const std::string& quelle() const { return quelle_; }

  static constexpr int kEuro = -1;
  static constexpr int kFehlt = -2;

 private:
  // The rate of the currency in column `spalte` on day number `tag` (an
  // index into tage_); 1 for the euro, NaN where it was not quoted.
  double kurs(size_t tag, int spalte) const;

  std::string quelle_;
  std::vector<std::string> waehrungen_;
  std::vector<int64_t> tage_;  // oldest first
  std::vector<double> kurse_;  // a row of waehrungen_.size() rates per day
};

// The rate files of a run. A currency's rates come from the first file that
// has a column for it, so that a file of one's own can add a currency the
// ECB does not quote.
class Kurstabelle {
 public:
  // Reads one more file, as Kursdatei::lies.
  bool lies(const std::string& text, const std::string& quelle,
            std::string& fehler);

  // The EUR and the USD factor of amounts in `waehrung` reported at `datum`:
  // 1 / r and r_USD / r with the rates r of `waehrung` and r_USD, each on the
  // latest day of its own file on or before `datum`; with `jahresmittel` the
  // mean of these factors over the days of the year up to `datum` (the days
  // of the currency's file, of the dollar's for the euro). Anything but
  // gefunden comes with `fehler` saying why.
  Kurslage faktoren(const std::string& waehrung, const Datum& datum,
                    bool jahresmittel, double faktor[2],
                    std::string& fehler) const;

 private:
  // The file and column of `waehrung`; for the euro no file.
  struct Quelle {
    const Kursdatei* datei;
    int spalte;
  };
  bool finde(const std::string& waehrung, Quelle& quelle) const;
  std::string nirgends(const std::string& waehrung) const;

  std::vector<Kursdatei> dateien_;
};

#endif  // QUORVELL_GEMEINSAM_KURSE_H_
