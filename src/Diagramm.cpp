// The company table's picture: a band of bars per shown number column. The
// detail view's picture is in DiagrammVerlauf.cpp.

#include "Diagramm.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "Spalte.h"
#include "Svg.h"
#include "Text.h"

double Bandskala::laenge(double wert) const {
  // As a share of the span, which never exceeds 1: no product overflows.
  return spanne == 0 ? 0 : wert / 2 / spanne * breite;
}

Bandskala bandskala(const std::vector<double>& werte, double links,
                    double breite) {
  double plus = 0, minus = 0;
  for (double w : werte) {
    if (!std::isfinite(w)) continue;
    plus = std::max(plus, w);
    minus = std::max(minus, -w);
  }
  // Halves, so that the span of two extreme values stays finite.
  Bandskala skala{links, plus / 2 + minus / 2, breite};
  skala.null = links - skala.laenge(-minus);
  return skala;
}

namespace {

// The names, right-aligned before the first band.
constexpr double kNamen = 210;
constexpr int kNamenZeichen = 30;
// A band's margin on either side, and the least room its bars get.
constexpr double kInnen = 10;
constexpr double kFlaeche = 80;
// The top of the first row, below the title and the band headings.
constexpr double kOben = 84;
constexpr double kZeile = 20;
constexpr double kBalken = 13;
const char* const kPlus = "#4a6fa5";
const char* const kMinus = "#e0a27a";

bool zahlenspalte(const Spalte& s) {
  return s.type == kBetrag || s.type == kQuote;
}

// The value of row `zeile` as its bar measures it; NaN where it has none.
double balkenWert(const Spalte& s, int zeile) {
  if (zeile < 0 || static_cast<size_t>(zeile) >= s.werte.size()) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  const Wert& w = s.werte[zeile];
  return s.type == kBetrag ? static_cast<double>(w.iw) : w.dw;
}

// A bar that grows to the left, its text before it; every other text stands
// right of its bar or of the zero line.
bool nachLinks(double wert) { return std::isfinite(wert) && wert < 0; }

// The rows drawn: the table row at each position (-1 where there is none)
// and its company's name.
struct Balkenbild {
  const Anzeige& a;
  std::vector<int> zeilen;
  std::vector<std::string> namen;
};

// One band's values and texts, and the room they take.
struct Band {
  const Spalte* spalte;
  std::vector<double> werte;
  std::vector<std::string> texte;
  // The room for the texts left of the zero line and right of it.
  double links = 0;
  double rechts = 0;
  // The whole band: its margins, the texts and at least kFlaeche for the
  // bars, and no narrower than its heading.
  double breite = 0;
};

Band band(const Spalte& s, const Balkenbild& bild) {
  Band b{&s, {}, {}};
  for (int j : bild.zeilen) {
    // A missing cell shows nothing, not the table's blank.
    const bool da = j >= 0 && static_cast<size_t>(j) < s.werte.size();
    const double wert = balkenWert(s, j);
    b.werte.push_back(wert);
    b.texte.push_back(da ? zellenText(s, j, bild.a.trenn, bild.a.zahl) : "");
    const double platz =
        textBreite(zeichenAnzahl(b.texte.back()), kBildSchrift) + 6;
    double& seite = nachLinks(wert) ? b.links : b.rechts;
    seite = std::max(seite, platz);
  }
  const double titel = textBreite(zeichenAnzahl(s.titel), kBildSchrift);
  b.breite = std::max(titel, b.links + b.rechts + kFlaeche) + 2 * kInnen;
  return b;
}

double zeilenY(int k) { return kOben + k * kZeile; }

// The bar and the value text of row position `k` in a band; a value that is
// not finite gets its text alone.
void zeichneBalken(Svg& svg, const Bandskala& skala, double wert,
                   const std::string& text, const std::string& tip, int k) {
  const double y = zeilenY(k);
  const double schrift = y + kZeile / 2 + 4;
  if (!std::isfinite(wert)) {
    svg.element("text")
        .attr("x", skala.null + 4)
        .attr("y", schrift)
        .text(text, tip);
    return;
  }
  const double l = skala.laenge(wert);
  svg.element("rect")
      .attr("class", "balken")
      .attr("x", std::min(skala.null, skala.null + l))
      .attr("y", y + (kZeile - kBalken) / 2)
      .attr("width", std::fabs(l))
      .attr("height", kBalken)
      .attr("fill", wert < 0 ? kMinus : kPlus)
      .ende(tip);
  const bool links = nachLinks(wert);
  svg.element("text")
      .attr("x", skala.null + l + (links ? -4 : 4))
      .attr("y", schrift)
      .attr("text-anchor", links ? "end" : "start")
      .text(text);
}

// One band from `x`: its heading, its zero line and a bar per drawn row.
void zeichneBand(Svg& svg, const Balkenbild& bild, const Band& b, double x) {
  const Bandskala skala = bandskala(b.werte, x + kInnen + b.links,
                                    b.breite - 2 * kInnen - b.links - b.rechts);
  const Spalte& s = *b.spalte;
  svg.element("text")
      .attr("x", x + kInnen)
      .attr("y", kOben - 10)
      .attr("font-weight", "bold")
      .text(s.titel);
  const int n = static_cast<int>(bild.zeilen.size());
  svg.element("line")
      .attr("x1", skala.null)
      .attr("y1", kOben - 4)
      .attr("x2", skala.null)
      .attr("y2", zeilenY(n))
      .attr("stroke", "#555555")
      .ende();
  for (int k = 0; k < n; ++k) {
    if (b.texte[k].empty()) continue;
    const std::string tip = bild.namen[k] + ", " + s.titel + ": " + b.texte[k];
    zeichneBalken(svg, skala, b.werte[k], b.texte[k], tip, k);
  }
}

// The rows' stripes and names.
void zeichneZeilen(Svg& svg, const Balkenbild& bild, double breite) {
  for (size_t k = 0; k < bild.zeilen.size(); ++k) {
    const int position = static_cast<int>(k);
    if (k % 2 == 1) {
      svg.element("rect")
          .attr("x", kBildRand)
          .attr("y", zeilenY(position))
          .attr("width", breite - 2 * kBildRand)
          .attr("height", kZeile)
          .attr("fill", "#f0f0f0")
          .ende();
    }
    const std::string& name = bild.namen[k];
    const std::string kurz = gekuerzt(name, kNamenZeichen);
    svg.element("text")
        .attr("x", kBildRand + kNamen - 8)
        .attr("y", zeilenY(position) + kZeile / 2 + 4)
        .attr("text-anchor", "end")
        .text(kurz, kurz == name ? std::string_view() : name);
  }
}

// The line that says how to show a number column: "n" with the first and the
// last of them in the catalogue.
std::string ohneZahlen(const std::vector<Spalte>& katalog) {
  int erste = 0, letzte = 0;
  for (size_t p = 0; p < katalog.size(); ++p) {
    if (!zahlenspalte(katalog[p])) continue;
    if (erste == 0) erste = static_cast<int>(p) + 1;
    letzte = static_cast<int>(p) + 1;
  }
  return "Keine Zahlenspalte angezeigt: n " + std::to_string(erste) +
         " bis n " + std::to_string(letzte) + " haengt eine an";
}

Balkenbild balkenbild(const Anzeige& a, const std::vector<Firma>& firmen) {
  Balkenbild bild{a, {}, {}};
  for (int k = 0; k < std::min(a.zeilen, kDiagrammZeilen); ++k) {
    const int j =
        static_cast<size_t>(k) < a.reihenfolge.size() ? a.reihenfolge[k] : -1;
    const bool firma = j >= 0 && static_cast<size_t>(j) < firmen.size();
    bild.zeilen.push_back(firma ? j : -1);
    bild.namen.push_back(firma ? firmen[j].getName() : std::string());
  }
  return bild;
}

// The bands of the shown number columns, widened alike to fill the picture.
std::vector<Band> baender(const Balkenbild& bild) {
  std::vector<Band> alle;
  double breite = 0;
  for (const Spalte& s : bild.a.spalten) {
    if (!zahlenspalte(s)) continue;
    alle.push_back(band(s, bild));
    breite += alle.back().breite;
  }
  const double frei = kBildBreite - 2 * kBildRand - kNamen - breite;
  for (Band& b : alle) {
    if (frei > 0) b.breite += frei / static_cast<double>(alle.size());
  }
  return alle;
}

}  // namespace

std::string firmenDiagramm(const Anzeige& a, const std::vector<Firma>& firmen,
                           const std::vector<Spalte>& katalog) {
  const Balkenbild bild = balkenbild(a, firmen);
  const std::vector<Band> alle = baender(bild);
  double breite = 2 * kBildRand + kNamen;
  for (const Band& b : alle) breite += b.breite;
  breite = std::max(breite, kBildBreite);
  const int zeilen = alle.empty() ? 0 : static_cast<int>(bild.zeilen.size());
  const int weitere = alle.empty() ? 0 : a.zeilen - zeilen;
  const double hoehe = zeilenY(zeilen) + (weitere > 0 ? 30 : 0) + kBildRand;

  const std::string titel = sortZeile(a);
  Svg svg(breite, hoehe, titel.empty() ? "Firmen" : titel, kBildSchrift);
  if (!titel.empty()) {
    svg.element("text")
        .attr("x", kBildRand)
        .attr("y", 30)
        .attr("font-size", 16)
        .attr("font-weight", "bold")
        .text(titel);
  }
  if (alle.empty()) {
    svg.element("text")
        .attr("x", kBildRand)
        .attr("y", 60)
        .attr("font-size", 13)
        .text(ohneZahlen(katalog));
    return svg.fertig();
  }
  zeichneZeilen(svg, bild, breite);
  double x = kBildRand + kNamen;
  for (const Band& b : alle) {
    zeichneBand(svg, bild, b, x);
    x += b.breite;
  }
  if (weitere > 0) {
    svg.element("text")
        .attr("x", kBildRand)
        .attr("y", zeilenY(zeilen) + 22)
        .attr("font-size", kBildSchrift + 1)
        .text("und " + tausender(weitere, a.trenn) + " weitere");
  }
  return svg.fertig();
}
