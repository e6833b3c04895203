#include "ImportJahre.h"

#include <algorithm>
#include <utility>

#include "ImportJson.h"
#include "ImportKalender.h"

namespace {

const char* const kFeldname[4] = {"Umsatz", "Gewinn", "Bilanzsumme",
                                  "Eigenkapital"};

constexpr int kBilanz = 2;

bool gleicherWert(const std::string& a, const std::string& b) {
  if (a == b) return true;
  std::string fehler;
  const auto x = leseGanzzahl(a, fehler);
  const auto y = leseGanzzahl(b, fehler);
  return x && y && *x == *y;
}

std::string zeitraum(const Fakt& fakt) {
  if (!fakt.beginn) return "am " + isoText(fakt.ende);
  return isoText(*fakt.beginn) + " bis " + isoText(fakt.ende);
}

// "2019-01-31 ohne Bilanzsumme" for the fields `fehlt` lacks.
std::string lueckenText(int64_t ende, const bool fehlt[4]) {
  std::string text = isoText(ende) + " ohne ";
  bool erstes = true;
  for (int f = 0; f < 4; ++f) {
    if (!fehlt[f]) continue;
    text += (erstes ? "" : ", ") + std::string(kFeldname[f]);
    erstes = false;
  }
  return text;
}

}  // namespace

size_t Jahressammler::datei(const std::string& name) {
  dateien_.push_back(name);
  return dateien_.size() - 1;
}

void Jahressammler::dazu(Fakt fakt) {
  const bool dauer = fakt.feld != kBilanz && fakt.feld != kBilanz + 1;
  if (dauer != fakt.beginn.has_value()) return;
  if (dauer) {
    // Both days count: a year from 1 February to 31 January has 365.
    const int64_t tage = fakt.ende - *fakt.beginn + 1;
    if (tage < 350 || tage > 380) return;
    jahre_.push_back(fakt.ende);
  }
  Schluessel schluessel{fakt.feld, fakt.ende, fakt.rang, fakt.einheit};
  const auto [platz, neu] =
      fakten_.try_emplace(std::move(schluessel), Eintrag{fakt, std::nullopt});
  if (neu) return;
  Eintrag& eintrag = platz->second;
  if (fakt.stand > eintrag.fakt.stand) {
    eintrag = Eintrag{std::move(fakt), std::nullopt};
  } else if (fakt.stand == eintrag.fakt.stand &&
             !gleicherWert(fakt.wert, eintrag.fakt.wert)) {
    eintrag.widerspruch = std::move(fakt);
  }
}

std::optional<int64_t> Jahressammler::neuestesEnde() const {
  std::optional<int64_t> neuestes;
  for (const auto& [schluessel, eintrag] : fakten_) {
    if (!neuestes || eintrag.fakt.ende > *neuestes) {
      neuestes = eintrag.fakt.ende;
    }
  }
  return neuestes;
}

const Jahressammler::Eintrag* Jahressammler::erster(
    int feld, int64_t ende, const std::string* einheit) const {
  for (auto it = fakten_.lower_bound(Schluessel{feld, ende, 0, ""});
       it != fakten_.end() && std::get<0>(it->first) == feld &&
       std::get<1>(it->first) == ende;
       ++it) {
    if (einheit == nullptr || std::get<3>(it->first) == *einheit) {
      return &it->second;
    }
  }
  return nullptr;
}

// The balance-sheet total of the first concept that has one; given in
// several currencies, the one in US dollars, else the first in code order.
const Jahressammler::Eintrag* Jahressammler::bilanzsumme(int64_t ende) const {
  const Eintrag* erstes = erster(kBilanz, ende, nullptr);
  if (erstes == nullptr) return nullptr;
  const std::string usd = "USD";
  const auto dollar =
      fakten_.find(Schluessel{kBilanz, ende, erstes->fakt.rang, usd});
  return dollar != fakten_.end() ? &dollar->second : erstes;
}

std::string Jahressammler::wertHinweis(const Befund& befund, const Fakt& fakt,
                                       const std::string& grund) const {
  return dateien_[fakt.datei] + ": Warnung: " + firmaText(befund.firma) + ": " +
         fakt.konzept + " " + zeitraum(fakt) + ": " + grund + "; Jahr " +
         isoText(fakt.ende) + " ausgelassen\n";
}

void Jahressammler::baue(Befund& befund) const {
  std::vector<int64_t> jahre = jahre_;
  std::sort(jahre.begin(), jahre.end(), std::greater<>());
  jahre.erase(std::unique(jahre.begin(), jahre.end()), jahre.end());
  std::vector<std::string> luecken;
  for (const int64_t ende : jahre) {
    const Eintrag* wahl[4] = {};
    wahl[kBilanz] = bilanzsumme(ende);
    const std::string* waehrung =
        wahl[kBilanz] != nullptr ? &wahl[kBilanz]->fakt.einheit : nullptr;
    bool fehlt[4] = {false, false, false, false};
    bool luecke = false;
    for (int f = 0; f < 4; ++f) {
      if (f != kBilanz) wahl[f] = erster(f, ende, waehrung);
      // Without a total the currency is open: a value in any one counts.
      fehlt[f] = wahl[f] == nullptr &&
                 (waehrung != nullptr || erster(f, ende, nullptr) == nullptr);
      luecke = luecke || fehlt[f];
    }
    if (luecke || waehrung == nullptr) {
      luecken.push_back(lueckenText(ende, fehlt));
      continue;
    }
    ImportBericht bericht{};
    bericht.datum = ausTagNummer(ende);
    bericht.waehrung = *waehrung;
    bool gut = true;
    for (int f = 0; f < 4; ++f) {
      const Eintrag& e = *wahl[f];
      std::string fehler;
      const auto wert = leseGanzzahl(e.fakt.wert, fehler);
      if (e.widerspruch) {
        befund.hinweise.push_back(wertHinweis(befund, *e.widerspruch,
                                              zitat(e.fakt.wert) + " und " +
                                                  zitat(e.widerspruch->wert) +
                                                  " widersprechen sich"));
      } else if (!wert) {
        befund.hinweise.push_back(
            wertHinweis(befund, e.fakt, zitat(e.fakt.wert) + " " + fehler));
      } else {
        bericht.betrag[f] = *wert;
        continue;
      }
      gut = false;
    }
    if (gut) befund.firma.berichte.push_back(bericht);
  }
  if (luecken.empty()) return;
  befund.unvollstaendig =
      "quorvell-import: Warnung: " + firmaText(befund.firma) +
      (luecken.size() == 1 ? ": unvollstaendiges Jahr ausgelassen: "
                           : ": unvollstaendige Jahre ausgelassen: ");
  for (size_t i = 0; i < luecken.size(); ++i) {
    befund.unvollstaendig += (i > 0 ? "; " : "") + luecken[i];
  }
  befund.unvollstaendig += "\n";
}

void Sammelwarnung::dazu(const std::string& zeile) {
  if (zeilen.size() < kMax) zeilen.push_back(zeile);
  ++anzahl;
}

std::string Sammelwarnung::text(const std::string& rest) const {
  std::string text;
  for (const std::string& zeile : zeilen) text += zeile;
  if (anzahl > zeilen.size()) {
    text +=
        "quorvell-import: Warnung: " + std::to_string(anzahl - zeilen.size()) +
        rest + "\n";
  }
  return text;
}

void setzeName(Befund& befund, const std::optional<std::string>& name,
               const std::string& ersatz, const std::string& datei,
               const std::string& woher) {
  const std::optional<std::string> fehler =
      name ? namensfehler(*name) : std::nullopt;
  if (name && !fehler) {
    befund.firma.name = *name;
    return;
  }
  befund.firma.name = ersatz;
  befund.hinweise.push_back(datei + ": Warnung: Firma mit " +
                            befund.firma.kennung + ": " +
                            (name ? "Name " + zitat(*name) + " " + *fehler
                                  : "kein Name (" + woher + ")") +
                            "; als Name steht " + zitat(ersatz) + "\n");
}

std::string firmaText(const ImportFirma& firma) {
  return "Firma " + zitat(firma.name) + " (" + firma.kennung + ")";
}
