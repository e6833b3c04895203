#include "tabellen/Csv.h"

#include <csv.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

#include "Text.h"

namespace {

using Offen = CsvLeser::Offen;

void feldEnde(void* daten, size_t laenge, void* offen) {
  auto* o = static_cast<Offen*>(offen);
  if (o->satz.felder.size() >= o->grenze) {
    ++o->satz.weggelassen;
    return;
  }
  o->satz.felder.push_back(
      laenge == 0 ? std::string()
                  : std::string(static_cast<char*>(daten), laenge));
}

void satzEnde(int /*zeichen*/, void* offen) {
  static_cast<Offen*>(offen)->fertig = true;
}

std::string kopfFehler(const CsvZeile& kopf) {
  return std::to_string(kopf.zeile) + ": die Kopfzeile hat " +
         std::to_string(kopf.felder.size() + kopf.weggelassen) +
         " Spalten, erwartet hoechstens " + std::to_string(kMaxKopfspalten);
}

// Whether the eight bytes at `p` are all ASCII: none has its top bit set.
bool achtAscii(const char* p) {
  uint64_t acht = 0;
  std::memcpy(&acht, p, sizeof acht);
  return (acht & 0x8080808080808080u) == 0;
}

// Where `text` stops being UTF-8: the position of the first byte that is not
// part of a valid sequence, or npos.
size_t ersterFremderByte(std::string_view text) {
  uint32_t zeichen = 0;
  for (size_t i = 0; i < text.size();) {
    if (i + 8 <= text.size() && achtAscii(text.data() + i)) {
      i += 8;
    } else if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
    } else {
      const size_t laenge = zeichenAn(text, i, zeichen);
      if (laenge == 1) return i;
      i += laenge;
    }
  }
  return std::string::npos;
}

// The characters of Windows-1252 from 0x80 to 0x9F; the five it leaves
// undefined stand for the C1 controls of the same number.
constexpr uint16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void haengeUtf8An(std::string& aus, uint32_t zeichen) {
  if (zeichen < 0x80) {
    aus += static_cast<char>(zeichen);
  } else if (zeichen < 0x800) {
    aus += static_cast<char>(0xC0 | (zeichen >> 6));
    aus += static_cast<char>(0x80 | (zeichen & 0x3F));
  } else {
    aus += static_cast<char>(0xE0 | (zeichen >> 12));
    aus += static_cast<char>(0x80 | ((zeichen >> 6) & 0x3F));
    aus += static_cast<char>(0x80 | (zeichen & 0x3F));
  }
}

std::string ausWindows1252(std::string_view text) {
  std::string aus;
  aus.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    haengeUtf8An(aus, b >= 0x80 && b < 0xA0 ? kWindows1252[b - 0x80] : b);
  }
  return aus;
}

}  // namespace

bool alsUtf8(std::string_view& text, std::string& umgewandelt,
             std::optional<Zeichensatz> wahl, const std::string& quelle,
             std::string& meldungen) {
  const size_t fremd =
      wahl == Zeichensatz::windows1252 ? 0 : ersterFremderByte(text);
  if (fremd == std::string_view::npos) return true;
  if (wahl == Zeichensatz::utf8) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "\\x%02X",
                  static_cast<unsigned char>(text[fremd]));
    const auto zeile = std::count(text.begin(), text.begin() + fremd, '\n') + 1;
    meldungen += quelle + ":" + std::to_string(zeile) + ": Byte " + byte +
                 " ist kein UTF-8, erwartet mit --zeichensatz utf-8 eine "
                 "Datei ganz in UTF-8\n";
    return false;
  }
  if (!wahl) {
    meldungen += "quorvell-import: " + quelle +
                 " ist kein UTF-8 und wird als Windows-1252 gelesen; "
                 "--zeichensatz utf-8 erzwingt UTF-8\n";
  }
  umgewandelt = ausWindows1252(text);
  text = umgewandelt;
  return true;
}

namespace {

// With tab as separator only the blank counts as padding around a field.
int istBlank(unsigned char c) { return c == ' ' ? 1 : 0; }

// The end of the line that starts at `anfang`, behind its line end: "\n",
// "\r\n", or a "\r" alone.
size_t zeilenEnde(std::string_view text, size_t anfang) {
  size_t i = text.find_first_of("\r\n", anfang);
  if (i == std::string_view::npos) return text.size();
  if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  return i + 1;
}

// Whether the line from `anfang` to `ende` is blank; it looks no further, so
// that a run of blank lines costs each its own length.
bool istLeer(std::string_view text, size_t anfang, size_t ende) {
  return text.substr(anfang, ende - anfang).find_first_not_of(" \t\r\n") ==
         std::string_view::npos;
}

std::string grammatikFehler(int zeile, int code, bool amEnde) {
  std::string text = std::to_string(zeile) + ": ";
  if (code != CSV_EPARSE) return text + "Feld zu gross fuer den Speicher";
  if (amEnde) {
    return text +
           "Anfuehrungszeichen bis zum Dateiende nicht geschlossen, erwartet "
           "ein schliessendes \"";
  }
  return text +
         "Anfuehrungszeichen an falscher Stelle, erwartet ein Feld ganz in "
         "\"...\" mit \"\" fuer ein Anfuehrungszeichen darin";
}

}  // namespace

char erkenneTrenner(std::string_view text) {
  size_t anfang = 0;
  size_t ende = zeilenEnde(text, 0);
  while (ende < text.size() && istLeer(text, anfang, ende)) {
    anfang = ende;
    ende = zeilenEnde(text, anfang);
  }
  const char kandidat[3] = {';', ',', '\t'};
  int anzahl[3] = {0, 0, 0};
  bool zitat = false;
  for (size_t i = anfang; i < ende; ++i) {
    if (text[i] == '"') zitat = !zitat;
    for (int k = 0; k < 3; ++k) anzahl[k] += !zitat && text[i] == kandidat[k];
  }
  int besterK = 0;
  for (int k = 1; k < 3; ++k) {
    if (anzahl[k] > anzahl[besterK]) besterK = k;
  }
  for (int k = 0; k < 3; ++k) {
    if (k != besterK && anzahl[k] == anzahl[besterK]) return 0;
  }
  return kandidat[besterK];
}

CsvLeser::CsvLeser(std::string_view text, char trenner)
    : text_(text), parser_(std::make_unique<csv_parser>()) {
  if (csv_init(parser_.get(), CSV_STRICT | CSV_STRICT_FINI) != 0) {
    parser_.reset();
    fehler_ = grammatikFehler(1, CSV_ENOMEM, false);
    return;
  }
  csv_set_delim(parser_.get(), static_cast<unsigned char>(trenner));
  if (trenner == '\t') csv_set_space_func(parser_.get(), istBlank);
}

CsvLeser::~CsvLeser() {
  if (parser_) csv_free(parser_.get());
}

bool CsvLeser::naechster(CsvZeile& satz) {
  offen_.satz.zeile = 0;
  offen_.satz.felder.clear();
  offen_.satz.weggelassen = 0;
  offen_.fertig = false;
  while (fehler_.empty() && !offen_.fertig && fuettere()) {
  }
  if (!fehler_.empty() || !offen_.fertig) return false;
  if (++saetze_ == 1) {
    if (offen_.satz.weggelassen > 0) {
      fehler_ = kopfFehler(offen_.satz);
      return false;
    }
    offen_.grenze = offen_.satz.felder.size();
  }
  // The fields of `satz` keep their memory for the next record.
  std::swap(satz, offen_.satz);
  return true;
}

/* libcsv gets the text one line at a time, so the record that ends during a
 * line ended on that line, and a record that starts on a line started where
 * the line was handed over while no record was open. Blank lines are left out
 * while no record is open, as libcsv would skip them anyway. */
bool CsvLeser::fuettere() {
  if (ende_) return false;
  if (anfang_ >= text_.size()) {
    ende_ = true;
    if (csv_fini(parser_.get(), feldEnde, satzEnde, &offen_) != 0) {
      fehler_ =
          grammatikFehler(offen_.satz.zeile, csv_error(parser_.get()), true);
    }
    return false;
  }
  const size_t ende = zeilenEnde(text_, anfang_);
  ++zeile_;
  if (offen_.satz.zeile == 0 && !istLeer(text_, anfang_, ende)) {
    offen_.satz.zeile = zeile_;
  }
  if (offen_.satz.zeile != 0 &&
      csv_parse(parser_.get(), text_.data() + anfang_, ende - anfang_, feldEnde,
                satzEnde, &offen_) != ende - anfang_) {
    fehler_ = grammatikFehler(zeile_, csv_error(parser_.get()), false);
    return false;
  }
  anfang_ = ende;
  return true;
}
