#include "ImportKalender.h"

#include <cstdio>

namespace {

bool istZiffer(char c) { return c >= '0' && c <= '9'; }

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
