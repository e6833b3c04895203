#include "Datensatz.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <system_error>

bool frueher(const Berichtsdatum& a, const Berichtsdatum& b) {
  if (a.jahr != b.jahr) return a.jahr < b.jahr;
  if (a.monat != b.monat) return a.monat < b.monat;
  return a.tag < b.tag;
}

int tageImMonat(int monat, int jahr) {
  static constexpr int kTage[] = {31, 28, 31, 30, 31, 30,
                                  31, 31, 30, 31, 30, 31};
  const bool schaltjahr = (jahr % 4 == 0 && jahr % 100 != 0) || jahr % 400 == 0;
  return kTage[monat - 1] + (monat == 2 && schaltjahr ? 1 : 0);
}

namespace {

// Reads `text` if it is 1 to `stellen` decimal digits and nothing else.
bool leseZiffern(std::string_view text, size_t stellen, int& wert) {
  if (text.empty() || text.size() > stellen) return false;
  wert = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    wert = wert * 10 + (c - '0');
  }
  return true;
}

// The field readers below each take one word. When it does not hold a value
// of their kind they return false and leave in `grund` what is wrong with it.

// Day and month of one or two digits and a year of one to four, joined by
// "-"; day 1 to 31, month 1 to 12.
bool leseDatum(std::string_view wort, Berichtsdatum& d, std::string& grund) {
  const size_t s1 = wort.find('-');
  const size_t s2 = s1 == wort.npos ? s1 : wort.find('-', s1 + 1);
  if (s2 == wort.npos || !leseZiffern(wort.substr(0, s1), 2, d.tag) ||
      !leseZiffern(wort.substr(s1 + 1, s2 - s1 - 1), 2, d.monat)) {
    grund = " ist kein Datum der Form Tag-Monat-Jahr wie 31-12-2020";
  } else if (!leseZiffern(wort.substr(s2 + 1), 4, d.jahr)) {
    grund = " hat kein Jahr aus 1 bis 4 Ziffern";
  } else if (d.tag < 1 || d.tag > 31) {
    grund = " hat keinen Tag von 1 bis 31";
  } else if (d.monat < 1 || d.monat > 12) {
    grund = " hat keinen Monat von 1 bis 12";
  } else {
    d.kurzesJahr = wort.size() - s2 - 1 < 4;
    return true;
  }
  return false;
}

// Drops a "+" in front of a number, which stream input allows and from_chars
// does not; "+-1" keeps it and stays unreadable.
std::string_view ohnePlus(std::string_view wort) {
  if (wort.size() > 1 && wort[0] == '+' && wort[1] != '-') {
    wort.remove_prefix(1);
  }
  return wort;
}

// Reads up to 18 digits, which cannot overflow, without the general
// conversion; false for anything else.
bool leseKurzeGanzzahl(std::string_view zahl, int64_t& wert) {
  const bool negativ = !zahl.empty() && zahl[0] == '-';
  if (negativ) zahl.remove_prefix(1);
  if (zahl.empty() || zahl.size() > 18) return false;
  int64_t n = 0;
  for (const char c : zahl) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  wert = negativ ? -n : n;
  return true;
}

// A signed 64-bit decimal integer.
bool leseBetrag(std::string_view wort, int64_t& wert, std::string& grund) {
  const std::string_view zahl = ohnePlus(wort);
  if (leseKurzeGanzzahl(zahl, wert)) return true;
  const char* ende = zahl.data() + zahl.size();
  const auto [rest, fehler] = std::from_chars(zahl.data(), ende, wert);
  if (rest != ende) {
    grund =
        " ist kein ganzer Betrag wie 1200000 (ohne Tausenderpunkte und "
        "Nachkommastellen)";
  } else if (fehler != std::errc()) {
    grund =
        " liegt ausserhalb von -9223372036854775808 bis 9223372036854775807";
  } else {
    return true;
  }
  return false;
}

// A finite decimal floating-point number with "." as decimal point.
bool leseFaktor(std::string_view wort, double& wert, std::string& grund) {
  const std::string_view zahl = ohnePlus(wort);
  const char* ende = zahl.data() + zahl.size();
  const auto [rest, fehler] = std::from_chars(zahl.data(), ende, wert);
  if (rest != ende) {
    grund = " ist keine Zahl mit Dezimalpunkt wie 1.2";
  } else if (fehler != std::errc()) {
    grund = " liegt ausserhalb des Zahlenbereichs";
  } else if (!std::isfinite(wert)) {
    grund = " ist keine endliche Zahl";
  } else {
    return true;
  }
  return false;
}

}  // namespace

bool leseFeld(size_t feld, std::string_view wort, Datensatz& d,
              std::string& grund) {
  if (feld == 0) {
    d.datumText = wort;
    return leseDatum(wort, d.datum, grund);
  }
  if (feld < 5) return leseBetrag(wort, d.betrag[feld - 1], grund);
  return leseFaktor(wort, d.faktor[feld - 5], grund);
}

Finanzen alsBericht(const Datensatz& d) {
  tm datum{};
  datum.tm_mday = d.datum.tag;
  datum.tm_mon = d.datum.monat - 1;
  datum.tm_year = d.datum.jahr - 1900;
  Finanzen bericht;
  bericht.setAttr(datum, d.betrag[0], d.betrag[1], d.betrag[2], d.betrag[3],
                  d.faktor[0], d.faktor[1]);
  return bericht;
}
