#include "tabellen/Tabellenleser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ImportTabelle, DateinamenSindKleinesAsciiOhnePfadzeichen) {
  const std::vector<std::pair<std::string, std::string>> faelle = {
      {"Nordwerk AG", "nordwerk_ag"},
      {"M\xC3\xBCller & S\xC3\xB6hne GmbH", "mueller_soehne_gmbh"},
      {"\xC3\x84\xC3\x96\xC3\x9C \xC3\x9F", "aeoeue_ss"},
      {"M\xFCller", "mueller"},  // Latin-1
      {"Soci\xC3\xA9t\xC3\xA9 G\xC3\xA9n\xC3\xA9rale", "socit_gnrale"},
      {"../../etc/passwd", "etc_passwd"},
      {"A.B", "a_b"},
      {"\xE6\xA0\xAA\xE5\xBC\x8F", "firma"},
      {" -- ", "firma"},
      {std::string(70, 'x') + " AG", std::string(60, 'x')},
  };
  for (const auto& [name, stamm] : faelle) EXPECT_EQ(stamm, dateiStamm(name));
}

TEST(ImportTabelle, GleicheDateinamenWerdenDurchnummeriert) {
  std::string text =
      "Firma;Datum;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;EUR-Faktor;"
      "USD-Faktor\n";
  for (const char* name : {"Nord AG 2", "Nord AG", "nord-ag", "NORD AG"}) {
    text += std::string(name) + ";31.12.2020;1;2;3;4;1;1\n";
  }
  CsvLeser csv(text, ';');
  Meldungen meldungen;
  std::vector<ImportFirma> firmen = leseFirmen(
      csv, {Zahlenstil::deutsch, 1, {}, {}, {}, {}, {}}, "t.csv", meldungen);
  vergibDateinamen(firmen);
  EXPECT_EQ(0u, meldungen.fehlerAnzahl);
  EXPECT_EQ("nord_ag_2.txt\nnord_ag.txt\nnord_ag_3.txt\nnord_ag_4.txt\n",
            indexText(firmen));
}

// Everything the data file's reader would read differently, and every
// character that could act on a terminal, is an error in the name.
TEST(ImportTabelle, NamensfehlerFindetAllesWasDieRueckleseWuerde) {
  const std::string kDruckbar = ", erwartet nur druckbare Zeichen";
  const std::vector<std::pair<std::string, std::string>> faelle = {
      {"M\xC3\xBCller & S\xC3\xB6hne GmbH", ""},
      {"Soci\xC3\xA9t\xC3\xA9 \xE2\x80\x9CG\xC3\xA9n\xC3\xA9rale\xE2\x80\x9D",
       ""},
      {"", "ist leer, erwartet den Namen der Firma"},
      {"\xEF\xBB\xBF"
       "Beta",
       "beginnt mit einer Byte-Order-Markierung (BOM), erwartet den Namen ohne "
       "sie"},
      {" Beta",
       "hat Leerzeichen am Anfang oder Ende, erwartet den Namen ohne sie"},
      {"Beta ",
       "hat Leerzeichen am Anfang oder Ende, erwartet den Namen ohne sie"},
      {"Beta\r",
       "enthaelt ein Steuerzeichen wie einen Zeilenumbruch, erwartet "
       "einen Namen in einer Zeile"},
      {"\x1B[2JEvil",
       "enthaelt ein Steuerzeichen wie einen Zeilenumbruch, "
       "erwartet einen Namen in einer Zeile"},
      {"Evil\x7F",
       "enthaelt ein Steuerzeichen wie einen Zeilenumbruch, "
       "erwartet einen Namen in einer Zeile"},
      {"Evil \xC2\x9B"
       "2J",
       "enthaelt das Steuerzeichen U+009B" + kDruckbar},
      {"Evil \xC2\x80", "enthaelt das Steuerzeichen U+0080" + kDruckbar},
      {"\xE2\x80\xAE"
       "GA",
       "enthaelt die Schreibrichtungssteuerung U+202E" + kDruckbar},
      {"A\xE2\x81\xA6"
       "B",
       "enthaelt die Schreibrichtungssteuerung U+2066" + kDruckbar},
  };
  for (const auto& [name, fehler] : faelle) {
    EXPECT_EQ(fehler, namensfehler(name).value_or(""))
        << testing::PrintToString(name);
  }
}
