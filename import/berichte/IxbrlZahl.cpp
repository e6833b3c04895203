#include "berichte/IxbrlZahl.h"

#include <algorithm>

namespace {

bool nurZiffern(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// Adds one to the decimal digits `ziffern`, which may grow by a digit.
void plusEins(std::string& ziffern) {
  for (auto it = ziffern.rbegin(); it != ziffern.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return;
    }
    *it = '0';
  }
  ziffern.insert(0, "1");
}

}  // namespace

std::optional<Dezimal> leseDezimal(std::string_view text) {
  Dezimal zahl;
  zahl.negativ = !text.empty() && text[0] == '-';
  if (zahl.negativ) text.remove_prefix(1);
  const size_t punkt = text.find('.');
  const std::string_view ganz = text.substr(0, punkt);
  const std::string_view bruch =
      punkt == std::string_view::npos ? "" : text.substr(punkt + 1);
  if (ganz.empty() || !nurZiffern(ganz) || !nurZiffern(bruch) ||
      (punkt != std::string_view::npos && bruch.empty())) {
    return std::nullopt;
  }
  zahl.ziffern = std::string(ganz) + std::string(bruch);
  zahl.nachkomma = bruch.size();
  return zahl;
}

Dezimal verschiebe(Dezimal zahl, int potenz) {
  if (potenz >= 0) {
    const auto p = static_cast<size_t>(potenz);
    const size_t weg = std::min(zahl.nachkomma, p);
    zahl.nachkomma -= weg;
    zahl.ziffern.append(p - weg, '0');
  } else {
    zahl.nachkomma += static_cast<size_t>(-static_cast<long>(potenz));
  }
  if (zahl.nachkomma > zahl.ziffern.size()) {
    zahl.ziffern.insert(0, zahl.nachkomma - zahl.ziffern.size(), '0');
  }
  return zahl;
}

/* The digits behind the place rounded to are cut off; they round the rest
 * up when they stand for more than half a unit of that place, or for exactly
 * half and the rest is odd. */
Dezimal runde(const Dezimal& zahl, int stellen) {
  const long nach = static_cast<long>(zahl.nachkomma);
  if (nach <= stellen) return zahl;
  const auto weg = static_cast<size_t>(nach - stellen);
  std::string ziffern = zahl.ziffern;
  if (ziffern.size() < weg + 1)
    ziffern.insert(0, weg + 1 - ziffern.size(), '0');
  const std::string rest = ziffern.substr(ziffern.size() - weg);
  ziffern.resize(ziffern.size() - weg);
  const std::string haelfte = "5" + std::string(weg - 1, '0');
  const bool ungerade = ((ziffern.back() - '0') & 1) != 0;
  if (rest > haelfte || (rest == haelfte && ungerade)) plusEins(ziffern);
  Dezimal gerundet{zahl.negativ, ziffern, 0};
  if (stellen >= 0) {
    gerundet.nachkomma = static_cast<size_t>(stellen);
  } else {
    gerundet.ziffern.append(static_cast<size_t>(-static_cast<long>(stellen)),
                            '0');
  }
  return gerundet;
}

std::string dezimalText(const Dezimal& zahl) {
  const size_t punkt =
      zahl.ziffern.size() - std::min(zahl.nachkomma, zahl.ziffern.size());
  std::string ganz = zahl.ziffern.substr(0, punkt);
  std::string bruch = zahl.ziffern.substr(punkt);
  ganz.erase(0, std::min(ganz.find_first_not_of('0'), ganz.size()));
  bruch.erase(std::min(bruch.find_last_not_of('0') + 1, bruch.size()));
  if (ganz.empty()) ganz = "0";
  const bool null = ganz == "0" && bruch.empty();
  return (zahl.negativ && !null ? "-" : "") + ganz +
         (bruch.empty() ? "" : "." + bruch);
}
