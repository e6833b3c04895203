#include "Import.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "Dateien.h"
#include "Datendatei.h"
#include "ImportCsv.h"
#include "ImportTabelle.h"

namespace {

const std::string kVorsatz = "quorvell-import: ";

bool istLeer(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// The text of the export in UTF-8 without a byte-order mark; false with a
// message when it cannot be read, is in UTF-16 or holds nothing.
bool leseText(const std::string& tabelle, std::optional<Zeichensatz> wahl,
              std::string& text, std::string& meldungen) {
  std::string fehler;
  if (!leseDatei(tabelle, text, fehler)) {
    meldungen += kVorsatz + tabelle + " " + fehler + "\n";
    return false;
  }
  if (text.compare(0, 2, "\xFF\xFE") == 0 ||
      text.compare(0, 2, "\xFE\xFF") == 0) {
    meldungen += kVorsatz + tabelle +
                 " ist in UTF-16 gespeichert, erwartet UTF-8 (\"CSV UTF-8\")\n";
    return false;
  }
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  if (!alsUtf8(text, wahl, tabelle, meldungen)) return false;
  if (istLeer(text)) {
    meldungen += kVorsatz + tabelle +
                 " ist leer, erwartet eine Kopfzeile und je Firma und Bericht "
                 "eine Zeile\n";
    return false;
  }
  return true;
}

// The separator and the number style: given, or found from the header line
// and the separator. Returns kErfolg, or the exit status of the failure.
Ausgang waehleFormat(const Optionen& optionen, const std::string& text,
                     char& trenner, Zahlenstil& stil, std::string& meldungen) {
  trenner = optionen.trenner != 0 ? optionen.trenner : erkenneTrenner(text);
  if (trenner == 0) {
    meldungen += kVorsatz + optionen.tabelle +
                 ": Trennzeichen der Kopfzeile nicht erkannt, erwartet \";\", "
                 "\",\" oder Tabulator (oder --trenner)\n";
    return kFehler;
  }
  if (optionen.stil) {
    stil = *optionen.stil;
  } else if (trenner == '\t') {
    meldungen += kVorsatz +
                 (optionen.trenner != 0
                      ? std::string("mit --trenner tab")
                      : optionen.tabelle + " ist durch Tabulatoren getrennt") +
                 ": bitte --zahlen de oder --zahlen en angeben\n";
    return kAufruffehler;
  } else {
    stil = trenner == ';' ? Zahlenstil::deutsch : Zahlenstil::englisch;
  }
  return kErfolg;
}

// The rules for reading the fields; false with a message when a factor given
// on the command line is not one.
bool baueRegeln(const Optionen& optionen, Zahlenstil stil, Importregeln& regeln,
                std::string& meldungen) {
  const char* const option[2] = {"--eur-faktor", "--usd-faktor"};
  regeln.stil = stil;
  regeln.einheit = optionen.einheit;
  for (int f = 0; f < 2; ++f) {
    if (!optionen.faktor[f]) continue;
    std::string fehler;
    regeln.faktor[f] = leseFaktor(*optionen.faktor[f], stil, fehler);
    if (!regeln.faktor[f]) {
      meldungen += kVorsatz + option[f] + " \"" + *optionen.faktor[f] + "\" " +
                   fehler + "\n";
      return false;
    }
  }
  return true;
}

// `relativ` inside the target directory.
std::string imZiel(const Optionen& optionen, const std::string& relativ) {
  std::string ziel = optionen.ziel;
  while (ziel.size() > 1 && ziel.back() == '/') ziel.pop_back();
  if (ziel.empty()) return relativ;
  return ziel == "/" ? ziel + relativ : ziel + "/" + relativ;
}

// Whether anything, a dangling link included, stands at `pfad`.
bool gibtEs(const std::string& pfad) {
  std::error_code fehler;
  return std::filesystem::exists(std::filesystem::symlink_status(pfad, fehler));
}

std::string fehlerText(const Meldungen& meldungen) {
  std::string text;
  for (const std::string& zeile : meldungen.fehler) text += zeile;
  text += kVorsatz + std::to_string(meldungen.fehlerAnzahl) + " Fehler";
  if (meldungen.fehlerAnzahl > meldungen.fehler.size()) {
    text += ", die ersten " + std::to_string(meldungen.fehler.size()) +
            " stehen oben";
  }
  return text + "; nichts geschrieben\n";
}

// Errors for the files of the import that exist already, unless they may be
// replaced.
Meldungen pruefeVorhandene(const Optionen& optionen,
                           const std::vector<ImportFirma>& firmen) {
  Meldungen meldungen;
  if (optionen.ueberschreiben) return meldungen;
  std::vector<std::string> pfade;
  for (const ImportFirma& firma : firmen) {
    pfade.push_back(imZiel(optionen, "data/" + firma.datei));
  }
  pfade.push_back(imZiel(optionen, "config/index.txt"));
  for (const std::string& pfad : pfade) {
    if (gibtEs(pfad)) {
      meldungen.fehlerDazu(kVorsatz + pfad +
                           " gibt es schon; --ueberschreiben ersetzt es\n");
    }
  }
  return meldungen;
}

bool legeVerzeichnisseAn(const Optionen& optionen, std::string& meldungen) {
  for (const char* verzeichnis : {"config", "data"}) {
    const std::string pfad = imZiel(optionen, verzeichnis);
    std::error_code fehler;
    std::filesystem::create_directories(pfad, fehler);
    if (fehler || !std::filesystem::is_directory(pfad, fehler)) {
      meldungen += kVorsatz + "das Verzeichnis " + pfad +
                   " kann nicht angelegt werden\n";
      return false;
    }
  }
  return true;
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

// How the data file `pfad`, read with the program's reader, differs from
// `firma`; empty when it does not.
std::string abweichung(const std::string& pfad, const ImportFirma& firma) {
  std::string name, warnung;
  std::vector<Finanzen> gelesen;
  if (!leseFirmendatei(pfad, name, gelesen, warnung)) {
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

// Writes the data files, each read back, and then the index. On a failure
// the files it created are removed again and the index is not written.
class Schreiber {
 public:
  Schreiber(const Optionen& optionen, std::string& meldungen)
      : optionen_(optionen), meldungen_(meldungen) {}

  bool schreibeAlles(const std::vector<ImportFirma>& firmen) {
    if (!legeVerzeichnisseAn(optionen_, meldungen_)) return false;
    for (const ImportFirma& firma : firmen) {
      const std::string pfad = imZiel(optionen_, "data/" + firma.datei);
      if (!schreibe(pfad, datendateiText(firma))) return scheitere();
      const std::string anders = abweichung(pfad, firma);
      if (!anders.empty()) {
        meldungen_ += kVorsatz + pfad +
                      " liest sich anders zurueck als geschrieben: " + anders;
        return scheitere();
      }
    }
    return schreibe(imZiel(optionen_, "config/index.txt"), indexText(firmen)) ||
           scheitere();
  }

 private:
  bool schreibe(const std::string& pfad, const std::string& inhalt) {
    const bool gabEs = gibtEs(pfad);
    if (!ersetzeDatei(pfad, inhalt)) {
      meldungen_ += kVorsatz + pfad + " kann nicht geschrieben werden\n";
      return false;
    }
    if (!gabEs) neu_.push_back(pfad);
    return true;
  }

  bool scheitere() {
    for (const std::string& pfad : neu_) std::remove(pfad.c_str());
    meldungen_ += kVorsatz +
                  "Index nicht geschrieben, neu angelegte Dateien wieder "
                  "entfernt\n";
    return false;
  }

  const Optionen& optionen_;
  std::string& meldungen_;
  std::vector<std::string> neu_;
};

std::string anzahl(size_t n, const char* einzahl, const char* mehrzahl) {
  return std::to_string(n) + " " + (n == 1 ? einzahl : mehrzahl);
}

std::string erfolgText(const Optionen& optionen,
                       const std::vector<ImportFirma>& firmen) {
  size_t berichte = 0;
  for (const ImportFirma& firma : firmen) berichte += firma.berichte.size();
  return kVorsatz + anzahl(firmen.size(), "Firma", "Firmen") + " mit " +
         anzahl(berichte, "Bericht", "Berichten") +
         " geschrieben: " + imZiel(optionen, "config/index.txt") + " und " +
         imZiel(optionen, "data/") + "\n";
}

// The companies of the export when it is right in every field; the status
// says otherwise which failure it was.
Ausgang leseExport(const Optionen& optionen, std::vector<ImportFirma>& firmen,
                   std::string& meldungen) {
  std::string text, fehler;
  char trenner = 0;
  Zahlenstil stil = Zahlenstil::deutsch;
  Importregeln regeln{};
  std::vector<CsvZeile> zeilen;
  if (!leseText(optionen.tabelle, optionen.zeichensatz, text, meldungen)) {
    return kFehler;
  }
  const Ausgang format = waehleFormat(optionen, text, trenner, stil, meldungen);
  if (format != kErfolg) return format;
  if (!baueRegeln(optionen, stil, regeln, meldungen)) return kAufruffehler;
  if (!leseCsv(text, trenner, zeilen, fehler)) {
    meldungen += optionen.tabelle + ":" + fehler + "\n";
    return kFehler;
  }
  // The records hold copies of the fields: the text is no longer needed.
  std::string().swap(text);
  Meldungen befund;
  firmen = leseFirmen(zeilen, regeln, optionen.tabelle, befund);
  if (befund.fehlerAnzahl > 0) {
    meldungen += fehlerText(befund);
    return kFehler;
  }
  for (const std::string& warnung : befund.warnungen) meldungen += warnung;
  return kErfolg;
}

}  // namespace

Ausgang importiere(const Optionen& optionen, std::string& meldungen) {
  std::vector<ImportFirma> firmen;
  const Ausgang gelesen = leseExport(optionen, firmen, meldungen);
  if (gelesen != kErfolg) return gelesen;
  const Meldungen vorhanden = pruefeVorhandene(optionen, firmen);
  if (vorhanden.fehlerAnzahl > 0) {
    meldungen += fehlerText(vorhanden);
    return kFehler;
  }
  if (!Schreiber(optionen, meldungen).schreibeAlles(firmen)) return kFehler;
  meldungen += erfolgText(optionen, firmen);
  return kErfolg;
}
