// Entry point of quorvell-import: reads the command line, runs the import and
// prints its messages on standard error. Exit status 0 when the files are
// written, 1 on errors in the data or on writing, 2 on a wrong call.

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "Import.h"
#include "ImportUmstellung.h"

namespace {

const char kAufruf[] = "Aufruf: quorvell-import [OPTIONEN] TABELLE.csv [ZIEL]";

const char kHilfe[] = R"(
Liest eine CSV-Tabelle mit einer Zeile je Firma und Jahresbericht und schreibt
ZIEL/config/index.txt und je Firma eine Datei ZIEL/data/<name>.txt, die
quorvell in ZIEL einliest. Ohne ZIEL ist es das aktuelle Verzeichnis.

Spalten, erkannt am Namen in der Kopfzeile (Gross- und Kleinschreibung egal,
Reihenfolge beliebig, weitere Spalten werden uebergangen):
  Firma, Name, Company                           Name der Firma
  Datum, Stichtag, Date                          31.12.2020, 2020-12-31
                                                 oder 31-12-2020
  Umsatz, Revenue
  Gewinn, Jahresueberschuss, Profit, Net income  negativ fuer einen Verlust
  Bilanzsumme, Total assets, Assets
  Eigenkapital, Equity
  EUR-Faktor, EUR factor                         Betrag mal Faktor = Euro
  USD-Faktor, USD factor                         Betrag mal Faktor = US-Dollar

Optionen:
  --trenner T       Feldtrenner ";", "," oder "tab"; ohne Angabe aus der
                    Kopfzeile erkannt
  --zahlen de|en    Zahlenformat: de 1.234.567,8 oder en 1,234,567.8; ohne
                    Angabe de bei ";" und en bei ",", bei "tab" noetig
  --zeichensatz Z   utf-8 oder windows-1252; ohne Angabe UTF-8, und eine
                    Datei, die kein UTF-8 ist, als Windows-1252, wie Excel
                    sie als CSV mit Trennzeichen speichert
  --einheit N       die Betraege der Tabelle sind in Einheiten von N, etwa
                    1000 oder 1000000; sie werden exakt umgerechnet und nie
                    gerundet
  --eur-faktor X    EUR-Faktor fuer alle Zeilen statt einer Spalte
  --usd-faktor X    USD-Faktor fuer alle Zeilen statt einer Spalte
                    (X im Zahlenformat der Tabelle)
  --ueberschreiben  vorhandene Dateien in ZIEL ersetzen
  --help            diese Hilfe

Erst wird die ganze Tabelle geprueft; bei einem Fehler wird nichts
geschrieben. Die Dateien kommen alle auf einmal an ihren Platz oder keine;
ein Abbruch (auch Strg-C) laesst die alten Dateien stehen. Die Datendateien
fuehren die Berichte je Firma neueste zuerst, in welcher Reihenfolge die
Tabelle sie auch hat; ein Jahr darf je Firma nur einmal vorkommen.

Beispiel, deutscher Export (firmen.csv, Betraege in Mio. Euro):
  Firma;Datum;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;EUR-Faktor;USD-Faktor
  Nordwerk AG;31.12.2024;4.812,3;261,5;6.930,4;2.418,7;1;1,0824
quorvell-import --einheit 1000000 firmen.csv meine-daten

Beispiel, englischer Export (companies.csv, Betraege in Mio. Euro):
  Company,Date,Revenue,Net income,Total assets,Equity
  Nordwerk AG,2024-12-31,"4,812.3",261.5,"6,930.4","2,418.7"
quorvell-import --einheit 1000000 --eur-faktor 1 --usd-faktor 1.0824 companies.csv my-data

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
  fehler = "unbekannte Option \"" + name + "\"";
  return false;
}

bool nimmtWert(const std::string& name) {
  return name == "--trenner" || name == "--zahlen" || name == "--zeichensatz" ||
         name == "--einheit" || name == "--eur-faktor" ||
         name == "--usd-faktor";
}

// Sets the two paths from the arguments that are no options.
bool setzePfade(const std::vector<std::string>& pfade, Optionen& optionen,
                std::string& fehler) {
  if (pfade.empty() || pfade.size() > 2) {
    fehler = pfade.empty() ? "die Tabelle fehlt" : "zu viele Argumente";
    return false;
  }
  optionen.tabelle = pfade[0];
  if (pfade.size() == 2) optionen.ziel = pfade[1];
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
              << kAufruf << " (--help erklaert Spalten und Optionen)\n";
    return kAufruffehler;
  }
  fangeSignale();
  std::string meldungen;
  const Ausgang ausgang = importiere(optionen, meldungen);
  std::cerr << meldungen;
  return ausgang;
}
