#include "gemeinsam/ImportZahlen.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "gemeinsam/Schreibweise.h"

namespace {

bool istZiffer(char c) { return c >= '0' && c <= '9'; }

bool nurZiffern(const std::string& text) {
  return std::all_of(text.begin(), text.end(), istZiffer);
}

// Both indexed by Zahlenstil.
char dezimalzeichen(Zahlenstil stil) {
  const char zeichen[] = {',', '.', '.', ','};
  return zeichen[static_cast<int>(stil)];
}

char tausenderzeichen(Zahlenstil stil) {
  const char zeichen[] = {'.', ',', '\'', ' '};
  return zeichen[static_cast<int>(stil)];
}

// The digits `ganz` grouped in threes and `bruch` behind the decimal
// separator, written in the style.
std::string gruppiert(const std::string& ganz, const std::string& bruch,
                      Zahlenstil stil) {
  std::string text;
  for (size_t i = 0; i < ganz.size(); ++i) {
    if (i > 0 && (ganz.size() - i) % 3 == 0) text += tausenderzeichen(stil);
    text += ganz[i];
  }
  if (!bruch.empty()) text += dezimalzeichen(stil) + bruch;
  return text;
}

std::string beispiel(Zahlenstil stil) {
  const char* const name[] = {"deutschen", "englischen", "Schweizer",
                              "franzoesischen"};
  return std::string("im ") + name[static_cast<int>(stil)] + " Format wie " +
         gruppiert("1234567", "8", stil);
}

std::string int64Bereich(Zahlenstil stil) {
  return "-" + gruppiert("9223372036854775808", "", stil) + " bis " +
         gruppiert("9223372036854775807", "", stil);
}

void ersetzeAlle(std::string& text, const std::string& von, char nach) {
  for (size_t i = text.find(von); i != std::string::npos;
       i = text.find(von, i + 1)) {
    text.replace(i, von.size(), 1, nach);
  }
}

// `text` with U+2212 as its leading minus written "-" and the other group
// separators of the style written as the one tausenderzeichen() gives.
std::string einheitlich(std::string text, Zahlenstil stil) {
  const std::string_view minus = kMinuszeichen;
  if (text.compare(0, minus.size(), minus) == 0) {
    text.replace(0, minus.size(), "-");
  }
  if (stil == Zahlenstil::schweizerisch) {
    ersetzeAlle(text, "\xE2\x80\x99", '\'');  // U+2019
  } else if (stil == Zahlenstil::franzoesisch) {
    ersetzeAlle(text, "\xC2\xA0", ' ');      // U+00A0
    ersetzeAlle(text, "\xE2\x80\xAF", ' ');  // U+202F
  }
  return text;
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
  const std::string text = einheitlich(ohneRand(roh), stil);
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
        gruppiert("1234567", "8", stil);
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
    if (e == "10") return "hoechstens 1 Nachkommastelle";
    return "hoechstens " + std::to_string(e.size() - 1) + " Nachkommastellen";
  }
  return "einen Wert, der mal " + e + " ganz ist";
}

// `zahl` times `einheit` as int64; `bereich` names that range in a refusal.
std::optional<int64_t> skaliere(const Dezimal& zahl, uint64_t einheit,
                                const std::string& bereich,
                                std::string& fehler) {
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
             " ausserhalb des 64-Bit-Bereichs, erwartet " + bereich;
  }
  return wert;
}

// The digits from `i` on, moving `i` behind them.
std::string ziffernAb(const std::string& text, size_t& i) {
  const size_t anfang = i;
  while (i < text.size() && istZiffer(text[i])) ++i;
  return text.substr(anfang, i - anfang);
}

// Takes a stored number apart: an optional sign, digits with an optional
// decimal point, and an optional exponent, which is cut at 1000 either way.
bool zerlegeMitExponent(const std::string& text, Dezimal& zahl,
                        int64_t& exponent) {
  size_t i = 0;
  zahl.negativ = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  const std::string ganz = ziffernAb(text, i);
  std::string bruch;
  if (i < text.size() && text[i] == '.') bruch = ziffernAb(text, ++i);
  if (ganz.empty() && bruch.empty()) return false;
  exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    const bool minus = ++i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    const std::string hoch = ziffernAb(text, i);
    if (hoch.empty()) return false;
    for (char c : hoch)
      exponent = std::min<int64_t>(exponent * 10 + (c - '0'), 1000);
    if (minus) exponent = -exponent;
  }
  zahl.ziffern = ganz + bruch;
  zahl.nachkomma = bruch.size();
  return i == text.size();
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

// The factor `zahl` times ten to the `exponent`, exactly as given; `stil`
// writes the numbers of a refusal.
std::optional<double> alsFaktor(const Dezimal& zahl, int64_t exponent,
                                Zahlenstil stil, std::string& fehler) {
  std::string klar = zahl.ziffern;
  if (zahl.nachkomma > 0) klar.insert(klar.size() - zahl.nachkomma, ".");
  if (exponent != 0) klar += "e" + std::to_string(exponent);
  double wert = 0;
  const auto [ende, ergebnis] =
      std::from_chars(klar.data(), klar.data() + klar.size(), wert);
  const char* const etwa =
      dezimalzeichen(stil) == ',' ? "etwa 1 oder 1,0824" : "etwa 1 oder 1.0824";
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
  const long hoch =
      static_cast<long>(exponent) - static_cast<long>(zahl.nachkomma);
  if ((gueltig > 15 || wert < DBL_MIN) &&
      !(kuerzesteForm(wert) == normiere(zahl.ziffern, hoch))) {
    fehler = "ist als Faktor nicht genau darstellbar (gespeichert wuerde " +
             alsText(wert, stil) + "), erwartet hoechstens 15 gueltige Ziffern";
    return std::nullopt;
  }
  return wert;
}

/* A program that prints a double with 16 or 17 significant digits (openpyxl,
 * and so pandas, writes "%.16g") stores 97.6 as "97.59999999999999". Every
 * text of up to 15 significant digits is a double of its own, so when the
 * shortest text of that double has at most 15, the spreadsheet held that
 * number, and shows it: the text is read as it. Longer texts stay as they
 * are. */
std::string gemeinteZahl(const std::string& text) {
  Dezimal zahl;
  int64_t exponent = 0;
  if (!zerlegeMitExponent(text, zahl, exponent)) return text;
  const size_t gueltig = normiere(zahl.ziffern, 0).ziffern.size();
  double wert = 0;
  const auto [ende, fehler] =
      std::from_chars(text.data(), text.data() + text.size(), wert);
  if (gueltig < 16 || gueltig > 17 || fehler != std::errc() ||
      ende != text.data() + text.size()) {
    return text;
  }
  char kurz[64];
  const auto ergebnis = std::to_chars(kurz, kurz + sizeof kurz, wert);
  if (kuerzesteForm(wert).ziffern.size() > 15) return text;
  return std::string(kurz, ergebnis.ptr);
}

}  // namespace

std::string ohneRand(const std::string& text) {
  const size_t anfang = text.find_first_not_of(" \t");
  if (anfang == std::string::npos) return "";
  return text.substr(anfang, text.find_last_not_of(" \t") + 1 - anfang);
}

/* The exponent shifts the decimal point; a shift beyond 40 places to the left
 * of all digits, or 40 to the right, changes neither the verdict nor the value
 * of any product with a 64-bit unit (below 1 and not zero, or beyond int64,
 * unless all digits are zero), so it is cut there and no exponent makes the
 * digits long. */
bool zerlegeGespeichert(const std::string& text, Dezimal& zahl) {
  int64_t exponent = 0;
  if (!zerlegeMitExponent(text, zahl, exponent)) return false;
  const auto stellen = static_cast<int64_t>(zahl.ziffern.size());
  const int64_t schub = std::clamp<int64_t>(
      exponent - static_cast<int64_t>(zahl.nachkomma), -(stellen + 40), 40);
  if (schub >= 0) {
    zahl.ziffern.append(static_cast<size_t>(schub), '0');
    zahl.nachkomma = 0;
  } else {
    zahl.nachkomma = static_cast<size_t>(-schub);
    if (zahl.nachkomma > zahl.ziffern.size()) {
      zahl.ziffern.insert(0, zahl.nachkomma - zahl.ziffern.size(), '0');
    }
  }
  return true;
}

Betrag leseBetrag(const std::string& roh, Zahlenstil stil, uint64_t einheit,
                  std::string& fehler) {
  const Schreibweise form = zerlegeSchreibweise(roh);
  Betrag betrag;
  betrag.waehrung = form.waehrung;
  if (form.leer) {
    betrag.art = Betrag::kLeer;
    fehler = "ist leer, erwartet eine Zahl " + beispiel(stil);
    return betrag;
  }
  if (!form.gut) {
    fehler = "ist keine Zahl, erwartet eine Zahl " + beispiel(stil);
    return betrag;
  }
  Dezimal zahl;
  if (!zerlege(form.zahl, stil, zahl, fehler)) return betrag;
  zahl.negativ = zahl.negativ || form.klammer;
  if (const auto wert = skaliere(zahl, einheit, int64Bereich(stil), fehler)) {
    betrag.art = Betrag::kWert;
    betrag.wert = *wert;
  }
  return betrag;
}

std::optional<int64_t> leseGespeichertenBetrag(const std::string& text,
                                               uint64_t einheit,
                                               std::string& fehler) {
  Dezimal zahl;
  if (!zerlegeGespeichert(gemeinteZahl(text), zahl)) {
    fehler =
        "ist keine gespeicherte Zahl, erwartet eine Zahl wie 1427.9 oder "
        "4.8123E3";
    return std::nullopt;
  }
  return skaliere(zahl, einheit, "-9223372036854775808 bis 9223372036854775807",
                  fehler);
}

std::optional<double> leseFaktor(const std::string& text, Zahlenstil stil,
                                 std::string& fehler) {
  Dezimal zahl;
  if (!zerlege(text, stil, zahl, fehler)) return std::nullopt;
  return alsFaktor(zahl, 0, stil, fehler);
}

std::optional<double> leseGespeichertenFaktor(const std::string& text,
                                              std::string& fehler) {
  Dezimal zahl;
  int64_t exponent = 0;
  if (!zerlegeMitExponent(gemeinteZahl(text), zahl, exponent)) {
    fehler =
        "ist keine gespeicherte Zahl, erwartet einen Faktor wie 1 oder 1.0824";
    return std::nullopt;
  }
  return alsFaktor(zahl, exponent, Zahlenstil::englisch, fehler);
}
