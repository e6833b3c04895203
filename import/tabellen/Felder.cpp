#include "tabellen/Felder.h"

#include "gemeinsam/ImportFirma.h"

namespace {

// False, with `fehler`, for a cell that holds no value a field could take:
// a formula's error value, a formula without its result and, unless
// `datumGeht`, a date. `erwartet` says what the field takes.
bool hatWert(const Zelle& zelle, bool datumGeht, const std::string& erwartet,
             std::string& fehler) {
  switch (zelle.art) {
    case Zellart::fehler:
      fehler = "ist der Fehlerwert einer Formel, erwartet " + erwartet;
      return false;
    case Zellart::formel:
      fehler = "ist eine Formel ohne gespeichertes Ergebnis, erwartet " +
               erwartet + "; Excel und LibreOffice speichern es mit der Mappe";
      return false;
    case Zellart::datum:
      if (datumGeht) return true;
      fehler = "ist ein Datum, erwartet " + erwartet;
      return false;
    default:
      return true;
  }
}

// The style a text is read in; without one, German, which reads a text
// without separators as every style does, or nothing with `fehler` when the
// text has one.
std::optional<Zahlenstil> stilFuer(const std::string& text,
                                   std::optional<Zahlenstil> stil,
                                   std::string& fehler) {
  if (stil) return stil;
  if (text.find_first_of(".,'") == std::string::npos &&
      text.find("\xE2\x80\x99") == std::string::npos) {  // U+2019
    return Zahlenstil::deutsch;
  }
  fehler =
      "ist eine Zahl als Text mit Trennzeichen, erwartet --zahlen de, en, ch "
      "oder fr fuer ihre Schreibweise";
  return std::nullopt;
}

}  // namespace

std::optional<std::string> leseNamenszelle(const Zelle& zelle,
                                           std::string& fehler) {
  if (!hatWert(zelle, false, "den Namen der Firma", fehler)) {
    return std::nullopt;
  }
  const std::string name = ohneRand(zelle.text);
  const std::optional<std::string> falsch = namensfehler(name);
  if (falsch) {
    fehler = *falsch;
    return std::nullopt;
  }
  return name;
}

std::optional<Datum> leseDatumszelle(const Zelle& zelle, const Datum& nullpunkt,
                                     std::string& fehler) {
  if (!hatWert(zelle, true, "ein Datum", fehler)) return std::nullopt;
  if (zelle.art == Zellart::zahl) {
    return leseTagesnummer(zelle.text, nullpunkt, fehler);
  }
  return leseDatum(zelle.text, fehler);
}

std::optional<int> leseJahreszelle(const Zelle& zelle, std::string& fehler) {
  const std::string erwartet = "ein Jahr mit vier Ziffern wie 2022";
  if (!hatWert(zelle, false, erwartet, fehler)) return std::nullopt;
  const std::string text = ohneRand(zelle.text);
  std::optional<int64_t> jahr;
  if (zelle.art == Zellart::zahl) {
    jahr = leseGespeichertenBetrag(text, 1, fehler);
  } else if (text.size() == 4 &&
             text.find_first_not_of("0123456789") == std::string::npos) {
    jahr = 0;
    for (char c : text) jahr = *jahr * 10 + (c - '0');
  }
  if (jahr && *jahr >= 1000 && *jahr <= 9999) return static_cast<int>(*jahr);
  fehler = "ist kein Jahr, erwartet " + erwartet;
  return std::nullopt;
}

Betrag leseBetragszelle(const Zelle& zelle, std::optional<Zahlenstil> stil,
                        uint64_t einheit, std::string& fehler) {
  Betrag betrag;
  if (!hatWert(zelle, false, "eine Zahl", fehler)) return betrag;
  if (zelle.art == Zellart::zahl) {
    if (const auto wert =
            leseGespeichertenBetrag(zelle.text, einheit, fehler)) {
      betrag.art = Betrag::kWert;
      betrag.wert = *wert;
    }
    return betrag;
  }
  const std::optional<Zahlenstil> lesart = stilFuer(zelle.text, stil, fehler);
  return lesart ? leseBetrag(zelle.text, *lesart, einheit, fehler) : betrag;
}

std::optional<double> leseFaktorzelle(const Zelle& zelle,
                                      std::optional<Zahlenstil> stil,
                                      std::string& fehler) {
  if (!hatWert(zelle, false, "einen Faktor", fehler)) return std::nullopt;
  if (zelle.art == Zellart::zahl) {
    return leseGespeichertenFaktor(zelle.text, fehler);
  }
  const std::optional<Zahlenstil> lesart = stilFuer(zelle.text, stil, fehler);
  if (!lesart) return std::nullopt;
  return leseFaktor(zelle.text, *lesart, fehler);
}

std::optional<std::string> leseWaehrungszelle(const Zelle& zelle,
                                              std::string& fehler) {
  const std::optional<std::string> code =
      zelle.art == Zellart::text ? leseWaehrung(ohneRand(zelle.text))
                                 : std::nullopt;
  if (!code) {
    fehler =
        "ist kein Waehrungscode, erwartet drei Buchstaben wie EUR, USD oder "
        "GBP";
  }
  return code;
}

bool waehrungPasst(const std::string& zeichen, const std::string& code) {
  if (zeichen == "\xE2\x82\xAC") return code == "EUR";
  if (zeichen == "\xC2\xA3") return code == "GBP";
  if (zeichen == "$") {
    for (const char* dollar : {"USD", "AUD", "CAD", "HKD", "NZD", "SGD"}) {
      if (code == dollar) return true;
    }
    return false;
  }
  return zeichen == code;
}

bool gleicheWaehrung(const std::string& a, const std::string& b) {
  return a == b || waehrungPasst(a, b) || waehrungPasst(b, a);
}
