#include "ImportZahlen.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cstdlib>
#include <vector>

namespace {

// A number of either style taken apart: its sign, all its digits and how many
// of them stand after the decimal separator.
struct Dezimal {
  bool negativ = false;
  std::string ziffern;
  size_t nachkomma = 0;
};

bool istZiffer(char c) { return c >= '0' && c <= '9'; }

bool nurZiffern(const std::string& text) {
  return std::all_of(text.begin(), text.end(), istZiffer);
}

char dezimalzeichen(Zahlenstil stil) {
  return stil == Zahlenstil::deutsch ? ',' : '.';
}

char tausenderzeichen(Zahlenstil stil) {
  return stil == Zahlenstil::deutsch ? '.' : ',';
}

std::string beispiel(Zahlenstil stil) {
  return stil == Zahlenstil::deutsch ? "im deutschen Format wie 1.234.567,8"
                                     : "im englischen Format wie 1,234,567.8";
}

// Whether the integer digits `ganz` are either ungrouped or grouped as one to
// three digits followed by groups of exactly three.
bool gruppenRichtig(const std::string& ganz, char tausender) {
  size_t anfang = 0;
  size_t ende = ganz.find(tausender);
  if (ende == std::string::npos) return true;
  if (ende == 0 || ende > 3) return false;
  while (ende != std::string::npos) {
    anfang = ende + 1;
    ende = ganz.find(tausender, anfang);
    const size_t laenge =
        (ende == std::string::npos ? ganz.size() : ende) - anfang;
    if (laenge != 3) return false;
  }
  return true;
}

// Takes `roh` apart as a number of the style; false with `fehler` when it is
// none.
bool zerlege(const std::string& roh, Zahlenstil stil, Dezimal& zahl,
             std::string& fehler) {
  const std::string text = ohneRand(roh);
  if (text.empty()) {
    fehler = "ist leer, erwartet eine Zahl " + beispiel(stil);
    return false;
  }
  const char tausender = tausenderzeichen(stil);
  const size_t vorzeichen = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  const size_t komma = text.find(dezimalzeichen(stil), vorzeichen);
  const std::string ganz = text.substr(vorzeichen, komma - vorzeichen);
  const std::string bruch =
      komma == std::string::npos ? "" : text.substr(komma + 1);
  std::string ziffern = ganz + bruch;
  ziffern.erase(std::remove(ziffern.begin(), ziffern.end(), tausender),
                ziffern.end());
  if (ganz.empty() || !istZiffer(ganz[0]) ||
      (komma != std::string::npos && bruch.empty()) || !nurZiffern(ziffern)) {
    fehler = "ist keine Zahl, erwartet eine Zahl " + beispiel(stil);
    return false;
  }
  if (!gruppenRichtig(ganz, tausender) ||
      bruch.find(tausender) != std::string::npos) {
    fehler =
        "hat ein Tausendertrennzeichen an falscher Stelle, erwartet "
        "Dreiergruppen wie " +
        std::string(stil == Zahlenstil::deutsch ? "1.234.567,8"
                                                : "1,234,567.8");
    return false;
  }
  zahl.negativ = text[0] == '-';
  zahl.ziffern = ziffern;
  zahl.nachkomma = bruch.size();
  return true;
}

// The decimal digits `ziffern` times `faktor`, as ziffern.size() + 20 digits
// with leading zeros: long multiplication, one decimal digit at a time, so
// any number of digits is exact.
std::string multipliziere(const std::string& ziffern, uint64_t faktor) {
  const std::string f = std::to_string(faktor);
  // Least significant digit first; a place sums at most 20 products of 81.
  std::vector<unsigned> stellen(ziffern.size() + 20, 0);
  for (size_t i = 0; i < ziffern.size(); ++i) {
    const auto a = static_cast<unsigned>(ziffern[ziffern.size() - 1 - i] - '0');
    for (size_t j = 0; j < f.size(); ++j) {
      stellen[i + j] += a * static_cast<unsigned>(f[f.size() - 1 - j] - '0');
    }
  }
  unsigned uebertrag = 0;
  for (unsigned& s : stellen) {
    s += uebertrag;
    uebertrag = s / 10;
    s %= 10;
  }
  std::string produkt;
  for (auto s = stellen.rbegin(); s != stellen.rend(); ++s) {
    produkt += static_cast<char>('0' + *s);
  }
  return produkt;
}

// The digits `ziffern` (no leading zeros) with the sign as int64, or nothing
// when they leave its range.
std::optional<int64_t> alsInt64(const std::string& ziffern, bool negativ) {
  const std::string grenze =
      negativ ? "9223372036854775808" : "9223372036854775807";
  if (ziffern.size() > grenze.size() ||
      (ziffern.size() == grenze.size() && ziffern > grenze)) {
    return std::nullopt;
  }
  uint64_t betrag = 0;
  for (char c : ziffern) betrag = betrag * 10 + static_cast<uint64_t>(c - '0');
  if (!negativ) return static_cast<int64_t>(betrag);
  if (betrag == UINT64_C(9223372036854775808)) return INT64_MIN;
  return -static_cast<int64_t>(betrag);
}

// What an amount must look like to be whole after scaling by `einheit`.
std::string erwarteteStellen(uint64_t einheit) {
  const std::string e = std::to_string(einheit);
  if (e == "1") return "eine ganze Zahl";
  if (e.find_first_not_of('0', 1) == std::string::npos) {
    return "hoechstens " + std::to_string(e.size() - 1) + " Nachkommastellen";
  }
  return "einen Wert, der mal " + e + " ganz ist";
}

std::optional<int64_t> skaliere(const Dezimal& zahl, Zahlenstil stil,
                                uint64_t einheit, std::string& fehler) {
  std::string produkt = multipliziere(zahl.ziffern, einheit);
  const std::string e = std::to_string(einheit);
  const size_t ganz = produkt.size() - zahl.nachkomma;
  if (produkt.find_first_not_of('0', ganz) != std::string::npos) {
    fehler = "ergibt mal Einheit " + e + " keinen ganzen Betrag, erwartet " +
             erwarteteStellen(einheit);
    return std::nullopt;
  }
  produkt.resize(ganz);
  produkt.erase(0, std::min(produkt.find_first_not_of('0'), produkt.size()));
  const std::optional<int64_t> wert = alsInt64(produkt, zahl.negativ);
  if (!wert) {
    fehler = "liegt mal Einheit " + e +
             " ausserhalb des 64-Bit-Bereichs, erwartet " +
             (stil == Zahlenstil::deutsch
                  ? "-9.223.372.036.854.775.808 bis 9.223.372.036.854.775.807"
                  : "-9,223,372,036,854,775,808 bis "
                    "9,223,372,036,854,775,807");
  }
  return wert;
}

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

// `text` split at `trenner` into exactly three non-empty runs of digits.
bool dreiTeile(const std::string& text, char trenner, std::string teil[3]) {
  size_t anfang = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t ende = text.find(trenner, anfang);
    if ((ende == std::string::npos) != (i == 2)) return false;
    teil[i] = text.substr(anfang, ende - anfang);
    if (teil[i].empty() || !nurZiffern(teil[i])) return false;
    anfang = ende + 1;
  }
  return true;
}

std::optional<Datum> zerlegeDatum(const std::string& text) {
  const char trenner = text.find('.') != std::string::npos ? '.' : '-';
  std::string teil[3];
  if (!dreiTeile(text, trenner, teil)) return std::nullopt;
  if (trenner == '-' && teil[0].size() == 4) std::swap(teil[0], teil[2]);
  if (teil[0].size() > 2 || teil[1].size() > 2 || teil[2].size() != 4) {
    return std::nullopt;
  }
  return Datum{alsZahl(teil[0]), alsZahl(teil[1]), alsZahl(teil[2])};
}

// A positive decimal number as its significant digits, without leading and
// trailing zeros, and the power of ten of the last of them: 1,0500 is "105"
// and -2. Two numbers are equal when both parts are.
struct Normalform {
  std::string ziffern;
  long exponent;

  bool operator==(const Normalform& b) const {
    return ziffern == b.ziffern && exponent == b.exponent;
  }
};

Normalform normiere(const std::string& ziffern, long exponent) {
  const size_t anfang = ziffern.find_first_not_of('0');
  if (anfang == std::string::npos) return {"", 0};
  const size_t ende = ziffern.find_last_not_of('0') + 1;
  return {ziffern.substr(anfang, ende - anfang),
          exponent + static_cast<long>(ziffern.size() - ende)};
}

// `wert` as the shortest decimal that reads back as it, "d.ddde+XX".
Normalform kuerzesteForm(double wert) {
  char text[64];
  const auto ergebnis = std::to_chars(text, text + sizeof text, wert,
                                      std::chars_format::scientific);
  const std::string form(text, ergebnis.ptr);
  const size_t e = form.find('e');
  std::string ziffern = form.substr(0, e);
  ziffern.erase(std::remove(ziffern.begin(), ziffern.end(), '.'),
                ziffern.end());
  const long hoch = std::strtol(form.c_str() + e + 1, nullptr, 10);
  return normiere(ziffern, hoch - static_cast<long>(ziffern.size()) + 1);
}

// `wert` in plain digits with the decimal separator of the style.
std::string alsText(double wert, Zahlenstil stil) {
  char text[400];  // the longest, 5e-324, takes 326 characters
  const auto ergebnis =
      std::to_chars(text, text + sizeof text, wert, std::chars_format::fixed);
  std::string aus(text, ergebnis.ptr);
  std::replace(aus.begin(), aus.end(), '.', dezimalzeichen(stil));
  return aus;
}

}  // namespace

std::string ohneRand(const std::string& text) {
  const size_t anfang = text.find_first_not_of(" \t");
  if (anfang == std::string::npos) return "";
  return text.substr(anfang, text.find_last_not_of(" \t") + 1 - anfang);
}

std::optional<int64_t> leseBetrag(const std::string& text, Zahlenstil stil,
                                  uint64_t einheit, std::string& fehler) {
  Dezimal zahl;
  if (!zerlege(text, stil, zahl, fehler)) return std::nullopt;
  return skaliere(zahl, stil, einheit, fehler);
}

std::optional<double> leseFaktor(const std::string& text, Zahlenstil stil,
                                 std::string& fehler) {
  Dezimal zahl;
  if (!zerlege(text, stil, zahl, fehler)) return std::nullopt;
  std::string klar = zahl.ziffern;
  if (zahl.nachkomma > 0) klar.insert(klar.size() - zahl.nachkomma, ".");
  double wert = 0;
  const auto [ende, ergebnis] =
      std::from_chars(klar.data(), klar.data() + klar.size(), wert);
  const char* const etwa =
      stil == Zahlenstil::deutsch ? "etwa 1 oder 1,0824" : "etwa 1 oder 1.0824";
  if (ergebnis != std::errc() || ende != klar.data() + klar.size()) {
    fehler =
        std::string("liegt ausserhalb des Zahlenbereichs, erwartet ") + etwa;
    return std::nullopt;
  }
  if (zahl.negativ || wert == 0) {
    fehler = std::string("ist kein Faktor groesser als 0, erwartet ") + etwa;
    return std::nullopt;
  }
  // The data file holds the double's shortest decimal; it must be the very
  // number given, not one 17 digits near it. Up to 15 significant digits
  // every normal double is that number.
  const size_t anfang = zahl.ziffern.find_first_not_of('0');
  const size_t gueltig = zahl.ziffern.find_last_not_of('0') + 1 - anfang;
  if ((gueltig > 15 || wert < DBL_MIN) &&
      !(kuerzesteForm(wert) ==
        normiere(zahl.ziffern, -static_cast<long>(zahl.nachkomma)))) {
    fehler = "ist als Faktor nicht genau darstellbar (gespeichert wuerde " +
             alsText(wert, stil) + "), erwartet hoechstens 15 gueltige Ziffern";
    return std::nullopt;
  }
  return wert;
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
