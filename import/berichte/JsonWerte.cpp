#include "berichte/JsonWerte.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

bool istHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
         (c >= 'A' && c <= 'F');
}

// Whether every escape of the string token `roh` (from its opening quote) is
// one JSON knows.
bool escapesGut(std::string_view roh) {
  if (roh.find('\\') == std::string_view::npos) return true;
  for (size_t i = 1; i < roh.size() && roh[i] != '"'; ++i) {
    if (roh[i] != '\\') continue;
    const char art = i + 1 < roh.size() ? roh[i + 1] : '\0';
    if (art == 'u') {
      for (size_t k = i + 2; k < i + 6; ++k) {
        if (k >= roh.size() || !istHex(roh[k])) return false;
      }
      i += 5;
    } else if (art != '\0' && std::strchr("\"\\/bfnrt", art) != nullptr) {
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

bool istZiffer(char c) { return c >= '0' && c <= '9'; }

size_t ziffernAb(std::string_view text, size_t i) {
  while (i < text.size() && istZiffer(text[i])) ++i;
  return i;
}

// A number taken apart: its sign, its digits without the decimal point, how
// many of them stand before the point, and the exponent.
struct Zahlteile {
  bool negativ = false;
  std::string_view ganz;
  std::string_view bruch;
  int64_t exponent = 0;
};

// Splits `text` as [+-]digits[.digits][(e|E)[+-]digits] with at least one
// digit before the exponent; false when it is not of that form.
bool zerlegeZahl(std::string_view text, Zahlteile& teile) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    teile.negativ = text[i++] == '-';
  }
  size_t e = ziffernAb(text, i);
  teile.ganz = text.substr(i, e - i);
  i = e;
  if (i < text.size() && text[i] == '.') {
    e = ziffernAb(text, i + 1);
    teile.bruch = text.substr(i + 1, e - i - 1);
    i = e;
  }
  if (teile.ganz.empty() && teile.bruch.empty()) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    const bool minus = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    e = ziffernAb(text, i);
    if (e == i) return false;
    // Beyond a million the number is far outside any range anyway.
    for (; i < e; ++i) {
      teile.exponent =
          std::min<int64_t>(teile.exponent * 10 + (text[i] - '0'), 1000000);
    }
    if (minus) teile.exponent = -teile.exponent;
  }
  return i == text.size();
}

}  // namespace

bool istJsonText(std::string_view token) {
  return token.size() >= 2 && token.front() == '"' && token.back() == '"' &&
         escapesGut(token);
}

bool istJsonAtom(std::string_view token) {
  if (!token.empty() && (token[0] == '-' || istZiffer(token[0]))) {
    return istJsonZahl(token);
  }
  return token == "true" || token == "false" || token == "null";
}

bool istJsonZahl(std::string_view text) {
  Zahlteile teile;
  if (text.empty() || text[0] == '+' || !zerlegeZahl(text, teile)) return false;
  return !teile.ganz.empty() &&
         (teile.ganz.size() == 1 || teile.ganz[0] != '0') &&
         (text.find('.') == std::string_view::npos || !teile.bruch.empty());
}

std::optional<int64_t> leseGanzzahl(std::string_view text,
                                    std::string& fehler) {
  Zahlteile teile;
  if (!zerlegeZahl(text, teile)) {
    fehler = "ist keine Zahl, erwartet eine ganze Zahl";
    return std::nullopt;
  }
  std::string ziffern = std::string(teile.ganz) + std::string(teile.bruch);
  int64_t vorKomma = static_cast<int64_t>(teile.ganz.size()) + teile.exponent;
  const size_t fuehrend =
      std::min(ziffern.find_first_not_of('0'), ziffern.size());
  ziffern.erase(0, fuehrend);
  vorKomma -= static_cast<int64_t>(fuehrend);
  if (ziffern.empty()) return 0;
  const size_t ganz = vorKomma <= 0 ? 0
                      : static_cast<uint64_t>(vorKomma) > ziffern.size()
                          ? ziffern.size()
                          : static_cast<size_t>(vorKomma);
  if (ziffern.find_first_not_of('0', ganz) != std::string::npos) {
    fehler = "ist keine ganze Zahl";
    return std::nullopt;
  }
  const std::string grenze =
      teile.negativ ? "9223372036854775808" : "9223372036854775807";
  ziffern.resize(ganz);
  if (vorKomma > static_cast<int64_t>(grenze.size()) ||
      (vorKomma == static_cast<int64_t>(grenze.size()) &&
       ziffern + std::string(grenze.size() - ziffern.size(), '0') > grenze)) {
    fehler = "liegt ausserhalb des 64-Bit-Bereichs";
    return std::nullopt;
  }
  ziffern.append(static_cast<size_t>(vorKomma) - ziffern.size(), '0');
  uint64_t betrag = 0;
  for (char c : ziffern) betrag = betrag * 10 + static_cast<uint64_t>(c - '0');
  if (!teile.negativ) return static_cast<int64_t>(betrag);
  if (betrag == UINT64_C(9223372036854775808)) return INT64_MIN;
  return -static_cast<int64_t>(betrag);
}
