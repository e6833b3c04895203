#include "Tabelle.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Spalte.h"
#include "Testdaten.h"

namespace {

// A column titled "x" of the given kind; cell k belongs to row k.
Spalte spalte(int type, std::vector<Wert> werte,
              const std::string& titel = "x") {
  for (size_t k = 0; k < werte.size(); ++k) werte[k].index = int(k);
  return Spalte{type, titel, std::move(werte)};
}

Wert zahl(int64_t iw, bool linReg = false) { return {"", iw, 0, linReg}; }
Wert quote(double dw, bool linReg = false) {
  Wert w;
  w.dw = dw;
  w.linReg = linReg;
  return w;
}
Wert text(const std::string& stw) { return {stw, 0, 0, false}; }

// The rows 0..zeilen-1 in that order.
std::vector<int> folge(int zeilen) {
  std::vector<int> r;
  for (int k = 0; k < zeilen; ++k) r.push_back(k);
  return r;
}

// A table in the number format of currency `waehrung` (0 euro, 1 dollar).
struct Bild {
  std::vector<Spalte> spalten;
  std::vector<int> reihenfolge;
  int zeilen;
  int sortSpalte = 0;
  bool aufsteigend = true;
  int waehrung = 0;

  Anzeige anzeige() const {
    return Anzeige{spalten,
                   reihenfolge,
                   zeilen,
                   sortSpalte,
                   aufsteigend,
                   waehrung == 0 ? '.' : ',',
                   Zahlformat{zahlenLocale(waehrung)}};
  }
  std::string text() const { return tabellenText(anzeige()); }
  std::string html() const { return htmlSeite(anzeige()); }
};

// The text of the cell of row `zeile` when `s` is shown alone.
std::string zelle(const Spalte& s, int zeile, int waehrung) {
  const int n = int(s.werte.size());
  std::istringstream in(Bild{{s}, folge(n), n, 0, true, waehrung}.text());
  std::string z;
  for (int i = 0; i <= zeile + 1; ++i) std::getline(in, z);
  return z.substr(z.find_first_not_of(' '));
}

// The export page around the given table rows.
std::string seite(const std::string& zeilen) {
  return "<html>\n<head>\n<title>\n"
         "Quorvell, gebaut am #BUILD_DATE, SVN #SVN_REV \n"
         "</title>\n</head>\n<body>\n<table>\n" +
         zeilen + "</table>\n</body>\n</html>";
}

// Alpha AG (-5000) and Beta GmbH (1234567), in this row order: Beta first.
Bild alphaBeta(int waehrung, bool aufsteigend) {
  return Bild{
      {spalte(kText, {text("Beta GmbH"), text("Alpha AG")}, "Name"),
       spalte(kBetrag, {zahl(1234567), zahl(-5000)},
              waehrung == 0 ? "Letzter Umsatz [EUR]" : "Letzter Umsatz [USD]")},
      aufsteigend ? std::vector<int>{1, 0} : std::vector<int>{0, 1},
      2,
      0,
      aufsteigend,
      waehrung};
}

}  // namespace

TEST(Zahlentext, TausenderDatumUndProzent) {
  EXPECT_EQ(tausender(0, '.'), "0");
  EXPECT_EQ(tausender(999, '.'), "999");
  EXPECT_EQ(tausender(1000, '.'), "1.000");
  EXPECT_EQ(tausender(1234567, '.'), "1.234.567");
  EXPECT_EQ(tausender(1000005, '.'), "1.000.005");
  EXPECT_EQ(tausender(100000000, '.'), "100.000.000");
  EXPECT_EQ(tausender(-1234567, '.'), "-1234567");
  EXPECT_EQ(tausender(1234567, ','), "1,234,567");
  EXPECT_EQ(tausender(-1234567, ','), "-1234567");

  EXPECT_EQ(fuelle("7-", '0', 3), "07-");
  EXPECT_EQ(fuelle("12-", '0', 3), "12-");
  EXPECT_EQ(fuelle("5", '0', 2), "05");
  EXPECT_EQ(fuelle("12345-", '0', 5), "12345-");
  EXPECT_EQ(datumText(datum(5, 3, 2015)), "2015-03-05");
  EXPECT_EQ(datumText(datum(31, 12, 1999)), "1999-12-31");
  EXPECT_EQ(datumText(datum(15, 6, 999)), "0999-06-15");

  EXPECT_EQ(prozentText(0.123456, zahlenLocale(0)), "12,346%");
  EXPECT_EQ(prozentText(0.5, zahlenLocale(0)), "50%");
  EXPECT_EQ(prozentText(0.123456, zahlenLocale(1)), "12.346%");
  EXPECT_EQ(prozentText(0.5, zahlenLocale(1)), "50%");
}

TEST(Tabellentext, FirmentabelleRechtsbuendigMitSortierzeile) {
  EXPECT_EQ(alphaBeta(0, true).text(),
            "          Name     Letzter Umsatz [EUR]\n"
            "      Alpha AG                  (5.000)\n"
            "     Beta GmbH                1.234.567\n"
            "\n"
            "Sortiert nach Spalte: [Name] (aufsteigend)\n"
            "\n");
  EXPECT_EQ(alphaBeta(0, false).text(),
            "          Name     Letzter Umsatz [EUR]\n"
            "     Beta GmbH                1.234.567\n"
            "      Alpha AG                  (5.000)\n"
            "\n"
            "Sortiert nach Spalte: [Name] (absteigend)\n"
            "\n");
}

TEST(Tabellentext, OhneZeilenOhneSpaltenUndNamenMitUmlauten) {
  Bild leer = alphaBeta(0, true);
  for (Spalte& s : leer.spalten) s.werte = {};
  leer.reihenfolge.clear();
  leer.zeilen = 0;
  EXPECT_EQ(leer.text(),
            "     Name     Letzter Umsatz [EUR]\n"
            "\n"
            "Sortiert nach Spalte: [Name] (aufsteigend)\n"
            "\n");
  // Width counts characters: the two-byte u-umlaut is one.
  EXPECT_EQ((Bild{{spalte(kText, {text("Beta GmbH"), text("M\xc3\xbcller AG")},
                          "Name")},
                  {0, 1},
                  2})
                .text(),
            "          Name\n"
            "     Beta GmbH\n"
            "     M\xc3\xbcller AG\n"
            "\n"
            "Sortiert nach Spalte: [Name] (aufsteigend)\n"
            "\n");
  // No column shown: empty rows and no sort line.
  EXPECT_EQ((Bild{{}, {2, 1, 0}, 3}).text(), "\n\n\n\n\n\n");
}

TEST(Tabellentext, NegativeWerteInKlammernUndVorhersagenMitStern) {
  const Spalte betraege = spalte(
      kBetrag, {zahl(-2500, true), zahl(std::numeric_limits<int64_t>::min())});
  const Spalte quoten =
      spalte(kQuote, {quote(0.05, true), quote(-0.12345), quote(12.5)});
  EXPECT_EQ(zelle(betraege, 0, 0), "*(2.500)");
  EXPECT_EQ(zelle(betraege, 1, 0), "(9.223.372.036.854.775.808)");
  EXPECT_EQ(zelle(quoten, 0, 0), "*5,000%");
  EXPECT_EQ(zelle(quoten, 1, 0), "(12,345%)");
  EXPECT_EQ(zelle(quoten, 2, 0), "1.250,000%");
  EXPECT_EQ(zelle(betraege, 0, 1), "*(2,500)");
  EXPECT_EQ(zelle(quoten, 0, 1), "*5.000%");
  EXPECT_EQ(zelle(quoten, 1, 1), "(12.345%)");
  EXPECT_EQ(zelle(quoten, 2, 1), "1,250.000%");
}

TEST(Tabellentext, BreiteMisstQuotenAlsBruchUndMinusbetraegeOhneTrenner) {
  const Zahlformat dollar{zahlenLocale(1)};
  EXPECT_EQ(spaltenMass(spalte(kQuote, {quote(0.5)}), ',', dollar),
            9);  // "0.500%"
  EXPECT_EQ(spaltenMass(spalte(kQuote, {quote(-0.12345)}), ',', dollar),
            11);  // "-0.123%" + 1
  EXPECT_EQ(spaltenMass(spalte(kBetrag, {zahl(-5000)}), ',', dollar),
            9);  // "-5000" + 1
}

TEST(Html, SeiteMitDenZahlenformatenDerWaehrung) {
  Bild euro = alphaBeta(0, true);
  EXPECT_EQ(euro.html(),
            seite("<tr><th>Name</th><th>Letzter Umsatz [EUR]</th></tr>\n"
                  "<tr><td align=\"right\">Alpha AG</td>"
                  "<td align=\"right\">-5.000</td></tr>\n"
                  "<tr><td align=\"right\">Beta GmbH</td>"
                  "<td align=\"right\">1.234.567</td></tr>\n"));
  EXPECT_EQ(htmlFortschritt(euro.anzeige()), "I0\nJ0\nJ1\nI1\nJ0\nJ1\n");
  // Dollars, with the equity ratio (1/4 and 1/8) sorted descending.
  Bild dollar = alphaBeta(1, false);
  dollar.spalten[0] =
      spalte(kQuote, {quote(0.125), quote(0.25)}, "Letzter EK-Anteil");
  std::swap(dollar.spalten[0], dollar.spalten[1]);
  dollar.reihenfolge = {1, 0};
  dollar.sortSpalte = 1;
  EXPECT_EQ(dollar.html(), seite("<tr><th>Letzter Umsatz [USD]</th>"
                                 "<th>Letzter EK-Anteil</th></tr>\n"
                                 "<tr><td align=\"right\">-5,000</td>"
                                 "<td align=\"right\">0.25</td></tr>\n"
                                 "<tr><td align=\"right\">1,234,567</td>"
                                 "<td align=\"right\">0.125</td></tr>\n"));
}

TEST(Html, MaskiertSonderzeichenUndUmlaute) {
  EXPECT_EQ((Bild{{spalte(kText, {text("Fuchs & S\xc3\xb6hne <KG>")}, "Name")},
                  {0},
                  1})
                .html(),
            seite("<tr><th>Name</th></tr>\n"
                  "<tr><td align=\"right\">Fuchs &amp; S&#246;hne &lt;KG&gt;"
                  "</td></tr>\n"));
}

TEST(Html, OhneSpaltenUndMitFehlendenWachstumszellen) {
  const Bild ohne{{}, {0, 1}, 2};
  EXPECT_EQ(ohne.html(), seite("<tr></tr>\n"));
  EXPECT_EQ(htmlFortschritt(ohne.anzeige()), "");
  // A ratio column with a cell for row 0 only, in a table of three rows.
  EXPECT_EQ((Bild{{spalte(kQuote, {quote(0.5)})}, {0, 1, 2}, 3}).html(),
            seite("<tr><th>x</th></tr>\n"
                  "<tr><td align=\"right\">0,5</td></tr>\n"
                  "<tr><td align=\"right\"> </td></tr>\n"
                  "<tr><td align=\"right\"> </td></tr>\n"));
}

// Rows are fetched in runs; a table of some hundred rows in a scrambled order
// must show every row's own cells across the run boundaries, also where a
// column or the row order ends early.
TEST(Tabellentext, VieleZeilenInVertauschterFolge) {
  const int zeilen = 300, geordnet = 295, mitBetrag = 290;
  std::vector<Wert> namen, betraege;
  for (int k = 0; k < zeilen; ++k)
    namen.push_back(text("n" + std::to_string(k)));
  for (int k = 0; k < mitBetrag; ++k) betraege.push_back(zahl(k));
  Bild b{{spalte(kText, namen), spalte(kBetrag, betraege)}, {}, zeilen};
  for (int p = 0; p < geordnet; ++p) b.reihenfolge.push_back(p * 7 % geordnet);

  std::istringstream tabelle(b.text());
  std::string htmlZeilen, zeile;
  std::getline(tabelle, zeile);  // the heading
  for (int p = 0; p < zeilen; ++p) {
    const int j = p < geordnet ? b.reihenfolge[p] : -1;
    std::string erwartet, erwartetHtml = "<tr>";
    if (j >= 0) erwartet = "n" + std::to_string(j);
    if (j >= 0 && j < mitBetrag) erwartet += " " + std::to_string(j);
    erwartetHtml += "<td align=\"right\">" +
                    (j >= 0 ? "n" + std::to_string(j) : "") + "</td>";
    erwartetHtml += "<td align=\"right\">" +
                    (j >= 0 && j < mitBetrag ? std::to_string(j) : "") +
                    "</td></tr>\n";
    ASSERT_TRUE(std::getline(tabelle, zeile));
    std::istringstream woerter(zeile);
    std::string wort, gelesen;
    while (woerter >> wort) gelesen += (gelesen.empty() ? "" : " ") + wort;
    EXPECT_EQ(gelesen, erwartet) << "position " << p;
    htmlZeilen += erwartetHtml;
  }
  EXPECT_NE(b.html().find(htmlZeilen), std::string::npos);
}
