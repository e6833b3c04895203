// Entry point of quorvell-import: reads the command line, runs the import and
// prints its messages on standard error. Exit status 0 when the files are
// written, 1 on errors in the data or on writing, 2 on a wrong call.

#include <unistd.h>

#include <charconv>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "Import.h"
#include "gemeinsam/Kalender.h"
#include "schreiben/Signale.h"
#include "tabellen/Kopf.h"
#include "tabellen/Tabellenleser.h"

namespace {

const char kAufruf[] = "Aufruf: quorvell-import [OPTIONEN] QUELLE... [ZIEL]";

const char kHilfe[] = R"HILFE(
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
  Inline-XBRL        ein Jahresbericht als XHTML mit Inline-XBRL, wie ein
                     10-K von EDGAR, oder ein ESEF-Berichtspaket (ZIP mit
                     META-INF/ und reports/)
  Arbeitsmappe       Excel (.xlsx) oder OpenDocument (.ods): ihr erstes Blatt
                     oder das mit --blatt
  CSV-Tabelle        alles andere

Aus SEC-Firmendaten, xBRL-JSON und Inline-XBRL zaehlt ein Geschaeftsjahr, wenn es alle vier
Werte hat (Umsatz, Gewinn, Bilanzsumme, Eigenkapital), in ganzen Einheiten
der einen Waehrung der Firma: der ihres neuesten vollstaendigen Jahres. Ein
Bericht oder eine Firma ohne Kurs wird dort mit einer Warnung ausgelassen.

Eine Tabelle (CSV oder Blatt einer Arbeitsmappe) hat eine Zeile je Firma und
Jahresbericht. Ihre Spalten werden am Namen in der Kopfzeile erkannt (Gross-
und Kleinschreibung egal, Reihenfolge beliebig, weitere Spalten werden
uebergangen) oder mit --spalte benannt:
  Firma, Name, Company                           Name der Firma
  Datum, Stichtag, Date                          31.12.2020, 2020-12-31
                                                 oder 31-12-2020
  Jahr, Geschaeftsjahr, Year, Fiscal year        statt Datum: 2022 ist das
                                                 Geschaeftsjahr bis 31.12.2022
  Umsatz, Revenue
  Gewinn, Jahresueberschuss, Profit, Net income  negativ fuer einen Verlust
  Bilanzsumme, Total assets, Assets
  Eigenkapital, Equity
  EUR-Faktor, EUR factor                         Betrag mal Faktor = Euro
  USD-Faktor, USD factor                         Betrag mal Faktor = US-Dollar
  Waehrung, Currency                             EUR, USD, GBP, ...; mit
                                                 --kurse statt der Faktoren

Jahre nebeneinander: eine Zeile je Firma, je Feld und Jahr eine Spalte wie
"Umsatz 2022", "2022 Umsatz", "Revenue FY2023" oder "Gewinn_2021", daraus
ein Bericht je Jahr. Ein Jahr, dem einer der vier Betraege fehlt (eine leere
Zelle), wird mit einer Warnung ausgelassen. Faktoren und Waehrung stehen je
Jahr ("USD-Faktor 2022") oder in einer Spalte fuer alle Jahre.

Ein Betrag darf in Klammern stehen ("(1.234)" ist negativ), ein Waehrungs-
zeichen oder -kuerzel tragen (EUR, USD, CHF, Euro-, Dollar- oder Pfundzeichen;
umgerechnet wird nicht, und es muss zur Waehrung der Zeile passen), und "-",
"n/a" oder ein Gedankenstrich allein sind eine leere Zelle. In einer
Arbeitsmappe zaehlt von einer Zahl ihr gespeicherter Wert, von einer Formel
ihr gespeichertes Ergebnis; im Datum ist eine Zahl die Tagesnummer der Mappe.

Optionen:
  --kurse DATEI     die Referenzkurse der EZB, eurofxref-hist.csv oder
                    eurofxref-hist.zip: daraus die Faktoren jedes Berichts
                    in seiner Waehrung; mehrmals moeglich, etwa mit einer
                    eigenen Datei wie "Date,TWD" fuer eine Waehrung, die die
                    EZB nicht fuehrt (die erste Datei mit der Waehrung zaehlt)
  --kurs tag|jahresmittel
                    tag (ohne Angabe): der Kurs des letzten EZB-Tages am
                    oder vor dem Berichtsdatum; jahresmittel: das Mittel der
                    Faktoren aller EZB-Tage des Jahres bis dahin
  --waehrung C      die Waehrung der Betraege aller Zeilen einer Tabelle,
                    etwa EUR, statt einer Spalte
  --eur-faktor X    EUR-Faktor fuer alle Berichte statt aus Spalte oder Kursen
  --usd-faktor X    USD-Faktor fuer alle Berichte statt aus Spalte oder Kursen
                    (X im Zahlenformat der Tabelle, sonst wie 1.0824)
  --spalte FELD=KOPF
                    die Spalte mit dem Kopf KOPF ist das Feld FELD: Firma,
                    Datum, Jahr, Umsatz, Gewinn, Bilanzsumme, Eigenkapital,
                    EUR-Faktor, USD-Faktor oder Waehrung; mehrmals moeglich
  --jahr JJJJ       das Geschaeftsjahr aller Zeilen einer Tabelle ohne Datum
                    und Jahr
  --stichtag TT.MM. der letzte Tag der Geschaeftsjahre einer Tabelle mit
                    Jahren statt Daten; ohne Angabe 31.12.
  --blatt NAME      das Blatt der Arbeitsmappen; ohne Angabe das erste
  --trenner T       Feldtrenner der CSV-Tabellen ";", "," oder "tab"; ohne
                    Angabe aus der Kopfzeile erkannt
  --zahlen de|en|ch|fr
                    Zahlenformat: de 1.234.567,8, en 1,234,567.8, ch
                    1'234'567.8 oder fr 1 234 567,8; ohne Angabe de bei ";"
                    und en bei ",", bei "tab" noetig; in Arbeitsmappen fuer
                    Zahlen als Text mit Trennzeichen noetig
  --zeichensatz Z   utf-8 oder windows-1252; ohne Angabe UTF-8, und eine
                    Datei, die kein UTF-8 ist, als Windows-1252, wie Excel
                    sie als CSV mit Trennzeichen speichert
  --einheit N       die Betraege der Tabellen sind in Einheiten von N, etwa
                    1000 oder 1000000; sie werden exakt umgerechnet und nie
                    gerundet
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

Beispiel, dieselbe Tabelle als Excel-Mappe (Blatt "Daten"):
quorvell-import --einheit 1000000 --blatt Daten firmen.xlsx meine-daten

Beispiel, die Liste Fortune 500 von 2017 (Mio. Dollar, ohne Datum):
  rank,title,...,Revenues,Revchange,Profits,Prftchange,Assets,Totshequity
quorvell-import --einheit 1000000 --eur-faktor 0.9034 --usd-faktor 1 --jahr 2016 --spalte Firma=title --spalte Umsatz=revenues --spalte Gewinn=profits --spalte Bilanzsumme=assets --spalte Eigenkapital=totshequity fortune500.csv meine-daten

Beispiel, Jahre nebeneinander, Geschaeftsjahre bis 31. Maerz, Faktoren aus
den Kursen der EZB:
  Firma;Waehrung;Umsatz 2023;Umsatz 2024;Gewinn 2023;Gewinn 2024;...
quorvell-import --einheit 1000000 --stichtag 31.03. --kurse eurofxref-hist.zip jahre.csv meine-daten

Beispiel, SEC-Firmendaten einer Firma, Faktoren aus den Kursen der EZB:
quorvell-import --kurse eurofxref-hist.zip CIK0001640147.json meine-daten

Beispiel, dazu eigene Kurse fuer eine Waehrung, die die EZB nicht fuehrt:
  Date,TWD
  2024-12-31,34.0562
quorvell-import --kurse eurofxref-hist.zip --kurse twd.csv CIK0001046179.json meine-daten

Beispiel, alle SEC-Firmendaten, mit dem Jahresmittel der Kurse:
quorvell-import --kurse eurofxref-hist.zip --kurs jahresmittel companyfacts.zip meine-daten

Beispiel, ESEF-Berichte mehrerer Jahre als xBRL-JSON in einem Verzeichnis:
quorvell-import --kurse eurofxref-hist.zip berichte/ meine-daten

Beispiel, ein ESEF-Berichtspaket und ein 10-K, wie veroeffentlicht:
quorvell-import --kurse eurofxref-hist.zip bericht-2024.zip aapl-20250927.htm meine-daten

Beispiel, CSV-Tabelle mit einer Spalte Waehrung statt der Faktoren:
  Firma;Datum;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;Waehrung
quorvell-import --kurse eurofxref-hist.zip firmen.csv meine-daten

Exit-Status: 0 geschrieben, 1 Fehler in den Daten oder beim Schreiben,
2 falscher Aufruf.
)HILFE";

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
  const char* const namen[] = {"de", "en", "ch", "fr"};
  const Zahlenstil stile[] = {Zahlenstil::deutsch, Zahlenstil::englisch,
                              Zahlenstil::schweizerisch,
                              Zahlenstil::franzoesisch};
  for (int i = 0; i < 4; ++i) {
    if (wert == namen[i]) optionen.stil = stile[i];
  }
  return optionen.stil.has_value();
}

bool leseJahr(const std::string& wert, Optionen& optionen) {
  if (wert.size() != 4 || wert[0] < '1' || wert[0] > '9' ||
      wert.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  optionen.jahr = 0;
  for (char c : wert) optionen.jahr = *optionen.jahr * 10 + (c - '0');
  return true;
}

bool leseTag(const std::string& wert, Optionen& optionen) {
  const std::optional<Datum> tag = leseStichtag(wert);
  if (tag) optionen.stichtag = *tag;
  return tag.has_value();
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
    fehler = vorn + "de, en, ch oder fr";
    optionen.stil.reset();
    return leseStil(wert, optionen);
  }
  if (name == "--spalte") {
    std::string grund;
    fehler = name + " \"" + wert + "\": ";
    const bool gut = nimmSpaltenname(wert, optionen.spalten, grund);
    fehler += grund;
    return gut;
  }
  if (name == "--jahr") {
    fehler = vorn + "ein Jahr mit vier Ziffern wie 2016";
    return leseJahr(wert, optionen);
  }
  if (name == "--stichtag") {
    fehler = vorn + "Tag und Monat wie 31.12. oder 31.03., einen Tag, den " +
             "jedes Jahr hat";
    return leseTag(wert, optionen);
  }
  if (name == "--blatt") {
    fehler = name + " braucht einen Wert";
    optionen.blatt = wert;
    return !wert.empty();
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
    optionen.kurse.push_back(wert);
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
        "--usd-faktor", "--kurse", "--kurs", "--waehrung", "--spalte", "--jahr",
        "--stichtag", "--blatt"}) {
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
  optionen.fortschritt = STDERR_FILENO;
  std::string meldungen;
  Ausgang ausgang = kFehler;
  try {
    ausgang = importiere(optionen, meldungen);
  } catch (const std::bad_alloc&) {
    meldungen +=
        "quorvell-import: " + speicherFehlt() + "; nichts geschrieben\n";
  }
  std::cerr << meldungen;
  return ausgang;
}
