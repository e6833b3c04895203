#include "ImportCsv.h"

#include <csv.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

#include "Text.h"

namespace {

// What libcsv reports while it parses: the fields of the open record, the
// line that record started on (0 while none is open), and the records done.
// A record keeps at most `grenze` fields: kMaxKopfspalten for the header, then
// as many as the header has.
struct Sammler {
  std::vector<CsvZeile>& zeilen;
  std::vector<std::string> felder;
  int beginn;
  size_t weggelassen = 0;
  size_t grenze = kMaxKopfspalten;
};

void feldEnde(void* daten, size_t laenge, void* sammler) {
  auto* s = static_cast<Sammler*>(sammler);
  if (s->felder.size() >= s->grenze) {
    ++s->weggelassen;
    return;
  }
  s->felder.push_back(laenge == 0
                          ? std::string()
                          : std::string(static_cast<char*>(daten), laenge));
}

void satzEnde(int /*zeichen*/, void* sammler) {
  auto* s = static_cast<Sammler*>(sammler);
  s->zeilen.push_back({s->beginn, std::move(s->felder), s->weggelassen});
  if (s->zeilen.size() == 1) s->grenze = s->zeilen[0].felder.size();
  s->felder.clear();
  s->weggelassen = 0;
  s->beginn = 0;
}

// Whether the header, once read, has more than kMaxKopfspalten fields.
bool zuBreit(const std::vector<CsvZeile>& zeilen) {
  return !zeilen.empty() && zeilen[0].weggelassen > 0;
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
size_t ersterFremderByte(const std::string& text) {
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

std::string ausWindows1252(const std::string& text) {
  std::string aus;
  aus.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    haengeUtf8An(aus, b >= 0x80 && b < 0xA0 ? kWindows1252[b - 0x80] : b);
  }
  return aus;
}

}  // namespace

bool alsUtf8(std::string& text, std::optional<Zeichensatz> wahl,
             const std::string& quelle, std::string& meldungen) {
  if (wahl == Zeichensatz::windows1252) {
    text = ausWindows1252(text);
    return true;
  }
  const size_t fremd = ersterFremderByte(text);
  if (fremd == std::string::npos) return true;
  if (!wahl) {
    meldungen += "quorvell-import: " + quelle +
                 " ist kein UTF-8 und wird als Windows-1252 gelesen; "
                 "--zeichensatz utf-8 erzwingt UTF-8\n";
    text = ausWindows1252(text);
    return true;
  }
  char byte[8];
  std::snprintf(byte, sizeof byte, "\\x%02X",
                static_cast<unsigned char>(text[fremd]));
  const auto zeile = std::count(text.begin(), text.begin() + fremd, '\n') + 1;
  meldungen += quelle + ":" + std::to_string(zeile) + ": Byte " + byte +
               " ist kein UTF-8, erwartet mit --zeichensatz utf-8 eine Datei "
               "ganz in UTF-8\n";
  return false;
}

namespace {

// With tab as separator only the blank counts as padding around a field.
int istBlank(unsigned char c) { return c == ' ' ? 1 : 0; }

// The end of the line that starts at `anfang`, behind its line end: "\n",
// "\r\n", or a "\r" alone.
size_t zeilenEnde(const std::string& text, size_t anfang) {
  size_t i = text.find_first_of("\r\n", anfang);
  if (i == std::string::npos) return text.size();
  if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  return i + 1;
}

bool istLeer(const std::string& text, size_t anfang, size_t ende) {
  const size_t p = text.find_first_not_of(" \t\r\n", anfang);
  return p == std::string::npos || p >= ende;
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

char erkenneTrenner(const std::string& text) {
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

/* libcsv gets the text one line at a time, so the record that ends during a
 * line ended on that line, and a record that starts on a line started where
 * the line was handed over while no record was open. Blank lines are left out
 * while no record is open, as libcsv would skip them anyway. */
bool leseCsv(const std::string& text, char trenner,
             std::vector<CsvZeile>& zeilen, std::string& fehler) {
  csv_parser parser;
  if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
    fehler = grammatikFehler(1, CSV_ENOMEM, false);
    return false;
  }
  csv_set_delim(&parser, static_cast<unsigned char>(trenner));
  if (trenner == '\t') csv_set_space_func(&parser, istBlank);
  Sammler sammler{zeilen, {}, 0};
  int zeile = 0;
  bool gut = true;
  for (size_t anfang = 0; gut && anfang < text.size();) {
    const size_t ende = zeilenEnde(text, anfang);
    ++zeile;
    if (sammler.beginn == 0 && !istLeer(text, anfang, ende)) {
      sammler.beginn = zeile;
    }
    if (sammler.beginn != 0) {
      gut = csv_parse(&parser, text.data() + anfang, ende - anfang, feldEnde,
                      satzEnde, &sammler) == ende - anfang;
    }
    anfang = ende;
    if (zuBreit(zeilen)) break;
  }
  if (!gut) {
    fehler = grammatikFehler(zeile, csv_error(&parser), false);
  } else if (!zuBreit(zeilen) &&
             csv_fini(&parser, feldEnde, satzEnde, &sammler) != 0) {
    gut = false;
    fehler = grammatikFehler(sammler.beginn, csv_error(&parser), true);
  }
  if (gut && zuBreit(zeilen)) {
    gut = false;
    fehler = kopfFehler(zeilen[0]);
  }
  csv_free(&parser);
  return gut;
}
