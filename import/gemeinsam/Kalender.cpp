#include "gemeinsam/Kalender.h"

#include <algorithm>
#include <cstdio>

#include "gemeinsam/ImportZahlen.h"

namespace {

bool istZiffer(char c) { return c >= '0' && c <= '9'; }

bool istSchaltjahr(int jahr) {
  return (jahr % 4 == 0 && jahr % 100 != 0) || jahr % 400 == 0;
}

bool imKalender(const Datum& d) {
  static const int kTage[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.jahr < 1 || d.monat < 1 || d.monat > 12 || d.tag < 1) return false;
  const int letzter =
      kTage[d.monat - 1] + (d.monat == 2 && istSchaltjahr(d.jahr) ? 1 : 0);
  return d.tag <= letzter;
}

// REQUIRES: at most four digits.
int alsZahl(const std::string& ziffern) {
  int wert = 0;
  for (char c : ziffern) wert = wert * 10 + (c - '0');
  return wert;
}

// `text` split at `trenner` into `n` non-empty runs of digits.
bool teile(const std::string& text, char trenner, int n, std::string teil[]) {
  size_t anfang = 0;
  for (int i = 0; i < n; ++i) {
    const size_t ende = text.find(trenner, anfang);
    if ((ende == std::string::npos) != (i == n - 1)) return false;
    teil[i] = text.substr(anfang, ende - anfang);
    if (teil[i].empty() ||
        !std::all_of(teil[i].begin(), teil[i].end(), istZiffer)) {
      return false;
    }
    anfang = ende + 1;
  }
  return true;
}

std::optional<Datum> zerlegeDatum(const std::string& text) {
  const char trenner = text.find('.') != std::string::npos ? '.' : '-';
  std::string teil[3];
  if (!teile(text, trenner, 3, teil)) return std::nullopt;
  if (trenner == '-' && teil[0].size() == 4) std::swap(teil[0], teil[2]);
  if (teil[0].size() > 2 || teil[1].size() > 2 || teil[2].size() != 4) {
    return std::nullopt;
  }
  return Datum{alsZahl(teil[0]), alsZahl(teil[1]), alsZahl(teil[2])};
}

}  // namespace

/* The civil calendar counted in eras of 400 years (146097 days), each year
 * starting on 1 March so that the leap day comes last. */
int64_t tagNummer(const Datum& datum) {
  const int64_t jahr = datum.jahr - (datum.monat <= 2 ? 1 : 0);
  const int64_t aera = (jahr >= 0 ? jahr : jahr - 399) / 400;
  const int64_t jahrDerAera = jahr - aera * 400;
  const int64_t monat = datum.monat > 2 ? datum.monat - 3 : datum.monat + 9;
  const int64_t tagDesJahres = (153 * monat + 2) / 5 + datum.tag - 1;
  const int64_t tagDerAera =
      jahrDerAera * 365 + jahrDerAera / 4 - jahrDerAera / 100 + tagDesJahres;
  return aera * 146097 + tagDerAera - 719468;
}

Datum ausTagNummer(int64_t tag) {
  tag += 719468;
  const int64_t aera = (tag >= 0 ? tag : tag - 146096) / 146097;
  const int64_t tagDerAera = tag - aera * 146097;
  const int64_t jahrDerAera = (tagDerAera - tagDerAera / 1460 +
                               tagDerAera / 36524 - tagDerAera / 146096) /
                              365;
  const int64_t tagDesJahres =
      tagDerAera - (365 * jahrDerAera + jahrDerAera / 4 - jahrDerAera / 100);
  const int64_t monat = (5 * tagDesJahres + 2) / 153;
  Datum datum{};
  datum.tag = static_cast<int>(tagDesJahres - (153 * monat + 2) / 5 + 1);
  datum.monat = static_cast<int>(monat < 10 ? monat + 3 : monat - 9);
  datum.jahr =
      static_cast<int>(jahrDerAera + aera * 400 + (datum.monat <= 2 ? 1 : 0));
  return datum;
}

std::optional<Datum> leseDatum(const std::string& roh, std::string& fehler) {
  const std::string text = ohneRand(roh);
  const std::string formen = "31.12.2020, 2020-12-31 oder 31-12-2020";
  if (text.empty()) {
    fehler = "ist leer, erwartet ein Datum wie " + formen;
    return std::nullopt;
  }
  const std::optional<Datum> datum = zerlegeDatum(text);
  if (!datum) {
    fehler = "ist kein Datum, erwartet " + formen;
  } else if (!imKalender(*datum)) {
    fehler =
        "ist kein Tag des Kalenders, erwartet Monat 1 bis 12 und einen Tag "
        "bis zum Monatsende";
    return std::nullopt;
  }
  return datum;
}

std::optional<Datum> leseTagesnummer(const std::string& text,
                                     const Datum& nullpunkt,
                                     std::string& fehler) {
  Dezimal zahl;
  if (!zerlegeGespeichert(text, zahl)) {
    fehler = "ist keine Tagesnummer, erwartet eine Zahl wie 44926";
    return std::nullopt;
  }
  const bool null = zahl.ziffern.find_first_not_of('0') == std::string::npos;
  std::string tage =
      zahl.ziffern.substr(0, zahl.ziffern.size() - zahl.nachkomma);
  tage.erase(0, std::min(tage.find_first_not_of('0'), tage.size()));
  std::optional<Datum> datum;
  if ((null || !zahl.negativ) && tage.size() <= 8) {
    int64_t tag = tagNummer(nullpunkt);
    int64_t anzahl = 0;
    for (char c : tage) anzahl = anzahl * 10 + (c - '0');
    tag += anzahl;
    if (tag >= tagNummer({1, 3, 1900}) && tag <= tagNummer({31, 12, 9999})) {
      datum = ausTagNummer(tag);
    }
  }
  if (!datum) {
    fehler =
        "ist keine Tagesnummer eines Tages vom 1.3.1900 bis zum 31.12.9999, "
        "erwartet das Datum eines Berichts";
  }
  return datum;
}

std::optional<Datum> leseStichtag(const std::string& text) {
  std::string teil[2];
  const std::string ohnePunkt = !text.empty() && text.back() == '.'
                                    ? text.substr(0, text.size() - 1)
                                    : text;
  if (!teile(ohnePunkt, '.', 2, teil) || teil[0].size() > 2 ||
      teil[1].size() > 2) {
    return std::nullopt;
  }
  // 2001 is no leap year: a day it has, every year has.
  const Datum tag{alsZahl(teil[0]), alsZahl(teil[1]), 2001};
  if (!imKalender(tag)) return std::nullopt;
  return Datum{tag.tag, tag.monat, 0};
}

std::optional<Datum> leseIsoDatum(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
    return std::nullopt;
  }
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (!istZiffer(text[i])) return std::nullopt;
  }
  std::string fehler;
  return leseDatum(std::string(text), fehler);
}

std::string isoText(const Datum& datum) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", datum.jahr, datum.monat,
                datum.tag);
  return text;
}

std::string isoText(int64_t tag) { return isoText(ausTagNummer(tag)); }

Datum einJahrVorher(const Datum& datum) {
  Datum vorher{datum.tag, datum.monat, datum.jahr - 1};
  if (vorher.monat == 2 && vorher.tag == 29) vorher.tag = 28;
  return vorher;
}
