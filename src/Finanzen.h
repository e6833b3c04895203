#ifndef QUORVELL_FINANZEN_H_
#define QUORVELL_FINANZEN_H_

// One annual report of a company: its date, four money amounts, the factors
// that convert the amounts into euro and US dollars, and whether the report is
// a forecast computed from trend lines. Also derives the two ratios the tables
// show.

#include <cstdint>
#include <ctime>

class Finanzen {
 public:
  Finanzen();
  virtual ~Finanzen() = default;

  // Stores all seven values; the forecast flag stays as it is.
  void setAttr(tm date, int64_t umsatz, int64_t gewinn, int64_t bilanzsumme,
               int64_t eigenkapital, double EUR, double USD);

  tm getDatum() const { return date; }
  int64_t getUmsatz() const { return umsatz; }
  int64_t getGewinn() const { return gewinn; }
  int64_t getBilanzsumme() const { return bilanzsumme; }
  int64_t getEigenkapital() const { return eigenkapital; }
  // Factor of currency `i`: 0 euro, 1 US dollar.
  double getKonv(int i) const { return konv[i == 0 ? 0 : 1]; }
  bool getVorhersage() const { return vorhersage; }
  void setVorhersage(bool a) { vorhersage = a; }

  // Equity ratio as a fraction rounded to three decimals; a zero balance-sheet
  // total gives an infinity or NaN.
  double getEKAnteil() const;
  // Return on sales as a fraction rounded to three decimals; a zero revenue
  // gives an infinity or NaN.
  double getUmsatzrendite() const;

 private:
  tm date;
  int64_t umsatz;
  int64_t gewinn;
  int64_t bilanzsumme;
  int64_t eigenkapital;
  double konv[2];
  bool vorhersage;
};

#endif  // QUORVELL_FINANZEN_H_
