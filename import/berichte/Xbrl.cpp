#include "berichte/Xbrl.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "berichte/Konzepte.h"
#include "gemeinsam/Kalender.h"

namespace {

// The dimensions of one fact.
struct Dimensionen {
  std::optional<std::string_view> konzept, entitaet, zeitraum, einheit;
  bool weitere = false;  // an axis: the fact is a breakdown
};

// A point in time of a period as the day it ends or starts: a date alone
// means that whole day; midnight, "T00:00:00", means the start of the day,
// so that as an end it closes the day before.
bool lesePunkt(std::string_view text, bool alsEnde, int64_t& tag) {
  if (!text.empty() && text.back() == 'Z') text.remove_suffix(1);
  const std::optional<Datum> datum = leseIsoDatum(text.substr(0, 10));
  if (!datum) return false;
  tag = tagNummer(*datum);
  const std::string_view zeit = text.substr(10);
  if (zeit.empty()) return true;
  if (zeit.size() != 9 || zeit[0] != 'T' || zeit[3] != ':' || zeit[6] != ':') {
    return false;
  }
  int teil[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    const char a = zeit[1 + 3 * i];
    const char b = zeit[2 + 3 * i];
    if (a < '0' || a > '9' || b < '0' || b > '9') return false;
    teil[i] = (a - '0') * 10 + (b - '0');
  }
  const int h = teil[0], m = teil[1], s = teil[2];
  if (h > 24 || m > 59 || s > 59 || (h == 24 && (m != 0 || s != 0))) {
    return false;
  }
  if (h == 24) ++tag;
  if (alsEnde && (h == 0 || h == 24) && m == 0 && s == 0) --tag;
  return true;
}

// "BEGINN/ENDE" or one instant.
bool leseZeitraum(std::string_view text, std::optional<int64_t>& beginn,
                  int64_t& ende) {
  const size_t strich = text.find('/');
  if (strich == std::string_view::npos) {
    beginn.reset();
    return lesePunkt(text, true, ende);
  }
  int64_t tag = 0;
  if (!lesePunkt(text.substr(0, strich), false, tag)) return false;
  beginn = tag;
  return lesePunkt(text.substr(strich + 1), true, ende);
}

class XbrlLeser {
 public:
  explicit XbrlLeser(JsonLeser& json) : json_(json) {}

  bool lies();

  // The facts and names kept, for companies named "LEI ...".
  std::vector<Dokumentfakt> fakten;
  std::vector<Dokumentname> namen;

 private:
  bool leseFakten(oj::value wert);
  bool leseFakt(oj::value wert);
  bool leseDimensionen(oj::value wert, Dimensionen& d);
  bool nimm(oj::object& fakt, std::string_view token, const Dimensionen& d);

  JsonLeser& json_;
};

bool XbrlLeser::lies() {
  oj::object wurzel;
  if (!json_.wurzel(wurzel)) return false;
  for (auto feld : wurzel) {
    oj::field f;
    if (!json_.gut(std::move(feld).get(f))) return false;
    const bool gut = f.key().is_equal("facts") ? leseFakten(f.value())
                                               : json_.uebergehe(f.value());
    if (!gut) return false;
  }
  return json_.amEnde();
}

bool XbrlLeser::leseFakten(oj::value wert) {
  oj::object alle;
  if (!json_.objekt(wert, "facts", alle)) return false;
  for (auto feld : alle) {
    oj::field f;
    if (!json_.gut(std::move(feld).get(f)) || !leseFakt(f.value())) {
      return false;
    }
  }
  return true;
}

bool XbrlLeser::leseDimensionen(oj::value wert, Dimensionen& d) {
  oj::object glieder;
  if (!json_.objekt(wert, "dimensions", glieder)) return false;
  for (auto feld : glieder) {
    oj::field f;
    if (!json_.gut(std::move(feld).get(f))) return false;
    const oj::raw_json_string s = f.key();
    std::optional<std::string_view>* ziel = s.is_equal("concept")  ? &d.konzept
                                            : s.is_equal("entity") ? &d.entitaet
                                            : s.is_equal("period") ? &d.zeitraum
                                            : s.is_equal("unit")   ? &d.einheit
                                                                   : nullptr;
    d.weitere = d.weitere || (ziel == nullptr && !s.is_equal("language"));
    const bool gut = ziel != nullptr
                         ? json_.text(f.value(), "dimensions", *ziel)
                         : json_.uebergehe(f.value());
    if (!gut) return false;
  }
  return true;
}

bool XbrlLeser::leseFakt(oj::value wert) {
  const std::string_view token = wert.raw_json_token();
  oj::object fakt;
  if (!json_.objekt(wert, "ein Fakt", fakt)) return false;
  Dimensionen d;
  bool hatDimensionen = false;
  for (auto feld : fakt) {
    oj::field f;
    if (!json_.gut(std::move(feld).get(f))) return false;
    const bool dimensionen = f.key().is_equal("dimensions");
    hatDimensionen = hatDimensionen || dimensionen;
    const bool gut = dimensionen ? leseDimensionen(f.value(), d)
                                 : json_.uebergehe(f.value());
    if (!gut) return false;
  }
  if (!hatDimensionen || !d.konzept || !d.entitaet) {
    return json_.fehler(token,
                        "ein Fakt ohne \"dimensions\" mit \"concept\" und "
                        "\"entity\"");
  }
  return d.weitere || nimm(fakt, token, d);
}

// Keeps the fact if it is one of the concepts looked for.
bool XbrlLeser::nimm(oj::object& fakt, std::string_view token,
                     const Dimensionen& d) {
  const Konzept* konzept = findeKonzept(*d.konzept);
  const bool name = *d.konzept == kIfrsName;
  const std::string_view iso = "iso4217:";
  if (!name && (konzept == nullptr || !d.einheit ||
                d.einheit->substr(0, iso.size()) != iso)) {
    return true;
  }
  std::optional<int64_t> beginn;
  int64_t ende = 0;
  if (!d.zeitraum || !leseZeitraum(*d.zeitraum, beginn, ende)) {
    return json_.fehler(
        token, "\"period\": " + zitat(std::string(d.zeitraum.value_or(""))) +
                   " ist kein Zeitraum, erwartet etwa "
                   "2021-04-01T00:00:00/2022-04-01T00:00:00 oder 2022-03-31");
  }
  std::optional<std::string_view> text;
  bool gefunden = false;
  if (!json_.gut(fakt.reset().error())) return false;
  for (auto feld : fakt) {
    oj::field f;
    if (!json_.gut(std::move(feld).get(f))) return false;
    if (!f.key().is_equal("value")) continue;
    if (!json_.text(f.value(), "value", text)) return false;
    gefunden = true;
    break;
  }
  if (!gefunden || !text) return true;
  std::string lei(*d.entitaet);
  lei.replace(0, std::min(lei.find(':') + 1, lei.size()), "LEI ");
  if (name) {
    namen.push_back({lei, std::string(*text)});
    return true;
  }
  fakten.push_back(
      {lei, Fakt{konzept->feld, konzept->rang, konzept->name, beginn, ende,
                 std::string(d.einheit->substr(iso.size())), "",
                 std::string(*text), 0, ""}});
  return true;
}

}  // namespace

bool leseXbrl(JsonLeser& leser, Berichtssammlung& sammlung) {
  XbrlLeser datei(leser);
  if (!datei.lies()) return false;
  sammlung.nimm(Dokument{{leser.quelle()},
                         Quellenart::xbrl,
                         std::move(datei.fakten),
                         std::move(datei.namen),
                         kIfrsName});
  return true;
}
