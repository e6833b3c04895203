#include "berichte/Xbrl.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "gemeinsam/Kalender.h"

namespace {

// Per field, the concept that comes first when several have a value.
const Konzept kKonzepte[] = {
    {"ifrs-full:Revenue", 0, 0},
    {"ifrs-full:RevenueFromContractsWithCustomers", 0, 1},
    {"ifrs-full:ProfitLoss", 1, 0},
    {"ifrs-full:ProfitLossAttributableToOwnersOfParent", 1, 1},
    {"ifrs-full:Assets", 2, 0},
    {"ifrs-full:Equity", 3, 0},
    {"ifrs-full:EquityAttributableToOwnersOfParent", 3, 1},
};

const char kNamenskonzept[] =
    "ifrs-full:NameOfReportingEntityOrOtherMeansOfIdentification";

const Konzept* findeKonzept(std::string_view name) {
  for (const Konzept& k : kKonzepte) {
    if (name == k.name) return &k;
  }
  return nullptr;
}

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

// A fact of this file kept for the company `lei`.
struct Offen {
  std::string lei;
  Fakt fakt;
};

class XbrlLeser {
 public:
  explicit XbrlLeser(JsonLeser& json) : json_(json) {}

  bool lies();

  std::vector<Offen> fakten;
  std::vector<std::pair<std::string, std::string>> namen;  // LEI, name

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
  const bool name = *d.konzept == kNamenskonzept;
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
  lei.erase(0, std::min(lei.find(':') + 1, lei.size()));
  if (name) {
    namen.emplace_back(lei, std::string(*text));
    return true;
  }
  fakten.push_back(
      {lei, Fakt{konzept->feld, konzept->rang, konzept->name, beginn, ende,
                 std::string(d.einheit->substr(iso.size())), "",
                 std::string(*text), 0}});
  return true;
}

}  // namespace

bool XbrlSammlung::lies(JsonLeser& leser) {
  std::optional<XbrlLeser> datei;
  datei.emplace(leser);
  if (!datei->lies()) return false;
  // The file's stand: its latest day, then the order of the files.
  std::optional<int64_t> neuester;
  for (const Offen& o : datei->fakten) {
    neuester = std::max(neuester.value_or(o.fakt.ende), o.fakt.ende);
  }
  char nummer[24];
  std::snprintf(nummer, sizeof nummer, " %08zu", dateien_++);
  const std::string stand =
      (neuester ? isoText(*neuester) : std::string("0000-00-00")) + nummer;
  std::map<std::string, size_t> nummern;
  const auto firma = [&](const std::string& lei) -> Firma& {
    auto [platz, neu] = firmen_.try_emplace(lei);
    if (neu) {
      reihenfolge_.push_back(lei);
      platz->second.ersteDatei = leser.quelle();
    }
    if (nummern.count(lei) == 0) {
      nummern[lei] = platz->second.sammler.datei(leser.quelle());
    }
    return platz->second;
  };
  for (Offen& o : datei->fakten) {
    Firma& f = firma(o.lei);
    o.fakt.stand = stand;
    o.fakt.datei = nummern[o.lei];
    f.sammler.dazu(std::move(o.fakt));
  }
  for (auto& [lei, name] : datei->namen) {
    Firma& f = firma(lei);
    if (!f.name || stand > f.nameStand) {
      f.name = name;
      f.nameStand = stand;
    }
  }
  return true;
}

std::vector<Befund> XbrlSammlung::befunde() const {
  std::vector<Befund> alle;
  for (const std::string& lei : reihenfolge_) {
    const Firma& f = firmen_.at(lei);
    Befund befund;
    befund.firma.art = Quellenart::xbrl;
    befund.firma.kennung = "LEI " + lei;
    befund.firma.quelle = f.ersteDatei;
    setzeName(befund, f.name, lei, f.ersteDatei, std::string(kNamenskonzept));
    f.sammler.baue(befund);
    alle.push_back(std::move(befund));
  }
  return alle;
}
