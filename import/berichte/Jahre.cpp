#include "berichte/Jahre.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

#include "berichte/Json.h"
#include "gemeinsam/ImportZahlen.h"
#include "gemeinsam/Kalender.h"

namespace {

const char* const kFeldname[4] = {"Umsatz", "Gewinn", "Bilanzsumme",
                                  "Eigenkapital"};

constexpr int kUmsatz = 0;
constexpr int kBilanz = 2;

// The concepts of revenue from contracts with customers alone, and those of
// total revenue that count instead where they are more than a quarter larger.
const char* const kVertrag[] = {
    "us-gaap:RevenueFromContractWithCustomerExcludingAssessedTax",
    "us-gaap:RevenueFromContractWithCustomerIncludingAssessedTax"};
const char* const kGesamt[] = {"us-gaap:Revenues",
                               "us-gaap:RevenuesNetOfInterestExpense"};

template <size_t N>
bool istEinerVon(const char* konzept, const char* const (&namen)[N]) {
  return std::any_of(std::begin(namen), std::end(namen), [&](const char* n) {
    return std::strcmp(konzept, n) == 0;
  });
}

std::string verbunden(const std::vector<std::string>& teile,
                      const char* trenner) {
  std::string text;
  for (size_t i = 0; i < teile.size(); ++i) {
    text += (i > 0 ? trenner : "") + teile[i];
  }
  return text;
}

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

// The company's currency by the years complete in each, newest first: that
// of the newest complete year; of several, the one most years are complete
// in, then one other than the dollar, then the first in code order.
std::optional<std::string> firmenwaehrung(
    const std::vector<std::vector<std::string>>& vollstaendig,
    const std::map<std::string, size_t>& jahreIn) {
  for (const std::vector<std::string>& in : vollstaendig) {
    if (in.empty()) continue;
    return *std::min_element(
        in.begin(), in.end(), [&](const std::string& a, const std::string& b) {
          const size_t x = jahreIn.at(a), y = jahreIn.at(b);
          if (x != y) return x > y;
          if ((a == "USD") != (b == "USD")) return b == "USD";
          return a < b;
        });
  }
  return std::nullopt;
}

// The years left out as complete only in another currency, grouped by it.
struct Nebenwaehrungen {
  void dazu(const std::string& waehrung, const std::string& jahr) {
    size_t i = 0;
    while (i < waehrungen.size() && waehrungen[i] != waehrung) ++i;
    if (i == waehrungen.size()) {
      waehrungen.push_back(waehrung);
      jahre.emplace_back();
    }
    jahre[i].push_back(jahr);
    ++anzahl;
  }
  // "Jahre in anderer Waehrung ausgelassen: 2016-12-31, 2015-12-31 nur in
  // USD vollstaendig; die Berichte stehen in TWD, ..."
  std::string text(const std::string& behalten) const {
    std::string text = anzahl == 1 ? "Jahr in anderer Waehrung ausgelassen: "
                                   : "Jahre in anderer Waehrung ausgelassen: ";
    for (size_t i = 0; i < waehrungen.size(); ++i) {
      text += verbunden(jahre[i], ", ") + " nur in " + waehrungen[i] +
              " vollstaendig; ";
    }
    return text + "die Berichte stehen in " + behalten +
           ", eine Waehrung je Firma\n";
  }

  std::vector<std::string> waehrungen;
  std::vector<std::vector<std::string>> jahre;
  size_t anzahl = 0;
};

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

// Revenue from contracts with customers leaves out what other standards
// govern: a trader's commodity contracts, a bank's interest, an insurer's
// premiums. Where the total revenue of the same period is more than a
// quarter larger, the total counts. A total that is smaller (an oil
// producer's revenue net of its derivative losses) leaves the contract
// revenue, which is then the company's sales.
const Jahressammler::Eintrag* Jahressammler::umsatz(
    int64_t ende, const std::string& waehrung) const {
  const Eintrag* erstes = erster(kUmsatz, ende, &waehrung);
  if (erstes == nullptr || !istEinerVon(erstes->fakt.konzept, kVertrag)) {
    return erstes;
  }
  std::string fehler;
  const std::optional<int64_t> vertrag =
      leseGanzzahl(erstes->fakt.wert, fehler);
  if (!vertrag || *vertrag <= 0) return erstes;
  for (const char* gesamt : kGesamt) {
    for (auto it = fakten_.lower_bound(Schluessel{kUmsatz, ende, 0, ""});
         it != fakten_.end() && std::get<0>(it->first) == kUmsatz &&
         std::get<1>(it->first) == ende;
         ++it) {
      const Fakt& fakt = it->second.fakt;
      if (std::get<3>(it->first) != waehrung ||
          std::strcmp(fakt.konzept, gesamt) != 0 ||
          fakt.beginn != erstes->fakt.beginn) {
        continue;
      }
      const std::optional<int64_t> wert = leseGanzzahl(fakt.wert, fehler);
      // wert > 1.25 * vertrag, in whole numbers: 4 * (wert - vertrag) >
      // vertrag.
      if (wert && *wert > *vertrag && *wert - *vertrag > *vertrag / 4) {
        return &it->second;
      }
    }
  }
  return erstes;
}

// How many of the four fields have a value at `ende`, per currency.
std::map<std::string, int> Jahressammler::felderIn(int64_t ende) const {
  std::map<std::string, int> anzahl;
  for (int f = 0; f < 4; ++f) {
    std::set<std::string> da;
    for (auto it = fakten_.lower_bound(Schluessel{f, ende, 0, ""});
         it != fakten_.end() && std::get<0>(it->first) == f &&
         std::get<1>(it->first) == ende;
         ++it) {
      da.insert(std::get<3>(it->first));
    }
    for (const std::string& waehrung : da) ++anzahl[waehrung];
  }
  return anzahl;
}

std::string Jahressammler::wertHinweis(const Befund& befund, const Fakt& fakt,
                                       const std::string& grund) const {
  return dateien_[fakt.datei] + ": Warnung: " + firmaText(befund.firma) + ": " +
         fakt.konzept + " " + zeitraum(fakt) + ": " + grund + "; Jahr " +
         isoText(fakt.ende) + " ausgelassen\n";
}

// The report of the year ending `ende`, complete in `waehrung`, unless a
// value of it is not a whole number or two of one filing contradict each
// other; then a warning instead.
void Jahressammler::baueBericht(Befund& befund, int64_t ende,
                                const std::string& waehrung) const {
  ImportBericht bericht{};
  bericht.datum = ausTagNummer(ende);
  bericht.waehrung = waehrung;
  bool gut = true;
  for (int f = 0; f < 4; ++f) {
    const Eintrag& e =
        f == kUmsatz ? *umsatz(ende, waehrung) : *erster(f, ende, &waehrung);
    std::string fehler;
    const auto wert = leseGanzzahl(e.fakt.wert, fehler);
    if (e.widerspruch) {
      befund.hinweise.push_back(wertHinweis(befund, *e.widerspruch,
                                            zitat(e.fakt.wert) + " und " +
                                                zitat(e.widerspruch->wert) +
                                                " widersprechen sich"));
    } else if (!e.fakt.mangel.empty()) {
      befund.hinweise.push_back(wertHinweis(befund, e.fakt, e.fakt.mangel));
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

void Jahressammler::baue(Befund& befund) const {
  std::vector<int64_t> jahre = jahre_;
  std::sort(jahre.begin(), jahre.end(), std::greater<>());
  jahre.erase(std::unique(jahre.begin(), jahre.end()), jahre.end());
  std::vector<std::map<std::string, int>> felder;
  std::vector<std::vector<std::string>> vollstaendig(jahre.size());
  std::map<std::string, size_t> jahreIn;
  for (size_t j = 0; j < jahre.size(); ++j) {
    felder.push_back(felderIn(jahre[j]));
    for (const auto& [waehrung, anzahl] : felder.back()) {
      if (anzahl < 4) continue;
      vollstaendig[j].push_back(waehrung);
      ++jahreIn[waehrung];
    }
  }
  const std::optional<std::string> waehrung =
      firmenwaehrung(vollstaendig, jahreIn);
  std::vector<std::string> luecken;
  Nebenwaehrungen anders;
  for (size_t j = 0; j < jahre.size(); ++j) {
    const std::vector<std::string>& in = vollstaendig[j];
    if (waehrung && std::binary_search(in.begin(), in.end(), *waehrung)) {
      baueBericht(befund, jahre[j], *waehrung);
    } else if (!in.empty()) {
      anders.dazu(in.front(), isoText(jahre[j]));
    } else {
      // The fields the year lacks in the company's currency; without one,
      // in the currency it has the most fields in.
      const std::string& bei =
          waehrung ? *waehrung
                   : std::max_element(felder[j].begin(), felder[j].end(),
                                      [](const auto& a, const auto& b) {
                                        return a.second < b.second;
                                      })
                         ->first;
      bool fehlt[4];
      for (int f = 0; f < 4; ++f) {
        fehlt[f] = erster(f, jahre[j], &bei) == nullptr;
      }
      luecken.push_back(lueckenText(jahre[j], fehlt));
    }
  }
  const std::string vorn =
      "quorvell-import: Warnung: " + firmaText(befund.firma) + ": ";
  constexpr size_t kGenannt = 3;
  if (!luecken.empty()) {
    const size_t mehr =
        luecken.size() > kGenannt ? luecken.size() - kGenannt : 0;
    befund.luecken =
        verbunden({luecken.begin(), luecken.end() - mehr}, "; ") +
        (mehr > 0 ? "; und " + std::to_string(mehr) + " weitere" : "");
    befund.unvollstaendig =
        vorn +
        (luecken.size() == 1 ? "unvollstaendiges Jahr ausgelassen: "
                             : "unvollstaendige Jahre ausgelassen: ") +
        verbunden(luecken, "; ") + "\n";
  }
  if (waehrung && !anders.jahre.empty()) {
    befund.andereWaehrung = vorn + anders.text(*waehrung);
  }
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

void setzeName(Befund& befund, const std::optional<std::string>& gegeben,
               const std::string& ersatz, const std::string& datei,
               const std::string& woher) {
  const std::optional<std::string> name =
      gegeben ? std::optional<std::string>(ohneRand(*gegeben)) : std::nullopt;
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
