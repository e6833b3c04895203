#ifndef QUORVELL_OPTIONEN_H_
#define QUORVELL_OPTIONEN_H_

// What the command line of quorvell-import asks for, read by main.cpp and
// handed to the run, and the exit status a run ends with.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gemeinsam/ImportZahlen.h"
#include "tabellen/Csv.h"
#include "tabellen/Kopf.h"

struct Optionen {
  std::vector<std::string> quellen;
  std::string ziel;                // empty: the current directory
  char trenner = 0;                // 0: found from the header line
  std::optional<Zahlenstil> stil;  // empty: German with ';', English with ','
  std::optional<Zeichensatz> zeichensatz;  // empty: UTF-8 if it is valid
  uint64_t einheit = 1;
  std::optional<std::string> faktor[2];  // --eur-faktor, --usd-faktor as given
  std::optional<std::string> waehrung;   // --waehrung, in upper case
  std::string blatt;  // --blatt: the sheet of a workbook; empty: the first
  std::vector<Spaltenname> spalten;  // --spalte
  std::optional<int> jahr;           // --jahr
  Datum stichtag = {31, 12, 0};      // --stichtag; its jahr unused
  // --kurse: the rate files, the ECB's history and any of one's own.
  std::vector<std::string> kurse;
  bool jahresmittel = false;  // --kurs jahresmittel instead of the day's rate
  bool ueberschreiben = false;
  // Where the progress line goes while the sources are read, if it is a
  // terminal: a file descriptor, or -1 for nowhere; and after how many
  // seconds of reading it appears.
  int fortschritt = -1;
  double fortschrittNach = 2;
};

// The exit status of quorvell-import.
enum Ausgang { kErfolg = 0, kFehler = 1, kAufruffehler = 2 };

#endif  // QUORVELL_OPTIONEN_H_
