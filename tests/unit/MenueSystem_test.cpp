#include "MenueSystem.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <locale>
#include <regex>
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
Firma mitUmsatz(const std::string& name, int64_t umsatz, int64_t gewinn = 0) {
  return firma(name, {bericht(datum(31, 12, 2015), umsatz, gewinn)});
}

// Every table of a session's output, from its heading line to the empty line
// after its sort line, without the progress lines of the export before it.
std::vector<std::string> tabellen(const std::string& ausgabe) {
  std::vector<std::string> ergebnis;
  static const std::regex kTabelle(
      "Tabelle test(?:[IJ][0-9.,]+\n)*([\\s\\S]*?)"
      "(?=Auswahl:\n|    \\* = Werte)");
  for (std::sregex_iterator t(ausgabe.begin(), ausgabe.end(), kTabelle), ende;
       t != ende; ++t) {
    ergebnis.push_back((*t)[1]);
  }
  return ergebnis;
}

// The first word of every row of `tabelle`, joined by commas.
std::string zeilen(const std::string& tabelle) {
  std::istringstream in(tabelle);
  std::string zeile, ergebnis;
  std::getline(in, zeile);
  while (std::getline(in, zeile) && !zeile.empty()) {
    std::istringstream woerter(zeile);
    std::string wort;
    woerter >> wort;
    ergebnis += (ergebnis.empty() ? "" : ",") + wort;
  }
  return ergebnis;
}

}  // namespace

// Runs whole sessions of the menus in a fresh working directory, with the
// typed answers as standard input.
class MenueSitzung : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(alt, sizeof alt), nullptr);
    verzeichnis = neuerOrdner("menuesystem_test");
    ASSERT_FALSE(verzeichnis.empty());
    ASSERT_EQ(chdir(verzeichnis.c_str()), 0);
  }

  void TearDown() override {
    std::remove("save.dat");
    std::remove("tabelle.html");
    std::remove("diagramm.svg");
    EXPECT_EQ(chdir(alt), 0);
    rmdir(verzeichnis.c_str());
    std::locale::global(std::locale::classic());
    std::cout.imbue(std::locale::classic());
    std::cout.copyfmt(std::ios(nullptr));
  }

  // Standard output of a session on `firmen`.
  std::string spiele(const std::vector<Firma>& firmen,
                     const std::string& eingabe, int jahre = 5) {
    std::istringstream ein(eingabe);
    std::ostringstream aus;
    std::streambuf* altEin = std::cin.rdbuf(ein.rdbuf());
    std::streambuf* altAus = std::cout.rdbuf(aus.rdbuf());
    MenueSystem(firmen, jahre).start();
    std::cin.rdbuf(altEin);
    std::cout.rdbuf(altAus);
    std::cin.clear();
    return aus.str();
  }

  std::string gespeichert() {
    std::ifstream datei("save.dat");
    std::stringstream text;
    text << datei.rdbuf();
    return text.str();
  }

  void speichere(const std::string& inhalt) {
    std::ofstream("save.dat") << inhalt;
  }

  char alt[4096];
  std::string verzeichnis;
};

TEST_F(MenueSitzung, SortiertNachUmsatzInBeideRichtungen) {
  const std::vector<Firma> firmen = {mitUmsatz("A", 300), mitUmsatz("B", 100),
                                     mitUmsatz("C", 200)};
  const auto t = tabellen(spiele(firmen, "n 3 s 2 j s 2 n q"));
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(zeilen(t[2]), "B,C,A");
  EXPECT_EQ(zeilen(t[3]), "A,C,B");
}

// Rows whose growth rate has no older report to compare with come last
// ascending and first descending.
TEST_F(MenueSitzung, ZeilenOhneWachstumsrateHintenUndUmgekehrtVorn) {
  // The trend line gives 4500 for the forecast of 2016: growth rates 0.65
  // (2016 against 2013), 0 (2015 against 2012) and 1 (2014 against 2011).
  std::vector<Finanzen> berichte;
  const int64_t umsatz[] = {1000, 8000, 1000, 1000, 1000};
  for (int i = 0; i < 5; ++i) {
    berichte.push_back(bericht(datum(31, 12, 2015 - i), umsatz[i], 0));
  }
  speichere("1\n0\n5\n6\n2\n0\n5\n1\n1\n");
  const auto t = tabellen(spiele({firma("M", berichte)}, "j s 2 n q"));
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(zeilen(t[0]),
            "2015-12-31,2016-12-31,2014-12-31,2013-12-31,2012-12-31,"
            "2011-12-31");
  EXPECT_EQ(zeilen(t[1]),
            "2011-12-31,2012-12-31,2013-12-31,2014-12-31,2016-12-31,"
            "2015-12-31");
}

TEST_F(MenueSitzung, TexteNachBytesUndNaNZuletzt) {
  auto t = tabellen(spiele({mitUmsatz("alpha", 1), mitUmsatz("Abc", 1),
                            mitUmsatz("Zeta", 1), mitUmsatz("Ab", 1)},
                           "q"));
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(zeilen(t[0]), "Ab,Abc,Zeta,alpha");
  // Returns on sales 0/0 (not a number), 0.3, 0.1 and 0.2.
  std::remove("save.dat");
  t = tabellen(spiele({mitUmsatz("w", 0, 0), mitUmsatz("x", 10, 3),
                       mitUmsatz("y", 10, 1), mitUmsatz("z", 10, 2)},
                      "n 10 s 2 j q"));
  EXPECT_EQ(zeilen(t.back()), "y,z,x,w");
}

TEST_F(MenueSitzung, OhneFirmenEineLeereTabelle) {
  const auto t = tabellen(spiele({}, "q"));
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0],
            "     Name\n\nSortiert nach Spalte: [Name] (aufsteigend)\n\n");
}

TEST_F(MenueSitzung, EinfuegenBisZurSortspalteSchiebtSieNachRechts) {
  const auto t = tabellen(spiele({mitUmsatz("Alpha", 300), mitUmsatz("B", 100)},
                                 "n 3 s 2 j i 4 2 i 2 1 n 5 q"));
  ASSERT_EQ(t.size(), 6u);
  EXPECT_NE(t[3].find("Sortiert nach Spalte: [Letzter Umsatz [EUR]] "
                      "(aufsteigend)"),
            std::string::npos);
  EXPECT_EQ(zeilen(t[5]), "2015-12-31,2015-12-31");
  EXPECT_NE(t[5].find("Sortiert nach Spalte: [Letzter Umsatz [EUR]] "
                      "(aufsteigend)"),
            std::string::npos);
  // Report, name, profit, revenue, balance-sheet total; sorted by revenue.
  EXPECT_EQ(gespeichert(), "0\n0\n5\n2\n5\n1\n0\n3\n2\n4\n3\n1\n");
}

TEST_F(MenueSitzung, LoeschenHaeltDieSortierungAufIhrerSpalte) {
  const auto t = tabellen(spiele(
      {mitUmsatz("Alpha", 300), mitUmsatz("Beta", 100), mitUmsatz("Cora", 200)},
      "i 2 1 n 3 n 4 s 3 n l 1 l 3 l 2 l 1 q"));
  ASSERT_EQ(t.size(), 9u);
  EXPECT_EQ(zeilen(t[6]), "Alpha,Cora,Beta");
  EXPECT_NE(t[6].find("[Letzter Umsatz [EUR]] (absteigend)"),
            std::string::npos);
  // The sort column goes: column 0 takes over, the direction stays.
  EXPECT_EQ(zeilen(t[7]), "Cora,Beta,Alpha");
  EXPECT_NE(t[7].find("[Name] (absteigend)"), std::string::npos);
  // The last column goes: empty rows and no sort line.
  EXPECT_EQ(t[8], "\n\n\n\n\n\n");
  EXPECT_EQ(gespeichert(), "0\n0\n5\n3\n0\n0\n0\n");
}

TEST_F(MenueSitzung, SpeicherstandInKlarenZiffernAuchAufDeutsch) {
  spiele({mitUmsatz("A", 1), mitUmsatz("B", 2), mitUmsatz("C", 3)}, "q");
  EXPECT_EQ(gespeichert(), "0\n0\n5\n3\n1\n0\n0\n1\n");
  std::remove("save.dat");
  spiele(std::vector<Firma>(1500, mitUmsatz("A", 1)), "q", 2000);
  EXPECT_EQ(gespeichert(), "0\n0\n2000\n1500\n1\n0\n0\n1\n");
}

// The menus used to show any number of columns, and the next start refused
// the saved view of more than 1000 as damaged.
TEST_F(MenueSitzung, HoechstensTausendSpaltenDieDerNaechsteStartWiederlaedt) {
  std::string stand = "0\n0\n5\n1\n999\n";
  for (int i = 0; i < 999; ++i) stand += "0\n";
  speichere(stand + "0\n1\n");
  const std::string aus = spiele({mitUmsatz("A", 1)}, "j n 1 n 1 i 1 1 q");
  const std::string nein =
      "\nMehr als 1000 Spalten koennen nicht angezeigt werden!\n";
  size_t mal = 0;
  for (size_t p = aus.find(nein); p != std::string::npos;
       p = aus.find(nein, p + 1)) {
    ++mal;
  }
  EXPECT_EQ(mal, 2u);  // the second "n" and the "i"
  EXPECT_NE(aus.find(nein + "\nTabelle test"), std::string::npos);
  EXPECT_EQ(gespeichert().substr(0, 13), "0\n0\n5\n1\n1000\n");
  const std::string wieder = spiele({mitUmsatz("A", 1)}, "j q");
  EXPECT_EQ(wieder.find("beschaedigt"), std::string::npos);
  EXPECT_EQ(gespeichert().substr(0, 13), "0\n0\n5\n1\n1000\n");
}

// Copies of a column share their cells until one changes its own.
TEST(Spalte, KopienSindUnabhaengig) {
  Spalte a{kBetrag, "x", std::vector<Wert>(3)};
  Spalte b = a;
  b.werte.eigene()[1].iw = 7;
  b.titel = "y";
  EXPECT_EQ(a.werte[1].iw, 0);
  EXPECT_EQ(b.werte[1].iw, 7);
  Spalte leer;
  EXPECT_TRUE(leer.werte.empty());
  EXPECT_EQ(leer.werte.begin(), leer.werte.end());
  leer.werte.eigene().push_back(Wert{});
  EXPECT_EQ(leer.werte.size(), 1u);
}
