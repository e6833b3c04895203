#include "tabellen/Tabellenleser.h"

#include <algorithm>
#include <map>
#include <utility>

#include "tabellen/Felder.h"
#include "tabellen/Layout.h"
#include "tabellen/Mappe.h"

namespace {

bool neuerZuerst(const ImportBericht& a, const ImportBericht& b) {
  if (a.datum.jahr != b.datum.jahr) return a.datum.jahr > b.datum.jahr;
  if (a.datum.monat != b.datum.monat) return a.datum.monat > b.datum.monat;
  if (a.datum.tag != b.datum.tag) return a.datum.tag > b.datum.tag;
  return a.zeile < b.zeile;
}

// Reads the rows of one table, one after another, into companies.
class Tabellenleser {
 public:
  Tabellenleser(const Blatt& blatt, const Importregeln& regeln,
                Meldungen& meldungen)
      : blatt_(blatt), regeln_(regeln), meldungen_(meldungen) {}

  // Finds the column of each field; false when one is missing or doubled.
  bool leseKopf(const Zellenzeile& kopf) {
    return findeSpalten(kopf, blatt_, regeln_, spalten_, meldungen_);
  }
  size_t breite() const { return spalten_.kopf.size(); }
  void leseZeile(const Zellenzeile& zeile);
  // The companies read, each with its reports newest first; a company whose
  // every year across was left out is left out with a warning.
  std::vector<ImportFirma> ordneFirmen();

 private:
  std::string ort(int zeile) const { return zeilenOrt(blatt_, zeile) + ": "; }
  void pruefeJahre(const ImportFirma& firma);
  void pruefeWaehrung(const ImportFirma& firma);

  const Blatt& blatt_;
  const Importregeln& regeln_;
  Meldungen& meldungen_;
  Spalten spalten_;
  std::vector<ImportFirma> firmen_;
  std::map<std::string, size_t> firmaNachName_;
  std::vector<ImportBericht> berichte_;  // of the row read
};

void Tabellenleser::leseZeile(const Zellenzeile& zeile) {
  std::string fehler;
  const int spalte = spalten_.spalte[kFirma];
  const Zelle& zelle = zelleIn(zeile, static_cast<size_t>(spalte));
  const std::optional<std::string> name = leseNamenszelle(zelle, fehler);
  if (!name) {
    meldungen_.fehlerDazu(
        zellenOrt(blatt_, zeile.zeile, static_cast<size_t>(spalte)) +
        ": Spalte " + zitat(spalten_.kopf[static_cast<size_t>(spalte)]) + ": " +
        zitat(ohneRand(zelle.text)) + " " + fehler + "\n");
  }
  berichte_.clear();
  const bool gelesen = leseBerichte(zeile, name.value_or(""), spalten_, regeln_,
                                    blatt_, berichte_, meldungen_);
  if (!gelesen || !name) return;
  const auto neu = firmaNachName_.emplace(*name, firmen_.size());
  if (neu.second) {
    firmen_.emplace_back();
    firmen_.back().name = *name;
  }
  std::vector<ImportBericht>& berichte = firmen_[neu.first->second].berichte;
  berichte.insert(berichte.end(), berichte_.begin(), berichte_.end());
}

void Tabellenleser::pruefeJahre(const ImportFirma& firma) {
  for (size_t i = 1; i < firma.berichte.size(); ++i) {
    const ImportBericht& neuer = firma.berichte[i - 1];
    const ImportBericht& aelter = firma.berichte[i];
    const int jahr = aelter.datum.jahr;
    if (neuer.datum.jahr == jahr) {
      meldungen_.fehlerDazu(
          ort(std::max(neuer.zeile, aelter.zeile)) + "Firma " +
          zitat(firma.name) + ": zweiter Bericht fuer " + std::to_string(jahr) +
          ", der erste steht in Zeile " +
          std::to_string(std::min(neuer.zeile, aelter.zeile)) + "\n");
    } else if (neuer.datum.jahr > jahr + 1) {
      const std::string jahre =
          neuer.datum.jahr == jahr + 2
              ? "kein Bericht fuer " + std::to_string(jahr + 1)
              : "keine Berichte fuer " + std::to_string(jahr + 1) + " bis " +
                    std::to_string(neuer.datum.jahr - 1);
      meldungen_.warnungen.push_back(
          "quorvell-import: Warnung: Firma " + zitat(firma.name) + ": " +
          jahre +
          "; die Wachstumsraten ueber drei Berichte umfassen dort mehr als "
          "drei Jahre\n");
    }
  }
}

// A company's reports are in one currency, so that its growth rates and
// trends compare like with like. A sign stands for the code that follows it
// ("$" for "CAD"), which the rest must then match.
void Tabellenleser::pruefeWaehrung(const ImportFirma& firma) {
  const auto genannt = [](const ImportBericht& b) -> const std::string& {
    return b.waehrung.empty() ? b.zeichen : b.waehrung;
  };
  const ImportBericht* bezug = nullptr;
  for (const ImportBericht& bericht : firma.berichte) {
    const std::string& waehrung = genannt(bericht);
    if (waehrung.empty()) continue;
    if (bezug != nullptr && !gleicheWaehrung(waehrung, genannt(*bezug))) {
      meldungen_.fehlerDazu(
          ort(bericht.zeile) + "Firma " + zitat(firma.name) + ": Bericht vom " +
          isoText(bericht.datum) + " in " + waehrung + ", der vom " +
          isoText(bezug->datum) + " in Zeile " + std::to_string(bezug->zeile) +
          " in " + genannt(*bezug) +
          "; erwartet alle Berichte einer Firma in einer Waehrung\n");
      return;
    }
    if (bezug == nullptr || leseWaehrung(genannt(*bezug)) == std::nullopt) {
      bezug = &bericht;
    }
  }
}

std::vector<ImportFirma> Tabellenleser::ordneFirmen() {
  std::vector<ImportFirma> firmen;
  for (ImportFirma& firma : firmen_) {
    if (firma.berichte.empty()) {
      meldungen_.warnungen.push_back(
          blattOrt(blatt_) + ": Warnung: Firma " + zitat(firma.name) +
          " ausgelassen: kein Jahr mit Umsatz, Gewinn, Bilanzsumme und "
          "Eigenkapital\n");
      continue;
    }
    std::sort(firma.berichte.begin(), firma.berichte.end(), neuerZuerst);
    pruefeJahre(firma);
    pruefeWaehrung(firma);
    firma.quelle = blatt_.quelle;
    firma.blatt = blatt_.ausMappe ? blatt_.name : "";
    firma.art = blatt_.ausMappe ? Quellenart::mappe : Quellenart::csv;
    firmen.push_back(std::move(firma));
  }
  return firmen;
}

// Takes the rows of one table as they are read, the header first, and
// keeps of each only the reports it gives.
class Tabellenlauf {
 public:
  Tabellenlauf(const Blatt& blatt, const Importregeln& regeln,
               Meldungen& meldungen)
      : blatt_(blatt),
        meldungen_(meldungen),
        leser_(blatt, regeln, meldungen) {}

  // Whether rows are still of use: not after a header that failed.
  bool offen() const { return !kopf_ || kopfGut_; }
  // The header's width, once it is read; 0 before.
  size_t breite() const { return kopf_ ? leser_.breite() : 0; }
  void zeile(const Zellenzeile& zeile) {
    if (!kopf_) {
      kopf_ = true;
      kopfGut_ = leser_.leseKopf(zeile);
    } else if (kopfGut_ && !ohneInhalt(zeile)) {
      daten_ = true;
      leser_.leseZeile(zeile);
    }
  }
  std::vector<ImportFirma> ende() {
    if (!kopf_) {
      meldungen_.fehlerDazu("quorvell-import: " + blattOrt(blatt_) +
                            " enthaelt keine Kopfzeile\n");
    }
    if (!kopfGut_) return {};
    std::vector<ImportFirma> firmen = leser_.ordneFirmen();
    if (!daten_ && meldungen_.fehlerAnzahl == 0) {
      meldungen_.fehlerDazu("quorvell-import: " + blattOrt(blatt_) +
                            " enthaelt keine Zeile mit Daten\n");
    }
    return firmen;
  }

 private:
  const Blatt& blatt_;
  Meldungen& meldungen_;
  Tabellenleser leser_;
  bool kopf_ = false;
  bool kopfGut_ = false;
  bool daten_ = false;
};

}  // namespace

/* The rows are read into reports as the sheet's reader makes them, so the
 * sheet is never held whole. Where the workbook cannot be read, only that
 * failure is reported: what the rows before it gave is dropped with them. */
std::vector<ImportFirma> leseFirmen(std::string_view bytes,
                                    const std::string& quelle,
                                    const std::string& blattname,
                                    const Importregeln& regeln,
                                    Meldungen& meldungen) {
  Blatt blatt;
  Meldungen eigene;
  Tabellenlauf lauf(blatt, regeln, eigene);
  blatt.weiter = [&](const Zellenzeile& zeile) { lauf.zeile(zeile); };
  std::string fehler;
  if (!leseMappe(bytes, quelle, blattname, blatt, fehler)) {
    meldungen.fehlerDazu("quorvell-import: " + fehler + "\n");
    return {};
  }
  std::vector<ImportFirma> firmen = lauf.ende();
  meldungen.dazu(std::move(eigene));
  return firmen;
}

/* The records become rows one at a time, in one row that keeps its memory,
 * so the table is never held whole. A record of the wrong width is an error
 * and no row. Where the CSV grammar fails, only that failure is reported:
 * what the rows before it gave is dropped with them. */
std::vector<ImportFirma> leseFirmen(CsvLeser& csv, const Importregeln& regeln,
                                    const std::string& quelle,
                                    Meldungen& meldungen) {
  Blatt blatt;
  blatt.quelle = quelle;
  Meldungen eigene;
  Tabellenlauf lauf(blatt, regeln, eigene);
  CsvZeile satz;
  Zellenzeile zeile;
  while (lauf.offen() && csv.naechster(satz)) {
    const size_t felder = satz.felder.size() + satz.weggelassen;
    nimmSatz(satz, zeile);
    if (lauf.breite() == 0 || felder == lauf.breite() || ohneInhalt(zeile)) {
      lauf.zeile(zeile);
    } else {
      eigene.fehlerDazu(zeilenOrt(blatt, zeile.zeile) + ": " +
                        std::to_string(felder) + " Felder statt " +
                        std::to_string(lauf.breite()) +
                        " wie in der Kopfzeile\n");
    }
  }
  if (!csv.fehler().empty()) {
    meldungen.fehlerDazu(quelle + ":" + csv.fehler() + "\n");
    return {};
  }
  std::vector<ImportFirma> firmen = lauf.ende();
  meldungen.dazu(std::move(eigene));
  return firmen;
}
