#include "berichte/IxbrlFormate.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

// The registries, one bit each; an entry of kFormate names those that have
// the format.
constexpr unsigned kR1 = 1, kR2 = 2, kR3 = 4, kR4 = 8, kR5 = 16, kSec = 32,
                   kOhneFormat = 64;

struct Raum {
  std::string_view uri;
  unsigned bit;
};

const Raum kRaeume[] = {
    {"http://www.xbrl.org/2008/inlineXBRL/transformation", kR1},
    {"http://www.xbrl.org/inlineXBRL/transformation/2010-04-20", kR1},
    {"http://www.xbrl.org/inlineXBRL/transformation/2011-07-31", kR2},
    {"http://www.xbrl.org/inlineXBRL/transformation/2015-02-26", kR3},
    {"http://www.xbrl.org/inlineXBRL/transformation/2020-02-12", kR4},
    {"http://www.xbrl.org/inlineXBRL/transformation/2022-02-16", kR5},
    {"http://www.sec.gov/inlineXBRL/transformation/2015-08-31", kSec},
};

// The characters that may group the digits of a number, one bit each.
constexpr unsigned kKomma = 1, kPunkt = 2, kBlank = 4;
constexpr unsigned kNbsp = 8;        // U+00A0
constexpr unsigned kSchmal = 16;     // U+202F, the narrow no-break space
constexpr unsigned kApostroph = 32;  // ' and U+2019
constexpr unsigned kLeerraum = kBlank | kNbsp;

enum class Art {
  dezimal,         // grouped digits, a decimal separator, digits
  indisch,         // the same, grouped as 12,34,567
  einheit,         // "3,000 dollar 5 cent": whole units, then hundredths
  einheitIndisch,  // "12,34,567 rupees 8 paise"
  strich,          // a dash alone is zero
  null,            // any text is zero
  leer,            // any text, no value
  worte,           // English number words
};

struct Format {
  std::string_view name;
  unsigned raeume;
  Art art;
  char komma;        // the decimal separator of dezimal and indisch
  unsigned gruppen;  // what may group the digits of the whole part
  bool ohneGanzes;   // ".45": the whole part may be left out
};

const Format kFormate[] = {
    // Registry 1 (and its draft namespace): one grouping character each.
    {"numcommadot", kR1, Art::dezimal, '.', kKomma, false},
    {"numdotcomma", kR1, Art::dezimal, ',', kPunkt, false},
    {"numspacedot", kR1, Art::dezimal, '.', kLeerraum, false},
    {"numspacecomma", kR1, Art::dezimal, ',', kLeerraum, false},
    {"numcomma", kR1, Art::dezimal, ',', 0, false},
    {"numdash", kR1, Art::strich, 0, 0, false},
    // Registries 2 and 3.
    {"numdotdecimal", kR2 | kR3, Art::dezimal, '.', kKomma | kLeerraum, false},
    {"numcommadecimal", kR2 | kR3, Art::dezimal, ',', kPunkt | kLeerraum,
     false},
    {"numunitdecimal", kR2 | kR3, Art::einheit, 0, kKomma | kPunkt, false},
    {"zerodash", kR2 | kR3, Art::strich, 0, 0, false},
    {"nocontent", kR2 | kR3, Art::leer, 0, 0, false},
    {"numdotdecimalin", kR3, Art::indisch, '.', kKomma | kLeerraum, false},
    {"numunitdecimalin", kR3, Art::einheitIndisch, 0, kKomma | kLeerraum,
     false},
    // Registries 4 and 5: the whole part may be left out, and narrow
    // no-break spaces group as well.
    {"num-dot-decimal", kR4 | kR5, Art::dezimal, '.',
     kKomma | kLeerraum | kSchmal, true},
    {"num-comma-decimal", kR4 | kR5, Art::dezimal, ',',
     kPunkt | kLeerraum | kSchmal, true},
    {"num-unit-decimal", kR4 | kR5, Art::einheit, 0, kKomma | kPunkt, false},
    {"num-dot-decimal-in", kR4 | kR5, Art::indisch, '.',
     kKomma | kLeerraum | kSchmal, true},
    {"num-unit-decimal-in", kR4 | kR5, Art::einheitIndisch, 0,
     kKomma | kLeerraum | kSchmal, false},
    {"fixed-zero", kR4 | kR5, Art::null, 0, 0, false},
    {"fixed-empty", kR4 | kR5, Art::leer, 0, 0, false},
    // Registry 5: apostrophes group too, as in Switzerland.
    {"num-dot-decimal-apos", kR5, Art::dezimal, '.',
     kKomma | kLeerraum | kSchmal | kApostroph, true},
    {"num-comma-decimal-apos", kR5, Art::dezimal, ',',
     kPunkt | kLeerraum | kSchmal | kApostroph, true},
    {"numwordsen", kSec, Art::worte, 0, 0, false},
    // A figure without format: a plain number.
    {"", kOhneFormat, Art::dezimal, '.', 0, true},
};

// The dashes that stand for zero.
const char32_t kStriche[] = {0x2D,   0x58A,  0x5BE,  0x2010, 0x2011, 0x2012,
                             0x2013, 0x2014, 0x2015, 0xFE58, 0xFE63, 0xFF0D};

// A text longer than this is no number, whatever its format.
constexpr size_t kMaxZahltext = 4096;

const Format* findeFormat(std::string_view raum, std::string_view lokal) {
  unsigned bit = raum.empty() && lokal.empty() ? kOhneFormat : 0;
  for (const Raum& r : kRaeume) {
    if (r.uri == raum) bit = r.bit;
  }
  for (const Format& f : kFormate) {
    if ((f.raeume & bit) != 0 && f.name == lokal) return &f;
  }
  return nullptr;
}

// The next code point of the UTF-8 text `t` from `i` on, moving `i` behind
// it; a byte that starts no sequence counts as U+FFFD.
char32_t naechstes(std::string_view t, size_t& i) {
  const auto b = static_cast<unsigned char>(t[i++]);
  if (b < 0x80) return b;
  const int folge = b >= 0xF8 ? -1 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
  if (folge < 0 || b < 0xC0) return 0xFFFD;
  char32_t c = b & (0x3Fu >> folge);
  for (int k = 0; k < folge; ++k) {
    if (i >= t.size() || (static_cast<unsigned char>(t[i]) & 0xC0) != 0x80) {
      return 0xFFFD;
    }
    c = (c << 6) | (static_cast<unsigned char>(t[i++]) & 0x3Fu);
  }
  return c;
}

// The code points of `text` without the XML blanks around it; with `breit`,
// full-width digits, commas and full stops as their ASCII twins.
std::u32string zeichen(std::string_view text, bool breit) {
  const size_t anfang = text.find_first_not_of(" \t\r\n");
  if (anfang == std::string_view::npos) return {};
  text = text.substr(anfang, text.find_last_not_of(" \t\r\n") + 1 - anfang);
  std::u32string z;
  for (size_t i = 0; i < text.size();) {
    char32_t c = naechstes(text, i);
    if (breit && c >= 0xFF0C && c <= 0xFF19 && c != 0xFF0D && c != 0xFF0F) {
      c -= 0xFF00 - 0x20;
    }
    z += c;
  }
  return z;
}

bool istZiffer(char32_t c) { return c >= '0' && c <= '9'; }

unsigned gruppenbit(char32_t c) {
  switch (c) {
    case ',':
      return kKomma;
    case '.':
      return kPunkt;
    case ' ':
      return kBlank;
    case 0xA0:
      return kNbsp;
    case 0x202F:
      return kSchmal;
    case '\'':
    case 0x2019:
      return kApostroph;
    default:
      return 0;
  }
}

// The whole part of a number: its digits and the lengths of the runs of
// digits between grouping characters.
struct Ganzes {
  std::string ziffern;
  std::vector<size_t> laengen;
};

// Reads z[von, bis) as digits grouped by the characters `gruppen`; false
// when something else stands there or a grouping character does not stand
// between two digits.
bool leseGanzes(const std::u32string& z, size_t von, size_t bis,
                unsigned gruppen, Ganzes& ganz) {
  size_t lauf = 0;
  for (size_t i = von; i < bis; ++i) {
    if (istZiffer(z[i])) {
      ganz.ziffern += static_cast<char>(z[i]);
      ++lauf;
    } else if ((gruppenbit(z[i]) & gruppen) != 0 && lauf > 0) {
      ganz.laengen.push_back(lauf);
      lauf = 0;
    } else {
      return false;
    }
  }
  ganz.laengen.push_back(lauf);
  return lauf > 0;
}

// Whether the runs stand as the grouping asks. Ungrouped digits always do.
// Western: every run after the first holds a multiple of three digits (a
// grouping character may be left out). Indian: the first run holds one or
// two, the last three and every one between them two.
bool gruppenRichtig(const std::vector<size_t>& laengen, bool indisch) {
  const size_t n = laengen.size();
  if (n == 1) return true;
  for (size_t i = 1; i < n; ++i) {
    const size_t l = laengen[i];
    if (!indisch && l % 3 != 0) return false;
    if (indisch && l != (i + 1 == n ? 3u : 2u)) return false;
  }
  return !indisch || laengen[0] <= 2;
}

// Digits without their leading zeros ("0" when nothing is left) and, where
// there are any, a point and the digits `bruch`.
std::string zahltext(const std::string& ganz, const std::string& bruch) {
  const size_t erste = ganz.find_first_not_of('0');
  std::string text = erste == std::string::npos ? "0" : ganz.substr(erste);
  return bruch.empty() ? text : text + "." + bruch;
}

Formatwert wert(std::string zahl) {
  return {Formatwert::kWert, std::move(zahl)};
}

Formatwert dezimal(const std::u32string& z, const Format& f) {
  const size_t komma =
      f.komma == 0 ? z.npos : z.find(static_cast<char32_t>(f.komma));
  const size_t ende = std::min(komma, z.size());
  std::string bruch;
  for (size_t i = ende + 1; i < z.size(); ++i) {
    if (!istZiffer(z[i])) return {};
    bruch += static_cast<char>(z[i]);
  }
  if (komma != z.npos && bruch.empty()) return {};
  Ganzes ganz;
  const bool ohne = ende == 0 && f.ohneGanzes && !bruch.empty();
  if (!ohne && (!leseGanzes(z, 0, ende, f.gruppen, ganz) ||
                !gruppenRichtig(ganz.laengen, f.art == Art::indisch))) {
    return {};
  }
  return wert(zahltext(ganz.ziffern, bruch));
}

// The rest of a text of whole units and hundredths from `p` on: the name of
// the unit, one or two digits, the name of the hundredths. Names hold no
// digit and, where `trennerFrei`, no comma or full stop.
bool einheitRest(const std::u32string& z, size_t p, bool trennerFrei,
                 std::string& hundertstel) {
  const auto name = [&](char32_t c) {
    return !istZiffer(c) && !(trennerFrei && (c == ',' || c == '.'));
  };
  const size_t anfang = p;
  while (p < z.size() && name(z[p])) ++p;
  if (p == anfang) return false;
  for (; p < z.size() && istZiffer(z[p]); ++p) {
    hundertstel += static_cast<char>(z[p]);
  }
  if (hundertstel.empty() || hundertstel.size() > 2) return false;
  if (hundertstel.size() == 1) hundertstel.insert(0, "0");
  return std::all_of(z.begin() + static_cast<std::ptrdiff_t>(p), z.end(), name);
}

/* Where the whole units end is found as a pattern matcher would: from the
 * longest run of digits and grouping characters at the start back to shorter
 * ones, each ending in a digit that no digit follows, the first that leaves
 * a valid rest. */
Formatwert einheit(const std::u32string& z, const Format& f) {
  const bool indisch = f.art == Art::einheitIndisch;
  size_t ende = 0;
  while (ende < z.size() &&
         (istZiffer(z[ende]) || (gruppenbit(z[ende]) & f.gruppen) != 0)) {
    ++ende;
  }
  for (size_t p = ende; p > 0; --p) {
    if (!istZiffer(z[p - 1]) || (p < z.size() && istZiffer(z[p]))) continue;
    Ganzes ganz;
    std::string hundertstel;
    // Western whole units have no leading zero, but for zero itself.
    const bool nullFrei = indisch || z[0] != '0' || p == 1;
    if (leseGanzes(z, 0, p, f.gruppen, ganz) &&
        gruppenRichtig(ganz.laengen, indisch) && nullFrei &&
        einheitRest(z, p, !indisch, hundertstel)) {
      return wert(zahltext(ganz.ziffern, hundertstel));
    }
  }
  return {};
}

Formatwert strich(const std::u32string& z) {
  const bool gut = z.size() == 1 &&
                   std::find(std::begin(kStriche), std::end(kStriche), z[0]) !=
                       std::end(kStriche);
  return gut ? wert("0") : Formatwert{};
}

struct Zahlwort {
  std::string_view wort;
  uint64_t wert;
};

const Zahlwort kEiner[] = {
    {"one", 1},        {"two", 2},       {"three", 3},     {"four", 4},
    {"five", 5},       {"six", 6},       {"seven", 7},     {"eight", 8},
    {"nine", 9},       {"ten", 10},      {"eleven", 11},   {"twelve", 12},
    {"thirteen", 13},  {"fourteen", 14}, {"fifteen", 15},  {"sixteen", 16},
    {"seventeen", 17}, {"eighteen", 18}, {"nineteen", 19},
};
const Zahlwort kZehner[] = {{"twenty", 20}, {"thirty", 30}, {"forty", 40},
                            {"fifty", 50},  {"sixty", 60},  {"seventy", 70},
                            {"eighty", 80}, {"ninety", 90}};
const Zahlwort kGross[] = {{"trillion", UINT64_C(1000000000000)},
                           {"billion", 1000000000},
                           {"million", 1000000},
                           {"thousand", 1000}};

uint64_t suche(const Zahlwort* anfang, const Zahlwort* ende,
               std::string_view wort) {
  const Zahlwort* w = std::find_if(
      anfang, ende, [&](const Zahlwort& z) { return z.wort == wort; });
  return w == ende ? 0 : w->wert;
}

// The words of `z` in lower case, split at blanks, hyphens and commas; false
// for a character that is none of these and no ASCII letter.
bool woerter(const std::u32string& z, std::vector<std::string>& liste) {
  std::string wort;
  for (size_t i = 0; i <= z.size(); ++i) {
    const char32_t c = i < z.size() ? z[i] : ' ';
    if (c == ' ' || c == '-' || c == ',' || c == '\t' || c == '\n' ||
        c == '\r') {
      if (!wort.empty()) liste.push_back(wort);
      wort.clear();
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      wort += static_cast<char>(c | 0x20);
    } else {
      return false;
    }
  }
  return !liste.empty();
}

/* "two hundred and five thousand, forty-one": ones, teens and tens add up to
 * a part below a thousand ("hundred" multiplies the one before it), which
 * each of thousand, million, billion and trillion, in falling order, closes;
 * "and" may stand between words. "no", "none" and "zero" alone are 0. */
Formatwert worte(const std::u32string& z) {
  std::vector<std::string> liste;
  if (!woerter(z, liste)) return {};
  if (liste.size() == 1 &&
      (liste[0] == "no" || liste[0] == "none" || liste[0] == "zero")) {
    return wert("0");
  }
  uint64_t summe = 0, teil = 0, letzteGroesse = UINT64_MAX;
  enum { kNichts, kEins, kZehn, kHundert } vorher = kNichts;
  for (size_t i = 0; i < liste.size(); ++i) {
    const std::string& w = liste[i];
    const uint64_t eins = suche(std::begin(kEiner), std::end(kEiner), w);
    const uint64_t zehn = suche(std::begin(kZehner), std::end(kZehner), w);
    const uint64_t gross = suche(std::begin(kGross), std::end(kGross), w);
    if (w == "and" && i > 0 && i + 1 < liste.size()) continue;
    if (eins > 0 && vorher != kEins && (vorher != kZehn || eins < 10)) {
      teil += eins;
      vorher = kEins;
    } else if (zehn > 0 && vorher != kEins && vorher != kZehn) {
      teil += zehn;
      vorher = kZehn;
    } else if (w == "hundred" && vorher == kEins && teil < 10) {
      teil *= 100;
      vorher = kHundert;
    } else if (gross > 0 && teil > 0 && gross < letzteGroesse) {
      summe += teil * gross;
      teil = 0;
      letzteGroesse = gross;
      vorher = kNichts;
    } else {
      return {};
    }
  }
  return wert(std::to_string(summe + teil));
}

}  // namespace

Formatwert leseFormatiert(std::string_view raum, std::string_view lokal,
                          std::string_view text) {
  const Format* f = findeFormat(raum, lokal);
  if (f == nullptr) return {Formatwert::kUnbekannt, ""};
  if (f->art == Art::leer) return {Formatwert::kLeer, ""};
  if (f->art == Art::null) return wert("0");
  if (text.size() > kMaxZahltext) return {};
  const bool einheitlich =
      f->art == Art::einheit || f->art == Art::einheitIndisch;
  const std::u32string z = zeichen(text, einheitlich);
  switch (f->art) {
    case Art::strich:
      return strich(z);
    case Art::worte:
      return worte(z);
    case Art::einheit:
    case Art::einheitIndisch:
      return einheit(z, *f);
    default:
      return dezimal(z, *f);
  }
}
