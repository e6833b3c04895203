#include "berichte/Sec.h"

#include <algorithm>
#include <cstring>

#include "berichte/Konzepte.h"
#include "gemeinsam/Kalender.h"

namespace {

// The members of one entry of a concept's list of values.
struct Eintrag {
  std::optional<std::string_view> text[5];  // start, end, form, filed, accn
  std::string_view val;
};

const char* const kTextglieder[5] = {"start", "end", "form", "filed", "accn"};
enum { kStart, kEnde, kForm, kEingereicht, kAccn };

class SecLeser {
 public:
  SecLeser(JsonLeser& json, Befund& befund) : json_(json), befund_(befund) {
    datei_ = sammler_.datei(json.quelle());
  }

  bool lies();

 private:
  bool leseCik(oj::value wert);
  bool leseFakten(oj::value wert);
  bool leseRaum(oj::value wert, std::string_view raum);
  bool leseKonzept(oj::value wert, const Konzept& konzept);
  bool leseEintrag(oj::value wert, const Konzept& konzept,
                   std::string_view einheit);
  bool leseGlieder(oj::value wert, Eintrag& eintrag);
  bool datum(std::string_view token, const char* glied, std::string_view text,
             int64_t& tag);

  JsonLeser& json_;
  Befund& befund_;
  Jahressammler sammler_;
  size_t datei_ = 0;
  std::optional<std::string> name_;
};

bool SecLeser::lies() {
  oj::object wurzel;
  if (!json_.wurzel(wurzel)) return false;
  for (auto feld : wurzel) {
    oj::field f;
    if (!json_.gut(std::move(feld).get(f))) return false;
    const oj::raw_json_string schluessel = f.key();
    std::optional<std::string_view> name;
    const bool gut = schluessel.is_equal("cik")     ? leseCik(f.value())
                     : schluessel.is_equal("facts") ? leseFakten(f.value())
                     : schluessel.is_equal("entityName")
                         ? json_.text(f.value(), "entityName", name)
                         : json_.uebergehe(f.value());
    if (!gut) return false;
    if (name) name_ = std::string(*name);
  }
  if (!json_.amEnde()) return false;
  befund_.firma.art = Quellenart::sec;
  befund_.firma.quelle = json_.quelle();
  setzeName(befund_, name_, befund_.firma.kennung, json_.quelle(),
            "\"entityName\"");
  sammler_.baue(befund_);
  return true;
}

// The CIK as a number or as a text of digits, with its leading zeros dropped.
bool SecLeser::leseCik(oj::value wert) {
  const std::string_view token = wert.raw_json_token();
  std::optional<std::string_view> text;
  std::string_view zahl;
  oj::json_type typ{};
  if (!json_.gut(wert.type().get(typ))) return false;
  const bool gelesen = typ == oj::json_type::number
                           ? json_.zahl(wert, "cik", zahl)
                           : json_.text(wert, "cik", text);
  if (!gelesen) return false;
  std::string ziffern(text ? *text : zahl);
  if (ziffern.empty() || ziffern.size() > 10 ||
      ziffern.find_first_not_of("0123456789") != std::string::npos) {
    return json_.fehler(token, "\"cik\": " + zitat(ziffern) +
                                   " ist keine CIK, erwartet eine Nummer wie "
                                   "1640147");
  }
  ziffern.erase(0,
                std::min(ziffern.find_first_not_of('0'), ziffern.size() - 1));
  befund_.firma.kennung = "CIK " + ziffern;
  return true;
}

bool SecLeser::leseFakten(oj::value wert) {
  oj::object raeume;
  if (!json_.objekt(wert, "facts", raeume)) return false;
  for (auto feld : raeume) {
    oj::field f;
    std::string_view raum;
    if (!json_.gut(std::move(feld).get(f)) ||
        !json_.gut(f.unescaped_key().get(raum))) {
      return false;
    }
    const bool gelesen = raum == "us-gaap" || raum == "ifrs-full"
                             ? leseRaum(f.value(), raum)
                             : json_.uebergehe(f.value());
    if (!gelesen) return false;
  }
  return true;
}

bool SecLeser::leseRaum(oj::value wert, std::string_view raum) {
  oj::object konzepte;
  if (!json_.objekt(wert, raum, konzepte)) return false;
  const std::string raumName(raum);
  for (auto feld : konzepte) {
    oj::field f;
    std::string_view name;
    if (!json_.gut(std::move(feld).get(f)) ||
        !json_.gut(f.unescaped_key().get(name))) {
      return false;
    }
    const Konzept* konzept = findeKonzept(raumName, name);
    const bool gelesen = konzept != nullptr ? leseKonzept(f.value(), *konzept)
                                            : json_.uebergehe(f.value());
    if (!gelesen) return false;
  }
  return true;
}

bool SecLeser::leseKonzept(oj::value wert, const Konzept& konzept) {
  oj::object glieder;
  if (!json_.objekt(wert, konzept.name, glieder)) return false;
  for (auto feld : glieder) {
    oj::field f;
    if (!json_.gut(std::move(feld).get(f))) return false;
    if (!f.key().is_equal("units")) {
      if (!json_.uebergehe(f.value())) return false;
      continue;
    }
    oj::object einheiten;
    if (!json_.objekt(f.value(), "units", einheiten)) return false;
    for (auto e : einheiten) {
      oj::field einheit;
      std::string_view code;
      oj::array liste;
      if (!json_.gut(std::move(e).get(einheit)) ||
          !json_.gut(einheit.unescaped_key().get(code))) {
        return false;
      }
      const std::string name(code);
      if (!json_.liste(einheit.value(), name, liste)) return false;
      for (auto element : liste) {
        oj::value w;
        if (!json_.gut(std::move(element).get(w)) ||
            !leseEintrag(w, konzept, name)) {
          return false;
        }
      }
    }
  }
  return true;
}

bool SecLeser::leseGlieder(oj::value wert, Eintrag& eintrag) {
  oj::object glieder;
  if (!json_.objekt(wert, "ein Eintrag", glieder)) return false;
  bool hatVal = false;
  for (auto feld : glieder) {
    oj::field f;
    if (!json_.gut(std::move(feld).get(f))) return false;
    const oj::raw_json_string schluessel = f.key();
    int glied = 0;
    while (glied < 5 && !schluessel.is_equal(kTextglieder[glied])) ++glied;
    bool gut = true;
    if (glied < 5) {
      gut = json_.text(f.value(), kTextglieder[glied], eintrag.text[glied]);
    } else if (schluessel.is_equal("val")) {
      gut = json_.zahl(f.value(), "val", eintrag.val);
      hatVal = true;
    } else {
      gut = json_.uebergehe(f.value());
    }
    if (!gut) return false;
  }
  for (int glied : {kEnde, kForm, kEingereicht, kAccn}) {
    if (!eintrag.text[glied]) {
      return json_.fehler(
          wert.raw_json_token(),
          std::string("ein Eintrag ohne \"") + kTextglieder[glied] + "\"");
    }
  }
  return hatVal ||
         json_.fehler(wert.raw_json_token(), "ein Eintrag ohne \"val\"");
}

bool SecLeser::datum(std::string_view token, const char* glied,
                     std::string_view text, int64_t& tag) {
  const std::optional<Datum> d = leseIsoDatum(text);
  if (d) tag = tagNummer(*d);
  return d || json_.fehler(token, "\"" + std::string(glied) +
                                      "\": " + zitat(std::string(text)) +
                                      " ist kein Datum, erwartet ein Datum "
                                      "wie 2024-01-31");
}

bool SecLeser::leseEintrag(oj::value wert, const Konzept& konzept,
                           std::string_view einheit) {
  const std::string_view token = wert.raw_json_token();
  Eintrag eintrag;
  if (!leseGlieder(wert, eintrag)) return false;
  int64_t ende = 0;
  int64_t eingereicht = 0;
  int64_t beginn = 0;
  if (!datum(token, "end", *eintrag.text[kEnde], ende) ||
      !datum(token, "filed", *eintrag.text[kEingereicht], eingereicht) ||
      (eintrag.text[kStart] &&
       !datum(token, "start", *eintrag.text[kStart], beginn))) {
    return false;
  }
  if (!istJahresformular(*eintrag.text[kForm])) return true;
  const std::string stand = std::string(*eintrag.text[kEingereicht]) + " " +
                            std::string(*eintrag.text[kAccn]);
  befund_.stand = std::max(befund_.stand, stand);
  sammler_.dazu(Fakt{
      konzept.feld, konzept.rang, konzept.name,
      eintrag.text[kStart] ? std::optional<int64_t>(beginn) : std::nullopt,
      ende, std::string(einheit), stand, std::string(eintrag.val), datei_, ""});
  return true;
}

}  // namespace

bool leseSec(JsonLeser& leser, Befund& befund) {
  befund = Befund();
  return SecLeser(leser, befund).lies();
}
