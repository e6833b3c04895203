#include "gemeinsam/Kurse.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "gemeinsam/ImportFirma.h"
#include "gemeinsam/ImportZahlen.h"
#include "gemeinsam/Kalender.h"

namespace {

// How many days a report may lie behind the last day of the table: more than
// any gap between two ECB days, fewer than would make a rate stale.
constexpr int64_t kLuecke = 7;

// The fields of one line, split at ",", without the empty field the trailing
// comma leaves.
std::vector<std::string> felder(const std::string& zeile) {
  std::vector<std::string> teile;
  size_t anfang = 0;
  for (size_t komma; (komma = zeile.find(',', anfang)) != std::string::npos;
       anfang = komma + 1) {
    teile.push_back(ohneRand(zeile.substr(anfang, komma - anfang)));
  }
  const std::string letztes = ohneRand(zeile.substr(anfang));
  if (!letztes.empty()) teile.push_back(letztes);
  return teile;
}

std::optional<double> leseKurs(const std::string& text) {
  if (text == "N/A") return std::numeric_limits<double>::quiet_NaN();
  double wert = 0;
  const auto [ende, ergebnis] =
      std::from_chars(text.data(), text.data() + text.size(), wert);
  if (ergebnis != std::errc() || ende != text.data() + text.size() ||
      !(wert > 0) || std::isinf(wert)) {
    return std::nullopt;
  }
  return wert;
}

// A day of the table and the row of its rates in the order they were read.
struct Tag {
  int64_t nummer;
  size_t zeile;
};

}  // namespace

bool Kursdatei::lies(const std::string& text, const std::string& quelle,
                     std::string& fehler) {
  quelle_ = quelle;
  // All rates in one row after the other, so that reading leaves no pieces
  // of memory behind.
  std::vector<double> kurse;
  std::vector<Tag> tage;
  int zeile = 0;
  const auto ort = [&]() {
    return quelle + ":" + std::to_string(zeile) + ": ";
  };
  for (size_t anfang = 0; anfang < text.size();) {
    size_t ende = text.find('\n', anfang);
    if (ende == std::string::npos) ende = text.size();
    std::string inhalt = text.substr(anfang, ende - anfang);
    anfang = ende + 1;
    ++zeile;
    if (!inhalt.empty() && inhalt.back() == '\r') inhalt.pop_back();
    if (ohneRand(inhalt).empty()) continue;
    const std::vector<std::string> teile = felder(inhalt);
    if (waehrungen_.empty()) {
      if (teile.size() < 2 || teile[0] != "Date") {
        fehler = "quorvell-import: " + quelle +
                 " ist keine Kurstabelle der EZB, erwartet die Kopfzeile "
                 "\"Date,USD,JPY,...\" von eurofxref-hist.csv\n";
        return false;
      }
      waehrungen_.assign(teile.begin() + 1, teile.end());
      continue;
    }
    if (teile.size() != waehrungen_.size() + 1) {
      fehler = ort() + std::to_string(teile.size()) + " Felder statt " +
               std::to_string(waehrungen_.size() + 1) +
               " wie in der Kopfzeile\n";
      return false;
    }
    const std::optional<Datum> datum = leseIsoDatum(teile[0]);
    if (!datum) {
      fehler = ort() + zitat(teile[0]) +
               " ist kein Datum, erwartet ein Datum wie 2024-01-31\n";
      return false;
    }
    tage.push_back(Tag{tagNummer(*datum), tage.size()});
    for (size_t i = 1; i < teile.size(); ++i) {
      const std::optional<double> kurs = leseKurs(teile[i]);
      // Below the smallest normal double a rate's factors are not finite.
      const bool winzig = kurs && *kurs < std::numeric_limits<double>::min();
      if (!kurs || winzig) {
        fehler = ort() + "Spalte " + zitat(waehrungen_[i - 1]) + ": " +
                 zitat(teile[i]) +
                 (winzig ? " am " + teile[0] +
                               " ist zu klein fuer einen endlichen Faktor, "
                               "erwartet einen Kurs ab 2.3e-308\n"
                         : " ist kein Kurs, erwartet eine Zahl groesser als 0 "
                           "wie 1.0824 oder N/A\n");
        return false;
      }
      kurse.push_back(*kurs);
    }
  }
  if (tage.empty()) {
    fehler = "quorvell-import: " + quelle + " enthaelt keinen Tag mit Kursen\n";
    return false;
  }
  std::stable_sort(tage.begin(), tage.end(), [](const Tag& a, const Tag& b) {
    return a.nummer < b.nummer;
  });
  for (size_t i = 0; i < tage.size(); ++i) {
    if (i > 0 && tage[i].nummer == tage[i - 1].nummer) {
      fehler = "quorvell-import: " + quelle + ": der " +
               isoText(tage[i].nummer) + " steht zweimal in der Tabelle\n";
      return false;
    }
  }
  const size_t breite = waehrungen_.size();
  tage_.reserve(tage.size());
  kurse_.reserve(kurse.size());
  for (const Tag& tag : tage) {
    tage_.push_back(tag.nummer);
    const auto reihe =
        kurse.begin() + static_cast<std::ptrdiff_t>(tag.zeile * breite);
    kurse_.insert(kurse_.end(), reihe,
                  reihe + static_cast<std::ptrdiff_t>(breite));
  }
  return true;
}

int Kursdatei::spalte(const std::string& waehrung) const {
  if (waehrung == "EUR") return kEuro;
  const auto it = std::find(waehrungen_.begin(), waehrungen_.end(), waehrung);
  if (it == waehrungen_.end()) return kFehlt;
  return static_cast<int>(it - waehrungen_.begin());
}

double Kursdatei::kurs(size_t tag, int spalte) const {
  if (spalte == kEuro) return 1.0;
  return kurse_[tag * waehrungen_.size() + static_cast<size_t>(spalte)];
}

Kurslage Kursdatei::kursAm(int spalte, int64_t stichtag, double& kurs,
                           std::string& fehler) const {
  const size_t bis = static_cast<size_t>(
      std::upper_bound(tage_.begin(), tage_.end(), stichtag) - tage_.begin());
  if (bis == 0) return pruefe(stichtag, fehler);
  kurs = this->kurs(bis - 1, spalte);
  if (!std::isnan(kurs)) return Kurslage::gefunden;
  fehler = "kein Kurs fuer " + waehrungen_[static_cast<size_t>(spalte)] +
           " am " + isoText(tage_[bis - 1]) + " in " + quelle_ + " (N/A)";
  return Kurslage::ohneKurs;
}

std::vector<int64_t> Kursdatei::tage(int64_t von, int64_t bis) const {
  return std::vector<int64_t>(
      std::lower_bound(tage_.begin(), tage_.end(), von),
      std::upper_bound(tage_.begin(), tage_.end(), bis));
}

Kurslage Kursdatei::pruefe(int64_t stichtag, std::string& fehler) const {
  if (stichtag < tage_.front()) {
    fehler = "der Tag liegt vor dem ersten Tag von " + quelle_ + " (" +
             isoText(tage_.front()) + ")";
    return Kurslage::davor;
  }
  if (stichtag - tage_.back() > kLuecke) {
    fehler = quelle_ + " endet am " + isoText(tage_.back()) +
             ", mehr als eine Woche davor; bitte die neue Kursdatei laden";
    return Kurslage::veraltet;
  }
  return Kurslage::gefunden;
}

bool Kurstabelle::lies(const std::string& text, const std::string& quelle,
                       std::string& fehler) {
  Kursdatei datei;
  if (!datei.lies(text, quelle, fehler)) return false;
  dateien_.push_back(std::move(datei));
  return true;
}

bool Kurstabelle::finde(const std::string& waehrung, Quelle& quelle) const {
  for (const Kursdatei& datei : dateien_) {
    const int spalte = datei.spalte(waehrung);
    if (spalte == Kursdatei::kEuro) {
      quelle = Quelle{nullptr, spalte};
      return true;
    }
    if (spalte != Kursdatei::kFehlt) {
      quelle = Quelle{&datei, spalte};
      return true;
    }
  }
  return false;
}

// "TWD steht nicht in a.csv", or "weder in a.csv, b.csv noch in c.csv".
std::string Kurstabelle::nirgends(const std::string& waehrung) const {
  std::string text = waehrung + " steht ";
  if (dateien_.size() == 1) return text + "nicht in " + dateien_[0].quelle();
  text += "weder in ";
  for (size_t i = 0; i < dateien_.size(); ++i) {
    text += (i == 0                     ? ""
             : i + 1 == dateien_.size() ? " noch in "
                                        : ", ") +
            dateien_[i].quelle();
  }
  return text;
}

Kurslage Kurstabelle::faktoren(const std::string& waehrung, const Datum& datum,
                               bool jahresmittel, double faktor[2],
                               std::string& fehler) const {
  Quelle quelle[2] = {};
  const std::string namen[2] = {waehrung, "USD"};
  for (int s = 0; s < 2; ++s) {
    if (!finde(namen[s], quelle[s])) {
      fehler = nirgends(namen[s]);
      return Kurslage::unbekannt;
    }
  }
  const int64_t stichtag = tagNummer(datum);
  for (const Quelle& q : quelle) {
    const Kurslage lage = q.datei == nullptr
                              ? Kurslage::gefunden
                              : q.datei->pruefe(stichtag, fehler);
    if (lage != Kurslage::gefunden) return lage;
  }
  // The dollar always has a file; the euro has none.
  const Kursdatei& basis =
      quelle[0].datei != nullptr ? *quelle[0].datei : *quelle[1].datei;
  const std::vector<int64_t> tage =
      jahresmittel ? basis.tage(tagNummer(einJahrVorher(datum)) + 1, stichtag)
                   : std::vector<int64_t>{stichtag};
  double summe[2] = {0, 0};
  // Summed oldest first, as the mean is defined.
  for (const int64_t tag : tage) {
    double r[2] = {1, 1};
    for (int s = 0; s < 2; ++s) {
      if (quelle[s].datei == nullptr) continue;
      const Kurslage lage =
          quelle[s].datei->kursAm(quelle[s].spalte, tag, r[s], fehler);
      if (lage != Kurslage::gefunden) return lage;
    }
    summe[0] += 1.0 / r[0];
    summe[1] += r[1] / r[0];
  }
  const auto anzahl = static_cast<double>(tage.size());
  faktor[0] = summe[0] / anzahl;
  faktor[1] = summe[1] / anzahl;
  return Kurslage::gefunden;
}
