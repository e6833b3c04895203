#include "Import.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "Dateien.h"
#include "Testdateien.h"
#include "Testdaten.h"

namespace fs = std::filesystem;

// A temporary directory with an export "t.csv" beside a target directory
// "ziel" that already holds a data set.
class Import : public ::testing::Test {
 protected:
  void SetUp() override {
    ordner = neuerOrdner("import");
    ASSERT_FALSE(ordner.empty());
    fs::create_directories(ordner + "/ziel/config");
    fs::create_directories(ordner + "/ziel/data");
    ASSERT_TRUE(ersetzeDatei(ordner + "/ziel/config/index.txt", "alt.txt\n"));
    ASSERT_TRUE(ersetzeDatei(ordner + "/ziel/data/alt.txt",
                             "Alt AG\n31-12-2020 1 2 3 4 1 1.2\n"));
  }
  void TearDown() override {
    std::error_code fehler;
    fs::remove_all(ordner, fehler);
  }

  // Imports `csv`; the messages come without the temporary directory.
  Ausgang importiere(const std::string& csv, Optionen optionen = {}) {
    EXPECT_TRUE(ersetzeDatei(ordner + "/t.csv", csv));
    optionen.quellen = {ordner + "/t.csv"};
    optionen.ziel = ordner + "/ziel";
    return lauf(optionen);
  }

  // Imports `quelle`, a name in the temporary directory, into a new
  // directory "neu".
  Ausgang importiereNeu(const std::string& quelle, Optionen optionen) {
    std::error_code fehler;
    fs::remove_all(ordner + "/neu", fehler);
    optionen.quellen = {ordner + "/" + quelle};
    optionen.ziel = ordner + "/neu";
    return lauf(optionen);
  }

  // Runs the import; the messages come without the temporary directory.
  Ausgang lauf(const Optionen& optionen) {
    meldungen.clear();
    const Ausgang ausgang = ::importiere(optionen, meldungen);
    for (size_t p; (p = meldungen.find(ordner + "/")) != std::string::npos;) {
      meldungen.erase(p, ordner.size() + 1);
    }
    return ausgang;
  }

  // Every directory ("name/") and file ("name [content]") below "ziel".
  std::string abbild() const {
    std::vector<std::string> eintraege;
    std::error_code fehler;
    for (fs::recursive_directory_iterator it(ordner + "/ziel", fehler), ende;
         !fehler && it != ende; it.increment(fehler)) {
      std::string name = it->path().lexically_relative(ordner + "/ziel");
      std::string inhalt, lesefehler;
      if (it->is_directory()) {
        name += "/";
      } else if (leseDatei(it->path().string(), inhalt, lesefehler)) {
        name += " [" + inhalt + "]";
      }
      eintraege.push_back(name);
    }
    std::sort(eintraege.begin(), eintraege.end());
    std::string text;
    for (const std::string& e : eintraege) text += e + "\n";
    return text;
  }

  std::string ordner;
  std::string meldungen;
};

namespace {

const std::string kKopf =
    "Firma;Datum;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;EUR-Faktor;USD-"
    "Faktor\n";

struct Fall {
  const char* was;
  std::string csv;
  const char* usdFaktor;
  Ausgang ausgang;
  std::string meldungen;
};

std::string zuVieleFehler() {
  std::string csv = kKopf;
  for (int i = 0; i < 25; ++i) csv += "A;31.12.2020;x;1;1;1;1;1\n";
  return csv;
}

std::string zwanzigVon25() {
  std::string text;
  for (int z = 2; z < 22; ++z) {
    text += "t.csv:" + std::to_string(z) +
            ": Spalte \"Umsatz\": \"x\" ist keine Zahl, erwartet eine Zahl im "
            "deutschen Format wie 1.234.567,8\n";
  }
  return text +
         "quorvell-import: 25 Fehler, die ersten 20 stehen oben; nichts "
         "geschrieben\n";
}

// A header of `n` columns "s0;s1;...", none of them known.
std::string kopfAus(int n) {
  std::string kopf;
  for (int i = 0; i < n; ++i) kopf += (i > 0 ? ";s" : "s") + std::to_string(i);
  return kopf;
}

std::string vierzigKoepfe() {
  std::string text;
  for (int i = 0; i < 40; ++i) {
    text += (i > 0 ? ", \"s" : "\"s") + std::to_string(i) + "\"";
  }
  return text;
}

}  // namespace

TEST_F(Import, EinFehlerSchreibtNichtsUndLaesstDasZielUnberuehrt) {
  const std::vector<Fall> faelle = {
      {"fields, with lines counted across a quoted line break and CRLF",
       "Firma;Datum;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;EUR-Faktor;USD-"
       "Faktor;Notiz\r\n"
       "Neu AG;31.12.2024;1.234;5;6;7;1;1,1;\"zwei\r\nZeilen\"\r\n"
       "Neu AG;31.12.2023;1.234,5;5;6;7;1;1,1;\r\n"
       "\"Ost\nKG\";2023-02-30;1.23;x;;1;0;1,1;\r\n"
       "Sued;31.12.2023;1;2;3\r\n",
       nullptr, kFehler,
       "t.csv:4: Spalte \"Umsatz\": \"1.234,5\" ergibt mal Einheit 1 keinen "
       "ganzen Betrag, erwartet eine ganze Zahl\n"
       "t.csv:5: Spalte \"Firma\": \"Ost\\nKG\" enthaelt ein Steuerzeichen wie "
       "einen Zeilenumbruch, erwartet einen Namen in einer Zeile\n"
       "t.csv:5: Spalte \"Datum\": \"2023-02-30\" ist kein Tag des Kalenders, "
       "erwartet Monat 1 bis 12 und einen Tag bis zum Monatsende\n"
       "t.csv:5: Spalte \"Umsatz\": \"1.23\" hat ein Tausendertrennzeichen an "
       "falscher Stelle, erwartet Dreiergruppen wie 1.234.567,8\n"
       "t.csv:5: Spalte \"Gewinn\": \"x\" ist keine Zahl, erwartet eine Zahl "
       "im deutschen Format wie 1.234.567,8\n"
       "t.csv:5: Spalte \"Bilanzsumme\": \"\" ist leer, erwartet eine Zahl im "
       "deutschen Format wie 1.234.567,8\n"
       "t.csv:5: Spalte \"EUR-Faktor\": \"0\" ist kein Faktor groesser als 0, "
       "erwartet etwa 1 oder 1,0824\n"
       "t.csv:7: 5 Felder statt 9 wie in der Kopfzeile\n"
       "quorvell-import: 8 Fehler; nichts geschrieben\n"},
      {"the same year twice",
       "Company,Date,Revenue,Profit,Assets,Equity,EUR factor,USD factor\n"
       "A,2020-12-31,1,2,3,4,1,1.1\nA,2020-03-31,1,2,3,4,1,1.1\n",
       nullptr, kFehler,
       "t.csv:3: Firma \"A\": zweiter Bericht fuer 2020, der erste steht in "
       "Zeile 2\n"
       "quorvell-import: 1 Fehler; nichts geschrieben\n"},
      {"missing columns",
       "Firma;Datum;Umsatz;Gewinn;Bilanzsumme\nA;31.12.2020;1;2;3\n", nullptr,
       kFehler,
       "t.csv:1: es fehlen die Spalten Eigenkapital/Equity, EUR-Faktor/EUR "
       "factor (oder --eur-faktor oder Waehrung/Currency), USD-Faktor/USD "
       "factor (oder --usd-faktor oder Waehrung/Currency); gefundene Spalten: "
       "\"Firma\", \"Datum\", \"Umsatz\", \"Gewinn\", \"Bilanzsumme\"\n"
       "quorvell-import: 1 Fehler; nichts geschrieben\n"},
      {"files that exist", kKopf + "Alt;31.12.2020;1;2;3;4;1;1,2\n", nullptr,
       kFehler,
       "quorvell-import: ziel/data/alt.txt gibt es schon; --ueberschreiben "
       "ersetzt es\n"
       "quorvell-import: ziel/config/index.txt gibt es schon; "
       "--ueberschreiben ersetzt es\n"
       "quorvell-import: 2 Fehler; nichts geschrieben\n"},
      {"a header and no data", kKopf + ";;;;;;;\n", nullptr, kFehler,
       "quorvell-import: t.csv enthaelt keine Zeile mit Daten\n"
       "quorvell-import: 1 Fehler; nichts geschrieben\n"},
      {"more errors than are listed", zuVieleFehler(), nullptr, kFehler,
       zwanzigVon25()},
      {"a quote left open", kKopf + "\"A;31.12.2020;1;2;3;4;1;1\n", nullptr,
       kFehler,
       "t.csv:2: Anfuehrungszeichen bis zum Dateiende nicht geschlossen, "
       "erwartet ein schliessendes \"\n"
       "quorvell-import: 1 Fehler; nichts geschrieben\n"},
      {"a currency but no factors and no rates",
       "Firma;Datum;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;Waehrung\n"
       "A;31.12.2020;1;2;3;4;GBP\nB;31.12.2020;1;2;3;4;EUR\n"
       "C;31.12.2020;1;2;3;4;Euro\n",
       nullptr, kFehler,
       "t.csv:4: Spalte \"Waehrung\": \"Euro\" ist kein Waehrungscode, "
       "erwartet drei Buchstaben wie EUR, USD oder GBP\n"
       "quorvell-import: 1 Fehler; nichts geschrieben\n"},
      {"no factor for a report without the rates",
       "Firma;Datum;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;Waehrung\n"
       "A;31.12.2020;1;2;3;4;GBP\nB;31.12.2020;1;2;3;4;EUR\n",
       nullptr, kFehler,
       "t.csv:2: Firma \"A\", Bericht vom 2020-12-31 in GBP: kein EUR-Faktor "
       "und kein USD-Faktor; bitte --kurse mit den Kursen der EZB "
       "(eurofxref-hist.zip) oder --eur-faktor und --usd-faktor angeben\n"
       "t.csv:3: Firma \"B\", Bericht vom 2020-12-31 in EUR: kein USD-Faktor; "
       "bitte --kurse mit den Kursen der EZB (eurofxref-hist.zip) oder "
       "--usd-faktor angeben\n"
       "quorvell-import: 2 Fehler; nichts geschrieben\n"},
      {"a name the reader would change, a C1 control, an inexact factor",
       kKopf +
           "\xEF\xBB\xBF"
           "Beta;31.12.2020;1;2;3;4;1;1\n" +
           "Evil \xC2\x9B"
           "2J;31.12.2020;1;2;3;4;1;1\n" +
           "Gamma;31.12.2020;9.000.000.000.000.000.000;2;3;4;1;"
           "1,00000000000000001\n",
       nullptr, kFehler,
       "t.csv:2: Spalte \"Firma\": \"\\xEF\\xBB\\xBFBeta\" beginnt mit einer "
       "Byte-Order-Markierung (BOM), erwartet den Namen ohne sie\n"
       "t.csv:3: Spalte \"Firma\": \"Evil \\xC2\\x9B2J\" enthaelt das "
       "Steuerzeichen U+009B, erwartet nur druckbare Zeichen\n"
       "t.csv:4: Spalte \"USD-Faktor\": \"1,00000000000000001\" ist als "
       "Faktor nicht genau darstellbar (gespeichert wuerde 1), erwartet "
       "hoechstens 15 gueltige Ziffern\n"
       "quorvell-import: 3 Fehler; nichts geschrieben\n"},
      {"a header of 45 unknown columns", kopfAus(45) + "\n1\n", nullptr,
       kFehler,
       "t.csv:1: es fehlen die Spalten Firma/Name/Company, "
       "Datum/Stichtag/Date (oder Jahr/Geschaeftsjahr/Year/Fiscal year oder "
       "--jahr), Umsatz/Revenue, "
       "Gewinn/Jahresueberschuss/Profit/Net income, Bilanzsumme/Total "
       "assets/Assets, Eigenkapital/Equity, EUR-Faktor/EUR factor (oder "
       "--eur-faktor oder Waehrung/Currency), USD-Faktor/USD factor (oder "
       "--usd-faktor oder Waehrung/Currency); gefundene Spalten: " +
           vierzigKoepfe() +
           " und 5 weitere; --spalte FELD=KOPF macht eine davon zum Feld, "
           "etwa --spalte Firma=\"s0\"\n"
           "quorvell-import: 1 Fehler; nichts geschrieben\n"},
      {"a header of 1001 columns", kopfAus(1001) + "\n1\n", nullptr, kFehler,
       "t.csv:1: die Kopfzeile hat 1001 Spalten, erwartet hoechstens 1000\n"
       "quorvell-import: 1 Fehler; nichts geschrieben\n"},
      {"an inexact factor option", kKopf + "A;31.12.2020;1;2;3;4;1;1\n",
       "1,00000000000000001", kAufruffehler,
       "quorvell-import: --usd-faktor \"1,00000000000000001\" ist als Faktor "
       "nicht genau darstellbar (gespeichert wuerde 1), erwartet hoechstens "
       "15 gueltige Ziffern\n"},
      {"a factor option not in the table's style",
       kKopf + "A;31.12.2020;1;2;3;4;1;1\n", "1.13", kAufruffehler,
       "quorvell-import: --usd-faktor \"1.13\" hat ein Tausendertrennzeichen "
       "an falscher Stelle, erwartet Dreiergruppen wie 1.234.567,8\n"},
  };
  const std::string vorher = abbild();
  for (const Fall& f : faelle) {
    Optionen optionen;
    if (f.usdFaktor != nullptr) optionen.faktor[1] = f.usdFaktor;
    EXPECT_EQ(f.ausgang, importiere(f.csv, optionen)) << f.was;
    EXPECT_EQ(f.meldungen, meldungen) << f.was;
    EXPECT_EQ(vorher, abbild()) << f.was;
  }
}

TEST_F(Import, UeberschreibenErsetztNurDieDateienDesImports) {
  ASSERT_TRUE(ersetzeDatei(ordner + "/ziel/data/fremd.txt", "Fremd\n"));
  Optionen optionen;
  optionen.ueberschreiben = true;
  const std::string csv = kKopf + "Neu AG;31.12.2021;1;2;3;4;1;1,2\n" +
                          "Alt;31.12.2021;5;6;7;8;1;1,2\n";
  ASSERT_EQ(kErfolg, importiere(csv, optionen));
  EXPECT_EQ(
      "quorvell-import: 2 Firmen mit 2 Berichten geschrieben: "
      "ziel/config/index.txt und ziel/data/ (CSV-Tabellen: 2 Firmen mit 2 "
      "Berichten)\n",
      meldungen);
  EXPECT_EQ(
      "config/\n"
      "config/index.txt [neu_ag.txt\nalt.txt\n]\n"
      "data/\n"
      "data/alt.txt [Alt\n31-12-2021 5 6 7 8 1 1.2\n]\n"
      "data/fremd.txt [Fremd\n]\n"
      "data/neu_ag.txt [Neu AG\n31-12-2021 1 2 3 4 1 1.2\n]\n",
      abbild());
}

TEST_F(Import, SchreibfehlerNimmtNeueDateienZurueckUndLaesstDenIndex) {
  fs::create_directory(ordner + "/ziel/data/b.txt");
  const std::string vorher = abbild();
  Optionen optionen;
  optionen.ueberschreiben = true;
  const std::string csv =
      kKopf + "A;31.12.2021;1;2;3;4;1;1,2\n" + "B;31.12.2021;1;2;3;4;1;1,2\n";
  EXPECT_EQ(kFehler, importiere(csv, optionen));
  EXPECT_EQ(
      "quorvell-import: ziel/data/b.txt kann nicht geschrieben werden (ist "
      "ein Verzeichnis)\n"
      "quorvell-import: nichts geschrieben; die Dateien in ziel sind wie "
      "zuvor\n",
      meldungen);
  EXPECT_EQ(vorher, abbild());
}

namespace {

// SEC company facts of CIK `cik` called `name`: for each year in `jahre` the
// calendar year's four values in `waehrung`, revenue `umsatz`, filed on
// `filed`.
std::string secFirma(int cik, const std::string& name,
                     const std::string& waehrung, const std::vector<int>& jahre,
                     const std::string& filed = "2024-02-01",
                     const std::string& umsatz = "10") {
  const std::pair<const char*, std::string> konzepte[4] = {
      {"Revenues", umsatz},
      {"NetIncomeLoss", "-2"},
      {"Assets", "30"},
      {"StockholdersEquity", "4"}};
  std::string text = "{\"cik\":" + std::to_string(cik) + ",\"entityName\":\"" +
                     name + "\",\"facts\":{\"us-gaap\":{";
  for (int k = 0; k < 4; ++k) {
    text += std::string(k > 0 ? "," : "") + "\"" + konzepte[k].first +
            "\":{\"units\":{\"" + waehrung + "\":[";
    for (size_t j = 0; j < jahre.size(); ++j) {
      const std::string jahr = std::to_string(jahre[j]);
      text += std::string(j > 0 ? "," : "") + "{" +
              (k < 2 ? "\"start\":\"" + jahr + "-01-01\"," : "") +
              "\"end\":\"" + jahr + "-12-31\",\"form\":\"10-K\",\"filed\":\"" +
              filed + "\",\"accn\":\"x\",\"val\":" + konzepte[k].second + "}";
    }
    text += "]}}";
  }
  return text + "}}}";
}

// SEC company facts of one fiscal year ending 2023-12-31, filed on `filed`.
std::string secJahr(const std::string& name, const std::string& filed,
                    const std::string& umsatz) {
  return secFirma(42, name, "USD", {2023}, filed, umsatz);
}

// An xBRL-JSON report of one fiscal year ending 2023-12-31 in pounds.
std::string xbrlJahr() {
  std::string text =
      "{\"documentInfo\":{\"documentType\":\"https://xbrl.org/2021/"
      "xbrl-json\"},\"facts\":{";
  const char* const fakten[5][3] = {
      {"Revenue", "2023-01-01/2023-12-31", "\"50\""},
      {"ProfitLoss", "2023-01-01/2023-12-31", "\"5\""},
      {"Assets", "2023-12-31", "\"80\""},
      {"Equity", "2023-12-31", "\"20\""},
      {"NameOfReportingEntityOrOtherMeansOfIdentification",
       "2023-01-01/2023-12-31", "\"Brit plc\""}};
  for (int i = 0; i < 5; ++i) {
    text += std::string(i > 0 ? "," : "") + "\"f" + std::to_string(i) +
            "\":{\"value\":" + fakten[i][2] +
            ",\"dimensions\":{\"concept\":\"ifrs-full:" + fakten[i][0] +
            "\",\"entity\":\"lei:LEI0\",\"period\":\"" + fakten[i][1] + "\"" +
            (i < 4 ? ",\"unit\":\"iso4217:GBP\"" : "") + "}}";
  }
  return text + "}}";
}

}  // namespace

TEST_F(Import, QuellenAllerArtenAusVerzeichnisUndArchivInEinemLauf) {
  fs::create_directory(ordner + "/q");
  ASSERT_TRUE(ersetzeDatei(ordner + "/q/a.csv",
                           "Firma;Datum;Umsatz;Gewinn;Bilanzsumme;"
                           "Eigenkapital;Waehrung\n"
                           "Nord AG;31.12.2023;1;2;3;4;eur\n"));
  ASSERT_TRUE(ersetzeDatei(ordner + "/q/b.json",
                           secJahr("Muster Inc.", "2024-02-01", "10")));
  ASSERT_TRUE(
      schreibeZip(ordner + "/q/c.zip",
                  {{"sub/", ""},
                   {"neu.json", secJahr("Muster Inc.", "2025-02-01", "11")},
                   {"alt.json", secJahr("Alter Name", "2024-06-01", "12")},
                   {"bericht.json", xbrlJahr()}}));
  ASSERT_TRUE(ersetzeDatei(ordner + "/k.csv",
                           "Date,USD,GBP,\n2023-12-29,1.105,0.86905,\n"
                           "2023-12-28,1.1,0.86,\n"));
  Optionen optionen;
  optionen.ueberschreiben = true;
  optionen.kurse = {ordner + "/k.csv"};
  optionen.quellen = {ordner + "/q"};
  optionen.ziel = ordner + "/ziel";
  meldungen.clear();
  ASSERT_EQ(kErfolg, ::importiere(optionen, meldungen)) << meldungen;
  EXPECT_EQ("quorvell-import: 3 Firmen mit 3 Berichten geschrieben: " + ordner +
                "/ziel/config/index.txt und " + ordner +
                "/ziel/data/ (CSV-Tabellen: 1 Firma mit 1 Bericht; "
                "SEC-Firmendaten: 1 Firma mit 1 Bericht; xBRL-JSON: 1 Firma "
                "mit 1 Bericht)\n",
            meldungen);
  // The newest filing of CIK 42 counts; the pound report gets both factors
  // from the Friday before its Sunday.
  EXPECT_EQ(
      "config/\n"
      "config/index.txt [nord_ag.txt\nmuster_inc.txt\nbrit_plc.txt\n]\n"
      "data/\n"
      "data/alt.txt [Alt AG\n31-12-2020 1 2 3 4 1 1.2\n]\n"
      "data/brit_plc.txt [Brit plc\n31-12-2023 50 5 80 20 "
      "1.1506817789540302 1.2715033657442034\n]\n"
      "data/muster_inc.txt [Muster Inc.\n31-12-2023 11 -2 30 4 "
      "0.9049773755656109 1\n]\n"
      "data/nord_ag.txt [Nord AG\n31-12-2023 1 2 3 4 1 1.105\n]\n",
      abbild());
}

TEST_F(Import, Windows1252WirdAlsUtf8GeschriebenUndTabMeldungNenntDieOption) {
  Optionen ersetzen;
  ersetzen.ueberschreiben = true;
  ASSERT_EQ(kErfolg,
            importiere(kKopf +
                           "M\xFCller & S\xF6hne GmbH;31.12.2021;1;2;3;4;1;"
                           "1,2\n" +
                           "Alt;31.12.2021;5;6;7;8;1;1,2\n",
                       ersetzen));
  EXPECT_EQ(
      "quorvell-import: t.csv ist kein UTF-8 und wird als Windows-1252 "
      "gelesen; --zeichensatz utf-8 erzwingt UTF-8\n"
      "quorvell-import: 2 Firmen mit 2 Berichten geschrieben: "
      "ziel/config/index.txt und ziel/data/ (CSV-Tabellen: 2 Firmen mit 2 "
      "Berichten)\n",
      meldungen);
  EXPECT_EQ(
      "config/\n"
      "config/index.txt [mueller_soehne_gmbh.txt\nalt.txt\n]\n"
      "data/\n"
      "data/alt.txt [Alt\n31-12-2021 5 6 7 8 1 1.2\n]\n"
      "data/mueller_soehne_gmbh.txt [M\xC3\xBCller & S\xC3\xB6hne GmbH\n"
      "31-12-2021 1 2 3 4 1 1.2\n]\n",
      abbild());
  Optionen tab;
  tab.trenner = '\t';
  EXPECT_EQ(kAufruffehler, importiere(kKopf, tab));
  EXPECT_EQ(
      "quorvell-import: mit --trenner tab: bitte --zahlen de oder --zahlen en "
      "angeben\n",
      meldungen);
}

// What a killed run left: its journal, a replaced data file with the link to
// the old one, a new data file, and the index not yet in place. The next run
// puts the old files back, or, when the index had been put in place, keeps
// the new ones and only drops the leftovers; a file the journal does not
// name stays.
TEST_F(Import, DieNaechsteRundeRaeumtAufWasEinAbgebrochenerLaufHinterliess) {
  const std::string ziel = ordner + "/ziel/";
  for (const bool fertig : {false, true}) {
    ASSERT_TRUE(ersetzeDatei(ziel + "config/index.txt", "alt.txt\n"));
    ASSERT_TRUE(ersetzeDatei(ziel + "data/alt.txt",
                             "Alt AG\n31-12-2020 1 2 3 4 1 1.2\n"));
    ASSERT_EQ(0, link((ziel + "data/alt.txt").c_str(),
                      (ziel + "data/alt.txt.00000000000000a0.alt").c_str()));
    const std::vector<std::pair<std::string, std::string>> neu = {
        {"data/alt.txt", "Alt AG\n31-12-2021 9 9 9 9 1 1\n"},
        {"data/neu.txt", "Neu\n31-12-2021 9 9 9 9 1 1\n"},
        {"config/index.txt", "alt.txt\nneu.txt\n"}};
    std::string journal;
    for (size_t i = 0; i < neu.size(); ++i) {
      const std::string kennung = "00000000000000a" + std::to_string(i);
      const std::string temp = ziel + neu[i].first + "." + kennung + ".tmp";
      ASSERT_TRUE(ersetzeDatei(temp, neu[i].second));
      struct stat info {};
      ASSERT_EQ(0, stat(temp.c_str(), &info));
      journal += std::to_string(info.st_dev) + " " +
                 std::to_string(info.st_ino) + " " + kennung + " " +
                 neu[i].first + "\n";
      // The index, last, is in place only when the run had finished.
      if (i < 2 || fertig) {
        ASSERT_EQ(0, std::rename(temp.c_str(), (ziel + neu[i].first).c_str()));
      }
    }
    ASSERT_TRUE(ersetzeDatei(ziel + "config/.quorvell-import.journal",
                             journal + "kaputt\n"));
    ASSERT_TRUE(ersetzeDatei(ziel + "data/alt.txt.0123456789abcdef.tmp", "?"));
    Optionen optionen;
    optionen.ueberschreiben = true;
    ASSERT_EQ(kErfolg,
              importiere(kKopf + "Drei;31.12.2021;1;2;3;4;1;1\n", optionen));
    EXPECT_EQ(fertig ? "quorvell-import: Warnung: ein abgebrochener Import "
                       "hatte ziel schon ganz geschrieben; seine Reste sind "
                       "entfernt\n"
                     : "quorvell-import: Warnung: ein abgebrochener Import "
                       "hatte ziel nicht fertig geschrieben; die Dateien davor "
                       "sind wiederhergestellt\n",
              meldungen.substr(0, meldungen.find('\n') + 1));
    EXPECT_EQ(
        std::string("config/\n"
                    "config/index.txt [drei.txt\n]\n"
                    "data/\n") +
            (fertig ? "data/alt.txt [Alt AG\n31-12-2021 9 9 9 9 1 1\n]\n"
                    : "data/alt.txt [Alt AG\n31-12-2020 1 2 3 4 1 1.2\n]\n") +
            "data/alt.txt.0123456789abcdef.tmp [?]\n"
            "data/drei.txt [Drei\n31-12-2021 1 2 3 4 1 1\n]\n" +
            (fertig ? "data/neu.txt [Neu\n31-12-2021 9 9 9 9 1 1\n]\n" : ""),
        abbild())
        << fertig;
    fs::remove(ziel + "data/drei.txt");
    fs::remove(ziel + "data/neu.txt");
  }
}

namespace {

// One table as an analyst keeps it, with the options of its import.
struct Tabellenfall {
  const char* was;
  std::string datei;   // its name in the temporary directory
  std::string inhalt;  // its bytes; empty: the test workbook of that name
  std::function<void(Optionen&)> optionen;
  Ausgang ausgang;
  std::string meldungen;
  std::string daten;  // each data file the index names, after its name
};

// The data files `ziel`'s index names, each after a line with its name.
std::string datenIn(const std::string& ziel) {
  std::string index, text, fehler;
  if (!leseDatei(ziel + "/config/index.txt", index, fehler)) return "";
  for (size_t a = 0, e; (e = index.find('\n', a)) != std::string::npos;
       a = e + 1) {
    const std::string name = index.substr(a, e - a);
    std::string inhalt;
    leseDatei(ziel + "/data/" + name, inhalt, fehler);
    text += name + ":\n" + inhalt;
  }
  return text;
}

void millionen(Optionen& o) { o.einheit = 1000000; }

const char kBerichte[] =
    "nordwerk_ag.txt:\nNordwerk AG\n"
    "31-12-2022 1427900000 71395000 2544800000 812500000 1 1.053\n"
    "brenner_gmbh.txt:\nBrenner GmbH\n"
    "31-12-2021 4812300000 -12000000 2500000000 700000000 1 1.1827\n";

}  // namespace

// Workbooks read as stored (a date cell and a bare day number, 1427.9, a
// formula's result, a loss as text), names and years of the sheet's own,
// years across, currencies and the Swiss style.
TEST_F(Import, TabellenWieAnalystenSieFuehren) {
  const std::string quer =
      "Firma;Waehrung;Umsatz 2022;2023 Umsatz;Gewinn_2022;Gewinn-2023;"
      "Bilanzsumme FY2022;Bilanzsumme GJ2023;Eigenkapital 2022;"
      "Eigenkapital 2023;USD-Faktor 2022;USD-Faktor 2023\n";
  const std::vector<Tabellenfall> faelle = {
      {"xlsx", "b.xlsx", "", millionen, kErfolg,
       "quorvell-import: 2 Firmen mit 2 Berichten geschrieben: neu/config/"
       "index.txt und neu/data/ (Arbeitsmappen: 2 Firmen mit 2 Berichten)\n",
       kBerichte},
      {"ods", "b.ods", "", millionen, kErfolg,
       "quorvell-import: 2 Firmen mit 2 Berichten geschrieben: neu/config/"
       "index.txt und neu/data/ (Arbeitsmappen: 2 Firmen mit 2 Berichten)\n",
       kBerichte},
      {"a sheet that is not there", "b.xlsx", "",
       [](Optionen& o) { o.blatt = "Daten"; }, kFehler,
       "quorvell-import: b.xlsx: kein Blatt \"Daten\"; die Mappe hat "
       "\"Berichte\"\n"
       "quorvell-import: 1 Fehler; nichts geschrieben\n",
       ""},
      {"years across, one with an empty cell, an euro code and sign", "q.csv",
       quer + "Nord AG;EUR;(1.234);EUR 5;1;2;3;;4;5;1,1;1,2\n"
              "Sued AG;EUR;1 €;2;3;4;5;6;7;8;1,1;1,2\n",
       nullptr, kErfolg,
       "q.csv:2: Warnung: Firma \"Nord AG\": unvollstaendiges Jahr "
       "ausgelassen: 2023 ohne Bilanzsumme\n"
       "quorvell-import: 2 Firmen mit 3 Berichten geschrieben: neu/config/"
       "index.txt und neu/data/ (CSV-Tabellen: 2 Firmen mit 3 Berichten)\n",
       "nord_ag.txt:\nNord AG\n31-12-2022 -1234 1 3 4 1 1.1\n"
       "sued_ag.txt:\nSued AG\n31-12-2023 2 4 6 8 1 1.2\n"
       "31-12-2022 1 3 5 7 1 1.1\n"},
      {"a currency code against the row's", "q.csv",
       quer + "Nord AG;GBP;1 USD;$ 5;1;2;3;4;4;5;1,1;1,2\n", nullptr, kFehler,
       "q.csv:2: Spalte \"Umsatz 2022\": \"1 USD\" ist in USD, die Zeile aber "
       "in GBP (Spalte \"Waehrung\"), erwartet Betraege in GBP\n"
       "q.csv:2: Spalte \"2023 Umsatz\": \"$ 5\" ist in $, die Zeile aber in "
       "GBP (Spalte \"Waehrung\"), erwartet Betraege in GBP\n"
       "quorvell-import: 2 Fehler; nichts geschrieben\n",
       ""},
      {"Swiss numbers, years ending 30 June, named columns", "ch.csv",
       "Name der Firma;Geschaeftsjahr;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;"
       "EUR-Faktor;USD-Faktor\n"
       "Alpen AG;2023;CHF 1'234.5;(12.5);3'000;1'000;1.02;1.1\n",
       [](Optionen& o) {
         o.stil = Zahlenstil::schweizerisch;
         o.einheit = 10;
         o.stichtag = {30, 6, 0};
         o.spalten = {{kFirma, "name der firma"}};
       },
       kErfolg,
       "quorvell-import: 1 Firma mit 1 Bericht geschrieben: neu/config/"
       "index.txt und neu/data/ (CSV-Tabellen: 1 Firma mit 1 Bericht)\n",
       "alpen_ag.txt:\nAlpen AG\n30-06-2023 12345 -125 30000 10000 1.02 1.1\n"},
  };
  for (const Tabellenfall& f : faelle) {
    const std::string inhalt =
        f.inhalt.empty()
            ? testdatei(std::string(QUORVELL_TESTMAPPEN "/") +
                        (f.datei == "b.ods" ? "bericht.ods" : "bericht.xlsx"))
            : f.inhalt;
    ASSERT_TRUE(ersetzeDatei(ordner + "/" + f.datei, inhalt));
    Optionen optionen;
    if (f.optionen) f.optionen(optionen);
    EXPECT_EQ(f.ausgang, importiereNeu(f.datei, optionen)) << f.was;
    EXPECT_EQ(f.meldungen, meldungen) << f.was;
    EXPECT_EQ(f.daten, datenIn(ordner + "/neu")) << f.was;
  }
}

namespace {

// A run over the files of a directory "q", with the rate files named.
struct Kurslauf {
  const char* was;
  std::vector<std::pair<std::string, std::string>> dateien;
  std::vector<std::string> kurse;
  Ausgang ausgang;
  std::string meldungen;
  std::string daten;
};

const char kSchlusszeile[] =
    "quorvell-import: 1 Firma mit 1 Bericht geschrieben: neu/config/index.txt "
    "und neu/data/ (SEC-Firmendaten: 1 Firma mit 1 Bericht)\n";

}  // namespace

// Published companies as real filers publish them, rates from one's own
// file beside the ECB's; published files can't be mended, so what no rate
// serves is left out, while a table and a stale rate file stay errors.
TEST_F(Import, VeroeffentlichteFirmenOhneKursWerdenAusgelassen) {
  ASSERT_TRUE(ersetzeDatei(ordner + "/k.csv",
                           "Date,USD,GBP,\n2023-12-29,1.105,0.86905,\n"
                           "2023-12-28,1.1,0.86,\n2022-12-30,1.0666,N/A,\n"
                           "2022-06-01,1.07,0.85,\n"));
  ASSERT_TRUE(ersetzeDatei(ordner + "/t.csv",
                           "Date,TWD\n2023-12-27,33.9\n2022-12-30,32.7\n"));
  const std::string kopf =
      "Firma;Datum;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;";
  const std::vector<Kurslauf> laeufe = {
      {"TWD from one's own file and the dollar from the ECB's, each on its "
       "file's last day; a currency neither has, or no year at all, leaves "
       "a company out with a warning naming its file",
       {{"a.json", secFirma(7, "  Taiwan Co ", "TWD", {2023})},
        {"b.json", secFirma(8, "Alpen AG", "CHF", {2023})},
        {"c.json", secFirma(9, "Leer Inc.", "USD", {})}},
       {"k.csv", "t.csv"},
       kErfolg,
       "q/c.json: Warnung: Firma \"Leer Inc.\" (CIK 9) ausgelassen: kein "
       "Jahr mit Umsatz, Gewinn, Bilanzsumme und Eigenkapital\n"
       "q/b.json: Warnung: Firma \"Alpen AG\" (CIK 8) ausgelassen: CHF steht "
       "weder in k.csv noch in t.csv; ein weiteres --kurse mit ihren Kursen "
       "nimmt sie auf\n" +
           std::string(kSchlusszeile),
       "taiwan_co.txt:\nTaiwan Co\n"
       "31-12-2023 10 -2 30 4 0.029498525073746312 0.03259587020648968\n"},
      {"a year before the first rate day and a day without a rate",
       {{"c.json", secFirma(9, "Brit plc", "GBP", {2021, 2022, 2023})}},
       {"k.csv"},
       kErfolg,
       "q/c.json: Warnung: Firma \"Brit plc\" (CIK 9), Bericht vom 2022-12-31 "
       "in GBP ausgelassen: kein Kurs fuer GBP am 2022-12-30 in k.csv (N/A)\n"
       "q/c.json: Warnung: Firma \"Brit plc\" (CIK 9), Bericht vom 2021-12-31 "
       "in GBP ausgelassen: der Tag liegt vor dem ersten Tag von k.csv "
       "(2022-06-01)\n" +
           std::string(kSchlusszeile),
       "brit_plc.txt:\nBrit plc\n"
       "31-12-2023 10 -2 30 4 1.1506817789540302 1.2715033657442034\n"},
      {"a table's company in two currencies, by column or by sign, and two "
       "in one row; \"$\" is the dollar a code beside it names",
       {{"e.csv", kopf + "Waehrung\nA;31.12.2022;1;2;3;4;EUR\n"
                         "A;31.12.2023;1;2;3;4;GBP\n"},
        {"f.csv", kopf + "EUR-Faktor;USD-Faktor\nC;31.12.2022;1 €;2;3;4;1;1\n"
                         "C;31.12.2023;£ 1;2;3;4;1;1\n"
                         "D;31.12.2022;$ 1;2 CAD;3;4;1;1\n"
                         "D;31.12.2023;USD 1;2;3;4;1;1\n"
                         "E;31.12.2022;1 €;£ 2;3;4;1;1\n"}},
       {"k.csv"},
       kFehler,
       "q/e.csv:2: Firma \"A\": Bericht vom 2022-12-31 in EUR, der vom "
       "2023-12-31 in Zeile 3 in GBP; erwartet alle Berichte einer Firma in "
       "einer Waehrung\n"
       "q/f.csv:6: Spalte \"Gewinn\": \"£ 2\" ist in £, die Zeile aber in € "
       "(Spalte \"Umsatz\"), erwartet Betraege in €\n"
       "q/f.csv:2: Firma \"C\": Bericht vom 2022-12-31 in €, der vom "
       "2023-12-31 in Zeile 3 in £; erwartet alle Berichte einer Firma in "
       "einer Waehrung\n"
       "q/f.csv:4: Firma \"D\": Bericht vom 2022-12-31 in CAD, der vom "
       "2023-12-31 in Zeile 5 in USD; erwartet alle Berichte einer Firma in "
       "einer Waehrung\n"
       "quorvell-import: 4 Fehler; nichts geschrieben\n",
       ""},
      {"a stale rate file, and a table's currency no file has",
       {{"d.json", secFirma(10, "Neu Inc.", "USD", {2024})},
        {"g.csv", kopf + "Waehrung\nB;31.12.2023;1;2;3;4;TWD\n"}},
       {"k.csv"},
       kFehler,
       "quorvell-import: Firma \"Neu Inc.\" (CIK 10), Bericht vom 2024-12-31 "
       "in USD: k.csv endet am 2023-12-29, mehr als eine Woche davor; bitte "
       "die neue Kursdatei laden\n"
       "q/g.csv:2: Firma \"B\", Bericht vom 2023-12-31 in TWD: TWD steht "
       "nicht in k.csv\n"
       "quorvell-import: 2 Fehler; nichts geschrieben\n",
       ""},
  };
  for (const Kurslauf& l : laeufe) {
    fs::remove_all(ordner + "/q");
    fs::create_directory(ordner + "/q");
    for (const auto& [name, inhalt] : l.dateien) {
      ASSERT_TRUE(ersetzeDatei(ordner + "/q/" + name, inhalt));
    }
    Optionen optionen;
    for (const std::string& k : l.kurse) {
      optionen.kurse.push_back(ordner + "/" + k);
    }
    EXPECT_EQ(l.ausgang, importiereNeu("q", optionen)) << l.was;
    EXPECT_EQ(l.meldungen, meldungen) << l.was;
    EXPECT_EQ(l.daten, datenIn(ordner + "/neu")) << l.was;
  }
}

// The progress line goes to a terminal only, and is cleared at the end, so
// that the messages after it stand alone.
TEST_F(Import, FortschrittNurAufEinemTerminalUndDannGeloescht) {
  ASSERT_TRUE(ersetzeDatei(ordner + "/a.json",
                           secFirma(7, "Muster Inc.", "USD", {2023})));
  const auto mitFortschritt = [&](int fd) {
    Optionen optionen;
    optionen.faktor[0] = "0.9";
    optionen.fortschritt = fd;
    optionen.fortschrittNach = 0;
    EXPECT_EQ(kErfolg, importiereNeu("a.json", optionen)) << meldungen;
  };
  int rohr[2];
  ASSERT_EQ(0, pipe(rohr));
  mitFortschritt(rohr[1]);
  close(rohr[1]);
  char rest[64];
  EXPECT_EQ(0, read(rohr[0], rest, sizeof rest));
  close(rohr[0]);

  const int haupt = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(haupt, 0);
  ASSERT_EQ(0, grantpt(haupt));
  ASSERT_EQ(0, unlockpt(haupt));
  const int terminal = open(ptsname(haupt), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  winsize fenster{};
  fenster.ws_col = 200;
  ASSERT_EQ(0, ioctl(terminal, TIOCSWINSZ, &fenster));
  mitFortschritt(terminal);
  std::string gezeigt(4096, '\0');
  const ssize_t n = read(haupt, &gezeigt[0], gezeigt.size());
  gezeigt.resize(n > 0 ? static_cast<size_t>(n) : 0);
  close(terminal);
  close(haupt);
  const std::string zeile =
      "quorvell-import: " + ordner + "/a.json: Datei 1 von 1, 0 MB, 1 Firma";
  EXPECT_EQ("\r" + zeile + "\r" + std::string(zeile.size(), ' ') + "\r",
            gezeigt);
}
