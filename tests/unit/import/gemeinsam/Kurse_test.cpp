#include "gemeinsam/Kurse.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

namespace {

// Three ECB days, newest first, Wednesday to Friday, JPY not quoted on the
// Thursday, with the trailing comma of the published file.
const char kKurse[] =
    "Date,USD,JPY,GBP,\r\n"
    "2024-01-05,1.0950,158.0,0.8610,\r\n"
    "2024-01-04,1.0940,N/A,0.8600,\r\n"
    "2024-01-03,1.0920,157.5,0.8650,\r\n";

std::string text(double x) {
  char puffer[32];
  return std::string(puffer, std::to_chars(puffer, puffer + 32, x).ptr);
}

// "EUR-FACTOR USD-FACTOR" or the failure.
std::string faktoren(const Kurstabelle& kurse, const char* waehrung,
                     Datum datum, bool jahresmittel) {
  double faktor[2] = {0, 0};
  std::string fehler;
  if (kurse.faktoren(waehrung, datum, jahresmittel, faktor, fehler) !=
      Kurslage::gefunden) {
    return fehler;
  }
  return text(faktor[0]) + " " + text(faktor[1]);
}

}  // namespace

TEST(ImportKurse, FaktorenVomLetztenTagOderAusDemJahresmittel) {
  Kurstabelle kurse;
  std::string fehler;
  ASSERT_TRUE(kurse.lies(kKurse, "k.csv", fehler)) << fehler;
  struct Fall {
    const char* waehrung;
    Datum datum;
    bool jahresmittel;
    const char* erwartet;
  };
  // The expected factors are 1 / r and r_USD / r of the rates above, as a
  // double division (and the mean of the three days) gives them.
  const Fall faelle[] = {
      {"GBP", {5, 1, 2024}, false, "1.1614401858304297 1.2717770034843205"},
      {"GBP", {7, 1, 2024}, false, "1.1614401858304297 1.2717770034843205"},
      {"USD", {6, 1, 2024}, false, "0.9132420091324202 1"},
      {"EUR", {5, 1, 2024}, false, "1 1.095"},
      {"GBP", {7, 1, 2024}, true, "1.160100082555566 1.2687659241349583"},
      {"USD", {5, 1, 2024}, true, "0.9143565691110206 1"},
      {"EUR",
       {31, 12, 2024},
       false,
       "k.csv endet am 2024-01-05, mehr als eine Woche davor; bitte die neue "
       "Kursdatei laden"},
      {"GBP",
       {2, 1, 2024},
       false,
       "der Tag liegt vor dem ersten Tag von k.csv (2024-01-03)"},
      {"JPY",
       {4, 1, 2024},
       false,
       "kein Kurs fuer JPY am 2024-01-04 in k.csv (N/A)"},
      {"JPY",
       {5, 1, 2024},
       true,
       "kein Kurs fuer JPY am 2024-01-04 in k.csv (N/A)"},
      {"JPY", {5, 1, 2024}, false, "0.006329113924050633 0.006930379746835443"},
      {"CHF", {5, 1, 2024}, false, "CHF steht nicht in k.csv"},
  };
  for (const Fall& f : faelle) {
    EXPECT_EQ(f.erwartet, faktoren(kurse, f.waehrung, f.datum, f.jahresmittel))
        << f.waehrung << " " << f.datum.tag << "." << f.datum.monat;
  }
}

TEST(ImportKurse, EineKaputteTabelleSagtZeileUndFeld) {
  const std::vector<std::pair<std::string, std::string>> faelle = {
      {"Datum;USD\n",
       "quorvell-import: k.csv ist keine Kurstabelle der EZB, "
       "erwartet die Kopfzeile \"Date,USD,JPY,...\" von "
       "eurofxref-hist.csv\n"},
      {"Date,USD,\n2024-01-05,1.09,2,\n",
       "k.csv:2: 3 Felder statt 2 wie in der Kopfzeile\n"},
      {"Date,USD,\n05.01.2024,1.09,\n",
       "k.csv:2: \"05.01.2024\" ist kein Datum, erwartet ein Datum wie "
       "2024-01-31\n"},
      {"Date,USD,\n2024-01-05,1,09,\n",
       "k.csv:2: 3 Felder statt 2 wie in der Kopfzeile\n"},
      {"Date,USD,\n2024-01-05,0,\n",
       "k.csv:2: Spalte \"USD\": \"0\" ist kein Kurs, erwartet eine Zahl "
       "groesser als 0 wie 1.0824 oder N/A\n"},
      {"Date,USD,\n2024-01-05,1.1,\n2024-01-05,1.2,\n",
       "quorvell-import: k.csv: der 2024-01-05 steht zweimal in der Tabelle\n"},
      {"Date,USD,\n",
       "quorvell-import: k.csv enthaelt keinen Tag mit Kursen\n"},
  };
  for (const auto& [tabelle, erwartet] : faelle) {
    Kurstabelle kurse;
    std::string fehler;
    EXPECT_FALSE(kurse.lies(tabelle, "k.csv", fehler)) << tabelle;
    EXPECT_EQ(erwartet, fehler) << tabelle;
  }
}
