#ifndef QUORVELL_TESTS_TESTDATEN_H_
#define QUORVELL_TESTS_TESTDATEN_H_

// Builders for the reports the unit tests feed to the classes.

#include <stdlib.h>

#include <cstdint>
#include <ctime>
#include <locale>
#include <sstream>
#include <string>

#include "Finanzen.h"

inline tm datum(int tag, int monat, int jahr) {
  tm d{};
  d.tm_mday = tag;
  d.tm_mon = monat - 1;
  d.tm_year = jahr - 1900;
  return d;
}

inline Finanzen bericht(tm d, int64_t umsatz, int64_t gewinn,
                        int64_t bilanz = 0, int64_t ek = 0, double eur = 1.0,
                        double usd = 1.0) {
  Finanzen f;
  f.setAttr(d, umsatz, gewinn, bilanz, ek, eur, usd);
  return f;
}

// A report on one line: "dd-mm-yyyy umsatz gewinn bilanz ek eur usd",
// followed by " *" for a forecast. Time-of-day fields are shown when set.
inline std::string text(const Finanzen& f) {
  const tm d = f.getDatum();
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << d.tm_mday << '-' << d.tm_mon + 1 << '-' << d.tm_year + 1900;
  if (d.tm_hour || d.tm_min || d.tm_sec || d.tm_wday || d.tm_yday ||
      d.tm_isdst) {
    out << " (Uhrzeit gesetzt)";
  }
  out << ' ' << f.getUmsatz() << ' ' << f.getGewinn() << ' '
      << f.getBilanzsumme() << ' ' << f.getEigenkapital() << ' ' << f.getKonv(0)
      << ' ' << f.getKonv(1) << (f.getVorhersage() ? " *" : "");
  return out.str();
}

// A fresh directory /tmp/<name>_XXXXXX for one test; empty when none can be
// made.
inline std::string neuerOrdner(const std::string& name) {
  std::string muster = "/tmp/" + name + "_XXXXXX";
  return mkdtemp(muster.data()) != nullptr ? muster : std::string();
}

#endif  // QUORVELL_TESTS_TESTDATEN_H_
