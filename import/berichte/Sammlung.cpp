#include "berichte/Sammlung.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "gemeinsam/Kalender.h"

namespace {

// The stand of a document: its latest day, then the order of the documents.
std::string standVon(const Dokument& dokument, size_t nummer) {
  std::optional<int64_t> neuester;
  for (const Dokumentfakt& d : dokument.fakten) {
    neuester = std::max(neuester.value_or(d.fakt.ende), d.fakt.ende);
  }
  char zahl[24];
  std::snprintf(zahl, sizeof zahl, " %08zu", nummer);
  return (neuester ? isoText(*neuester) : std::string("0000-00-00")) + zahl;
}

bool spaeter(const Datum& a, const Datum& b) {
  return tagNummer(a) > tagNummer(b);
}

}  // namespace

Berichtssammlung::Firma& Berichtssammlung::firma(const std::string& kennung,
                                                 const Dokument& dokument) {
  auto [platz, neu] = firmen_.try_emplace(kennung);
  if (neu) {
    reihenfolge_.push_back(kennung);
    platz->second.ersteDatei = dokument.dateien.front();
    platz->second.art = dokument.art;
    platz->second.woher = dokument.woher;
  }
  return platz->second;
}

void Berichtssammlung::nimm(Dokument dokument) {
  if (dokument.dateien.empty()) return;
  const std::string stand = standVon(dokument, dokumente_++);
  // Per company, the numbers its Jahressammler gave this document's files.
  std::map<std::pair<std::string, size_t>, size_t> nummern;
  for (Dokumentfakt& d : dokument.fakten) {
    Firma& f = firma(d.kennung, dokument);
    const auto [platz, neu] = nummern.try_emplace({d.kennung, d.fakt.datei});
    if (neu) platz->second = f.sammler.datei(dokument.dateien[d.fakt.datei]);
    d.fakt.stand = stand;
    d.fakt.datei = platz->second;
    f.sammler.dazu(std::move(d.fakt));
  }
  for (Dokumentname& d : dokument.namen) {
    Firma& f = firma(d.kennung, dokument);
    if (!f.name || stand > f.nameStand) {
      f.name = std::move(d.name);
      f.nameStand = stand;
    }
  }
}

std::vector<Befund> Berichtssammlung::befunde() const {
  std::vector<Befund> alle;
  for (const std::string& kennung : reihenfolge_) {
    const Firma& f = firmen_.at(kennung);
    Befund befund;
    befund.firma.art = f.art;
    befund.firma.kennung = kennung;
    befund.firma.quelle = f.ersteDatei;
    setzeName(befund, f.name, ersatzname(kennung), f.ersteDatei, f.woher);
    f.sammler.baue(befund);
    alle.push_back(std::move(befund));
  }
  return alle;
}

std::string ersatzname(const std::string& kennung) {
  const std::string lei = "LEI ";
  return kennung.compare(0, lei.size(), lei) == 0 ? kennung.substr(lei.size())
                                                  : kennung;
}

void vereine(Befund& firmendaten, Befund dokument) {
  std::vector<ImportBericht>& alt = firmendaten.firma.berichte;
  std::vector<ImportBericht>& neu = dokument.firma.berichte;
  const bool dokumentVorn =
      !neu.empty() &&
      (alt.empty() || spaeter(neu.front().datum, alt.front().datum));
  if (dokumentVorn) {
    std::swap(alt, neu);
    firmendaten.firma.name = dokument.firma.name;
  }
  const std::string waehrung = alt.empty() ? "" : alt.front().waehrung;
  std::string anders;  // the years left out for their currency
  for (const ImportBericht& bericht : neu) {
    const bool da = std::any_of(alt.begin(), alt.end(), [&](const auto& b) {
      return tagNummer(b.datum) == tagNummer(bericht.datum);
    });
    if (da) continue;
    if (waehrung.empty() || bericht.waehrung == waehrung) {
      alt.push_back(bericht);
    } else {
      anders += (anders.empty() ? "" : ", ") + isoText(bericht.datum) + " in " +
                bericht.waehrung;
    }
  }
  if (!anders.empty()) {
    firmendaten.hinweise.push_back(
        (dokumentVorn ? firmendaten.firma.quelle : dokument.firma.quelle) +
        ": Warnung: " + firmaText(firmendaten.firma) + ": " + anders +
        " ausgelassen; die Berichte stehen in " + waehrung +
        ", eine Waehrung je Firma\n");
  }
  std::sort(alt.begin(), alt.end(), [](const auto& a, const auto& b) {
    return spaeter(a.datum, b.datum);
  });
  for (std::string& hinweis : dokument.hinweise) {
    firmendaten.hinweise.push_back(std::move(hinweis));
  }
}
