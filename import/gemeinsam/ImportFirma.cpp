#include "gemeinsam/ImportFirma.h"

#include <sys/resource.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>

#include "Text.h"

namespace {

// The character at `i` as a code point, moving `i` behind it; a byte that
// does not start a valid UTF-8 sequence counts as a Latin-1 character.
uint32_t naechstesZeichen(const std::string& text, size_t& i) {
  const auto b = static_cast<unsigned char>(text[i]);
  size_t laenge = b >= 0xF0 && b <= 0xF4  ? 4
                  : b >= 0xE0 && b < 0xF0 ? 3
                  : b >= 0xC2 && b < 0xE0 ? 2
                                          : 1;
  if (i + laenge > text.size()) laenge = 1;
  uint32_t zeichen = laenge == 1 ? b : b & (0x7Fu >> laenge);
  for (size_t k = 1; k < laenge; ++k) {
    const auto folge = static_cast<unsigned char>(text[i + k]);
    if ((folge & 0xC0) != 0x80) {
      laenge = 1;
      zeichen = b;
      break;
    }
    zeichen = (zeichen << 6) | (folge & 0x3Fu);
  }
  i += laenge;
  return zeichen;
}

// A letter or digit in lower-case ASCII; empty for every other character.
std::string umschrift(uint32_t z) {
  if (z >= 'A' && z <= 'Z') return std::string(1, static_cast<char>(z + 32));
  if ((z >= 'a' && z <= 'z') || (z >= '0' && z <= '9')) {
    return std::string(1, static_cast<char>(z));
  }
  switch (z) {
    case 0xC4:
    case 0xE4:
      return "ae";
    case 0xD6:
    case 0xF6:
      return "oe";
    case 0xDC:
    case 0xFC:
      return "ue";
    case 0xDF:
      return "ss";
    default:
      return "";
  }
}

// `text` in lower-case ASCII letters and digits, every run of other ASCII
// characters between two words turned into one `trenner`.
std::string transkribiere(const std::string& text, char trenner) {
  std::string aus;
  bool luecke = false;
  for (size_t i = 0; i < text.size();) {
    const uint32_t zeichen = naechstesZeichen(text, i);
    const std::string teil = umschrift(zeichen);
    if (teil.empty()) {
      luecke = luecke || zeichen < 0x80;
      continue;
    }
    if (luecke && !aus.empty()) aus += trenner;
    luecke = false;
    aus += teil;
  }
  return aus;
}

// The first control character of `name`, if any.
std::optional<uint32_t> erstesSteuerzeichen(const std::string& name) {
  // Most names are printable ASCII and need no decoding.
  if (std::all_of(name.begin(), name.end(),
                  [](char c) { return c >= 0x20 && c < 0x7F; })) {
    return std::nullopt;
  }
  uint32_t zeichen = 0;
  for (size_t i = 0, n = 0; i < name.size(); i += n) {
    n = zeichenAn(name, i, zeichen);
    if (istSteuerzeichen(zeichen)) return zeichen;
  }
  return std::nullopt;
}

std::string codepunkt(uint32_t zeichen) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(zeichen));
  return text;
}

std::string faktorText(double faktor) {
  char text[32];
  const auto ergebnis = std::to_chars(text, text + sizeof text, faktor);
  return std::string(text, ergebnis.ptr);
}

std::string berichtZeile(const ImportBericht& bericht) {
  char datum[32];
  std::snprintf(datum, sizeof datum, "%02d-%02d-%04d", bericht.datum.tag,
                bericht.datum.monat, bericht.datum.jahr);
  std::string zeile = datum;
  for (int64_t betrag : bericht.betrag) zeile += " " + std::to_string(betrag);
  for (double faktor : bericht.faktor) zeile += " " + faktorText(faktor);
  return zeile + "\n";
}

}  // namespace

std::string normalform(const std::string& text) {
  return transkribiere(text, ' ');
}

// `text` in quotes for a message: control characters and the invisible
// byte-order mark escaped, long texts cut.
std::string zitat(const std::string& text) {
  size_t laenge = std::min<size_t>(text.size(), 60);
  while (laenge > 0 && laenge < text.size() &&
         (static_cast<unsigned char>(text[laenge]) & 0xC0) == 0x80) {
    --laenge;
  }
  std::string aus = "\"";
  uint32_t zeichen = 0;
  for (size_t i = 0, n = 0; i < laenge; i += n) {
    n = zeichenAn(text, i, zeichen);
    if (!istSteuerzeichen(zeichen) && zeichen != 0xFEFF) {
      aus.append(text, i, n);
      continue;
    }
    for (size_t k = i; k < i + n; ++k) {
      const auto c = static_cast<unsigned char>(text[k]);
      char flucht[8];
      std::snprintf(flucht, sizeof flucht, "\\x%02X", c);
      aus += c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : flucht;
    }
  }
  return aus + (laenge < text.size() ? "...\"" : "\"");
}

std::optional<std::string> leseWaehrung(const std::string& text) {
  std::string code = text;
  for (char& c : code) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (code.size() != 3 || std::any_of(code.begin(), code.end(), [](char c) {
        return c < 'A' || c > 'Z';
      })) {
    return std::nullopt;
  }
  return code;
}

void vergibDateinamen(std::vector<ImportFirma>& firmen) {
  std::set<std::string> vergeben;
  for (ImportFirma& firma : firmen) {
    const std::string stamm = dateiStamm(firma.name);
    firma.datei = stamm + ".txt";
    for (int n = 2; !vergeben.insert(firma.datei).second; ++n) {
      firma.datei = stamm + "_" + std::to_string(n) + ".txt";
    }
  }
}

void Meldungen::fehlerDazu(const std::string& text) {
  if (fehler.size() < kMaxFehler) fehler.push_back(text);
  ++fehlerAnzahl;
}

void Meldungen::dazu(Meldungen andere) {
  for (const std::string& text : andere.fehler) fehlerDazu(text);
  fehlerAnzahl += andere.fehlerAnzahl - andere.fehler.size();
  for (std::string& text : andere.warnungen)
    warnungen.push_back(std::move(text));
}

std::string fehlerText(const Meldungen& meldungen) {
  std::string text;
  for (const std::string& zeile : meldungen.fehler) text += zeile;
  text +=
      "quorvell-import: " + std::to_string(meldungen.fehlerAnzahl) + " Fehler";
  if (meldungen.fehlerAnzahl > meldungen.fehler.size()) {
    text += ", die ersten " + std::to_string(meldungen.fehler.size()) +
            " stehen oben";
  }
  return text + "; nichts geschrieben\n";
}

std::string speicherFehlt() {
  rlimit grenze{};
  if (getrlimit(RLIMIT_AS, &grenze) != 0 || grenze.rlim_cur == RLIM_INFINITY) {
    return "der Speicher reicht nicht";
  }
  return "der Speicher reicht nicht (Adressraum hoechstens " +
         std::to_string(grenze.rlim_cur >> 20) + " MiB, ulimit -v)";
}

std::optional<std::string> namensfehler(const std::string& name) {
  if (name.empty()) return "ist leer, erwartet den Namen der Firma";
  if (name.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    return "beginnt mit einer Byte-Order-Markierung (BOM), erwartet den Namen "
           "ohne sie";
  }
  if (name.front() == ' ' || name.back() == ' ') {
    return "hat Leerzeichen am Anfang oder Ende, erwartet den Namen ohne sie";
  }
  if (name.size() > kMaxNamenslaenge) {
    return "ist " + std::to_string(name.size()) +
           " Bytes lang, erwartet einen Namen von hoechstens " +
           std::to_string(kMaxNamenslaenge) + " Bytes";
  }
  const std::optional<uint32_t> zeichen = erstesSteuerzeichen(name);
  if (!zeichen) return std::nullopt;
  if (*zeichen <= 0x7F) {
    return "enthaelt ein Steuerzeichen wie einen Zeilenumbruch, erwartet "
           "einen Namen in einer Zeile";
  }
  return std::string(*zeichen <= 0x9F
                         ? "enthaelt das Steuerzeichen "
                         : "enthaelt die Schreibrichtungssteuerung ") +
         codepunkt(*zeichen) + ", erwartet nur druckbare Zeichen";
}

std::string dateiStamm(const std::string& name) {
  std::string stamm = transkribiere(name, '_').substr(0, 60);
  while (!stamm.empty() && stamm.back() == '_') stamm.pop_back();
  return stamm.empty() ? "firma" : stamm;
}

std::string datendateiText(const ImportFirma& firma) {
  std::string text = firma.name + "\n";
  for (const ImportBericht& bericht : firma.berichte) {
    text += berichtZeile(bericht);
  }
  return text;
}

std::string indexText(const std::vector<ImportFirma>& firmen) {
  std::string text;
  for (const ImportFirma& firma : firmen) text += firma.datei + "\n";
  return text;
}
