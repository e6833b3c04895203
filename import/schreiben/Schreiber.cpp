#include "schreiben/Schreiber.h"

#include <algorithm>

#include "Dateien.h"
#include "Datendatei.h"
#include "schreiben/Umstellung.h"

namespace {

const std::string kVorsatz = "quorvell-import: ";
const std::string kIndex = "config/index.txt";

std::string imData(const ImportFirma& firma) { return "data/" + firma.datei; }

// Errors for the files of the import that exist already, unless they may be
// replaced.
Meldungen pruefeVorhandene(const Umstellung& umstellung, bool ueberschreiben,
                           const std::vector<ImportFirma>& firmen) {
  Meldungen meldungen;
  if (ueberschreiben) return meldungen;
  std::vector<std::string> dateien;
  for (const ImportFirma& firma : firmen) dateien.push_back(imData(firma));
  dateien.push_back(kIndex);
  for (const std::string& datei : dateien) {
    if (umstellung.gibtEs(datei)) {
      meldungen.fehlerDazu(kVorsatz + umstellung.pfad(datei) +
                           " gibt es schon; --ueberschreiben ersetzt es\n");
    }
  }
  return meldungen;
}

bool gleich(const Finanzen& gelesen, const ImportBericht& bericht) {
  const tm datum = gelesen.getDatum();
  return datum.tm_mday == bericht.datum.tag &&
         datum.tm_mon == bericht.datum.monat - 1 &&
         datum.tm_year == bericht.datum.jahr - 1900 &&
         gelesen.getUmsatz() == bericht.betrag[0] &&
         gelesen.getGewinn() == bericht.betrag[1] &&
         gelesen.getBilanzsumme() == bericht.betrag[2] &&
         gelesen.getEigenkapital() == bericht.betrag[3] &&
         gelesen.getKonv(0) == bericht.faktor[0] &&
         gelesen.getKonv(1) == bericht.faktor[1];
}

// How the file `temp`, read with the program's reader as the data file
// `pfad`, differs from `firma`; empty when it does not.
std::string abweichung(const std::string& temp, const std::string& pfad,
                       const ImportFirma& firma) {
  std::string inhalt, name, warnung;
  if (!leseDatei(temp, inhalt, warnung)) return "sie " + warnung + "\n";
  std::vector<Finanzen> gelesen;
  if (!zerlegeFirmendatei(pfad, inhalt, name, gelesen, warnung)) {
    return "sie ist nicht lesbar\n" + warnung;
  }
  if (name != firma.name) return "der Name lautet \"" + name + "\"\n";
  for (size_t i = 0; i < firma.berichte.size(); ++i) {
    if (i >= gelesen.size() || !gleich(gelesen[i], firma.berichte[i])) {
      return "der Bericht aus Zeile " +
             std::to_string(firma.berichte[i].zeile) + " weicht ab\n" + warnung;
    }
  }
  if (gelesen.size() > firma.berichte.size()) return "sie hat mehr Berichte\n";
  return "";
}

// Prepares every data file, each read back, and then the index.
bool bereiteAlles(Umstellung& umstellung,
                  const std::vector<ImportFirma>& firmen,
                  std::string& meldungen) {
  for (const ImportFirma& firma : firmen) {
    const std::string pfad = umstellung.pfad(imData(firma));
    const std::string temp =
        umstellung.bereite(imData(firma), datendateiText(firma));
    if (temp.empty()) return false;
    const std::string anders = abweichung(temp, pfad, firma);
    if (!anders.empty()) {
      meldungen += kVorsatz + pfad +
                   " liest sich anders zurueck als geschrieben: " + anders;
      return false;
    }
  }
  return !umstellung.bereite(kIndex, indexText(firmen)).empty();
}

std::string anzahl(size_t n, const char* einzahl, const char* mehrzahl) {
  return std::to_string(n) + " " + (n == 1 ? einzahl : mehrzahl);
}

// "N Firmen mit M Berichten" of the companies from sources of kind `art`, or
// of all of them.
std::string firmenUndBerichte(const std::vector<ImportFirma>& firmen,
                              const Quellenart* art) {
  size_t anzahlFirmen = 0;
  size_t berichte = 0;
  for (const ImportFirma& firma : firmen) {
    if (art != nullptr && firma.art != *art) continue;
    ++anzahlFirmen;
    berichte += firma.berichte.size();
  }
  return anzahl(anzahlFirmen, "Firma", "Firmen") + " mit " +
         anzahl(berichte, "Bericht", "Berichten");
}

// The closing line: what was written where, and from which kinds of source.
std::string erfolgText(const Umstellung& umstellung,
                       const std::vector<ImportFirma>& firmen) {
  const Quellenart arten[5] = {Quellenart::csv, Quellenart::mappe,
                               Quellenart::sec, Quellenart::xbrl,
                               Quellenart::ixbrl};
  const char* const namen[5] = {"CSV-Tabellen", "Arbeitsmappen",
                                "SEC-Firmendaten", "xBRL-JSON",
                                "Inline-XBRL-Berichte"};
  std::string herkunft;
  for (int a = 0; a < 5; ++a) {
    const bool da =
        std::any_of(firmen.begin(), firmen.end(),
                    [&](const ImportFirma& f) { return f.art == arten[a]; });
    if (!da) continue;
    herkunft += std::string(herkunft.empty() ? " (" : "; ") + namen[a] + ": " +
                firmenUndBerichte(firmen, &arten[a]);
  }
  return kVorsatz + firmenUndBerichte(firmen, nullptr) +
         " geschrieben: " + umstellung.pfad(kIndex) + " und " +
         umstellung.pfad("data/") + herkunft + ")\n";
}

}  // namespace

bool schreibeImport(const std::string& ziel, bool ueberschreiben,
                    const std::vector<ImportFirma>& firmen,
                    std::string& meldungen) {
  Umstellung umstellung(ziel, ueberschreiben, meldungen);
  if (!umstellung.beginne()) return false;
  const Meldungen vorhanden =
      pruefeVorhandene(umstellung, ueberschreiben, firmen);
  if (vorhanden.fehlerAnzahl > 0) {
    meldungen += fehlerText(vorhanden);
    return false;
  }
  if (!bereiteAlles(umstellung, firmen, meldungen) || !umstellung.stelleUm()) {
    umstellung.nimmZurueck();
    return false;
  }
  meldungen += erfolgText(umstellung, firmen);
  return true;
}
