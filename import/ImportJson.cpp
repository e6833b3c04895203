#include "ImportJson.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr std::string_view kXbrlJson = "https://xbrl.org/2021/xbrl-json";

// The largest part uebergehe() checks in one go: its DOM parser takes some
// 14 bytes of address space per byte of the part, and touches about 3 bytes
// per byte for the parts it checks.
constexpr size_t kSchnellGrenze = size_t{1} << 20;

// The first byte of `text` that does not begin a valid UTF-8 sequence.
size_t ersteNichtUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    const size_t folge = b >= 0xC2 && b <= 0xDF   ? 1
                         : b >= 0xE0 && b <= 0xEF ? 2
                         : b >= 0xF0 && b <= 0xF4 ? 3
                                                  : 0;
    if (folge == 0 || i + folge >= text.size()) return i;
    uint32_t zeichen = b & (0x3Fu >> folge);
    for (size_t k = 1; k <= folge; ++k) {
      const auto f = static_cast<unsigned char>(text[i + k]);
      if ((f & 0xC0) != 0x80) return i;
      zeichen = (zeichen << 6) | (f & 0x3Fu);
    }
    const uint32_t kleinstes[4] = {0, 0x80, 0x800, 0x10000};
    if (zeichen < kleinstes[folge] || zeichen > 0x10FFFF ||
        (zeichen >= 0xD800 && zeichen <= 0xDFFF)) {
      return i;
    }
    i += folge + 1;
  }
  return text.size();
}

// Where the failure lies that simdjson finds before it reads the first value
// and does not place: the first byte that is no UTF-8, a control character
// in a string, or the opening quote of a string left open.
size_t stelleVorDemLesen(std::string_view text, simdjson::error_code code) {
  if (code == simdjson::UTF8_ERROR) return ersteNichtUtf8(text);
  bool inText = false;
  size_t anfang = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!inText) {
      inText = text[i] == '"';
      anfang = i;
    } else if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      inText = false;
    } else if (static_cast<unsigned char>(text[i]) < 0x20 &&
               code == simdjson::UNESCAPED_CHARS) {
      return i;
    }
  }
  return inText ? anfang : text.size();
}

// "ZEILE:SPALTE" of the byte `stelle`, both counted from 1, the column in
// characters.
std::string zeileUndSpalte(std::string_view text, size_t stelle) {
  size_t zeile = 1;
  size_t spalte = 1;
  for (size_t i = 0; i < stelle && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++zeile;
      spalte = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++spalte;
    }
  }
  return std::to_string(zeile) + ":" + std::to_string(spalte);
}

std::string beschreibung(simdjson::error_code code) {
  switch (code) {
    case simdjson::TAPE_ERROR:
      return "ein Komma, ein Doppelpunkt oder eine Klammer fehlt oder steht "
             "falsch";
    case simdjson::INCOMPLETE_ARRAY_OR_OBJECT:
      return "das Dokument endet nicht mit seiner schliessenden Klammer; ist "
             "die Datei abgeschnitten?";
    case simdjson::UNCLOSED_STRING:
      return "eine Zeichenkette wird nicht geschlossen";
    case simdjson::UNESCAPED_CHARS:
      return "ein Steuerzeichen steht ungeschuetzt in einer Zeichenkette";
    case simdjson::UTF8_ERROR:
      return "die Bytes hier sind kein UTF-8";
    case simdjson::STRING_ERROR:
      return "eine Zeichenkette hat eine ungueltige Escape-Folge";
    case simdjson::NUMBER_ERROR:
      return "keine gueltige Zahl";
    case simdjson::T_ATOM_ERROR:
    case simdjson::F_ATOM_ERROR:
    case simdjson::N_ATOM_ERROR:
      return "ein unbekanntes Wort, erwartet true, false oder null";
    case simdjson::DEPTH_ERROR:
      return "zu tief verschachtelt";
    case simdjson::TRAILING_CONTENT:
      return "hinter dem Ende des JSON-Werts steht noch etwas";
    case simdjson::EMPTY:
      return "kein JSON-Wert";
    default:
      return std::string("nicht lesbar (") + simdjson::error_message(code) +
             ")";
  }
}

// The message of a failure simdjson reports.
std::string kaputt(simdjson::error_code code) {
  return "JSON fehlerhaft: " + beschreibung(code);
}

bool istLeerraum(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

std::string_view ohneLeerraum(std::string_view token) {
  while (!token.empty() && istLeerraum(token.back())) token.remove_suffix(1);
  return token;
}

bool istHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
         (c >= 'A' && c <= 'F');
}

// Whether every escape of the string token `roh` (from its opening quote) is
// one JSON knows.
bool escapesGut(std::string_view roh) {
  if (roh.find('\\') == std::string_view::npos) return true;
  for (size_t i = 1; i < roh.size() && roh[i] != '"'; ++i) {
    if (roh[i] != '\\') continue;
    const char art = i + 1 < roh.size() ? roh[i + 1] : '\0';
    if (art == 'u') {
      for (size_t k = i + 2; k < i + 6; ++k) {
        if (k >= roh.size() || !istHex(roh[k])) return false;
      }
      i += 5;
    } else if (art != '\0' && std::strchr("\"\\/bfnrt", art) != nullptr) {
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

bool istZiffer(char c) { return c >= '0' && c <= '9'; }

size_t ziffernAb(std::string_view text, size_t i) {
  while (i < text.size() && istZiffer(text[i])) ++i;
  return i;
}

// A number taken apart: its sign, its digits without the decimal point, how
// many of them stand before the point, and the exponent.
struct Zahlteile {
  bool negativ = false;
  std::string_view ganz;
  std::string_view bruch;
  int64_t exponent = 0;
};

// Splits `text` as [+-]digits[.digits][(e|E)[+-]digits] with at least one
// digit before the exponent; false when it is not of that form.
bool zerlegeZahl(std::string_view text, Zahlteile& teile) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    teile.negativ = text[i++] == '-';
  }
  size_t e = ziffernAb(text, i);
  teile.ganz = text.substr(i, e - i);
  i = e;
  if (i < text.size() && text[i] == '.') {
    e = ziffernAb(text, i + 1);
    teile.bruch = text.substr(i + 1, e - i - 1);
    i = e;
  }
  if (teile.ganz.empty() && teile.bruch.empty()) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    const bool minus = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    e = ziffernAb(text, i);
    if (e == i) return false;
    // Beyond a million the number is far outside any range anyway.
    for (; i < e; ++i) {
      teile.exponent =
          std::min<int64_t>(teile.exponent * 10 + (text[i] - '0'), 1000000);
    }
    if (minus) teile.exponent = -teile.exponent;
  }
  return i == text.size();
}

}  // namespace

JsonLeser::JsonLeser(oj::parser& parser, std::string_view text,
                     std::string quelle)
    : parser_(parser), text_(text), quelle_(std::move(quelle)) {
  if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
}

bool JsonLeser::beginne() {
  // Grown in doubling steps, the parser's buffers are made anew only a few
  // times over a run of files of growing size, and the heap stays compact.
  simdjson::error_code code = simdjson::SUCCESS;
  if (parser_.capacity() < text_.size()) {
    size_t kapazitaet = std::max<size_t>(parser_.capacity(), 1 << 16);
    while (kapazitaet < text_.size()) kapazitaet *= 2;
    code = parser_.allocate(kapazitaet);
  }
  if (code == simdjson::SUCCESS) {
    code =
        parser_.iterate(text_.data(), text_.size(), text_.size() + kJsonPolster)
            .get(dokument_);
  }
  if (code == simdjson::SUCCESS) return true;
  fehlerBei(stelleVorDemLesen(text_, code), kaputt(code));
  return false;
}

Jsonart JsonLeser::art() {
  if (!beginne()) return Jsonart::keine;
  bool sec[3] = {false, false, false};
  bool xbrl = false;
  oj::object wurzel;
  const simdjson::error_code code = dokument_.get_object().get(wurzel);
  // Another type is no failure: the document is then neither kind.
  if (code != simdjson::INCORRECT_TYPE && !gut(code)) return Jsonart::keine;
  if (code == simdjson::SUCCESS) {
    for (auto feld : wurzel) {
      oj::field f;
      if (!gut(std::move(feld).get(f))) return Jsonart::keine;
      const oj::raw_json_string name = f.key();
      sec[0] = sec[0] || name.is_equal("cik");
      sec[1] = sec[1] || name.is_equal("entityName");
      sec[2] = sec[2] || name.is_equal("facts");
      oj::object info;
      std::string_view typ;
      xbrl = xbrl ||
             (name.is_equal("documentInfo") &&
              f.value().get_object().get(info) == simdjson::SUCCESS &&
              info.find_field_unordered("documentType").get_string().get(typ) ==
                  simdjson::SUCCESS &&
              typ == kXbrlJson);
      // Both kinds are told before "facts", nearly all of the file, is
      // passed over; the readers then go through all of it anyway.
      if (xbrl || (sec[0] && sec[1] && sec[2])) break;
    }
  }
  if (!meldung_.empty()) return Jsonart::keine;
  if (xbrl) return Jsonart::xbrl;
  if (sec[0] && sec[1] && sec[2]) return Jsonart::sec;
  fehlerBei(text_.find_first_not_of(" \t\r\n"),
            "JSON, aber weder SEC-Firmendaten (mit \"cik\", \"entityName\" und "
            "\"facts\") noch ein xBRL-JSON-Bericht (\"documentType\": \"" +
                std::string(kXbrlJson) + "\")");
  return Jsonart::keine;
}

bool JsonLeser::wurzel(oj::object& objekt) {
  dokument_.rewind();
  return gut(dokument_.get_object().get(objekt));
}

bool JsonLeser::amEnde() {
  const auto ort = dokument_.current_location();
  if (ort.error() == simdjson::OUT_OF_BOUNDS) return true;
  return gut(ort.error() != simdjson::SUCCESS ? ort.error()
                                              : simdjson::TRAILING_CONTENT);
}

bool JsonLeser::typFehler(oj::value& wert, std::string_view name,
                          const char* erwartet) {
  return fehler(wert.raw_json_token(),
                "\"" + std::string(name) + "\" ist " + erwartet);
}

bool JsonLeser::objekt(oj::value wert, std::string_view name,
                       oj::object& objekt) {
  oj::json_type typ{};
  if (!gut(wert.type().get(typ))) return false;
  if (typ != oj::json_type::object) return typFehler(wert, name, "kein Objekt");
  return gut(wert.get_object().get(objekt));
}

bool JsonLeser::liste(oj::value wert, std::string_view name, oj::array& liste) {
  oj::json_type typ{};
  if (!gut(wert.type().get(typ))) return false;
  if (typ != oj::json_type::array) return typFehler(wert, name, "keine Liste");
  return gut(wert.get_array().get(liste));
}

bool JsonLeser::text(oj::value wert, std::string_view name,
                     std::optional<std::string_view>& text) {
  oj::json_type typ{};
  if (!gut(wert.type().get(typ))) return false;
  text.reset();
  if (typ == oj::json_type::null) return pruefe(wert);
  if (typ != oj::json_type::string) return typFehler(wert, name, "kein Text");
  std::string_view gelesen;
  if (!gut(wert.get_string().get(gelesen))) return false;
  text = gelesen;
  return true;
}

bool JsonLeser::zahl(oj::value wert, std::string_view name,
                     std::string_view& text) {
  oj::json_type typ{};
  if (!gut(wert.type().get(typ))) return false;
  if (typ != oj::json_type::number) return typFehler(wert, name, "keine Zahl");
  text = ohneLeerraum(wert.raw_json_token());
  return istJsonZahl(text) || fehler(text, kaputt(simdjson::NUMBER_ERROR));
}

/* Scalars are looked at as tokens and left unconsumed: the loop over their
 * object or list passes over them. */
bool JsonLeser::pruefe(oj::value wert) {
  oj::json_type typ{};
  if (!gut(wert.type().get(typ))) return false;
  const std::string_view token = ohneLeerraum(wert.raw_json_token());
  switch (typ) {
    case oj::json_type::object: {
      oj::object objekt;
      if (!gut(wert.get_object().get(objekt))) return false;
      for (auto feld : objekt) {
        oj::field f;
        if (!gut(std::move(feld).get(f)) || !pruefe(f.value())) return false;
      }
      return true;
    }
    case oj::json_type::array: {
      oj::array liste;
      if (!gut(wert.get_array().get(liste))) return false;
      for (auto element : liste) {
        oj::value w;
        if (!gut(std::move(element).get(w)) || !pruefe(w)) return false;
      }
      return true;
    }
    case oj::json_type::number:
      return istJsonZahl(token) ||
             fehler(token, kaputt(simdjson::NUMBER_ERROR));
    case oj::json_type::string:
      return escapesGut(token) || fehler(token, kaputt(simdjson::STRING_ERROR));
    case oj::json_type::boolean:
    case oj::json_type::null:
      return token == "true" || token == "false" || token == "null" ||
             fehler(token, kaputt(simdjson::T_ATOM_ERROR));
  }
  return true;
}

bool JsonLeser::uebergehe(oj::value wert) {
  oj::json_type typ{};
  if (!schnell_ || wert.type().get(typ) != simdjson::SUCCESS ||
      (typ != oj::json_type::object && typ != oj::json_type::array)) {
    return pruefe(wert);
  }
  const bool istObjekt = typ == oj::json_type::object;
  oj::object objekt;
  oj::array liste;
  simdjson::error_code code =
      istObjekt ? wert.get_object().get(objekt) : wert.get_array().get(liste);
  std::string_view teil;
  if (code == simdjson::SUCCESS) {
    code = istObjekt ? objekt.raw_json().get(teil) : liste.raw_json().get(teil);
  }
  if (code == simdjson::SUCCESS && schnellGueltig(teil)) return true;
  nochmal_ = true;
  return false;
}

// Whether `teil`, an object or a list with what follows it up to the next
// token, is valid JSON by simdjson's DOM parser, which checks all that
// pruefe() checks, and more (escapes in keys, surrogate pairs, the range of
// numbers), so that what it takes pruefe() takes too.
bool JsonLeser::schnellGueltig(std::string_view teil) {
  // One parser for every document of a run: made once, it touches the same
  // memory for every part it checks.
  static simdjson::dom::parser pruefer(kSchnellGrenze);
  if (teil.size() > kSchnellGrenze ||
      (pruefer.capacity() == 0 &&
       pruefer.allocate(kSchnellGrenze) != simdjson::SUCCESS)) {
    return false;
  }
  // `teil` lies within text_, and so has kJsonPolster readable bytes behind
  // it.
  simdjson::dom::element wurzel;
  return pruefer.parse(teil.data(), teil.size(), false).get(wurzel) ==
         simdjson::SUCCESS;
}

bool JsonLeser::lies(const std::function<bool()>& lesen) {
  schnell_ = true;
  const bool gelesen = lesen();
  schnell_ = false;
  if (gelesen || !nochmal_ || !meldung_.empty()) return gelesen;
  nochmal_ = false;
  // After a failed On Demand read the document cannot be rewound.
  return beginne() && lesen();
}

bool JsonLeser::gut(simdjson::error_code code) {
  if (code == simdjson::SUCCESS) return true;
  if (meldung_.empty()) {
    // An unclosed document is found at its start but lies at its end.
    const auto ort = dokument_.current_location();
    const bool offen = code == simdjson::INCOMPLETE_ARRAY_OR_OBJECT;
    fehlerBei(ort.error() == simdjson::SUCCESS && !offen
                  ? stelle(ort.value_unsafe())
                  : text_.find_last_not_of(" \t\r\n") + 1,
              kaputt(code));
  }
  return false;
}

bool JsonLeser::fehler(std::string_view token, const std::string& text) {
  fehlerBei(stelle(token), text);
  return false;
}

void JsonLeser::fehlerBei(size_t stelle, const std::string& text) {
  if (meldung_.empty()) {
    meldung_ =
        quelle_ + ":" + zeileUndSpalte(text_, stelle) + ": " + text + "\n";
  }
}

size_t JsonLeser::stelle(std::string_view token) const {
  if (token.data() < text_.data() ||
      token.data() > text_.data() + text_.size()) {
    return text_.size();
  }
  return static_cast<size_t>(token.data() - text_.data());
}

bool istJsonZahl(std::string_view text) {
  Zahlteile teile;
  if (text.empty() || text[0] == '+' || !zerlegeZahl(text, teile)) return false;
  return !teile.ganz.empty() &&
         (teile.ganz.size() == 1 || teile.ganz[0] != '0') &&
         (text.find('.') == std::string_view::npos || !teile.bruch.empty());
}

std::optional<int64_t> leseGanzzahl(std::string_view text,
                                    std::string& fehler) {
  Zahlteile teile;
  if (!zerlegeZahl(text, teile)) {
    fehler = "ist keine Zahl, erwartet eine ganze Zahl";
    return std::nullopt;
  }
  std::string ziffern = std::string(teile.ganz) + std::string(teile.bruch);
  int64_t vorKomma = static_cast<int64_t>(teile.ganz.size()) + teile.exponent;
  const size_t fuehrend =
      std::min(ziffern.find_first_not_of('0'), ziffern.size());
  ziffern.erase(0, fuehrend);
  vorKomma -= static_cast<int64_t>(fuehrend);
  if (ziffern.empty()) return 0;
  const size_t ganz = vorKomma <= 0 ? 0
                      : static_cast<uint64_t>(vorKomma) > ziffern.size()
                          ? ziffern.size()
                          : static_cast<size_t>(vorKomma);
  if (ziffern.find_first_not_of('0', ganz) != std::string::npos) {
    fehler = "ist keine ganze Zahl";
    return std::nullopt;
  }
  const std::string grenze =
      teile.negativ ? "9223372036854775808" : "9223372036854775807";
  ziffern.resize(ganz);
  if (vorKomma > static_cast<int64_t>(grenze.size()) ||
      (vorKomma == static_cast<int64_t>(grenze.size()) &&
       ziffern + std::string(grenze.size() - ziffern.size(), '0') > grenze)) {
    fehler = "liegt ausserhalb des 64-Bit-Bereichs";
    return std::nullopt;
  }
  ziffern.append(static_cast<size_t>(vorKomma) - ziffern.size(), '0');
  uint64_t betrag = 0;
  for (char c : ziffern) betrag = betrag * 10 + static_cast<uint64_t>(c - '0');
  if (!teile.negativ) return static_cast<int64_t>(betrag);
  if (betrag == UINT64_C(9223372036854775808)) return INT64_MIN;
  return -static_cast<int64_t>(betrag);
}
