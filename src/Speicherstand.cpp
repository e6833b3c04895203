#include "Speicherstand.h"

#include <climits>
#include <locale>
#include <sstream>

std::string Speicherstand::text(const Speicherstand& stand) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << stand.aktMenue << '\n'
       << stand.findex << '\n'
       << stand.elemente << '\n'
       << stand.anzahlEintraege << '\n'
       << stand.benutzteSpalten.size() << '\n';
  for (int p : stand.benutzteSpalten) text << p << '\n';
  text << stand.sortSpalte << '\n' << (stand.aufsteigend ? 1 : 0) << '\n';
  return text.str();
}

namespace {

bool imBereich(long long wert, long long von, long long bis) {
  return wert >= von && wert <= bis;
}

// Reads `anzahl` catalogue positions below `katalog`.
bool lesePositionen(std::istream& ein, long long anzahl, int katalog,
                    std::vector<int>& positionen) {
  for (long long i = 0; i < anzahl; ++i) {
    long long p;
    if (!(ein >> p) || !imBereich(p, 0, katalog - 1)) return false;
    positionen.push_back(static_cast<int>(p));
  }
  return true;
}

}  // namespace

std::optional<Speicherstand> Speicherstand::parse(const std::string& text,
                                                  int firmenAnzahl) {
  std::istringstream ein(text);
  ein.imbue(std::locale::classic());
  long long akt, fidx, elem, anz, anzahl;
  if (!(ein >> akt >> fidx >> elem >> anz >> anzahl)) return std::nullopt;
  if (!imBereich(akt, 0, 1)) return std::nullopt;
  if (akt == 1 && !imBereich(fidx, 0, firmenAnzahl - 1)) return std::nullopt;
  if (!imBereich(elem, 0, INT_MAX) || !imBereich(anz, INT_MIN, INT_MAX)) {
    return std::nullopt;
  }
  if (!imBereich(anzahl, 0, kMaxGezeigteSpalten)) return std::nullopt;
  Speicherstand stand;
  const int katalog = akt == 0 ? kFirmenKatalog : kDatenKatalog;
  if (!lesePositionen(ein, anzahl, katalog, stand.benutzteSpalten)) {
    return std::nullopt;
  }
  long long sortPos, auf;
  if (!(ein >> sortPos >> auf)) return std::nullopt;
  if (anzahl == 0 ? sortPos != 0 : !imBereich(sortPos, 0, anzahl - 1)) {
    return std::nullopt;
  }
  if (!imBereich(auf, 0, 1)) return std::nullopt;
  std::string rest;
  if (ein >> rest) return std::nullopt;

  stand.aktMenue = static_cast<int>(akt);
  stand.findex = akt == 1 ? static_cast<int>(fidx) : 0;
  stand.elemente = static_cast<int>(elem);
  stand.anzahlEintraege = static_cast<int>(anz);
  stand.sortSpalte = static_cast<int>(sortPos);
  stand.aufsteigend = auf == 1;
  return stand;
}
