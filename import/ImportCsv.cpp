#include "ImportCsv.h"

#include <csv.h>

#include <utility>

namespace {

// What libcsv reports while it parses: the fields of the open record, the
// line that record started on (0 while none is open), and the records done.
struct Sammler {
  std::vector<CsvZeile>& zeilen;
  std::vector<std::string> felder;
  int beginn;
};

void feldEnde(void* daten, size_t laenge, void* sammler) {
  auto* s = static_cast<Sammler*>(sammler);
  s->felder.push_back(laenge == 0
                          ? std::string()
                          : std::string(static_cast<char*>(daten), laenge));
}

void satzEnde(int /*zeichen*/, void* sammler) {
  auto* s = static_cast<Sammler*>(sammler);
  s->zeilen.push_back({s->beginn, std::move(s->felder)});
  s->felder.clear();
  s->beginn = 0;
}

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
  }
  if (!gut) {
    fehler = grammatikFehler(zeile, csv_error(&parser), false);
  } else if (csv_fini(&parser, feldEnde, satzEnde, &sammler) != 0) {
    gut = false;
    fehler = grammatikFehler(sammler.beginn, csv_error(&parser), true);
  }
  csv_free(&parser);
  return gut;
}
