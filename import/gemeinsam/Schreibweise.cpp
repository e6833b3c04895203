#include "gemeinsam/Schreibweise.h"

#include <cctype>
#include <string_view>

namespace {

// The currency signs an amount may carry, as written.
const std::string_view kWaehrungen[] = {"\xE2\x82\xAC", "$", "\xC2\xA3"};

// The blanks that may stand around an amount and its currency.
const std::string_view kBlanks[] = {" ", "\t", "\xC2\xA0" /* U+00A0 */,
                                    "\xE2\x80\xAF" /* U+202F */};

// The length of the blank that starts at `i`, or 0.
size_t blankAb(const std::string& text, size_t i) {
  for (std::string_view blank : kBlanks) {
    if (text.compare(i, blank.size(), blank) == 0) return blank.size();
  }
  return 0;
}

// The length of the blank that ends at `ende`, or 0.
size_t blankVor(const std::string& text, size_t ende) {
  for (std::string_view blank : kBlanks) {
    if (ende >= blank.size() &&
        text.compare(ende - blank.size(), blank.size(), blank) == 0) {
      return blank.size();
    }
  }
  return 0;
}

std::string ohneLeerraum(const std::string& text) {
  size_t anfang = 0;
  size_t ende = text.size();
  for (size_t n; anfang < ende && (n = blankAb(text, anfang)) > 0;) anfang += n;
  for (size_t n; ende > anfang && (n = blankVor(text, ende)) > 0;) ende -= n;
  return text.substr(anfang, ende - anfang);
}

size_t vorzeichenLaenge(const std::string& text) {
  const std::string_view minus = kMinuszeichen;
  if (text.compare(0, minus.size(), minus) == 0) return minus.size();
  return !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
}

bool grossbuchstabe(char c) { return c >= 'A' && c <= 'Z'; }

// Whether the three characters of `text` from `i` are upper-case letters, a
// code such as GBP or JPY, with no further letter beside them.
bool codeAb(const std::string& text, size_t i) {
  if (i + 3 > text.size()) return false;
  for (size_t k = i; k < i + 3; ++k) {
    if (!grossbuchstabe(text[k])) return false;
  }
  const auto buchstabe = [&](size_t k) {
    return k < text.size() && std::isalpha(static_cast<unsigned char>(text[k]));
  };
  return !(i > 0 && buchstabe(i - 1)) && !buchstabe(i + 3);
}

// Removes the currency at the start of `text` (behind a sign, if any) or at
// its end, with the blanks beside it; returns it as written, or empty. Signs
// are the ones of kWaehrungen; a code is any three upper-case letters.
std::string nimmWaehrung(std::string& text) {
  const size_t vorzeichen = vorzeichenLaenge(text);
  const auto vorn = [&](size_t laenge) {
    const std::string waehrung = text.substr(vorzeichen, laenge);
    text = text.substr(0, vorzeichen) +
           ohneLeerraum(text.substr(vorzeichen + laenge));
    return waehrung;
  };
  const auto hinten = [&](size_t laenge) {
    const std::string waehrung = text.substr(text.size() - laenge);
    text = ohneLeerraum(text.substr(0, text.size() - laenge));
    return waehrung;
  };
  for (std::string_view waehrung : kWaehrungen) {
    if (text.compare(vorzeichen, waehrung.size(), waehrung) == 0) {
      return vorn(waehrung.size());
    }
    if (text.size() >= waehrung.size() &&
        text.compare(text.size() - waehrung.size(), waehrung.size(),
                     waehrung) == 0) {
      return hinten(waehrung.size());
    }
  }
  if (codeAb(text, vorzeichen)) return vorn(3);
  if (text.size() >= 3 && codeAb(text, text.size() - 3)) return hinten(3);
  return "";
}

// Whether `text`, without the blanks around it, stands for an empty cell;
// "| 0x20" makes an ASCII letter lower case.
bool stehtFuerLeer(const std::string& text) {
  const bool nichtVerfuegbar = text.size() == 3 && (text[0] | 0x20) == 'n' &&
                               text[1] == '/' && (text[2] | 0x20) == 'a';
  return text.empty() || text == "-" || text == "\xE2\x80\x93" ||
         text == kMinuszeichen || nichtVerfuegbar;
}

}  // namespace

Schreibweise zerlegeSchreibweise(const std::string& text) {
  Schreibweise form;
  form.zahl = ohneLeerraum(text);
  if (stehtFuerLeer(form.zahl)) {
    form.leer = true;
    return form;
  }
  form.waehrung = nimmWaehrung(form.zahl);
  std::string& zahl = form.zahl;
  form.klammer = zahl.size() >= 2 && zahl.front() == '(' && zahl.back() == ')';
  if (form.klammer) {
    zahl = ohneLeerraum(zahl.substr(1, zahl.size() - 2));
    if (form.waehrung.empty()) form.waehrung = nimmWaehrung(zahl);
  }
  form.gut = !zahl.empty() && !(form.klammer && vorzeichenLaenge(zahl) > 0);
  return form;
}
