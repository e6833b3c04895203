#include "MenueSystem.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <limits>
#include <locale>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Testdaten.h"

namespace {

Firma firma(const std::string& name, const std::vector<Finanzen>& berichte) {
  Firma f;
  f.setAttr(name, berichte);
  return f;
}

// One report of 31 December 2015, both factors 1.0.
Firma mitUmsatz(const std::string& name, int64_t umsatz, int64_t bilanz = 0,
                int64_t ek = 0) {
  return firma(name,
               {bericht(datum(31, 12, 2015), umsatz, 0, bilanz, ek, 1.0, 1.0)});
}

// A column titled "x" of the given kind; cell k belongs to row k.
Spalte spalte(int type, const std::vector<Wert>& werte) {
  Spalte s{type, "x", werte};
  for (size_t k = 0; k < werte.size(); ++k) s.werte[k].index = int(k);
  return s;
}

Wert zahl(int64_t iw, bool linReg = false) { return {"", iw, 0.0, 0, linReg}; }
Wert quote(double dw, bool linReg = false) { return {"", 0, dw, 0, linReg}; }
Wert text(const std::string& stw) { return {stw, 0, 0.0, 0, false}; }

std::string liste(const std::vector<int>& v) {
  std::string s;
  for (int x : v) s += (s.empty() ? "" : ",") + std::to_string(x);
  return s;
}

// Line `k` (from 0) of `text`.
std::string zeile(const std::string& text, int k) {
  std::istringstream in(text);
  std::string z;
  for (int i = 0; i <= k; ++i) std::getline(in, z);
  return z;
}

// The export page around the given table rows.
std::string seite(const std::string& zeilen) {
  return "<html>\n<head>\n<title>\n"
         "Quorvell, gebaut am #BUILD_DATE, SVN #SVN_REV \n"
         "</title>\n</head>\n<body>\n<table>\n" +
         zeilen + "</table>\n</body>\n</html>";
}

}  // namespace

class MenueSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(alt, sizeof alt), nullptr);
    char vorlage[] = "/tmp/menuesystem_test_XXXXXX";
    ASSERT_NE(mkdtemp(vorlage), nullptr);
    verzeichnis = vorlage;
    ASSERT_EQ(chdir(vorlage), 0);
  }

  void TearDown() override {
    std::remove("save.dat");
    EXPECT_EQ(chdir(alt), 0);
    rmdir(verzeichnis.c_str());
    std::locale::global(std::locale::classic());
    std::cout.imbue(std::locale::classic());
  }

  void neu(const std::vector<Firma>& firmen, int jahre = 5) {
    m = std::make_unique<MenueSystem>(firmen, jahre);
  }

  std::string pad(const std::string& a, int c) { return m->pad(a, '0', c); }
  std::string datumString(tm d) { return m->datumString(d); }
  std::string intStr(int64_t i) { return m->intStr(i); }
  std::string prozent(double d) { return m->prozent(d); }
  int getLength(const Spalte& s) { return m->getLength(s); }
  std::string tabelle() { return m->tabelleText(); }
  std::string speicherText() { return m->speicherText(); }
  std::string html() {
    std::string fortschritt;
    return m->htmlSeite(fortschritt);
  }
  std::string fortschritt() {
    std::string fortschritt;
    m->htmlSeite(fortschritt);
    return fortschritt;
  }
  void setWaehrung() { m->setWaehrung(); }
  void waehrung(int w) {
    m->waehrung = w;
    m->setloc();
  }
  void firmenKatalog() { m->buildFirmenSpalten(); }
  void datenKatalog(int zeilen) {
    m->anzahlEintraege = zeilen;
    m->buildDatenSpalten();
  }
  void rebuildFirmen() { m->rebuildFirmen(); }
  std::string folge() { return liste(m->reihenfolge); }
  void einfuegen(int stelle, int pos) { m->spalteEinfuegen(stelle, pos); }
  void entfernen(int stelle) { m->spalteEntfernen(stelle); }

  bool lese(const std::string& inhalt) {
    std::ofstream("save.dat") << inhalt;
    return m->leseSpeicherstand();
  }

  // The company catalogue, showing the columns at `positionen` sorted by
  // shown column `sort`.
  void zeige(const std::vector<int>& positionen, int sort, bool auf) {
    m->buildFirmenSpalten();
    m->spalten.clear();
    for (int p : positionen) m->spalten.push_back(m->hiddenSpalten[p]);
    m->benutzteSpalten = positionen;
    m->sortSpalte = sort;
    m->aufsteigend = auf;
    m->anzahlEintraege = int(m->firmen.size());
    m->sortieren(m->spalten[sort]);
  }

  // Row order after sorting by `s` in a table of `zeilen` rows.
  std::string sortiere(const Spalte& s, int zeilen, bool auf) {
    m->anzahlEintraege = zeilen;
    m->aufsteigend = auf;
    m->sortieren(s);
    return liste(m->reihenfolge);
  }

  // Shows `s` alone in a table of `zeilen` rows in row-index order.
  void zeigeAllein(const Spalte& s, int zeilen) {
    m->spalten = {s};
    m->sortSpalte = 0;
    m->anzahlEintraege = zeilen;
    m->reihenfolge.clear();
    for (int k = 0; k < zeilen; ++k) m->reihenfolge.push_back(k);
  }

  // The text of row `nummer` when `s` is shown alone, without its padding.
  std::string zelle(const Spalte& s, int nummer) {
    zeigeAllein(s, int(s.werte.size()));
    const std::string z = ::zeile(m->tabelleText(), nummer + 1);
    return z.substr(z.find_first_not_of(' '));
  }

  // Shown titles / their catalogue positions / sort column and direction.
  std::string ansicht() {
    std::string s;
    for (const Spalte& sp : m->spalten) {
      s += (s.empty() ? "" : ", ") + sp.titel;
    }
    return s + " / " + liste(m->benutzteSpalten) + " / " +
           std::to_string(m->sortSpalte) + (m->aufsteigend ? " auf" : " ab");
  }

  // "title|kind|cells" of every catalogue column, one per line; ratio
  // columns give their cell count only.
  std::string katalogText() {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    for (const Spalte& sp : m->hiddenSpalten) {
      out << sp.titel << "|" << sp.type << "|";
      if (sp.type == 2) out << sp.werte.size() << " Zellen";
      for (size_t k = 0; k < sp.werte.size() && sp.type != 2; ++k) {
        if (k > 0) out << "; ";
        if (sp.type == 0) out << sp.werte[k].stw;
        if (sp.type == 1) out << sp.werte[k].iw;
      }
      out << "\n";
    }
    return out.str();
  }

  std::string zellZahlen() {
    std::vector<int> n;
    for (const Spalte& sp : m->hiddenSpalten) n.push_back(int(sp.werte.size()));
    return liste(n);
  }

  std::unique_ptr<MenueSystem> m;
  char alt[4096];
  std::string verzeichnis;
};

// ------------------------------------------------------------- formatting

TEST_F(MenueSystemTest, IntStrGruppiertMitDemTrennzeichenDerWaehrung) {
  neu({});
  EXPECT_EQ(intStr(0), "0");
  EXPECT_EQ(intStr(999), "999");
  EXPECT_EQ(intStr(1000), "1.000");
  EXPECT_EQ(intStr(1234567), "1.234.567");
  EXPECT_EQ(intStr(1000005), "1.000.005");
  EXPECT_EQ(intStr(100000000), "100.000.000");
  EXPECT_EQ(intStr(-1234567), "-1234567");
  setWaehrung();
  EXPECT_EQ(intStr(1234567), "1,234,567");
  EXPECT_EQ(intStr(-1234567), "-1234567");
}

TEST_F(MenueSystemTest, PadUndDatumStringFuellenMitNullen) {
  neu({});
  EXPECT_EQ(pad("7-", 3), "07-");
  EXPECT_EQ(pad("12-", 3), "12-");
  EXPECT_EQ(pad("5", 2), "05");
  EXPECT_EQ(pad("12345-", 5), "12345-");
  EXPECT_EQ(datumString(datum(5, 3, 2015)), "2015-03-05");
  EXPECT_EQ(datumString(datum(31, 12, 1999)), "1999-12-31");
  EXPECT_EQ(datumString(datum(15, 6, 999)), "0999-06-15");
}

TEST_F(MenueSystemTest, ProzentMitDemDezimaltrennerDerLocale) {
  neu({});
  waehrung(0);
  EXPECT_EQ(prozent(0.123456), "12,346%");
  EXPECT_EQ(prozent(0.5), "50%");
  waehrung(1);
  EXPECT_EQ(prozent(0.123456), "12.346%");
  EXPECT_EQ(prozent(0.5), "50%");
}

// -------------------------------------------------------------- rendering

TEST_F(MenueSystemTest, FirmentabelleRechtsbuendigMitSortierzeile) {
  neu({mitUmsatz("Beta GmbH", 1234567), mitUmsatz("Alpha AG", -5000)});
  zeige({0, 2}, 0, true);
  EXPECT_EQ(tabelle(),
            "          Name     Letzter Umsatz [EUR]\n"
            "      Alpha AG                  (5.000)\n"
            "     Beta GmbH                1.234.567\n"
            "\n"
            "Sortiert nach Spalte: [Name] (aufsteigend)\n"
            "\n");
  zeige({0, 2}, 0, false);
  EXPECT_EQ(tabelle(),
            "          Name     Letzter Umsatz [EUR]\n"
            "     Beta GmbH                1.234.567\n"
            "      Alpha AG                  (5.000)\n"
            "\n"
            "Sortiert nach Spalte: [Name] (absteigend)\n"
            "\n");
}

TEST_F(MenueSystemTest, TabelleOhneZeilenUndNamenMitUmlauten) {
  neu({});
  zeige({0, 2}, 0, true);
  EXPECT_EQ(tabelle(),
            "     Name     Letzter Umsatz [EUR]\n"
            "\n"
            "Sortiert nach Spalte: [Name] (aufsteigend)\n"
            "\n");
  // Width counts characters: the two-byte u-umlaut is one.
  neu({mitUmsatz("M\xc3\xbcller AG", 1), mitUmsatz("Beta GmbH", 2)});
  zeige({0}, 0, true);
  EXPECT_EQ(tabelle(),
            "          Name\n"
            "     Beta GmbH\n"
            "     M\xc3\xbcller AG\n"
            "\n"
            "Sortiert nach Spalte: [Name] (aufsteigend)\n"
            "\n");
}

TEST_F(MenueSystemTest, NegativeWerteInKlammernUndVorhersagenMitStern) {
  neu({});
  const Spalte betraege =
      spalte(1, {zahl(-2500, true), zahl(std::numeric_limits<int64_t>::min())});
  const Spalte quoten =
      spalte(2, {quote(0.05, true), quote(-0.12345), quote(12.5)});
  waehrung(0);
  EXPECT_EQ(zelle(betraege, 0), "*(2.500)");
  EXPECT_EQ(zelle(betraege, 1), "(9.223.372.036.854.775.808)");
  EXPECT_EQ(zelle(quoten, 0), "*5,000%");
  EXPECT_EQ(zelle(quoten, 1), "(12,345%)");
  EXPECT_EQ(zelle(quoten, 2), "1.250,000%");
  waehrung(1);
  EXPECT_EQ(zelle(betraege, 0), "*(2,500)");
  EXPECT_EQ(zelle(quoten, 0), "*5.000%");
  EXPECT_EQ(zelle(quoten, 1), "(12.345%)");
  EXPECT_EQ(zelle(quoten, 2), "1,250.000%");
}

TEST_F(MenueSystemTest, BreiteMisstQuotenAlsBruchUndMinusbetraegeOhneTrenner) {
  neu({});
  waehrung(1);
  EXPECT_EQ(getLength(spalte(2, {quote(0.5)})), 9);        // "0.500%"
  EXPECT_EQ(getLength(spalte(2, {quote(-0.12345)})), 11);  // "-0.123%" + 1
  EXPECT_EQ(getLength(spalte(1, {zahl(-5000)})), 9);       // "-5000" + 1
}

// ---------------------------------------------------------------- sorting

TEST_F(MenueSystemTest, ReihenfolgeNachUmsatzUndNachWachstumsspalte) {
  neu({mitUmsatz("A", 300), mitUmsatz("B", 100), mitUmsatz("C", 200)});
  zeige({2}, 0, true);
  EXPECT_EQ(folge(), "1,2,0");
  zeige({2}, 0, false);
  EXPECT_EQ(folge(), "0,2,1");
  // Rows without a growth-rate cell come last ascending, first descending.
  const Spalte cagr = spalte(2, {quote(0.10), quote(0.05)});
  EXPECT_EQ(sortiere(cagr, 5, true), "1,0,2,3,4");
  EXPECT_EQ(sortiere(cagr, 5, false), "4,3,2,0,1");
}

TEST_F(MenueSystemTest, TexteNachBytesUndNaNZuletzt) {
  neu({});
  EXPECT_EQ(sortiere(spalte(0, {text("alpha"), text("Abc"), text("Zeta"),
                                text("Ab")}),
                     4, true),
            "3,1,2,0");
  // A value that is not a number is equal to every other under the
  // comparator; it must neither stop the sort nor take the first place.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(
      sortiere(spalte(2, {quote(nan), quote(0.3), quote(0.1), quote(0.2)}), 4,
               true),
      "2,3,1,0");
}

TEST_F(MenueSystemTest, LeereTabelleUndSpalteMitMehrZellenAlsZeilen) {
  neu({});
  EXPECT_EQ(sortiere(spalte(1, {}), 0, true), "");
  EXPECT_EQ(sortiere(spalte(1, {zahl(30), zahl(10), zahl(20)}), 2, true),
            "1,2,0");
}

// --------------------------------------------------------- column editing

TEST_F(MenueSystemTest, EinfuegenBisZurSortspalteSchiebtSieNachRechts) {
  neu({mitUmsatz("Alpha", 300), mitUmsatz("Beta", 100)});
  zeige({0, 2}, 1, true);
  einfuegen(1, 3);
  EXPECT_EQ(ansicht(),
            "Name, Letzter Gewinn [EUR], Letzter Umsatz [EUR] / 0,3,2 / 2 auf");
  einfuegen(0, 1);
  einfuegen(4, 4);
  EXPECT_EQ(ansicht(),
            "Letzter Report, Name, Letzter Gewinn [EUR], Letzter Umsatz [EUR], "
            "Letzte Bilanzsumme [EUR] / 1,0,3,2,4 / 3 auf");
}

TEST_F(MenueSystemTest, LoeschenHaeltDieSortierungAufIhrerSpalte) {
  neu({mitUmsatz("Alpha", 300), mitUmsatz("Beta", 100),
       mitUmsatz("Cora", 200)});
  zeige({1, 0, 2, 3}, 2, false);
  entfernen(0);
  entfernen(2);
  EXPECT_EQ(ansicht(), "Name, Letzter Umsatz [EUR] / 0,2 / 1 ab");
  EXPECT_EQ(folge(), "0,2,1");
  // The sort column goes: column 0 takes over, the direction stays.
  entfernen(1);
  EXPECT_EQ(ansicht(), "Name / 0 / 0 ab");
  EXPECT_EQ(folge(), "2,1,0");
  // The last column goes: no sort line.
  entfernen(0);
  EXPECT_EQ(ansicht(), " /  / 0 ab");
  EXPECT_EQ(tabelle(), "\n\n\n\n\n\n");
}

// ------------------------------------------------------------- catalogues

TEST_F(MenueSystemTest, FirmenkatalogMitBetraegenDesNeuestenBerichts) {
  neu({firma("Alpha",
             {bericht(datum(31, 12, 2015), -12349, 12349, 1000001, 3, 0.1, 2.5),
              bericht(datum(31, 12, 2014), 1, 1, 1, 1, 7.0, 9.0)}),
       firma("Beta", {bericht(datum(5, 3, 2015), 2000, -7, 10, 0, 1.0, 0.5)})});
  firmenKatalog();
  const std::string euro =
      "Name|0|Alpha; Beta\n"
      "Letzter Report|0|2015-12-31; 2015-03-05\n"
      "Letzter Umsatz [EUR]|1|-1234; 2000\n"
      "Letzter Gewinn [EUR]|1|1234; -7\n"
      "Letzte Bilanzsumme [EUR]|1|100000; 10\n"
      "Letztes Eigenkapital [EUR]|1|0; 0\n"
      "Letzte CAGR (Umsatz)|2|2 Zellen\n"
      "Letzte CAGR (Gewinn)|2|2 Zellen\n"
      "Letzter EK-Anteil|2|2 Zellen\n"
      "Letzte Umsatzrendite|2|2 Zellen\n";
  EXPECT_EQ(katalogText(), euro);
  setWaehrung();
  firmenKatalog();
  EXPECT_EQ(katalogText(),
            "Name|0|Alpha; Beta\n"
            "Letzter Report|0|2015-12-31; 2015-03-05\n"
            "Letzter Umsatz [USD]|1|-30872; 1000\n"
            "Letzter Gewinn [USD]|1|30872; -3\n"
            "Letzte Bilanzsumme [USD]|1|2500002; 5\n"
            "Letztes Eigenkapital [USD]|1|7; 0\n"
            "Letzte CAGR (Umsatz)|2|2 Zellen\n"
            "Letzte CAGR (Gewinn)|2|2 Zellen\n"
            "Letzter EK-Anteil|2|2 Zellen\n"
            "Letzte Umsatzrendite|2|2 Zellen\n");
  setWaehrung();
  firmenKatalog();
  EXPECT_EQ(katalogText(), euro);
}

TEST_F(MenueSystemTest, BerichtskatalogWachstumsspaltenDreiZellenKuerzer) {
  // Six yearly reports, newest first; report i has the dollar factor 1 + i/2.
  std::vector<Finanzen> berichte;
  for (int i = 0; i < 6; ++i) {
    berichte.push_back(bericht(datum(31, 12, 2015 - i), 1000, 100, 2000, 500,
                               1.0, 1.0 + 0.5 * i));
  }
  neu({firma("Muster AG", berichte)});
  datenKatalog(5);
  EXPECT_EQ(katalogText(),
            "Datum|0|2015-12-31; 2014-12-31; 2013-12-31; 2012-12-31; "
            "2011-12-31\n"
            "Umsatz [EUR]|1|1000; 1000; 1000; 1000; 1000\n"
            "Gewinn [EUR]|1|100; 100; 100; 100; 100\n"
            "Bilanzsumme [EUR]|1|2000; 2000; 2000; 2000; 2000\n"
            "Eigenkapital [EUR]|1|500; 500; 500; 500; 500\n"
            "CAGR (Umsatz)|2|2 Zellen\n"
            "CAGR (Gewinn)|2|2 Zellen\n"
            "EK-Anteil|2|5 Zellen\n"
            "Umsatzrendite|2|5 Zellen\n");
  datenKatalog(3);
  EXPECT_EQ(zellZahlen(), "3,3,3,3,3,0,0,3,3");
  // In dollars each row is converted with its own report's factor.
  setWaehrung();
  datenKatalog(5);
  EXPECT_EQ(zeile(katalogText(), 1),
            "Umsatz [USD]|1|1000; 1500; 2000; 2500; 3000");
  EXPECT_EQ(zeile(katalogText(), 4),
            "Eigenkapital [USD]|1|500; 750; 1000; 1250; 1500");
}

// ------------------------------------------------------------- save.dat

TEST_F(MenueSystemTest, SpeichertextInKlarenZiffernAuchAufDeutsch) {
  neu({mitUmsatz("A", 1), mitUmsatz("B", 2), mitUmsatz("C", 3)});
  rebuildFirmen();
  EXPECT_EQ(speicherText(), "0\n0\n5\n3\n1\n0\n0\n1\n");
  neu(std::vector<Firma>(1500, mitUmsatz("A", 1)), 2000);
  rebuildFirmen();
  EXPECT_EQ(speicherText(), "0\n0\n2000\n1500\n1\n0\n0\n1\n");
}

TEST_F(MenueSystemTest, GueltigerSpeicherstandWirdGanzUebernommen) {
  neu({mitUmsatz("A", 1), mitUmsatz("B", 2)});
  EXPECT_TRUE(lese("1\n1\n1234\n6\n2\n8\n0\n1\n0\n"));
  EXPECT_EQ(speicherText(), "1\n1\n1234\n6\n2\n8\n0\n1\n0\n");
  EXPECT_TRUE(lese("0\n0\n5\n2\n2\n9\n0\n0\n1\n"));
  EXPECT_EQ(speicherText(), "0\n0\n5\n2\n2\n9\n0\n0\n1\n");
}

TEST_F(MenueSystemTest, BeschaedigterSpeicherstandAendertNichts) {
  neu({mitUmsatz("A", 1), mitUmsatz("B", 2), mitUmsatz("C", 3)});
  rebuildFirmen();
  const std::string vorher = speicherText();
  for (const char* inhalt : {
           "0\n0\n5\n3\n1\n0\n0\n",         // truncated
           "0\n0\nfuenf\n3\n1\n0\n0\n1\n",  // letters
           "0\n0\n5\n3\n1\n10\n0\n1\n",     // 10 company columns
           "1\n0\n5\n5\n1\n9\n0\n1\n",      // 9 report columns
           "1\n3\n5\n5\n1\n0\n0\n1\n",      // company index past the list
           "2\n0\n5\n3\n1\n0\n0\n1\n",      // no such view
           "",                              // empty
           "0\n0\n5\n3\n2\n0\n1\n2\n1\n",   // sort column not shown
           "0\n0\n5\n3\n1\n0\n0\n2\n",      // direction neither 0 nor 1
       }) {
    SCOPED_TRACE(inhalt);
    EXPECT_FALSE(lese(inhalt));
    EXPECT_EQ(speicherText(), vorher);
  }
}

// ----------------------------------------------------------- HTML export

TEST_F(MenueSystemTest, HtmlSeiteMitDenZahlenformatenDerWaehrung) {
  neu({mitUmsatz("Beta GmbH", 1234567, 8, 1),
       mitUmsatz("Alpha AG", -5000, 4, 1)});
  zeige({0, 2}, 0, true);
  EXPECT_EQ(html(),
            "<html>\n<head>\n<title>\n"
            "Quorvell, gebaut am #BUILD_DATE, SVN #SVN_REV \n"
            "</title>\n</head>\n<body>\n<table>\n"
            "<tr><th>Name</th><th>Letzter Umsatz [EUR]</th></tr>\n"
            "<tr><td align=\"right\">Alpha AG</td>"
            "<td align=\"right\">-5.000</td></tr>\n"
            "<tr><td align=\"right\">Beta GmbH</td>"
            "<td align=\"right\">1.234.567</td></tr>\n"
            "</table>\n</body>\n</html>");
  EXPECT_EQ(fortschritt(), "I0\nJ0\nJ1\nI1\nJ0\nJ1\n");
  // Dollars, with the equity ratio (1/4 and 1/8) sorted descending.
  setWaehrung();
  zeige({2, 8}, 1, false);
  EXPECT_EQ(html(), seite("<tr><th>Letzter Umsatz [USD]</th>"
                          "<th>Letzter EK-Anteil</th></tr>\n"
                          "<tr><td align=\"right\">-5,000</td>"
                          "<td align=\"right\">0.25</td></tr>\n"
                          "<tr><td align=\"right\">1,234,567</td>"
                          "<td align=\"right\">0.125</td></tr>\n"));
}

TEST_F(MenueSystemTest, HtmlMaskiertSonderzeichenUndUmlaute) {
  neu({mitUmsatz("Fuchs & S\xc3\xb6hne <KG>", 1)});
  zeige({0}, 0, true);
  EXPECT_EQ(html(),
            seite("<tr><th>Name</th></tr>\n"
                  "<tr><td align=\"right\">Fuchs &amp; S&#246;hne &lt;KG&gt;"
                  "</td></tr>\n"));
}

TEST_F(MenueSystemTest, HtmlOhneSpaltenUndMitFehlendenWachstumszellen) {
  neu({mitUmsatz("A", 1), mitUmsatz("B", 2)});
  zeige({0}, 0, true);
  entfernen(0);
  EXPECT_EQ(html(), seite("<tr></tr>\n"));
  EXPECT_EQ(fortschritt(), "");
  // A ratio column with a cell for row 0 only, in a table of three rows.
  zeigeAllein(spalte(2, {quote(0.5)}), 3);
  EXPECT_EQ(html(), seite("<tr><th>x</th></tr>\n"
                          "<tr><td align=\"right\">0,5</td></tr>\n"
                          "<tr><td align=\"right\"> </td></tr>\n"
                          "<tr><td align=\"right\"> </td></tr>\n"));
}
