#ifndef QUORVELL_TESTS_TESTDATEN_H_
#define QUORVELL_TESTS_TESTDATEN_H_

// Builders for the reports the unit tests feed to the classes.

#include <cstdint>
#include <ctime>

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

#endif  // QUORVELL_TESTS_TESTDATEN_H_
