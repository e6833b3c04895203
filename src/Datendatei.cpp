#include "Datendatei.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "Dateien.h"

namespace {

// A white-space separated word of a data file and the line it starts on.
struct Wort {
  std::string text;
  int zeile;
};

// Splits `inhalt` into words, counting lines from `ersteZeile`.
std::vector<Wort> zerlege(const std::string& inhalt, size_t ab,
                          int ersteZeile) {
  std::vector<Wort> woerter;
  int zeile = ersteZeile;
  size_t i = ab;
  const auto leer = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' ||
           c == '\f';
  };
  while (i < inhalt.size()) {
    if (leer(inhalt[i])) {
      if (inhalt[i] == '\n') ++zeile;
      ++i;
      continue;
    }
    const size_t anfang = i;
    while (i < inhalt.size() && !leer(inhalt[i])) ++i;
    woerter.push_back({inhalt.substr(anfang, i - anfang), zeile});
  }
  return woerter;
}

bool leseDatum(const std::string& text, tm& datum) {
  int tag = 0, monat = 0, jahr = 0, gelesen = 0;
  if (std::sscanf(text.c_str(), "%02d-%02d-%04d%n", &tag, &monat, &jahr,
                  &gelesen) != 3 ||
      static_cast<size_t>(gelesen) != text.size()) {
    return false;
  }
  if (monat < 1 || monat > 12 || tag < 1 || tag > 31) return false;
  datum = tm();
  datum.tm_mday = tag;
  datum.tm_mon = monat - 1;
  datum.tm_year = jahr - 1900;
  return true;
}

// A leading "+" is allowed as in stream input; the whole word must be used.
const char* ohnePlus(const std::string& text) {
  const char* p = text.c_str();
  return (p[0] == '+' && p[1] != '-') ? p + 1 : p;
}

bool leseGanzzahl(const std::string& text, int64_t& wert) {
  const char* anfang = ohnePlus(text);
  const char* ende = text.c_str() + text.size();
  const auto [rest, fehler] = std::from_chars(anfang, ende, wert);
  return fehler == std::errc() && rest == ende;
}

bool leseFaktor(const std::string& text, double& wert) {
  const char* anfang = ohnePlus(text);
  const char* ende = text.c_str() + text.size();
  const auto [rest, fehler] = std::from_chars(anfang, ende, wert);
  return fehler == std::errc() && rest == ende && std::isfinite(wert);
}

bool leseBericht(const std::vector<Wort>& w, size_t k, Finanzen& bericht) {
  tm datum;
  int64_t betrag[4];
  double faktor[2];
  if (!leseDatum(w[k].text, datum)) return false;
  for (int f = 0; f < 4; ++f) {
    if (!leseGanzzahl(w[k + 1 + f].text, betrag[f])) return false;
  }
  for (int f = 0; f < 2; ++f) {
    if (!leseFaktor(w[k + 5 + f].text, faktor[f])) return false;
  }
  bericht.setAttr(datum, betrag[0], betrag[1], betrag[2], betrag[3], faktor[0],
                  faktor[1]);
  return true;
}

}  // namespace

bool leseFirmendatei(const std::string& pfad, std::string& name,
                     std::vector<Finanzen>& berichte, std::string& warnung) {
  const std::string vorsatz = "quorvell: " + pfad;
  std::string inhalt, fehler;
  if (!leseDatei(pfad, inhalt, fehler)) {
    warnung += vorsatz + " " + fehler + ", Firma uebersprungen\n";
    return false;
  }
  size_t pos = inhalt.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  size_t zeilenEnde = inhalt.find('\n', pos);
  if (zeilenEnde == std::string::npos) zeilenEnde = inhalt.size();
  name = inhalt.substr(pos, zeilenEnde - pos);
  if (!name.empty() && name.back() == '\r') name.pop_back();

  const std::vector<Wort> woerter = zerlege(inhalt, zeilenEnde, 1);
  berichte.clear();
  size_t k = 0;
  for (; k + 7 <= woerter.size(); k += 7) {
    Finanzen bericht;
    if (!leseBericht(woerter, k, bericht)) break;
    berichte.push_back(bericht);
  }
  if (k < woerter.size()) {
    warnung += vorsatz + ", Zeile " + std::to_string(woerter[k].zeile) +
               ": Bericht nicht lesbar, Rest der Datei ignoriert\n";
  }
  if (berichte.empty()) {
    warnung += vorsatz +
               " enthaelt keinen vollstaendigen Bericht, Firma "
               "uebersprungen\n";
    return false;
  }
  return true;
}

bool leseIndex(const std::string& pfad, std::vector<std::string>& namen,
               std::string& warnung) {
  std::string inhalt, fehler;
  if (!leseDatei(pfad, inhalt, fehler)) {
    warnung += "quorvell: " + pfad + " " + fehler +
               ", es werden keine Firmen geladen\n";
    return false;
  }
  for (const Wort& w : zerlege(inhalt, 0, 1)) namen.push_back(w.text);
  return true;
}
