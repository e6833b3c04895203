// The detail view's picture: a company's money series over the years, each
// with its trend line, and the shown ratio columns in a panel below.

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Diagramm.h"
#include "Katalog.h"
#include "Spalte.h"
#include "Svg.h"
#include "Zahlen.h"

namespace {

// The plot area of both panels, from left to right.
constexpr double kLinks = 110;
constexpr double kRechts = 970;
// Dark, light, middle and lighter: the series stay apart in grey scale, and
// each has a mark of its own shape.
const char* const kFarben[] = {"#08306b", "#fd8d3c", "#238b45", "#9ecae1"};

struct Punkt {
  int jahr;
  double wert;
  bool prognose;
  std::string tip;
};

// One line of a panel: its points by year, and where it has one, its trend
// line from its first to its last year.
struct Reihe {
  std::string name;
  std::vector<Punkt> punkte;
  bool trend = false;
  double trendVon = 0;
  double trendBis = 0;
  std::string trendTip;
};

// A value axis from `von` to `bis`, a mark every `schritt`.
struct Achse {
  double von;
  double bis;
  double schritt;
};

// Round marks, five or so, over a range that includes zero.
Achse achse(double lo, double hi) {
  lo = std::min(lo, 0.0);
  hi = std::max(hi, 0.0);
  if (!(hi > lo)) hi = lo + 1;
  const double roh = hi / 5 - lo / 5;
  const double stufe = std::pow(10.0, std::floor(std::log10(roh)));
  double schritt = 10 * stufe;
  for (double f : {1.0, 2.0, 2.5, 5.0}) {
    if (f * stufe >= roh) {
      schritt = f * stufe;
      break;
    }
  }
  return {std::floor(lo / schritt) * schritt, std::ceil(hi / schritt) * schritt,
          schritt};
}

// Where a panel lies and what it shows.
struct Feld {
  double oben;
  double unten;
  Achse achse;
  int jahrVon;
  int jahrBis;
  bool prozent;

  double x(double jahr) const {
    return kLinks + (jahr - jahrVon + 0.5) / (jahrBis - jahrVon + 1.0) *
                        (kRechts - kLinks);
  }
  double y(double wert) const {
    // In halves, so that no difference of two extreme values overflows.
    return unten - (wert / 2 - achse.von / 2) /
                       (achse.bis / 2 - achse.von / 2) * (unten - oben);
  }
};

// A mark of the value axis: a percentage, or an amount in the unit of the
// axis's largest mark from a million on ("1,5 Mrd." / "1.5 bn").
std::string achsenText(double wert, const Feld& feld, const Zahlformat& zahl,
                       bool englisch) {
  if (feld.prozent) return zahl.standard(wert) + "%";
  static const char* const kDeutsch[] = {"Mio.", "Mrd.", "Bio.", "Brd.",
                                         "Trill."};
  static const char* const kEnglisch[] = {"m", "bn", "tn", "qd", "qn"};
  const double groesste = std::max(std::fabs(feld.achse.von), feld.achse.bis);
  int stufe = -1;
  double einheit = 1;
  while (stufe < 4 && groesste >= (stufe < 0 ? 1e6 : einheit * 1e3)) {
    einheit = stufe < 0 ? 1e6 : einheit * 1e3;
    ++stufe;
  }
  if (stufe < 0 || wert == 0) return zahl.standard(wert);
  return zahl.standard(wert / einheit) + " " +
         (englisch ? kEnglisch : kDeutsch)[stufe];
}

std::string punktListe(std::initializer_list<double> xy) {
  std::string text;
  for (const double* p = xy.begin(); p != xy.end(); p += 2) {
    text +=
        (text.empty() ? "" : " ") + koordinate(p[0]) + "," + koordinate(p[1]);
  }
  return text;
}

// The mark of series `reihe` at (x, y) with its class (none when null):
// filled, or hollow for a forecast.
void zeichneMarke(Svg& svg, int reihe, double x, double y, bool prognose,
                  const char* klasse, std::string_view tip) {
  const char* farbe = kFarben[reihe % 4];
  const int form = reihe % 4;
  static const char* const kFormen[] = {"circle", "rect", "polygon", "polygon"};
  svg.element(kFormen[form]);
  if (klasse != nullptr) svg.attr("class", klasse);
  svg.attr("fill", prognose ? "white" : farbe)
      .attr("stroke", farbe)
      .attr("stroke-width", 1.5);
  if (form == 0) {
    svg.attr("cx", x).attr("cy", y).attr("r", 4.5);
  } else if (form == 1) {
    svg.attr("x", x - 4).attr("y", y - 4).attr("width", 8).attr("height", 8);
  } else if (form == 2) {
    svg.attr("points",
             punktListe({x, y - 5.5, x + 5.5, y, x, y + 5.5, x - 5.5, y}));
  } else {
    svg.attr("points", punktListe({x, y - 5.5, x + 5, y + 4, x - 5, y + 4}));
  }
  svg.ende(tip);
}

// A line from (x1, y1) to (x2, y2); its stroke follows.
Svg& linie(Svg& svg, double x1, double y1, double x2, double y2) {
  return svg.element("line").attr("x1", x1).attr("y1", y1).attr("x2", x2).attr(
      "y2", y2);
}

// The grid, the marks of both axes and the frame of a panel.
void zeichneAchsen(Svg& svg, const Feld& f, const Zahlformat& zahl,
                   bool englisch) {
  const Achse& a = f.achse;
  const double anzahl = std::min(20.0, std::round((a.bis - a.von) / a.schritt));
  for (int k = 0; k <= anzahl; ++k) {
    const double wert = a.von + k * a.schritt;
    const double y = f.y(wert);
    linie(svg, kLinks, y, kRechts, y)
        .attr("stroke", wert == 0 ? "#555555" : "#dddddd")
        .ende();
    svg.element("text")
        .attr("x", kLinks - 8)
        .attr("y", y + 4)
        .attr("text-anchor", "end")
        .text(achsenText(wert, f, zahl, englisch));
  }
  // A year mark every 1, 2, 5, 10, 20, ... years, a dozen at most.
  const long long spanne = f.jahrBis - static_cast<long long>(f.jahrVon) + 1;
  long long schritt = 1;
  for (long long zehner = 1, k = 0; spanne / schritt > 12; ++k) {
    if (k > 0 && k % 3 == 0) zehner *= 10;
    schritt = (k % 3 == 0 ? 2 : k % 3 == 1 ? 5 : 10) * zehner;
  }
  for (long long jahr = f.jahrVon; jahr <= f.jahrBis; jahr += schritt) {
    svg.element("text")
        .attr("x", f.x(static_cast<double>(jahr)))
        .attr("y", f.unten + 18)
        .attr("text-anchor", "middle")
        .text(std::to_string(jahr));
  }
  svg.element("rect")
      .attr("x", kLinks)
      .attr("y", f.oben)
      .attr("width", kRechts - kLinks)
      .attr("height", f.unten - f.oben)
      .attr("fill", "none")
      .attr("stroke", "#999999")
      .ende();
}

// A series' line: solid between reports, dashed where it reaches a forecast;
// its trend line thin and dashed; then its marks.
void zeichneReihe(Svg& svg, const Feld& f, const Reihe& r, int nummer) {
  const char* farbe = kFarben[nummer % 4];
  if (r.trend) {
    const int von = r.punkte.front().jahr, bis = r.punkte.back().jahr;
    svg.element("line")
        .attr("class", "trend")
        .attr("x1", f.x(von))
        .attr("y1", f.y(r.trendVon))
        .attr("x2", f.x(bis))
        .attr("y2", f.y(r.trendBis))
        .attr("stroke", farbe)
        .attr("stroke-width", 1)
        .attr("stroke-dasharray", "7 4")
        .ende(r.trendTip);
  }
  for (size_t k = 1; k < r.punkte.size(); ++k) {
    const Punkt& p = r.punkte[k - 1];
    const Punkt& q = r.punkte[k];
    linie(svg, f.x(p.jahr), f.y(p.wert), f.x(q.jahr), f.y(q.wert))
        .attr("stroke", farbe)
        .attr("stroke-width", 2);
    if (p.prognose || q.prognose) svg.attr("stroke-dasharray", "3 3");
    svg.ende();
  }
  for (const Punkt& p : r.punkte) {
    zeichneMarke(svg, nummer, f.x(p.jahr), f.y(p.wert), p.prognose,
                 p.prognose ? "punkt prognose" : "punkt", p.tip);
  }
}

// The names of the series in a row above a panel, each after its mark.
void zeichneLegende(Svg& svg, const std::vector<Reihe>& reihen, double y) {
  for (size_t k = 0; k < reihen.size(); ++k) {
    const double x = kLinks + static_cast<double>(k) * 215;
    const int nummer = static_cast<int>(k);
    linie(svg, x, y - 4, x + 22, y - 4)
        .attr("stroke", kFarben[k % 4])
        .attr("stroke-width", 2)
        .ende();
    zeichneMarke(svg, nummer, x + 11, y - 4, false, nullptr, "");
    svg.element("text")
        .attr("x", x + 30)
        .attr("y", y)
        .attr("font-size", kBildSchrift + 1)
        .text(reihen[k].name);
  }
}

// What the dashes and the hollow marks mean.
void zeichneErklaerung(Svg& svg, double y) {
  linie(svg, kLinks, y - 4, kLinks + 22, y - 4)
      .attr("stroke", "#555555")
      .attr("stroke-dasharray", "7 4")
      .ende();
  svg.element("text")
      .attr("x", kLinks + 30)
      .attr("y", y)
      .text("Trendlinie (lineare Regression)");
  svg.element("circle")
      .attr("cx", kLinks + 256)
      .attr("cy", y - 4)
      .attr("r", 4.5)
      .attr("fill", "white")
      .attr("stroke", "#555555")
      .ende();
  svg.element("text")
      .attr("x", kLinks + 268)
      .attr("y", y)
      .text("* = Prognose auf der Trendlinie");
}

// Row i of the report table as a point of column `s`; amounts as they are,
// ratios in percent. False where the column has no finite value there.
bool punkt(const Spalte& s, int i, const Firma& firma, const Anzeige& a,
           Punkt& p) {
  if (static_cast<size_t>(i) >= s.werte.size()) return false;
  const Wert& w = s.werte[i];
  p.jahr = firma.getDatum(i).tm_year + 1900;
  p.wert = s.type == kBetrag ? static_cast<double>(w.iw) : w.dw * 100;
  p.prognose = w.linReg;
  p.tip = datumText(firma.getDatum(i)) + ", " + s.titel + ": " +
          zellenText(s, i, a.trenn, a.zahl);
  return std::isfinite(p.wert);
}

// The points of column `s` over the rows of the table, by year.
Reihe reihe(const Spalte& s, const Firma& firma, const Anzeige& a) {
  Reihe r;
  r.name = s.titel;
  const int zeilen = std::min(a.zeilen, firma.anzahlBerichte());
  for (int i = 0; i < zeilen; ++i) {
    Punkt p;
    if (punkt(s, i, firma, a, p)) r.punkte.push_back(std::move(p));
  }
  std::stable_sort(
      r.punkte.begin(), r.punkte.end(),
      [](const Punkt& x, const Punkt& y) { return x.jahr < y.jahr; });
  return r;
}

// The trend line of catalogue column `pos` over the years of `r`, in the
// currency of the forecasts, which lie on it: that of the oldest report.
void setzeTrend(Reihe& r, int pos, const Firma& firma, const Anzeige& a,
                int waehrung) {
  const Trendlinie trend = berichtsTrend(pos);
  if (trend == nullptr || r.punkte.empty()) return;
  const double faktor = firma.getKonv(firma.anzahlBerichte() - 1, waehrung);
  const int von = r.punkte.front().jahr, bis = r.punkte.back().jahr;
  const int64_t anfang = umrechnen((firma.*trend)(von), faktor);
  const int64_t ende = umrechnen((firma.*trend)(bis), faktor);
  r.trend = true;
  r.trendVon = static_cast<double>(anfang);
  r.trendBis = static_cast<double>(ende);
  r.trendTip = "Trendlinie " + r.name + ": " + betragText(anfang, a.trenn) +
               " (" + std::to_string(von) + ") bis " +
               betragText(ende, a.trenn) + " (" + std::to_string(bis) + ")";
}

// The value axis over every point and trend end of `reihen`.
Achse achseUeber(const std::vector<Reihe>& reihen) {
  double lo = 0, hi = 0;
  for (const Reihe& r : reihen) {
    for (const Punkt& p : r.punkte) {
      lo = std::min(lo, p.wert);
      hi = std::max(hi, p.wert);
    }
    if (!r.trend) continue;
    lo = std::min({lo, r.trendVon, r.trendBis});
    hi = std::max({hi, r.trendVon, r.trendBis});
  }
  return achse(lo, hi);
}

}  // namespace

std::string berichtsDiagramm(const Anzeige& a, const Firma& firma,
                             const std::vector<Spalte>& katalog, int waehrung) {
  std::vector<Reihe> geld, quoten;
  for (size_t p = 0; p < katalog.size(); ++p) {
    if (katalog[p].type != kBetrag) continue;
    geld.push_back(reihe(katalog[p], firma, a));
    setzeTrend(geld.back(), static_cast<int>(p), firma, a, waehrung);
  }
  for (const Spalte& s : a.spalten) {
    const bool neu =
        std::none_of(quoten.begin(), quoten.end(),
                     [&](const Reihe& r) { return r.name == s.titel; });
    if (s.type == kQuote && neu) quoten.push_back(reihe(s, firma, a));
  }
  int von = 0, bis = 0;
  const int zeilen = std::min(a.zeilen, firma.anzahlBerichte());
  for (int i = 0; i < zeilen; ++i) {
    const int jahr = firma.getDatum(i).tm_year + 1900;
    von = i == 0 ? jahr : std::min(von, jahr);
    bis = i == 0 ? jahr : std::max(bis, jahr);
  }

  const bool englisch = waehrung != 0;
  const double hoehe = quoten.empty() ? 440 : 690;
  Svg svg(kBildBreite, hoehe, "Firma: " + firma.getName(), kBildSchrift);
  svg.element("text")
      .attr("x", kBildRand)
      .attr("y", 32)
      .attr("font-size", 18)
      .attr("font-weight", "bold")
      .text(firma.getName());
  zeichneLegende(svg, geld, 58);
  zeichneErklaerung(svg, 78);
  const Feld betraege{100, 400, achseUeber(geld), von, bis, false};
  zeichneAchsen(svg, betraege, a.zahl, englisch);
  for (size_t k = 0; k < geld.size(); ++k) {
    zeichneReihe(svg, betraege, geld[k], static_cast<int>(k));
  }
  if (!quoten.empty()) {
    zeichneLegende(svg, quoten, 452);
    const Feld prozente{470, 650, achseUeber(quoten), von, bis, true};
    zeichneAchsen(svg, prozente, a.zahl, englisch);
    for (size_t k = 0; k < quoten.size(); ++k) {
      zeichneReihe(svg, prozente, quoten[k], static_cast<int>(k));
    }
  }
  return svg.fertig();
}
