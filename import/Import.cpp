#include "Import.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

#include "Dateien.h"
#include "Datendatei.h"
#include "ImportCsv.h"
#include "ImportJahre.h"
#include "ImportJson.h"
#include "ImportKalender.h"
#include "ImportKurse.h"
#include "ImportQuellen.h"
#include "ImportSec.h"
#include "ImportTabelle.h"
#include "ImportXbrl.h"

namespace {

const std::string kVorsatz = "quorvell-import: ";

static_assert(kPolster >= kJsonPolster,
              "the source buffer leaves simdjson room to read");

bool istLeer(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// The text of a table without its UTF-8 byte-order mark; false with a
// message when it is not UTF-8 or holds nothing.
bool leseText(const std::string& tabelle, std::string& text,
              std::string& meldungen) {
  if (text.compare(0, 2, "\xFF\xFE") == 0 ||
      text.compare(0, 2, "\xFE\xFF") == 0) {
    meldungen += kVorsatz + tabelle +
                 " ist in UTF-16 gespeichert, erwartet UTF-8 (\"CSV UTF-8\")\n";
    return false;
  }
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
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
Ausgang waehleFormat(const Optionen& optionen, const std::string& tabelle,
                     const std::string& text, char& trenner, Zahlenstil& stil,
                     std::string& meldungen) {
  trenner = optionen.trenner != 0 ? optionen.trenner : erkenneTrenner(text);
  if (trenner == 0) {
    meldungen += kVorsatz + tabelle +
                 ": Trennzeichen der Kopfzeile nicht erkannt, erwartet \";\", "
                 "\",\" oder Tabulator (oder --trenner)\n";
    return kFehler;
  }
  if (optionen.stil) {
    stil = *optionen.stil;
  } else if (trenner == '\t') {
    meldungen += kVorsatz + tabelle +
                 " ist durch Tabulatoren getrennt: bitte --zahlen de oder "
                 "--zahlen en angeben\n";
    return kAufruffehler;
  } else {
    stil = trenner == ';' ? Zahlenstil::deutsch : Zahlenstil::englisch;
  }
  return kErfolg;
}

// The factors given on the command line, read in the number style `stil`;
// false with a message when one is not a factor.
bool leseFaktorOptionen(const Optionen& optionen, Zahlenstil stil,
                        std::optional<double> faktor[2],
                        std::string& meldungen) {
  const char* const option[2] = {"--eur-faktor", "--usd-faktor"};
  for (int f = 0; f < 2; ++f) {
    if (!optionen.faktor[f]) continue;
    std::string fehler;
    faktor[f] = leseFaktor(*optionen.faktor[f], stil, fehler);
    if (!faktor[f]) {
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

// Reads every source of a run into companies, one file at a time. Companies
// of published reports are one company where their CIK or LEI is the same.
class Einleser {
 public:
  explicit Einleser(const Optionen& optionen) : optionen_(optionen) {}

  // The companies of all sources in the order they first appear; kErfolg,
  // or the exit status of the failure with its messages in `meldungen`.
  Ausgang lies(std::vector<ImportFirma>& firmen, std::string& meldungen);

 private:
  void nimm(const Eingang& eingang);
  void leseTabelle(const Eingang& eingang);
  void leseJson(const Eingang& eingang);
  void nimmSec(Befund befund);
  void nimmBefund(Befund& befund, std::vector<ImportFirma>& firmen);
  std::string warnungen() const;

  const Optionen& optionen_;
  oj::parser parser_;
  Meldungen befund_;
  // A wrong call found in a table: its message; nothing more is read.
  std::string aufruffehler_;
  // The companies in the order they first appear: kind and number in
  // tabellen_, sec_ or the companies of xbrl_.
  std::vector<std::pair<Quellenart, size_t>> reihenfolge_;
  std::vector<ImportFirma> tabellen_;
  std::vector<Befund> sec_;
  std::map<std::string, size_t> secNachKennung_;
  XbrlSammlung xbrl_;
  Sammelwarnung hinweise_, unvollstaendig_, ausgelassen_;
};

void Einleser::nimm(const Eingang& eingang) {
  if (!aufruffehler_.empty()) return;
  if (eingang.art == Dateiart::json) {
    leseJson(eingang);
  } else {
    leseTabelle(eingang);
  }
}

void Einleser::leseTabelle(const Eingang& eingang) {
  const std::string& quelle = eingang.name;
  std::string text(eingang.inhalt), meldung, fehler;
  if (text.compare(0, 8, "Date,USD") == 0) {
    befund_.fehlerDazu(
        kVorsatz + quelle +
        " ist die Kurstabelle der EZB: sie gehoert zu --kurse\n");
    return;
  }
  char trenner = 0;
  Zahlenstil stil = Zahlenstil::deutsch;
  std::vector<CsvZeile> zeilen;
  if (!leseText(quelle, text, meldung)) {
    befund_.fehlerDazu(meldung);
    return;
  }
  const Ausgang format =
      waehleFormat(optionen_, quelle, text, trenner, stil, meldung);
  Importregeln regeln{stil, optionen_.einheit, {}, optionen_.waehrung};
  if (format == kAufruffehler ||
      (format == kErfolg &&
       !leseFaktorOptionen(optionen_, stil, regeln.faktor, meldung))) {
    aufruffehler_ = meldung;
    return;
  }
  if (format != kErfolg) {
    befund_.fehlerDazu(meldung);
    return;
  }
  if (!leseCsv(text, trenner, zeilen, fehler)) {
    befund_.fehlerDazu(quelle + ":" + fehler + "\n");
    return;
  }
  for (ImportFirma& firma : leseFirmen(zeilen, regeln, quelle, befund_)) {
    firma.quelle = quelle;
    reihenfolge_.emplace_back(Quellenart::csv, tabellen_.size());
    tabellen_.push_back(std::move(firma));
  }
}

void Einleser::leseJson(const Eingang& eingang) {
  JsonLeser leser(parser_, eingang.inhalt, eingang.name);
  const Jsonart art = leser.art();
  Befund befund;
  const size_t vorher = xbrl_.anzahl();
  const bool gelesen = art == Jsonart::sec    ? leseSec(leser, befund)
                       : art == Jsonart::xbrl ? xbrl_.lies(leser)
                                              : false;
  if (!gelesen) {
    befund_.fehlerDazu(leser.meldung());
  } else if (art == Jsonart::sec) {
    nimmSec(std::move(befund));
  }
  for (size_t i = vorher; i < xbrl_.anzahl(); ++i) {
    reihenfolge_.emplace_back(Quellenart::xbrl, i);
  }
}

// Of two files of one company the one filed later counts: each holds all
// the filings up to the day it was made.
void Einleser::nimmSec(Befund befund) {
  const auto [platz, neu] =
      secNachKennung_.try_emplace(befund.firma.kennung, sec_.size());
  if (neu) {
    reihenfolge_.emplace_back(Quellenart::sec, sec_.size());
    sec_.push_back(std::move(befund));
  } else if (befund.stand > sec_[platz->second].stand) {
    sec_[platz->second] = std::move(befund);
  }
}

void Einleser::nimmBefund(Befund& befund, std::vector<ImportFirma>& firmen) {
  for (const std::string& hinweis : befund.hinweise) hinweise_.dazu(hinweis);
  if (befund.firma.berichte.empty()) {
    ausgelassen_.dazu(kVorsatz + "Warnung: " + firmaText(befund.firma) +
                      " ausgelassen: kein Jahr mit Umsatz, Gewinn, "
                      "Bilanzsumme und Eigenkapital\n");
    return;
  }
  if (!befund.unvollstaendig.empty()) {
    unvollstaendig_.dazu(befund.unvollstaendig);
  }
  firmen.push_back(std::move(befund.firma));
}

std::string Einleser::warnungen() const {
  std::string text;
  for (const std::string& warnung : befund_.warnungen) text += warnung;
  return text + hinweise_.text(" weitere Warnungen zu Namen und Werten") +
         unvollstaendig_.text(
             " weitere Firmen mit ausgelassenen unvollstaendigen Jahren") +
         ausgelassen_.text(
             " weitere Firmen ohne vollstaendigen Bericht "
             "ausgelassen");
}

Ausgang Einleser::lies(std::vector<ImportFirma>& firmen,
                       std::string& meldungen) {
  for (const std::string& quelle : optionen_.quellen) {
    leseQuelle(
        quelle, [this](const Eingang& eingang) { nimm(eingang); },
        [this](const std::string& zeile) { befund_.fehlerDazu(zeile); });
    if (!aufruffehler_.empty()) break;
  }
  if (!aufruffehler_.empty()) {
    meldungen += aufruffehler_;
    return kAufruffehler;
  }
  if (befund_.fehlerAnzahl > 0) {
    meldungen += fehlerText(befund_);
    return kFehler;
  }
  std::vector<Befund> xbrl = xbrl_.befunde();
  for (const auto& [art, nummer] : reihenfolge_) {
    if (art == Quellenart::csv) {
      firmen.push_back(std::move(tabellen_[nummer]));
    } else {
      nimmBefund(art == Quellenart::sec ? sec_[nummer] : xbrl[nummer], firmen);
    }
  }
  meldungen += warnungen();
  if (firmen.empty()) {
    meldungen += kVorsatz +
                 "keine Firma mit einem vollstaendigen Bericht; nichts "
                 "geschrieben\n";
    return kFehler;
  }
  return kErfolg;
}

// The start of a message on the report `bericht` of `firma`.
std::string berichtOrt(const ImportFirma& firma, const ImportBericht& bericht) {
  const std::string firmaName = firma.art == Quellenart::csv
                                    ? "Firma " + zitat(firma.name)
                                    : firmaText(firma);
  const std::string vorn =
      firma.art == Quellenart::csv
          ? firma.quelle + ":" + std::to_string(bericht.zeile) + ": "
          : kVorsatz;
  return vorn + firmaName + ", Bericht vom " + isoText(bericht.datum) +
         (bericht.waehrung.empty() ? "" : " in " + bericht.waehrung) + ": ";
}

// Finds the factors of one report the source did not give: from the
// command line, else from the rates, else 1 for its own currency.
void setzeFaktoren(const Optionen& optionen, const Kurstabelle* kurse,
                   const std::optional<double> option[2],
                   const ImportFirma& firma, ImportBericht& bericht,
                   Meldungen& befund) {
  const char* const name[2] = {"EUR", "USD"};
  const char* const optionName[2] = {"--eur-faktor", "--usd-faktor"};
  double ausKursen[2] = {0, 0};
  std::string fehler;
  const bool mitKursen = kurse != nullptr && !bericht.waehrung.empty();
  if (mitKursen && !(bericht.gegeben[0] && bericht.gegeben[1]) &&
      !kurse->faktoren(bericht.waehrung, bericht.datum, optionen.jahresmittel,
                       ausKursen, fehler)) {
    befund.fehlerDazu(berichtOrt(firma, bericht) + fehler + "\n");
    return;
  }
  std::string fehlt, angeben;
  for (int f = 0; f < 2; ++f) {
    if (bericht.gegeben[f]) continue;
    if (option[f]) {
      bericht.faktor[f] = *option[f];
    } else if (mitKursen) {
      bericht.faktor[f] = ausKursen[f];
    } else if (bericht.waehrung == name[f]) {
      bericht.faktor[f] = 1;
    } else {
      fehlt += std::string(fehlt.empty() ? "kein " : " und kein ") + name[f] +
               "-Faktor";
      angeben += std::string(angeben.empty() ? "" : " und ") + optionName[f];
    }
  }
  if (!fehlt.empty()) {
    befund.fehlerDazu(berichtOrt(firma, bericht) + fehlt +
                      "; bitte --kurse mit den Kursen der EZB "
                      "(eurofxref-hist.zip) oder " +
                      angeben + " angeben\n");
  }
}

// Gives every report its two factors; kErfolg, or the exit status of the
// failure with its messages in `meldungen`.
Ausgang setzeAlleFaktoren(const Optionen& optionen, const Kurstabelle* kurse,
                          std::vector<ImportFirma>& firmen,
                          std::string& meldungen) {
  std::optional<double> option[2];
  const bool veroeffentlicht = std::any_of(
      firmen.begin(), firmen.end(),
      [](const ImportFirma& f) { return f.art != Quellenart::csv; });
  if (veroeffentlicht &&
      !leseFaktorOptionen(optionen,
                          optionen.stil.value_or(Zahlenstil::englisch), option,
                          meldungen)) {
    return kAufruffehler;
  }
  Meldungen befund;
  for (ImportFirma& firma : firmen) {
    for (ImportBericht& bericht : firma.berichte) {
      setzeFaktoren(optionen, kurse, option, firma, bericht, befund);
    }
  }
  if (befund.fehlerAnzahl == 0) return kErfolg;
  meldungen += fehlerText(befund);
  return kFehler;
}

// The ECB's rate history of --kurse: the file itself or the one file of its
// zip archive.
bool leseKurse(const std::string& pfad, Kurstabelle& kurse,
               std::string& meldungen) {
  size_t dateien = 0;
  std::string fehler;
  bool gelesen = false;
  leseQuelle(
      pfad,
      [&](const Eingang& eingang) {
        if (++dateien == 1) {
          gelesen =
              kurse.lies(std::string(eingang.inhalt), eingang.name, fehler);
        }
      },
      [&](const std::string& zeile) { fehler += zeile; });
  if (dateien > 1) {
    fehler = kVorsatz + "--kurse " + pfad +
             ": erwartet eine Datei, eurofxref-hist.csv oder ein Archiv mit "
             "nur ihr (eurofxref-hist.zip)\n";
  }
  meldungen += fehler;
  return gelesen && dateien == 1;
}

std::string anzahl(size_t n, const char* einzahl, const char* mehrzahl) {
  return std::to_string(n) + " " + (n == 1 ? einzahl : mehrzahl);
}

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

std::string erfolgText(const Optionen& optionen,
                       const std::vector<ImportFirma>& firmen) {
  const Quellenart arten[3] = {Quellenart::csv, Quellenart::sec,
                               Quellenart::xbrl};
  const char* const namen[3] = {"CSV-Tabellen", "SEC-Firmendaten", "xBRL-JSON"};
  std::string herkunft;
  for (int a = 0; a < 3; ++a) {
    const bool da =
        std::any_of(firmen.begin(), firmen.end(),
                    [&](const ImportFirma& f) { return f.art == arten[a]; });
    if (!da) continue;
    herkunft += std::string(herkunft.empty() ? " (" : "; ") + namen[a] + ": " +
                firmenUndBerichte(firmen, &arten[a]);
  }
  return kVorsatz + firmenUndBerichte(firmen, nullptr) +
         " geschrieben: " + imZiel(optionen, "config/index.txt") + " und " +
         imZiel(optionen, "data/") + herkunft + ")\n";
}

}  // namespace

Ausgang importiere(const Optionen& optionen, std::string& meldungen) {
  std::error_code fehler;
  if (!optionen.ziel.empty() && gibtEs(optionen.ziel) &&
      !std::filesystem::is_directory(optionen.ziel, fehler)) {
    meldungen += kVorsatz + "das Ziel " + optionen.ziel +
                 " ist kein Verzeichnis (das letzte von mehreren Argumenten "
                 "ist das Zielverzeichnis)\n";
    return kAufruffehler;
  }
  Kurstabelle kurse;
  if (!optionen.kurse.empty() && !leseKurse(optionen.kurse, kurse, meldungen)) {
    return kFehler;
  }
  std::vector<ImportFirma> firmen;
  const Ausgang gelesen = Einleser(optionen).lies(firmen, meldungen);
  if (gelesen != kErfolg) return gelesen;
  const Ausgang faktoren = setzeAlleFaktoren(
      optionen, optionen.kurse.empty() ? nullptr : &kurse, firmen, meldungen);
  if (faktoren != kErfolg) return faktoren;
  vergibDateinamen(firmen);
  const Meldungen vorhanden = pruefeVorhandene(optionen, firmen);
  if (vorhanden.fehlerAnzahl > 0) {
    meldungen += fehlerText(vorhanden);
    return kFehler;
  }
  if (!Schreiber(optionen, meldungen).schreibeAlles(firmen)) return kFehler;
  meldungen += erfolgText(optionen, firmen);
  return kErfolg;
}
