#include "berichte/IxbrlKontexte.h"

#include "gemeinsam/ImportFirma.h"
#include "gemeinsam/Kalender.h"

namespace {

const char kFehlerhaft[] = "Inline-XBRL fehlerhaft: ";
const std::string_view kIso4217 = "http://www.xbrl.org/2003/iso4217";

// The longest text of an identifier, a date or a measure.
constexpr size_t kMaxKontexttext = 1024;

std::string_view ohneBlanks(std::string_view text) {
  const size_t anfang = text.find_first_not_of(" \t\r\n");
  if (anfang == std::string_view::npos) return {};
  return text.substr(anfang, text.find_last_not_of(" \t\r\n") + 1 - anfang);
}

// Two digits at `i`, or -1.
int zweiZiffern(std::string_view t, size_t i) {
  if (i + 2 > t.size() || t[i] < '0' || t[i] > '9' || t[i + 1] < '0' ||
      t[i + 1] > '9') {
    return -1;
  }
  return (t[i] - '0') * 10 + (t[i + 1] - '0');
}

// A time zone, "Z" or "+01:00", or nothing.
bool istZone(std::string_view t) {
  if (t.empty() || t == "Z") return true;
  return t.size() == 6 && (t[0] == '+' || t[0] == '-') &&
         zweiZiffern(t, 1) >= 0 && t[3] == ':' && zweiZiffern(t, 4) >= 0;
}

// The time of day "Thh:mm:ss[.s...]" at the start of `t`, which then holds
// what follows; `mitternacht` when it is 00:00:00 or 24:00:00 (then `tag`
// moves to the next day).
bool leseZeit(std::string_view& t, int64_t& tag, bool& mitternacht) {
  const int h = zweiZiffern(t, 1), m = zweiZiffern(t, 4), s = zweiZiffern(t, 7);
  if (t.size() < 9 || t[0] != 'T' || t[3] != ':' || t[6] != ':' || h < 0 ||
      h > 24 || m < 0 || m > 59 || s < 0 || s > 59) {
    return false;
  }
  t.remove_prefix(9);
  bool nullBruch = true;
  if (!t.empty() && t[0] == '.') {
    size_t i = 1;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
      nullBruch = nullBruch && t[i] == '0';
    }
    if (i == 1) return false;
    t.remove_prefix(i);
  }
  mitternacht = m == 0 && s == 0 && nullBruch && (h == 0 || h == 24);
  if (h == 24 && !mitternacht) return false;
  if (h == 24) ++tag;
  return true;
}

}  // namespace

/* A date alone is that whole day: as the end of a period it is its last
 * day. Midnight starts a day, so as an end it closes the day before. */
bool IxbrlKontexte::leseTag(XmlStrom& strom, const char* element,
                            const std::string& text, bool alsEnde,
                            int64_t& tag) {
  std::string_view t = ohneBlanks(text);
  const std::optional<Datum> datum = leseIsoDatum(t.substr(0, 10));
  bool gut = datum.has_value();
  bool mitternacht = false;
  if (gut) {
    tag = tagNummer(*datum);
    t.remove_prefix(10);
    if (!t.empty() && t[0] == 'T') gut = leseZeit(t, tag, mitternacht);
    gut = gut && istZone(t);
  }
  if (!gut) {
    strom.stoppe(std::string(kFehlerhaft) + "xbrli:" + element + " " +
                 zitat(text) +
                 " ist kein Datum, erwartet etwa 2024-12-31 oder "
                 "2025-01-01T00:00:00");
    return false;
  }
  if (mitternacht && alsEnde) --tag;
  return true;
}

void IxbrlKontexte::sammle(std::string& ziel) {
  ziel.clear();
  ziel_ = &ziel;
  zuLang_ = false;
}

void IxbrlKontexte::zeichen(std::string_view text) {
  if (ziel_ == nullptr) return;
  if (ziel_->size() + text.size() > kMaxKontexttext) {
    zuLang_ = true;
  } else {
    *ziel_ += text;
  }
}

void IxbrlKontexte::beginn(XmlStrom& strom, std::string_view lokal,
                           const char** attribute) {
  const bool kontext = art_ == Art::kontext;
  const bool einheit = art_ == Art::einheit;
  if (lokal == "context" || lokal == "unit") {
    art_ = lokal == "unit" ? Art::einheit : Art::kontext;
    offen_ = Offen();
    const char* id = XmlStrom::attribut(attribute, "id");
    if (id == nullptr) {
      strom.stoppe(std::string(kFehlerhaft) + "xbrli:" + std::string(lokal) +
                   " ohne id");
    } else {
      offen_.id = id;
    }
  } else if (kontext && lokal == "identifier") {
    const char* schema = XmlStrom::attribut(attribute, "scheme");
    offen_.schema = schema == nullptr ? "" : schema;
    sammle(offen_.kennung);
  } else if (kontext && (lokal == "segment" || lokal == "scenario")) {
    offen_.aufgeschluesselt = true;
  } else if (kontext && lokal == "instant") {
    sammle(offen_.instant);
  } else if (kontext && lokal == "startDate") {
    sammle(offen_.beginn);
  } else if (kontext && lokal == "endDate") {
    sammle(offen_.ende);
  } else if (kontext && lokal == "forever") {
    offen_.ewig = true;
  } else if (einheit && lokal == "measure") {
    ++offen_.masse;
    sammle(text_);
  } else if (einheit && lokal == "divide") {
    offen_.geteilt = true;
  }
}

void IxbrlKontexte::ende(XmlStrom& strom, std::string_view lokal) {
  if (ziel_ != nullptr) {
    ziel_ = nullptr;
    if (zuLang_) {
      return strom.stoppe(std::string(kFehlerhaft) +
                          "xbrli:" + std::string(lokal) + " laenger als " +
                          std::to_string(kMaxKontexttext) + " Zeichen");
    }
  }
  if (art_ == Art::einheit && lokal == "measure") {
    std::string_view raum, waehrung;
    if (strom.loese(text_, raum, waehrung) && raum == kIso4217 &&
        leseWaehrung(std::string(waehrung))) {
      offen_.waehrung = std::string(waehrung);
    }
  } else if (art_ == Art::kontext && lokal == "context") {
    schliesseKontext(strom);
  } else if (art_ == Art::einheit && lokal == "unit") {
    schliesseEinheit(strom);
  }
}

void IxbrlKontexte::schliesseKontext(XmlStrom& strom) {
  art_ = Art::keins;
  const std::string name = "xbrli:context " + zitat(offen_.id);
  IxbrlKontext k;
  const std::string_view kennung = ohneBlanks(offen_.kennung);
  if (kennung.empty() || offen_.schema.empty()) {
    return strom.stoppe(kFehlerhaft + name + " ohne xbrli:identifier");
  }
  if (!offen_.instant.empty()) {
    if (!leseTag(strom, "instant", offen_.instant, true, k.ende)) return;
    k.zeitraum = true;
  } else if (!offen_.beginn.empty() && !offen_.ende.empty()) {
    int64_t beginn = 0;
    if (!leseTag(strom, "startDate", offen_.beginn, false, beginn) ||
        !leseTag(strom, "endDate", offen_.ende, true, k.ende)) {
      return;
    }
    k.beginn = beginn;
    k.zeitraum = true;
  } else if (!offen_.ewig) {
    return strom.stoppe(kFehlerhaft + name + " ohne xbrli:period");
  }
  k.aufgeschluesselt = offen_.aufgeschluesselt;
  std::pair<std::string, std::string> e{offen_.schema, std::string(kennung)};
  const auto [platz, neu] = entitaetNummer_.try_emplace(e, entitaeten_.size());
  if (neu) entitaeten_.push_back(std::move(e));
  k.entitaet = platz->second;
  if (!kontexte_.emplace(offen_.id, k).second) {
    strom.stoppe(kFehlerhaft + name + " steht zweimal im Dokumentsatz");
  }
}

void IxbrlKontexte::schliesseEinheit(XmlStrom& strom) {
  art_ = Art::keins;
  const bool geld = offen_.masse == 1 && !offen_.geteilt;
  if (!einheiten_.emplace(offen_.id, geld ? offen_.waehrung : "").second) {
    strom.stoppe(std::string(kFehlerhaft) + "xbrli:unit " + zitat(offen_.id) +
                 " steht zweimal im Dokumentsatz");
  }
}

const IxbrlKontext* IxbrlKontexte::kontext(const std::string& id) const {
  const auto it = kontexte_.find(id);
  return it == kontexte_.end() ? nullptr : &it->second;
}

const std::string* IxbrlKontexte::waehrung(const std::string& id) const {
  const auto it = einheiten_.find(id);
  return it == einheiten_.end() ? nullptr : &it->second;
}
