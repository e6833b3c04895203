#include "Firma.h"

#include <cmath>
#include <utility>

#include "Zahlen.h"

namespace {

int kalenderjahr(const Finanzen& f) { return f.getDatum().tm_year + 1900; }

// The intercept is the line's value at calendar year 0. The product of slope
// and mean year is truncated on its own before it is taken from the mean, so
// a line evaluated at a whole mean year gives the mean value exactly.
int64_t achsenabschnitt(int64_t steigung, double xSt, int64_t ySt) {
  return wrapSub(ySt, zuInt64(static_cast<double>(steigung) * xSt));
}

int64_t trendwert(int64_t steigung, int64_t abschnitt, int jahr) {
  return wrapAdd(wrapMul(steigung, jahr), abschnitt);
}

}  // namespace

Firma::Firma() : name("LEER()") {}

void Firma::setAttr(std::string name_, std::vector<Finanzen> f) {
  name = std::move(name_);
  daten = std::move(f);
  setMGewinn();
  setMUmsatz();
  setMBilanzsumme();
  setMEigenkapital();
  setCAGRUmsatz();
  setCAGRGewinn();
}

bool Firma::gueltig(int i) const {
  return static_cast<unsigned>(i) < daten.size();
}

// The value `wert` of report `i`, or a zero of its type outside the reports.
template <typename T>
T Firma::anStelle(int i, T (Finanzen::*wert)() const) const {
  return gueltig(i) ? (daten[i].*wert)() : T();
}

int64_t Firma::getUmsatz(int i) const {
  return anStelle(i, &Finanzen::getUmsatz);
}

int64_t Firma::getGewinn(int i) const {
  return anStelle(i, &Finanzen::getGewinn);
}

int64_t Firma::getBilanzsumme(int i) const {
  return anStelle(i, &Finanzen::getBilanzsumme);
}

int64_t Firma::getEigenkapital(int i) const {
  return anStelle(i, &Finanzen::getEigenkapital);
}

double Firma::getEKAnteil(int i) const {
  return anStelle(i, &Finanzen::getEKAnteil);
}

double Firma::getUmsatzrendite(int i) const {
  return anStelle(i, &Finanzen::getUmsatzrendite);
}

double Firma::getKonv(int i, int waehrung) const {
  return gueltig(i) ? daten[i].getKonv(waehrung) : 0.0;
}

tm Firma::getDatum(int i) const { return anStelle(i, &Finanzen::getDatum); }

int Firma::getAnzahlTage() const { return getAnzahlTage(time(nullptr)); }

int Firma::getAnzahlTage(time_t jetzt) const {
  if (daten.empty()) return 0;
  tm naechster = daten[0].getDatum();
  naechster.tm_year += 1;
  const double sekunden = difftime(mktime(&naechster), jetzt);
  double tage = sekunden / 60.0;
  tage = tage / 60.0;
  tage = tage / 24.0;
  return zuInt(std::ceil(tage));
}

/* Least-squares fit of one money series over calendar years. The mean value
 * is an integer mean truncated toward zero; every product of value deviation
 * and year deviation is truncated to an integer before it is summed, and the
 * slope is truncated once more. These truncations are part of the results the
 * tables show, so their order must not change. When every report lies in one
 * year the year deviations are all zero and there is no slope: the line is
 * flat at the mean value. */
Firma::Gerade Firma::passeGerade(Betrag wert) const {
  const size_t n = daten.size();
  if (n == 0) return {0, 0.0, 0};
  double jahrSumme = daten[0].getDatum().tm_year + 1900.0;
  int64_t wertSumme = (daten[0].*wert)();
  for (size_t k = 1; k < n; ++k) {
    jahrSumme += daten[k].getDatum().tm_year;
    jahrSumme += 1900.0;
    wertSumme = wrapAdd(wertSumme, (daten[k].*wert)());
  }
  const double xStrich = jahrSumme / static_cast<double>(n);
  const int64_t yStrich = wertSumme / static_cast<int64_t>(n);

  double summeXX = 0.0;
  int64_t summeXY = 0;
  for (const Finanzen& f : daten) {
    const double x = static_cast<double>(kalenderjahr(f)) - xStrich;
    summeXX += std::pow(x, 2.0);
    const int64_t y = wrapSub((f.*wert)(), yStrich);
    summeXY = wrapAdd(summeXY, zuInt64(static_cast<double>(y) * x));
  }
  const int64_t steigung =
      summeXX == 0.0 ? 0 : zuInt64(static_cast<double>(summeXY) / summeXX);
  return {steigung, xStrich, yStrich};
}

void Firma::setMGewinn() {
  const Gerade g = passeGerade(&Finanzen::getGewinn);
  mGewinnl = g.steigung;
  setBGewinn(g.xStrich, g.yStrich);
}

void Firma::setMUmsatz() {
  const Gerade g = passeGerade(&Finanzen::getUmsatz);
  mUmsatzl = g.steigung;
  setBUmsatz(g.xStrich, g.yStrich);
}

void Firma::setMBilanzsumme() {
  const Gerade g = passeGerade(&Finanzen::getBilanzsumme);
  mBilnazsummel = g.steigung;
  setBBilanzsumme(g.xStrich, g.yStrich);
}

void Firma::setMEigenkapital() {
  const Gerade g = passeGerade(&Finanzen::getEigenkapital);
  mEigenkapitall = g.steigung;
  setBEigenkapital(g.xStrich, g.yStrich);
}

void Firma::setBGewinn(double xSt, int64_t ySt) {
  bGewinnl = achsenabschnitt(mGewinnl, xSt, ySt);
}

void Firma::setBUmsatz(double xSt, int64_t ySt) {
  bUmsatzl = achsenabschnitt(mUmsatzl, xSt, ySt);
}

void Firma::setBBilanzsumme(double xSt, int64_t ySt) {
  bBilanzsummel = achsenabschnitt(mBilnazsummel, xSt, ySt);
}

void Firma::setBEigenkapital(double xSt, int64_t ySt) {
  bEigenkapital = achsenabschnitt(mEigenkapitall, xSt, ySt);
}

int64_t Firma::lineareRegGewinn(int jahr) const {
  return trendwert(mGewinnl, bGewinnl, jahr);
}

int64_t Firma::lineareRegUmsatz(int jahr) const {
  return trendwert(mUmsatzl, bUmsatzl, jahr);
}

int64_t Firma::lineareRegBilanz(int jahr) const {
  return trendwert(mBilnazsummel, bBilanzsummel, jahr);
}

int64_t Firma::lineareRegEK(int jahr) const {
  return trendwert(mEigenkapitall, bEigenkapital, jahr);
}

void Firma::setVorhersage() {
  if (daten.empty()) return;
  tm datum = daten[0].getDatum();
  datum.tm_year += 1;
  const int jahr = datum.tm_year + 1900;
  const int64_t umsatz = lineareRegUmsatz(jahr);
  const int64_t gewinn = lineareRegGewinn(jahr);
  const int64_t bilanz = lineareRegBilanz(jahr);
  const int64_t ek = lineareRegEK(jahr);
  const double eur = daten.back().getKonv(0);
  const double usd = daten.back().getKonv(1);
  Finanzen vorhersage;
  vorhersage.setAttr(datum, umsatz, gewinn, bilanz, ek, eur, usd);
  vorhersage.setVorhersage(true);
  daten.insert(daten.begin(), vorhersage);
  setCAGRUmsatz();
  setCAGRGewinn();
}

/* Three-year compound growth: the cube root of the ratio of report i to the
 * report three positions older. Where no such report exists, the trend line's
 * value for the year three years before report i stands in. */
std::vector<double> Firma::wachstum(Betrag wert, Trend trend) const {
  std::vector<double> raten;
  raten.reserve(daten.size());
  for (size_t i = 0; i < daten.size(); ++i) {
    const double neu = static_cast<double>((daten[i].*wert)());
    const double alt = i + 3 < daten.size()
                           ? static_cast<double>((daten[i + 3].*wert)())
                           : static_cast<double>((this->*trend)(
                                 daten[i].getDatum().tm_year + 1897));
    raten.push_back(std::pow(neu / alt, 0.3333333333333333) - 1.0);
  }
  return raten;
}

void Firma::setCAGRUmsatz() {
  cagru = wachstum(&Finanzen::getUmsatz, &Firma::lineareRegUmsatz);
}

void Firma::setCAGRGewinn() {
  cagrg = wachstum(&Finanzen::getGewinn, &Firma::lineareRegGewinn);
}

double Firma::getCAGRUmsatz(int i) const {
  return static_cast<unsigned>(i) < cagru.size() ? cagru[i] : 0.0;
}

double Firma::getCAGRGewinn(int i) const {
  return static_cast<unsigned>(i) < cagrg.size() ? cagrg[i] : 0.0;
}
