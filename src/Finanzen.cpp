#include "Finanzen.h"

#include <cmath>

namespace {

// Rounds the quotient to three decimals: scale, round half to even, unscale.
// Each step is a separate double operation so the result is reproducible.
double dreiStellen(int64_t zaehler, int64_t nenner) {
  double q = static_cast<double>(zaehler) / static_cast<double>(nenner);
  q = q * 1000.0;
  q = std::rint(q);
  return q / 1000.0;
}

}  // namespace

Finanzen::Finanzen()
    : date(),
      umsatz(0),
      gewinn(0),
      bilanzsumme(0),
      eigenkapital(0),
      konv{1.0, 1.0},
      vorhersage(false) {}

void Finanzen::setAttr(tm date_, int64_t umsatz_, int64_t gewinn_,
                       int64_t bilanzsumme_, int64_t eigenkapital_, double EUR,
                       double USD) {
  date = date_;
  umsatz = umsatz_;
  gewinn = gewinn_;
  bilanzsumme = bilanzsumme_;
  eigenkapital = eigenkapital_;
  konv[0] = EUR;
  konv[1] = USD;
}

double Finanzen::getEKAnteil() const {
  return dreiStellen(eigenkapital, bilanzsumme);
}

double Finanzen::getUmsatzrendite() const {
  return dreiStellen(gewinn, umsatz);
}
