#include "berichte/Json.h"

#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "gemeinsam/ImportFirma.h"

namespace {

constexpr std::string_view kXbrlJson = "https://xbrl.org/2021/xbrl-json";

// simdjson keeps the iterator over a document's tokens to itself. A value
// passed over is walked on it directly, token by token as simdjson's own
// skip walks it and in its place, so that its grammar is checked on the way.
struct Dokumentzugang : oj::document {
  static oj::json_iterator& iterator(oj::document& dokument) {
    return dokument.*(&Dokumentzugang::iter);
  }
};

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

// The tokens of a value, from simdjson's index of the document: offsets into
// it, behind the last of which stands the document's length.
class Gang {
 public:
  Gang(std::string_view text, const uint32_t* token)
      : text_(text), erstes_(token), token_(token) {}

  // The first character of the next token, now the current one; '\0' behind
  // the last.
  char naechstes() {
    if (amEnde()) return '\0';
    anfang_ = text_.data() + *token_++;
    return *anfang_;
  }
  bool amEnde() const { return *token_ >= text_.size(); }
  // The current token without the blanks behind it.
  std::string_view token() const {
    return ohneLeerraum(std::string_view(
        anfang_, static_cast<size_t>(text_.data() + *token_ - anfang_)));
  }
  // How many tokens were read.
  ptrdiff_t gelesen() const { return token_ - erstes_; }

 private:
  std::string_view text_;
  const uint32_t* erstes_;
  const uint32_t* token_;
  const char* anfang_ = nullptr;
};

// What is wrong with the string or other scalar that the current token of
// `gang` begins with `zeichen`: with `streng` all of it, else only whether
// it begins as one.
simdjson::error_code skalarFehler(char zeichen, bool streng, const Gang& gang) {
  if (zeichen == '"') {
    return !streng || istJsonText(gang.token()) ? simdjson::SUCCESS
                                                : simdjson::STRING_ERROR;
  }
  const bool zahl = zeichen == '-' || (zeichen >= '0' && zeichen <= '9');
  const bool gut =
      streng ? istJsonAtom(gang.token())
             : zahl || zeichen == 't' || zeichen == 'f' || zeichen == 'n';
  if (gut) return simdjson::SUCCESS;
  if (zeichen == '\0' || std::strchr(",:]}", zeichen) != nullptr) {
    return simdjson::TAPE_ERROR;
  }
  return zahl ? simdjson::NUMBER_ERROR : simdjson::T_ATOM_ERROR;
}

}  // namespace

JsonLeser::JsonLeser(oj::parser& parser, std::string_view text,
                     std::string quelle)
    : parser_(parser), text_(text), quelle_(std::move(quelle)) {
  if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
}

bool JsonLeser::beginne() {
  // Grown in doubling steps, the parser's buffers are made anew only a few
  // times over a run of files of growing size, and the heap stays compact;
  // a step far beyond the document (its index takes four bytes a byte) is
  // cut to its size. Before they grow for the largest document so far, the
  // heap hands back what the files before left free, so that its peak does
  // not stack on their pieces.
  simdjson::error_code code = simdjson::SUCCESS;
  if (parser_.capacity() < text_.size()) {
    size_t kapazitaet = std::max<size_t>(parser_.capacity(), 1 << 16);
    while (kapazitaet < text_.size()) kapazitaet *= 2;
    malloc_trim(0);
    code =
        parser_.allocate(std::min(kapazitaet, text_.size() + text_.size() / 8));
  }
  if (code == simdjson::SUCCESS) {
    code =
        parser_.iterate(text_.data(), text_.size(), text_.size() + kJsonPolster)
            .get(dokument_);
  }
  if (code == simdjson::SUCCESS) return true;
  if (code == simdjson::MEMALLOC) {
    meldung_ = "quorvell-import: " + quelle_ + ": " + speicherFehlt() + "\n";
  } else {
    fehlerBei(stelleVorDemLesen(text_, code), kaputt(code));
  }
  return false;
}

Jsonart JsonLeser::art() {
  if (!beginne()) return Jsonart::keine;
  const Jsonart art = ersterBlick();
  if (art != Jsonart::keine || !meldung_.empty()) return art;
  dokument_.rewind();
  if (!gehe(false) || !amEnde()) return Jsonart::keine;
  fehlerBei(text_.find_first_not_of(" \t\r\n"),
            "JSON, aber weder SEC-Firmendaten (mit \"cik\", \"entityName\" und "
            "\"facts\") noch ein xBRL-JSON-Bericht (\"documentType\": \"" +
                std::string(kXbrlJson) + "\")");
  return Jsonart::keine;
}

// The kind told from the members of the top level before "facts"; keine
// with no failure recorded when the document is of neither kind.
Jsonart JsonLeser::ersterBlick() {
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
  if (xbrl) return Jsonart::xbrl;
  if (sec[0] && sec[1] && sec[2]) return Jsonart::sec;
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

bool JsonLeser::pruefe(oj::value wert) { return gehe(wert, true); }

bool JsonLeser::uebergehe(oj::value wert) { return gehe(wert, false); }

bool JsonLeser::gehe(oj::value& wert, bool streng) {
  // The iterator stands at the first token of a value not yet read.
  const std::string_view token = wert.raw_json_token();
  if (token.data() != reinterpret_cast<const char*>(
                          Dokumentzugang::iterator(dokument_).peek())) {
    return gut(simdjson::OUT_OF_ORDER_ITERATION);
  }
  return gehe(streng);
}

/* The walk's states are places in the code rather than a variable, so
 * that each branch nearly always goes one way: a value, with the objects and
 * lists it opens and the first key of each object, then what follows it:
 * commas with the next key, and closing brackets. The open objects and lists
 * stand on a stack of fixed size: no recursion, and memory and work that do
 * not grow with the nesting. At the end the iterator is moved behind the
 * value, one level up, as simdjson's skip leaves it. */
bool JsonLeser::gehe(bool streng) {
  oj::json_iterator& iter = Dokumentzugang::iterator(dokument_);
  const int32_t tiefe = iter.depth();
  Gang gang(text_, iter.position());
  char offen[kMaxTiefe];
  int32_t anzahl = 0;
  const auto falsch = [&](simdjson::error_code code) {
    if (gang.amEnde()) {
      fehlerBei(text_.find_last_not_of(" \t\r\n") + 1,
                kaputt(simdjson::TAPE_ERROR));
      return false;
    }
    return fehler(gang.token(), kaputt(code));
  };
  const auto schluessel = [&]() {
    return gang.naechstes() == '"' && gang.naechstes() == ':';
  };
  for (;;) {
    char zeichen = gang.naechstes();
    bool leer = false;
    while (zeichen == '{' || zeichen == '[') {
      if (tiefe + anzahl > kMaxTiefe) {
        return fehler(gang.token(), "JSON fehlerhaft: mehr als " +
                                        std::to_string(kMaxTiefe) +
                                        " Ebenen tief");
      }
      offen[anzahl++] = zeichen;
      const char zu = zeichen == '{' ? '}' : ']';
      zeichen = gang.naechstes();
      if (zeichen == zu) {
        --anzahl;
        leer = true;
        break;
      }
      if (offen[anzahl - 1] == '{') {
        if (zeichen != '"' || gang.naechstes() != ':') {
          return falsch(simdjson::TAPE_ERROR);
        }
        zeichen = gang.naechstes();
      }
    }
    if (!leer) {
      const simdjson::error_code code = skalarFehler(zeichen, streng, gang);
      if (code != simdjson::SUCCESS) return falsch(code);
    }
    for (;;) {
      if (anzahl == 0) {
        for (auto n = gang.gelesen(); n > 0; --n)
          iter.return_current_and_advance();
        iter.ascend_to(tiefe - 1);
        return true;
      }
      const bool objekt = offen[anzahl - 1] == '{';
      zeichen = gang.naechstes();
      if (zeichen == ',') {
        if (objekt && !schluessel()) return falsch(simdjson::TAPE_ERROR);
        break;
      }
      if (zeichen != (objekt ? '}' : ']')) return falsch(simdjson::TAPE_ERROR);
      --anzahl;
    }
  }
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
