#include "berichte/IxbrlDubletten.h"

#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "berichte/IxbrlZahl.h"

namespace {

using Schluessel = std::tuple<std::string, std::string, std::string,
                              std::optional<int64_t>, int64_t, std::string>;

Schluessel schluessel(const IxbrlFakt& f) {
  return {f.konzept, f.schema, f.kennung, f.beginn, f.ende, f.waehrung};
}

// The places a fact is accurate to; INT_MAX where it is exact.
int stellen(const IxbrlFakt& f) {
  return f.dezimalen.art == IxbrlDezimalen::kStellen ? f.dezimalen.stellen
                                                     : INT_MAX;
}

bool einig(const IxbrlFakt& a, const IxbrlFakt& b) {
  const int s = std::min(stellen(a), stellen(b));
  if (s == INT_MAX) return a.wert == b.wert;
  const auto gerundet = [s](const IxbrlFakt& f) {
    return dezimalText(runde(*leseDezimal(f.wert), s));
  };
  return gerundet(a) == gerundet(b);
}

}  // namespace

void bereinigeDubletten(std::vector<IxbrlFakt>& fakten,
                        std::vector<IxbrlWiderspruch>& widersprueche) {
  std::map<Schluessel, std::vector<size_t>> gruppen;
  for (size_t i = 0; i < fakten.size(); ++i) {
    const IxbrlFakt& f = fakten[i];
    if (f.mangel == IxbrlFakt::kKeiner && !f.aufgeschluesselt &&
        !f.waehrung.empty()) {
      gruppen[schluessel(f)].push_back(i);
    }
  }
  std::vector<bool> weg(fakten.size(), false);
  for (const auto& [s, gruppe] : gruppen) {
    const size_t genau = *std::max_element(
        gruppe.begin(), gruppe.end(), [&](size_t a, size_t b) {
          return stellen(fakten[a]) < stellen(fakten[b]);
        });
    const auto anderer = std::find_if(
        gruppe.begin(), gruppe.end(),
        [&](size_t i) { return !einig(fakten[genau], fakten[i]); });
    for (size_t i : gruppe) weg[i] = i != genau || anderer != gruppe.end();
    if (anderer != gruppe.end()) {
      widersprueche.push_back({fakten[genau], fakten[*anderer]});
    }
  }
  size_t behalten = 0;
  for (size_t i = 0; i < fakten.size(); ++i) {
    if (weg[i]) continue;
    if (behalten != i) fakten[behalten] = std::move(fakten[i]);
    ++behalten;
  }
  fakten.resize(behalten);
}
