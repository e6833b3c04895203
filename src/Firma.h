#ifndef QUORVELL_FIRMA_H_
#define QUORVELL_FIRMA_H_

// One company: its name, its reports newest first, a least-squares trend line
// over calendar years for each of the four money series, and the three-year
// growth rates of revenue and profit. Setting the reports recomputes
// everything derived from them.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "Finanzen.h"

class Firma {
 public:
  Firma();
  virtual ~Firma() = default;
  // A value: a copy answers every getter as the original does. Moving keeps
  // the company lists from copying every report when they grow.
  Firma(const Firma&) = default;
  Firma(Firma&&) = default;
  Firma& operator=(const Firma&) = default;
  Firma& operator=(Firma&&) = default;

  // Stores name and reports (newest first), fits the four trend lines, then
  // computes both growth-rate series.
  void setAttr(std::string name, std::vector<Finanzen> f);
  std::vector<Finanzen> getFinanzen() const { return daten; }
  std::string getName() const { return name; }
  int anzahlBerichte() const { return static_cast<int>(daten.size()); }

  // Values of report `i` (0 = newest); 0 for a position outside the reports.
  int64_t getUmsatz(int i) const;
  int64_t getGewinn(int i) const;
  int64_t getBilanzsumme(int i) const;
  int64_t getEigenkapital(int i) const;
  double getEKAnteil(int i) const;
  double getUmsatzrendite(int i) const;
  // Conversion factor of report `i` for currency `waehrung`; 0.0 outside.
  double getKonv(int i, int waehrung) const;
  // Date of report `i`; a record of zeros for a position outside the reports.
  tm getDatum(int i) const;

  // Days until the anniversary of the newest report's date: a part of a day
  // counts whole, the day itself is 0, later days are negative.
  // REQUIRES: at least one report.
  int getAnzahlTage() const;
  // The same, counted from the moment `jetzt`.
  int getAnzahlTage(time_t jetzt) const;

  // Trend-line fits; each stores its slope and then calls its intercept
  // operation with the mean year and the mean value.
  void setMGewinn();
  void setMUmsatz();
  void setMBilanzsumme();
  void setMEigenkapital();
  void setBGewinn(double xSt, int64_t ySt);
  void setBUmsatz(double xSt, int64_t ySt);
  void setBBilanzsumme(double xSt, int64_t ySt);
  void setBEigenkapital(double xSt, int64_t ySt);
  // Trend-line values for the calendar year `jahr` (such as 2016).
  int64_t lineareRegGewinn(int jahr) const;
  int64_t lineareRegUmsatz(int jahr) const;
  int64_t lineareRegBilanz(int jahr) const;
  int64_t lineareRegEK(int jahr) const;

  // Puts a forecast report on the trend lines, one year after the newest
  // entry, in front of the reports and recomputes the growth rates.
  // REQUIRES: at least one report.
  void setVorhersage();
  // Whether entry `i` is a forecast. REQUIRES: 0 <= i < number of entries.
  bool getLinReg(int i) const { return daten[i].getVorhersage(); }

  void setCAGRUmsatz();
  void setCAGRGewinn();
  // Growth rate of report `i`; 0.0 for a position outside the series.
  double getCAGRUmsatz(int i) const;
  double getCAGRGewinn(int i) const;

 private:
  // Slope and the two means of one least-squares fit.
  struct Gerade {
    int64_t steigung;
    double xStrich;
    int64_t yStrich;
  };
  using Betrag = int64_t (Finanzen::*)() const;
  using Trend = int64_t (Firma::*)(int) const;

  Gerade passeGerade(Betrag wert) const;
  std::vector<double> wachstum(Betrag wert, Trend trend) const;
  bool gueltig(int i) const;
  template <typename T>
  T anStelle(int i, T (Finanzen::*wert)() const) const;

  std::vector<double> cagru;
  std::vector<double> cagrg;
  std::vector<Finanzen> daten;
  int64_t mGewinnl = 0;
  int64_t mUmsatzl = 0;
  int64_t mBilnazsummel = 0;
  int64_t mEigenkapitall = 0;
  int64_t bGewinnl = 0;
  int64_t bUmsatzl = 0;
  int64_t bBilanzsummel = 0;
  int64_t bEigenkapital = 0;
  std::string name;
};

#endif  // QUORVELL_FIRMA_H_
