#include "Import.h"

#include <vector>

#include "Dateien.h"
#include "ImportCsv.h"
#include "ImportSchreiber.h"
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
  return schreibeImport(optionen.ziel, optionen.ueberschreiben, firmen,
                        meldungen)
             ? kErfolg
             : kFehler;
}
