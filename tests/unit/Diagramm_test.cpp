#include "Diagramm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <regex>
#include <string>
#include <vector>

#include "Katalog.h"
#include "Spalte.h"
#include "Testdaten.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNan = std::nan("");

Firma firma(const std::string& name, const std::vector<Finanzen>& berichte) {
  Firma f;
  f.setAttr(name, berichte);
  return f;
}

// The tooltips of the elements of class `klasse`, one per line.
std::string tips(const std::string& svg, const std::string& klasse) {
  const std::regex element("class=\"" + klasse +
                           "\"[^>]*><title>([^<]*)</title>");
  std::string text;
  for (std::sregex_iterator t(svg.begin(), svg.end(), element), ende; t != ende;
       ++t) {
    text += (*t)[1].str() + "\n";
  }
  return text;
}

// Attribute `name` of the element whose tooltip is `tip`, as a number.
double attribut(const std::string& svg, const std::string& tip,
                const std::string& name) {
  const size_t ende = svg.find("><title>" + tip + "</title>");
  if (ende == std::string::npos) return kNan;
  const size_t anfang = svg.rfind('<', ende);
  const std::string tag = svg.substr(anfang, ende - anfang);
  std::smatch m;
  if (!std::regex_search(tag, m, std::regex(" " + name + "=\"([^\"]*)\""))) {
    return kNan;
  }
  double wert = kNan;
  std::from_chars(&*m[1].first, &*m[1].first + m[1].length(), wert);
  return wert;
}

// A company table of `spalten` in the order `reihenfolge`.
std::string firmenBild(const std::vector<Spalte>& spalten,
                       const std::vector<int>& reihenfolge, int zeilen,
                       const std::vector<Firma>& firmen, int waehrung) {
  const Anzeige a{spalten,
                  reihenfolge,
                  zeilen,
                  0,
                  false,
                  waehrung == 0 ? '.' : ',',
                  Zahlformat{zahlenLocale(waehrung)}};
  return firmenDiagramm(a, firmen, firmenKatalog(firmen, waehrung, "EUR"));
}

}  // namespace

TEST(Diagramm, BandskalaGemeinsamMitNullImBand) {
  const struct {
    std::vector<double> werte;
    double null;
    double langer, laengeLanger;
  } kFaelle[] = {
      {{50, -25, kInf, kNan}, 100, 50, 200},  // zero at a third; -25 is -100
      {{10, 30}, 0, 30, 300},
      {{-10, -30}, 300, -30, -300},  // all negative: zero at the right edge
      {{0, kNan, -kInf}, 0, 0, 0},
      {{DBL_MAX, -DBL_MAX}, 150, DBL_MAX, 150},  // the span stays finite
  };
  for (const auto& f : kFaelle) {
    const Bandskala s = bandskala(f.werte, 0, 300);
    EXPECT_DOUBLE_EQ(s.null, f.null) << f.werte[0];
    EXPECT_DOUBLE_EQ(s.laenge(f.langer), f.laengeLanger) << f.werte[0];
  }
  EXPECT_DOUBLE_EQ(bandskala({50, -25}, 10, 300).laenge(-25), -100);
}

TEST(Diagramm, BandMitNegativenWertenInfUndNanWieDieTabelle) {
  const std::vector<Firma> firmen = {
      firma("A & B", {bericht(datum(31, 12, 2015), 1, 0)}),
      firma("C", {bericht(datum(31, 12, 2015), 1, 0)}),
      firma("D", {bericht(datum(31, 12, 2015), 1, 0)}),
      firma("E", {bericht(datum(31, 12, 2015), 1, 0)})};
  std::vector<Wert> werte(4);
  const double dw[] = {0.5, -0.25, kInf, kNan};
  for (int i = 0; i < 4; ++i) {
    werte[i].dw = dw[i];
    werte[i].index = i;
  }
  const std::vector<Spalte> spalten = {{kQuote, "EK", werte}};
  const std::string svg = firmenBild(spalten, {0, 1, 2, 3}, 4, firmen, 0);
  EXPECT_EQ(tips(svg, "balken"), "A &amp; B, EK: 50,000%\nC, EK: (25,000%)\n");
  EXPECT_NE(svg.find("><title>D, EK: inf%</title>inf%</text>"),
            std::string::npos);
  EXPECT_NE(svg.find("><title>E, EK: nan%</title>nan%</text>"),
            std::string::npos);
  // Twice as long, and the negative bar ends where the positive one starts.
  const double plus = attribut(svg, "A &amp; B, EK: 50,000%", "width");
  const double minus = attribut(svg, "C, EK: (25,000%)", "width");
  EXPECT_NEAR(plus, 2 * minus, 0.15);
  EXPECT_NEAR(attribut(svg, "C, EK: (25,000%)", "x") + minus,
              attribut(svg, "A &amp; B, EK: 50,000%", "x"), 0.15);
  EXPECT_NE(svg.find("<title>Sortiert nach Spalte: [EK] (absteigend)</title>"),
            std::string::npos);
}

TEST(Diagramm, HoechstensFuenfzigZeilenDannDieZahlDerUebrigen) {
  const int n = 1051;
  std::vector<Firma> firmen;
  std::vector<Wert> umsatz(n);
  std::vector<int> absteigend;
  for (int i = 0; i < n; ++i) {
    firmen.push_back(firma("F" + std::to_string(i),
                           {bericht(datum(31, 12, 2015), 1000 * i, 0)}));
    umsatz[i].iw = 1000 * i;
    umsatz[i].index = i;
    absteigend.push_back(n - 1 - i);
  }
  const std::vector<Spalte> spalten = {{kBetrag, "U", umsatz}};
  const std::string euro = firmenBild(spalten, absteigend, n, firmen, 0);
  const std::string balken = tips(euro, "balken");
  EXPECT_EQ(std::count(balken.begin(), balken.end(), '\n'), 50);
  EXPECT_EQ(balken.substr(0, balken.find('\n')), "F1050, U: 1.050.000");
  EXPECT_NE(balken.find("F1001, U: 1.001.000\n"), std::string::npos);
  EXPECT_EQ(balken.find("F1000,"), std::string::npos);
  EXPECT_NE(euro.find(">und 1.001 weitere</text>"), std::string::npos);
  EXPECT_NE(firmenBild(spalten, absteigend, n, firmen, 1)
                .find(">und 1,001 weitere</text>"),
            std::string::npos);
  // Without a number column: no bars, and how to show one.
  const std::string namen = firmenBild({firmenKatalog(firmen, 0, "EUR")[0]},
                                       absteigend, n, firmen, 0);
  EXPECT_EQ(tips(namen, "balken"), "");
  EXPECT_NE(namen.find(">Keine Zahlenspalte angezeigt: n 3 bis n 10 haengt "
                       "eine an</text>"),
            std::string::npos);
}

// Nord AG of the test data: three reports and one forecast on the trend lines;
// each trend line runs from the oldest report to the forecast, which lies on
// it in either currency (the forecast has the oldest report's factors).
TEST(Diagramm, TrendlinienDerFirmaBisZurPrognose) {
  Firma nord =
      firma("Nord AG",
            {bericht(datum(31, 12, 2012), 2000, 300, 6000, 1500, 1.0, 1.5),
             bericht(datum(31, 12, 2011), 1600, 200, 5000, 1000, 1.0, 1.25),
             bericht(datum(31, 12, 2010), 1000, 100, 4000, 800, 1.0, 3.0)});
  nord.setVorhersage();
  for (int waehrung : {0, 1}) {
    const std::vector<Spalte> katalog =
        berichtsKatalog(nord, 4, waehrung, waehrung == 0 ? "EUR" : "USD");
    const std::vector<Spalte> spalten = {katalog[0], katalog[7]};
    const std::vector<int> reihenfolge = {3, 2, 1, 0};
    const Anzeige a{spalten,
                    reihenfolge,
                    4,
                    0,
                    true,
                    waehrung == 0 ? '.' : ',',
                    Zahlformat{zahlenLocale(waehrung)}};
    const std::string svg = berichtsDiagramm(a, nord, katalog, waehrung);
    const std::string trends = tips(svg, "trend");
    const std::string prognosen = tips(svg, "punkt prognose");
    if (waehrung == 0) {
      EXPECT_EQ(trends,
                "Trendlinie Umsatz [EUR]: 1.033 (2010) bis 2.533 (2013)\n"
                "Trendlinie Gewinn [EUR]: 100 (2010) bis 400 (2013)\n"
                "Trendlinie Bilanzsumme [EUR]: 4.000 (2010) bis 7.000 (2013)\n"
                "Trendlinie Eigenkapital [EUR]: 750 (2010) bis 1.800 (2013)\n");
      EXPECT_EQ(prognosen,
                "2013-12-31, Umsatz [EUR]: *2.533\n"
                "2013-12-31, Gewinn [EUR]: *400\n"
                "2013-12-31, Bilanzsumme [EUR]: *7.000\n"
                "2013-12-31, Eigenkapital [EUR]: *1.800\n"
                "2013-12-31, EK-Anteil: *25,700%\n");
    } else {
      EXPECT_NE(trends.find("Gewinn [USD]: 300 (2010) bis 1,200 (2013)"),
                std::string::npos);
      EXPECT_NE(prognosen.find("2013-12-31, Gewinn [USD]: *1,200\n"),
                std::string::npos);
    }
    // The forecast's mark (a circle for revenue) sits on the trend line's end.
    const std::string umsatz = prognosen.substr(0, prognosen.find('\n'));
    const std::string trend = trends.substr(0, trends.find('\n'));
    EXPECT_DOUBLE_EQ(attribut(svg, umsatz, "cy"), attribut(svg, trend, "y2"));
    const std::string punkte = tips(svg, "punkt");
    EXPECT_EQ(std::count(punkte.begin(), punkte.end(), '\n'), 4 * 3 + 3);
  }
}
