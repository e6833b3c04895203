#include "Import.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "Dateien.h"
#include "ImportFaktoren.h"
#include "berichte/Ixbrl.h"
#include "berichte/Jahre.h"
#include "berichte/Json.h"
#include "berichte/Sammlung.h"
#include "berichte/Sec.h"
#include "berichte/Xbrl.h"
#include "gemeinsam/Kurse.h"
#include "quellen/Fortschritt.h"
#include "quellen/Quellen.h"
#include "schreiben/Schreiber.h"
#include "tabellen/Csv.h"
#include "tabellen/Tabellenleser.h"

namespace {

const std::string kVorsatz = "quorvell-import: ";

static_assert(kPolster >= kJsonPolster,
              "the source buffer leaves simdjson room to read");

bool istLeer(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The text of a table in UTF-8 without a byte-order mark, in `text` itself
// or, converted, in `umgewandelt`; false with a message when it is in UTF-16
// or holds nothing.
bool leseText(const std::string& tabelle, std::optional<Zeichensatz> wahl,
              std::string_view& text, std::string& umgewandelt,
              std::string& meldungen) {
  if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") {
    meldungen += kVorsatz + tabelle +
                 " ist in UTF-16 gespeichert, erwartet UTF-8 (\"CSV UTF-8\")\n";
    return false;
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  if (!alsUtf8(text, umgewandelt, wahl, tabelle, meldungen)) return false;
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
                     std::string_view text, char& trenner, Zahlenstil& stil,
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
    meldungen +=
        kVorsatz +
        (optionen.trenner != 0 ? std::string("mit --trenner tab")
                               : tabelle + " ist durch Tabulatoren getrennt") +
        ": bitte --zahlen de oder --zahlen en angeben\n";
    return kAufruffehler;
  } else {
    stil = trenner == ';' ? Zahlenstil::deutsch : Zahlenstil::englisch;
  }
  return kErfolg;
}

// Reads every source of a run into companies, one file at a time. Companies
// of published reports are one company where their CIK or LEI is the same.
class Einleser {
 public:
  explicit Einleser(const Optionen& optionen)
      : optionen_(optionen),
        fortschritt_(optionen.fortschritt, optionen.fortschrittNach) {}

  // The companies of all sources in the order they first appear; kErfolg,
  // or the exit status of the failure with its messages in `meldungen`.
  Ausgang lies(std::vector<ImportFirma>& firmen, std::string& meldungen);

 private:
  void nimm(const Eingang& eingang);
  void leseTabelle(const Eingang& eingang);
  void leseArbeitsmappe(const Eingang& eingang);
  Importregeln regeln(std::optional<Zahlenstil> stil) const;
  void nimmTabelle(std::vector<ImportFirma> firmen);
  void leseJson(const Eingang& eingang);
  void leseIxbrl(const Eingang& eingang);
  void schliesseIxbrl();
  void nimmDokument(Dokument dokument);
  void merkeDokumente(size_t vorher);
  void nimmSec(Befund befund);
  std::vector<Befund> dokumentBefunde();
  void nimmBefund(Befund& befund, std::vector<ImportFirma>& firmen);
  std::string warnungen() const;

  const Optionen& optionen_;
  oj::parser parser_;
  Meldungen befund_;
  // A wrong call found in a table: its message; nothing more is read.
  std::string aufruffehler_;
  // Notes shown whatever the outcome, such as the encoding a table is read in.
  std::string vorab_;
  // The companies in the order they first appear: kind and number in
  // tabellen_, sec_ or the companies of dokumente_ (xbrl).
  std::vector<std::pair<Quellenart, size_t>> reihenfolge_;
  std::vector<ImportFirma> tabellen_;
  std::vector<Befund> sec_;
  std::map<std::string, size_t> secNachKennung_;
  Berichtssammlung dokumente_;
  // The inline XBRL document set being read, its name, and whether one of
  // its documents failed.
  std::optional<IxbrlLeser> ixbrl_;
  std::string ixbrlSatz_;
  bool ixbrlKaputt_ = false;
  Sammelwarnung hinweise_, unvollstaendig_, waehrung_, ausgelassen_;
  Fortschritt fortschritt_;
  const std::string* quelle_ = nullptr;  // the source being read
};

void Einleser::nimm(const Eingang& eingang) {
  if (!aufruffehler_.empty()) return;
  if (eingang.art == Dateiart::json) {
    leseJson(eingang);
  } else if (eingang.art == Dateiart::ixbrl) {
    leseIxbrl(eingang);
  } else if (eingang.art == Dateiart::mappe) {
    leseArbeitsmappe(eingang);
  } else {
    leseTabelle(eingang);
  }
  fortschritt_.dazu(*quelle_, eingang.nummer, eingang.anzahl,
                    eingang.inhalt.size(), reihenfolge_.size());
}

void Einleser::leseTabelle(const Eingang& eingang) {
  const std::string& quelle = eingang.name;
  std::string_view text = eingang.inhalt;
  std::string umgewandelt, meldung;
  if (text.substr(0, 8) == "Date,USD") {
    befund_.fehlerDazu(
        kVorsatz + quelle +
        " ist die Kurstabelle der EZB: sie gehoert zu --kurse\n");
    return;
  }
  char trenner = 0;
  Zahlenstil stil = Zahlenstil::deutsch;
  if (!leseText(quelle, optionen_.zeichensatz, text, umgewandelt, meldung)) {
    befund_.fehlerDazu(meldung);
    return;
  }
  vorab_ += meldung;
  meldung.clear();
  const Ausgang format =
      waehleFormat(optionen_, quelle, text, trenner, stil, meldung);
  Importregeln regeln = this->regeln(stil);
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
  CsvLeser csv(text, trenner);
  nimmTabelle(leseFirmen(csv, regeln, quelle, befund_));
}

// A workbook's numbers are stored as numbers; the factor options are read
// in --zahlen's style, else as English, as for published reports.
void Einleser::leseArbeitsmappe(const Eingang& eingang) {
  Importregeln regeln = this->regeln(optionen_.stil);
  if (!leseFaktorOptionen(optionen_,
                          optionen_.stil.value_or(Zahlenstil::englisch),
                          regeln.faktor, aufruffehler_)) {
    return;
  }
  nimmTabelle(leseFirmen(eingang.inhalt, eingang.name, optionen_.blatt, regeln,
                         befund_));
}

Importregeln Einleser::regeln(std::optional<Zahlenstil> stil) const {
  return {stil,
          optionen_.einheit,
          {},
          optionen_.waehrung,
          optionen_.jahr,
          optionen_.stichtag,
          optionen_.spalten};
}

void Einleser::nimmTabelle(std::vector<ImportFirma> firmen) {
  for (ImportFirma& firma : firmen) {
    reihenfolge_.emplace_back(Quellenart::csv, tabellen_.size());
    tabellen_.push_back(std::move(firma));
  }
}

void Einleser::leseJson(const Eingang& eingang) {
  JsonLeser leser(parser_, eingang.inhalt, eingang.name);
  const Jsonart art = leser.art();
  Befund befund;
  const size_t vorher = dokumente_.anzahl();
  const bool gelesen = art == Jsonart::sec    ? leseSec(leser, befund)
                       : art == Jsonart::xbrl ? leseXbrl(leser, dokumente_)
                                              : false;
  if (!gelesen) {
    befund_.fehlerDazu(leser.meldung());
  } else if (art == Jsonart::sec) {
    nimmSec(std::move(befund));
  }
  merkeDokumente(vorher);
}

// The documents of one set come one after another; the set is read when its
// last one is.
void Einleser::leseIxbrl(const Eingang& eingang) {
  if (ixbrl_ && ixbrlSatz_ != eingang.satz) schliesseIxbrl();
  if (!ixbrl_) {
    ixbrl_.emplace(ixbrlGesucht);
    ixbrlSatz_ = eingang.satz;
    ixbrlKaputt_ = false;
  }
  std::string fehler;
  if (!ixbrlKaputt_ && !ixbrl_->lies(eingang.name, eingang.inhalt, fehler)) {
    befund_.fehlerDazu(fehler + "\n");
    ixbrlKaputt_ = true;
  }
  if (eingang.letztes) schliesseIxbrl();
}

void Einleser::schliesseIxbrl() {
  IxbrlSatz satz;
  std::string fehler;
  if (ixbrlKaputt_) {
  } else if (!ixbrl_->schliesse(satz, fehler)) {
    befund_.fehlerDazu(fehler + "\n");
  } else {
    Dokument dokument;
    if (ixbrlDokument(std::move(satz), dokument, fehler)) {
      nimmDokument(std::move(dokument));
    } else {
      befund_.warnungen.push_back(fehler);
    }
  }
  ixbrl_.reset();
}

void Einleser::nimmDokument(Dokument dokument) {
  const size_t vorher = dokumente_.anzahl();
  dokumente_.nimm(std::move(dokument));
  merkeDokumente(vorher);
}

// The companies the documents named from number `vorher` on take their
// place in the order.
void Einleser::merkeDokumente(size_t vorher) {
  for (size_t i = vorher; i < dokumente_.anzahl(); ++i) {
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

// The companies of the documents; one whose CIK has company facts too is
// one company with them, and is left empty here.
std::vector<Befund> Einleser::dokumentBefunde() {
  std::vector<Befund> befunde = dokumente_.befunde();
  for (Befund& befund : befunde) {
    const auto sec = secNachKennung_.find(befund.firma.kennung);
    if (sec == secNachKennung_.end()) continue;
    vereine(sec_[sec->second], std::move(befund));
    befund = Befund();
  }
  return befunde;
}

void Einleser::nimmBefund(Befund& befund, std::vector<ImportFirma>& firmen) {
  for (const std::string& hinweis : befund.hinweise) hinweise_.dazu(hinweis);
  if (befund.firma.berichte.empty()) {
    ausgelassen_.dazu(
        befund.firma.quelle + ": Warnung: " + firmaText(befund.firma) +
        " ausgelassen: kein Jahr mit Umsatz, Gewinn, Bilanzsumme und "
        "Eigenkapital" +
        (befund.luecken.empty() ? "" : " (" + befund.luecken + ")") + "\n");
    return;
  }
  if (!befund.unvollstaendig.empty()) {
    unvollstaendig_.dazu(befund.unvollstaendig);
  }
  if (!befund.andereWaehrung.empty()) waehrung_.dazu(befund.andereWaehrung);
  firmen.push_back(std::move(befund.firma));
}

std::string Einleser::warnungen() const {
  std::string text;
  for (const std::string& warnung : befund_.warnungen) text += warnung;
  return text + hinweise_.text(" weitere Warnungen zu Namen und Werten") +
         unvollstaendig_.text(
             " weitere Firmen mit ausgelassenen unvollstaendigen Jahren") +
         waehrung_.text(
             " weitere Firmen mit Jahren in anderer Waehrung ausgelassen") +
         ausgelassen_.text(
             " weitere Firmen ohne vollstaendigen Bericht "
             "ausgelassen");
}

Ausgang Einleser::lies(std::vector<ImportFirma>& firmen,
                       std::string& meldungen) {
  for (const std::string& quelle : optionen_.quellen) {
    quelle_ = &quelle;
    const bool weiter = leseQuelle(
        quelle, [this](const Eingang& eingang) { nimm(eingang); },
        [this](const std::string& zeile) { befund_.fehlerDazu(zeile); });
    // A set whose last document could not be read, which an error names.
    ixbrl_.reset();
    if (!weiter || !aufruffehler_.empty()) break;
  }
  fortschritt_.loesche();
  meldungen += vorab_;
  if (!aufruffehler_.empty()) {
    meldungen += aufruffehler_;
    return kAufruffehler;
  }
  if (befund_.fehlerAnzahl > 0) {
    meldungen += fehlerText(befund_);
    return kFehler;
  }
  std::vector<Befund> dokumente = dokumentBefunde();
  for (const auto& [art, nummer] : reihenfolge_) {
    if (art == Quellenart::csv) {
      firmen.push_back(std::move(tabellen_[nummer]));
    } else if (art == Quellenart::sec) {
      nimmBefund(sec_[nummer], firmen);
    } else if (!dokumente[nummer].firma.kennung.empty()) {
      nimmBefund(dokumente[nummer], firmen);
    }
  }
  meldungen += warnungen();
  return kErfolg;
}

}  // namespace

Ausgang importiere(const Optionen& optionen, std::string& meldungen) {
  std::error_code fehler;
  if (!optionen.ziel.empty() &&
      std::filesystem::exists(optionen.ziel, fehler) &&
      !std::filesystem::is_directory(optionen.ziel, fehler)) {
    meldungen += kVorsatz + "das Ziel " + optionen.ziel +
                 " ist kein Verzeichnis (das letzte von mehreren Argumenten "
                 "ist das Zielverzeichnis)\n";
    return kAufruffehler;
  }
  Kurstabelle kurse;
  if (!leseKurse(optionen.kurse, kurse, meldungen)) return kFehler;
  std::vector<ImportFirma> firmen;
  const Ausgang gelesen = Einleser(optionen).lies(firmen, meldungen);
  if (gelesen != kErfolg) return gelesen;
  const Ausgang faktoren = setzeAlleFaktoren(
      optionen, optionen.kurse.empty() ? nullptr : &kurse, firmen, meldungen);
  if (faktoren != kErfolg) return faktoren;
  if (firmen.empty()) {
    meldungen += kVorsatz +
                 "keine Firma mit einem vollstaendigen Bericht; nichts "
                 "geschrieben\n";
    return kFehler;
  }
  vergibDateinamen(firmen);
  return schreibeImport(optionen.ziel, optionen.ueberschreiben, firmen,
                        meldungen)
             ? kErfolg
             : kFehler;
}
