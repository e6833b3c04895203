// Entry point of quorvell-import: reads the command line, runs the import and
// prints its messages on standard error. Exit status 0 when the files are
// written, 1 on errors in the data or on writing, 2 on a wrong call.

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "Import.h"
#include "ImportTabelle.h"
#include "ImportUmstellung.h"

namespace {

const char kAufruf[] = "Aufruf: quorvell-import [OPTIONEN] QUELLE... [ZIEL]";

const char kHilfe[] = R"(
Liest Jahresberichte von Firmen und schreibt ZIEL/config/index.txt und je
Firma eine Datei ZIEL/data/<name>.txt, die quorvell in ZIEL einliest. Bei
einer QUELLE ist ZIEL das aktuelle Verzeichnis; bei mehreren Namen ist der
letzte das Zielverzeichnis.

Jede QUELLE ist eine Datei, ein Verzeichnis (seine Dateien in Namensfolge)
oder ein ZIP-Archiv (seine Eintraege). Jede Datei wird an ihrem Inhalt
erkannt:
  SEC-Firmendaten    JSON mit "cik", "entityName" und "facts", wie
                     CIK##########.json oder das Archiv companyfacts.zip
  xBRL-JSON          ein ESEF-Jahresbericht als xBRL-JSON
  CSV-Tabelle        alles andere: eine Zeile je Firma und Jahresbericht

Aus SEC-Firmendaten und xBRL-JSON zaehlt ein Geschaeftsjahr, wenn es alle vier
Werte hat (Umsatz, Gewinn, Bilanzsumme, Eigenkapital); die Betraege stehen
dort in ganzen Einheiten der Waehrung der Bilanzsumme.

Spalten einer CSV-Tabelle, erkannt am Namen in der Kopfzeile (Gross- und
Kleinschreibung egal, Reihenfolge beliebig, weitere Spalten werden
uebergangen):
  Firma, Name, Company                           Name der Firma
  Datum, Stichtag, Date                          31.12.2020, 2020-12-31
                                                 oder 31-12-2020
  Umsatz, Revenue
  Gewinn, Jahresueberschuss, Profit, Net income  negativ fuer einen Verlust
  Bilanzsumme, Total assets, Assets
  Eigenkapital, Equity
  EUR-Faktor, EUR factor                         Betrag mal Faktor = Euro
  USD-Faktor, USD factor                         Betrag mal Faktor = US-Dollar
  Waehrung, Currency                             EUR, USD, GBP, ...; mit
                                                 --kurse statt der Faktoren

Optionen:
  --kurse DATEI     die Referenzkurse der EZB, eurofxref-hist.csv oder
                    eurofxref-hist.zip: daraus die Faktoren jedes Berichts
                    in seiner Waehrung
  --kurs tag|jahresmittel
                    tag (ohne Angabe): der Kurs des letzten EZB-Tages am
                    oder vor dem Berichtsdatum; jahresmittel: das Mittel der
                    Faktoren aller EZB-Tage des Jahres bis dahin
  --waehrung C      die Waehrung der Betraege aller Zeilen einer CSV-Tabelle,
                    etwa EUR, statt einer Spalte
  --eur-faktor X    EUR-Faktor fuer alle Berichte statt aus Spalte oder Kursen
  --usd-faktor X    USD-Faktor fuer alle Berichte statt aus Spalte oder Kursen
                    (X im Zahlenformat der Tabelle, sonst wie 1.0824)
  --trenner T       Feldtrenner der CSV-Tabellen ";", "," oder "tab"; ohne
                    Angabe aus der Kopfzeile erkannt
  --zahlen de|en    Zahlenformat: de 1.234.567,8 oder en 1,234,567.8; ohne
                    Angabe de bei ";" und en bei ",", bei "tab" noetig
  --zeichensatz Z   utf-8 oder windows-1252; ohne Angabe UTF-8, und eine
                    Datei, die kein UTF-8 ist, als Windows-1252, wie Excel
                    sie als CSV mit Trennzeichen speichert
  --einheit N       die Betraege der CSV-Tabellen sind in Einheiten von N,
                    etwa 1000 oder 1000000; sie werden exakt umgerechnet und
                    nie gerundet
  --ueberschreiben  vorhandene Dateien in ZIEL ersetzen
  --help            diese Hilfe

Erst werden alle Quellen geprueft; bei einem Fehler wird nichts geschrieben.
Die Dateien kommen alle auf einmal an ihren Platz oder keine; ein Abbruch
(auch Strg-C) laesst die alten Dateien stehen. Die Datendateien fuehren die
Berichte je Firma neueste zuerst. Ohne --kurse bekommt ein Bericht in EUR den
EUR-Faktor 1 und einer in USD den USD-Faktor 1; jeder andere Faktor muss aus
einer Spalte oder Option kommen.

Beispiel, deutscher Export (firmen.csv, Betraege in Mio. Euro):
  Firma;Datum;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;EUR-Faktor;USD-Faktor
  Nordwerk AG;31.12.2024;4.812,3;261,5;6.930,4;2.418,7;1;1,0824
quorvell-import --einheit 1000000 firmen.csv meine-daten

Beispiel, englischer Export (companies.csv, Betraege in Mio. Euro):
  Company,Date,Revenue,Net income,Total assets,Equity
  Nordwerk AG,2024-12-31,"4,812.3",261.5,"6,930.4","2,418.7"
quorvell-import --einheit 1000000 --eur-faktor 1 --usd-faktor 1.0824 companies.csv my-data

Beispiel, SEC-Firmendaten einer Firma, Faktoren aus den Kursen der EZB:
quorvell-import --kurse eurofxref-hist.zip CIK0001640147.json meine-daten

Beispiel, alle SEC-Firmendaten, mit dem Jahresmittel der Kurse:
quorvell-import --kurse eurofxref-hist.zip --kurs jahresmittel companyfacts.zip meine-daten

Beispiel, ESEF-Berichte mehrerer Jahre als xBRL-JSON in einem Verzeichnis:
quorvell-import --kurse eurofxref-hist.zip berichte/ meine-daten

Beispiel, CSV-Tabelle mit einer Spalte Waehrung statt der Faktoren:
  Firma;Datum;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;Waehrung
quorvell-import --kurse eurofxref-hist.zip firmen.csv meine-daten

Exit-Status: 0 geschrieben, 1 Fehler in den Daten oder beim Schreiben,
2 falscher Aufruf.
)";

enum class Aufruf { import, hilfe, falsch };

bool leseTrenner(const std::string& wert, Optionen& optionen) {
  if (wert == ";" || wert == ",") {
    optionen.trenner = wert[0];
  } else if (wert == "tab" || wert == "\t") {
    optionen.trenner = '\t';
  } else {
    return false;
  }
  return true;
}

bool leseStil(const std::string& wert, Optionen& optionen) {
  if (wert != "de" && wert != "en") return false;
  optionen.stil = wert == "de" ? Zahlenstil::deutsch : Zahlenstil::englisch;
  return true;
}

bool leseKurs(const std::string& wert, Optionen& optionen) {
  if (wert != "tag" && wert != "jahresmittel") return false;
  optionen.jahresmittel = wert == "jahresmittel";
  return true;
}

bool leseZeichensatz(const std::string& wert, Optionen& optionen) {
  if (wert != "utf-8" && wert != "windows-1252") return false;
  optionen.zeichensatz =
      wert == "utf-8" ? Zeichensatz::utf8 : Zeichensatz::windows1252;
  return true;
}

bool leseEinheit(const std::string& wert, Optionen& optionen) {
  if (wert.empty() || wert.size() > 18 ||
      wert.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  std::from_chars(wert.data(), wert.data() + wert.size(), optionen.einheit);
  return optionen.einheit >= 1;
}

// Sets the option `name` that takes a value; false with `fehler` when the
// value does not fit or the option is unknown.
bool setzeOption(const std::string& name, const std::string& wert,
                 Optionen& optionen, std::string& fehler) {
  const std::string vorn = name + " \"" + wert + "\": erwartet ";
  if (name == "--trenner") {
    fehler = vorn + "\";\", \",\" oder \"tab\"";
    return leseTrenner(wert, optionen);
  }
  if (name == "--zahlen") {
    fehler = vorn + "de oder en";
    return leseStil(wert, optionen);
  }
  if (name == "--zeichensatz") {
    fehler = vorn + "utf-8 oder windows-1252";
    return leseZeichensatz(wert, optionen);
  }
  if (name == "--einheit") {
    fehler = vorn + "eine ganze Zahl von 1 bis 999999999999999999, etwa 1000";
    return leseEinheit(wert, optionen);
  }
  if (name == "--eur-faktor" || name == "--usd-faktor") {
    optionen.faktor[name == "--eur-faktor" ? 0 : 1] = wert;
    return true;
  }
  if (name == "--kurse") {
    fehler = name + " braucht einen Wert";
    optionen.kurse = wert;
    return !wert.empty();
  }
  if (name == "--kurs") {
    fehler = vorn + "tag oder jahresmittel";
    return leseKurs(wert, optionen);
  }
  if (name == "--waehrung") {
    fehler = vorn + "drei Buchstaben wie EUR, USD oder GBP";
    optionen.waehrung = leseWaehrung(wert);
    return optionen.waehrung.has_value();
  }
  fehler = "unbekannte Option \"" + name + "\"";
  return false;
}

bool nimmtWert(const std::string& name) {
  for (const char* option :
       {"--trenner", "--zahlen", "--zeichensatz", "--einheit", "--eur-faktor",
        "--usd-faktor", "--kurse", "--kurs", "--waehrung"}) {
    if (name == option) return true;
  }
  return false;
}

// The sources and the target from the arguments that are no options: of two
// or more, the last is the target.
bool setzePfade(const std::vector<std::string>& pfade, Optionen& optionen,
                std::string& fehler) {
  if (pfade.empty()) {
    fehler = "die Quelle fehlt";
    return false;
  }
  optionen.quellen = pfade;
  if (pfade.size() > 1) {
    optionen.ziel = pfade.back();
    optionen.quellen.pop_back();
  }
  return true;
}

// Options as "--name wert" or "--name=wert"; every argument that does not
// start with "-" is a path.
Aufruf leseAufruf(const std::vector<std::string>& argumente, Optionen& optionen,
                  std::string& fehler) {
  std::vector<std::string> pfade;
  for (size_t i = 0; i < argumente.size(); ++i) {
    const std::string& a = argumente[i];
    if (a == "--help" || a == "-h") return Aufruf::hilfe;
    if (a.empty() || a[0] != '-') {
      pfade.push_back(a);
      continue;
    }
    const size_t gleich = a.find('=');
    const std::string name = a.substr(0, gleich);
    if (name == "--ueberschreiben" && gleich == std::string::npos) {
      optionen.ueberschreiben = true;
      continue;
    }
    if (gleich == std::string::npos && nimmtWert(name) &&
        i + 1 == argumente.size()) {
      fehler = name + " braucht einen Wert";
      return Aufruf::falsch;
    }
    const std::string wert = gleich != std::string::npos ? a.substr(gleich + 1)
                             : nimmtWert(name)           ? argumente[++i]
                                                         : "";
    if (!setzeOption(name, wert, optionen, fehler)) return Aufruf::falsch;
  }
  return setzePfade(pfade, optionen, fehler) ? Aufruf::import : Aufruf::falsch;
}

}  // namespace

int main(int argc, char** argv) {
  Optionen optionen;
  std::string fehler;
  const Aufruf aufruf = leseAufruf(
      std::vector<std::string>(argv + 1, argv + argc), optionen, fehler);
  if (aufruf == Aufruf::hilfe) {
    std::cout << kAufruf << "\n" << kHilfe;
    return kErfolg;
  }
  if (aufruf == Aufruf::falsch) {
    std::cerr << "quorvell-import: " << fehler << "\n"
              << kAufruf << " (--help erklaert Quellen und Optionen)\n";
    return kAufruffehler;
  }
  fangeSignale();
  std::string meldungen;
  const Ausgang ausgang = importiere(optionen, meldungen);
  std::cerr << meldungen;
  return ausgang;
}
