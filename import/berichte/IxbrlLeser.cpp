#include "berichte/IxbrlLeser.h"

#include <tuple>
#include <utility>

#include "berichte/IxbrlFormate.h"
#include "berichte/IxbrlZahl.h"
#include "gemeinsam/ImportFirma.h"

namespace {

const std::string_view kIx = "http://www.xbrl.org/2013/inlineXBRL";
const std::string_view kIx10 = "http://www.xbrl.org/2008/inlineXBRL";
const std::string_view kXbrli = "http://www.xbrl.org/2003/instance";
const char kNil[] = "http://www.w3.org/2001/XMLSchema-instance nil";
const std::string kFehlerhaft = "Inline-XBRL fehlerhaft: ";

// The continuations kept in case a text read later continues in them.
constexpr size_t kMaxVorrat = 256;

bool beginntMit(std::string_view text, std::string_view anfang) {
  return text.substr(0, anfang.size()) == anfang;
}

// A year or a date as taxonomies put it into their namespace.
bool istJahr(std::string_view text) {
  return !text.empty() &&
         text.find_first_not_of("0123456789-") == std::string_view::npos;
}

// The prefix the import names the concepts of the namespace `raum` with,
// whatever the year of the taxonomy; empty for another namespace.
std::string_view kanonisch(std::string_view raum) {
  const std::string_view gaap = "http://fasb.org/us-gaap/";
  const std::string_view dei = "http://xbrl.sec.gov/dei/";
  const std::string_view ifrs = "/ifrs-full";
  if (beginntMit(raum, gaap) && istJahr(raum.substr(gaap.size()))) {
    return "us-gaap";
  }
  if (beginntMit(raum, dei) && istJahr(raum.substr(dei.size()))) return "dei";
  for (std::string_view vorn :
       {"http://xbrl.ifrs.org/taxonomy/", "https://xbrl.ifrs.org/taxonomy/"}) {
    if (beginntMit(raum, vorn) && raum.size() > vorn.size() + ifrs.size() &&
        raum.substr(raum.size() - ifrs.size()) == ifrs &&
        istJahr(raum.substr(vorn.size(),
                            raum.size() - vorn.size() - ifrs.size()))) {
      return "ifrs-full";
    }
  }
  return {};
}

bool istIx(std::string_view raum) { return raum == kIx || raum == kIx10; }

// `text` cut to at most `laenge` bytes, not inside a UTF-8 sequence.
void schneide(std::string& text, size_t laenge) {
  if (text.size() <= laenge) return;
  while (laenge > 0 &&
         (static_cast<unsigned char>(text[laenge]) & 0xC0) == 0x80)
    --laenge;
  text.resize(laenge);
}

// `text` with no-break spaces as blanks and every run of blanks, tabs and
// line ends as one blank, none at either end.
std::string zusammengezogen(std::string_view text) {
  std::string aus;
  bool luecke = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool nbsp =
        text[i] == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0';
    if (nbsp || text[i] == ' ' || text[i] == '\t' || text[i] == '\r' ||
        text[i] == '\n') {
      luecke = !aus.empty();
      i += nbsp ? 1 : 0;
      continue;
    }
    if (luecke) aus += ' ';
    luecke = false;
    aus += text[i];
  }
  return aus;
}

// An integer of at most `grenze` either way, with an optional sign.
bool leseKleineZahl(std::string_view text, int grenze, int& wert) {
  const bool minus = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  wert = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || wert > grenze) return false;
    wert = wert * 10 + (c - '0');
  }
  if (wert > grenze) return false;
  if (minus) wert = -wert;
  return true;
}

bool leseDezimalen(std::string_view text, IxbrlDezimalen& d) {
  if (text == "INF") {
    d.art = IxbrlDezimalen::kUnendlich;
    return true;
  }
  d.art = IxbrlDezimalen::kStellen;
  return leseKleineZahl(text, 1000, d.stellen);
}

}  // namespace

bool IxbrlLeser::lies(const std::string& datei, std::string_view bytes,
                      std::string& fehler) {
  dateien_.push_back(datei);
  XmlStrom strom(datei);
  strom_ = &strom;
  offen_.clear();
  tiefe_ = 0;
  const bool gut = strom.lies(bytes, *this, fehler);
  strom_ = nullptr;
  return gut;
}

void IxbrlLeser::beginn(std::string_view raum, std::string_view lokal,
                        const char** attribute) {
  ++tiefe_;
  if (!wurzelGesehen_) {
    wurzel_ = strom_->stelle();
    wurzelGesehen_ = true;
  }
  if (raum == kXbrli) {
    kontexte_.beginn(*strom_, lokal, attribute);
  } else if (!istIx(raum)) {
    return;
  } else if (lokal == "nonFraction" || lokal == "nonNumeric") {
    beginnFakt(lokal, attribute);
  } else if (lokal == "continuation") {
    beginnStueck(attribute);
  } else if (lokal == "exclude") {
    for (Sammler& s : offen_) ++s.ausschluss;
  }
}

void IxbrlLeser::ende(std::string_view raum, std::string_view lokal) {
  if (raum == kXbrli) kontexte_.ende(*strom_, lokal);
  if (istIx(raum) && lokal == "exclude") {
    for (Sammler& s : offen_) s.ausschluss -= s.ausschluss > 0 ? 1 : 0;
  }
  if (!offen_.empty() && offen_.back().tiefe == tiefe_) {
    Sammler s = std::move(offen_.back());
    offen_.pop_back();
    schliesse(s);
  }
  --tiefe_;
}

void IxbrlLeser::zeichen(std::string_view text) {
  if (kontexte_.sammelt()) kontexte_.zeichen(text);
  for (Sammler& s : offen_) {
    if (s.ausschluss > 0 || s.zuLang) continue;
    s.text += text;
    if (s.text.size() > kMaxWortlaut) {
      schneide(s.text, kMaxWortlaut);
      s.zuLang = true;
    }
  }
}

void IxbrlLeser::beginnFakt(std::string_view lokal, const char** attribute) {
  const char* name = XmlStrom::attribut(attribute, "name");
  std::string_view raum, lokalname;
  if (name == nullptr || !strom_->loese(name, raum, lokalname)) return;
  const std::string_view praefix = kanonisch(raum);
  if (praefix.empty()) return;
  Roh roh;
  roh.fakt.konzept = std::string(praefix) + ":" + std::string(lokalname);
  const char* nil = XmlStrom::attribut(attribute, kNil);
  if (!gesucht_(roh.fakt.konzept) ||
      (nil != nullptr &&
       (std::string_view(nil) == "true" || std::string_view(nil) == "1"))) {
    return;
  }
  roh.fakt.datei = dateien_.size() - 1;
  roh.stelle = strom_->stelle();
  const char* kontext = XmlStrom::attribut(attribute, "contextRef");
  if (kontext == nullptr) {
    return strom_->stoppe(kFehlerhaft + "ix:" + std::string(lokal) + " " +
                          roh.fakt.konzept + " ohne contextRef");
  }
  roh.kontext = kontext;
  Sammler s{};
  s.tiefe = tiefe_;
  if (lokal == "nonNumeric") {
    s.art = Sammler::kText;
    s.index = texte_.size();
    const char* weiter = XmlStrom::attribut(attribute, "continuedAt");
    if (weiter != nullptr) {
      roh.weiter = weiter;
      brauche(weiter);
    }
    texte_.push_back(std::move(roh));
  } else {
    if (!leseAttribute(attribute, roh, s)) return;
    s.art = Sammler::kZahl;
    s.index = zahlen_.size();
    zahlen_.push_back(std::move(roh));
  }
  offen_.push_back(std::move(s));
}

// The attributes of an ix:nonFraction that say how its text is read; one
// that is not as it must be is the fact's Mangel.
bool IxbrlLeser::leseAttribute(const char** attribute, Roh& roh, Sammler& s) {
  const char* einheit = XmlStrom::attribut(attribute, "unitRef");
  if (einheit == nullptr) {
    strom_->stoppe(kFehlerhaft + "ix:nonFraction " + roh.fakt.konzept +
                   " ohne unitRef");
    return false;
  }
  roh.einheit = einheit;
  if (const char* format = XmlStrom::attribut(attribute, "format")) {
    std::string_view raum, lokal;
    s.format = format;
    s.formatGebunden = strom_->loese(format, raum, lokal);
    s.formatRaum = std::string(raum);
    s.formatLokal = std::string(lokal);
  }
  const auto falsch = [&](const char* name, const char* wert) {
    roh.fakt.mangel = IxbrlFakt::kAttributFalsch;
    roh.fakt.format = name;
    roh.fakt.text = wert;
  };
  const char* skala = XmlStrom::attribut(attribute, "scale");
  const char* dezimalen = XmlStrom::attribut(attribute, "decimals");
  const char* vorzeichen = XmlStrom::attribut(attribute, "sign");
  if (skala != nullptr && !leseKleineZahl(skala, 100, s.skala)) {
    falsch("scale", skala);
  }
  if (dezimalen != nullptr && !leseDezimalen(dezimalen, roh.fakt.dezimalen)) {
    falsch("decimals", dezimalen);
  }
  if (vorzeichen != nullptr && std::string_view(vorzeichen) != "-") {
    falsch("sign", vorzeichen);
  }
  s.negativ = vorzeichen != nullptr;
  return true;
}

void IxbrlLeser::beginnStueck(const char** attribute) {
  const char* id = XmlStrom::attribut(attribute, "id");
  if (id == nullptr) return;
  const bool noetig = benoetigt_.count(id) > 0;
  if (!noetig && vorrat_ == kMaxVorrat) {
    verworfen_ = true;
    return;
  }
  vorrat_ += noetig ? 0 : 1;
  const char* weiter = XmlStrom::attribut(attribute, "continuedAt");
  stuecke_[id].weiter = weiter == nullptr ? "" : weiter;
  if (noetig && weiter != nullptr) brauche(weiter);
  Sammler s{};
  s.art = Sammler::kStueck;
  s.tiefe = tiefe_;
  s.id = id;
  offen_.push_back(std::move(s));
}

// Marks the continuation `id` and those that continue it, as far as known,
// as parts of a text kept.
void IxbrlLeser::brauche(std::string id) {
  while (benoetigt_.insert(id).second) {
    const auto it = stuecke_.find(id);
    if (it == stuecke_.end() || it->second.weiter.empty()) return;
    id = it->second.weiter;
  }
}

void IxbrlLeser::schliesse(Sammler& s) {
  if (s.art == Sammler::kZahl) return schliesseZahl(s);
  if (s.art == Sammler::kText) {
    Roh& roh = texte_[s.index];
    roh.fakt.text = std::move(s.text);
    roh.gekuerzt = s.zuLang;
    return;
  }
  Stueck& stueck = stuecke_[s.id];
  stueck.text = std::move(s.text);
  stueck.gekuerzt = s.zuLang;
}

void IxbrlLeser::schliesseZahl(Sammler& s) {
  Roh& roh = zahlen_[s.index];
  IxbrlFakt& f = roh.fakt;
  if (f.mangel != IxbrlFakt::kKeiner) return;
  const Formatwert w =
      !s.formatGebunden ? Formatwert{Formatwert::kUnbekannt, ""}
      : s.zuLang        ? Formatwert{}
                        : leseFormatiert(s.formatRaum, s.formatLokal, s.text);
  if (w.art == Formatwert::kWert) {
    Dezimal zahl = verschiebe(*leseDezimal(w.zahl), s.skala);
    zahl.negativ = s.negativ;
    f.wert = dezimalText(zahl);
    return;
  }
  roh.ohneWert = w.art == Formatwert::kLeer;
  f.mangel = w.art == Formatwert::kUnbekannt ? IxbrlFakt::kFormatUnbekannt
                                             : IxbrlFakt::kTextAbgelehnt;
  f.format = s.format;
  f.text = zusammengezogen(s.text);
}

const IxbrlKontext* IxbrlLeser::kontext(const Roh& roh,
                                        std::string& fehler) const {
  const IxbrlKontext* k = kontexte_.kontext(roh.kontext);
  if (k == nullptr) {
    fehler = XmlStrom::meldung(dateien_[roh.fakt.datei], roh.stelle,
                               kFehlerhaft + roh.fakt.konzept +
                                   " nennt den Kontext " + zitat(roh.kontext) +
                                   ", den kein Dokument des Satzes hat");
  }
  return k;
}

bool IxbrlLeser::fuegeZusammen(const Roh& roh, IxbrlText& text,
                               std::string& fehler) const {
  std::string wortlaut = roh.fakt.text;
  text.gekuerzt = roh.gekuerzt;
  std::set<std::string> gesehen;
  for (std::string weiter = roh.weiter; !weiter.empty() &&
                                        gesehen.insert(weiter).second &&
                                        wortlaut.size() <= kMaxWortlaut;) {
    const auto it = stuecke_.find(weiter);
    if (it == stuecke_.end() && verworfen_) {
      text.gekuerzt = true;
      break;
    }
    if (it == stuecke_.end()) {
      fehler = XmlStrom::meldung(
          dateien_[roh.fakt.datei], roh.stelle,
          kFehlerhaft + roh.fakt.konzept + " geht in ix:continuation " +
              zitat(weiter) + " weiter, die kein Dokument des Satzes hat");
      return false;
    }
    wortlaut += it->second.text;
    text.gekuerzt = text.gekuerzt || it->second.gekuerzt;
    weiter = it->second.weiter;
  }
  text.wortlaut = zusammengezogen(wortlaut);
  if (text.wortlaut.size() > kMaxWortlaut) {
    schneide(text.wortlaut, kMaxWortlaut);
    text.gekuerzt = true;
  }
  return true;
}

bool IxbrlLeser::schliesse(IxbrlSatz& satz, std::string& fehler) {
  if (kontexte_.anzahl() == 0) {
    fehler = XmlStrom::meldung(
        dateien_.empty() ? "" : dateien_[0], wurzel_,
        kFehlerhaft +
            "kein xbrli:context, erwartet ein Inline-XBRL-Dokument "
            "mit Kontexten");
    return false;
  }
  satz.dateien = dateien_;
  for (const Roh& roh : zahlen_) {
    const IxbrlKontext* k = kontext(roh, fehler);
    if (k == nullptr) return false;
    const std::string* waehrung = kontexte_.waehrung(roh.einheit);
    if (waehrung == nullptr) {
      fehler = XmlStrom::meldung(
          dateien_[roh.fakt.datei], roh.stelle,
          kFehlerhaft + roh.fakt.konzept + " nennt die Einheit " +
              zitat(roh.einheit) + ", die kein Dokument des Satzes hat");
      return false;
    }
    if (roh.ohneWert || !k->zeitraum) continue;
    IxbrlFakt f = roh.fakt;
    std::tie(f.schema, f.kennung) = kontexte_.entitaet(k->entitaet);
    f.beginn = k->beginn;
    f.ende = k->ende;
    f.aufgeschluesselt = k->aufgeschluesselt;
    f.waehrung = *waehrung;
    satz.fakten.push_back(std::move(f));
  }
  for (const Roh& roh : texte_) {
    const IxbrlKontext* k = kontext(roh, fehler);
    IxbrlText t;
    if (k == nullptr || !fuegeZusammen(roh, t, fehler)) return false;
    t.konzept = roh.fakt.konzept;
    std::tie(t.schema, t.kennung) = kontexte_.entitaet(k->entitaet);
    t.datei = roh.fakt.datei;
    satz.texte.push_back(std::move(t));
  }
  return true;
}
