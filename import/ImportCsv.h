#ifndef QUORVELL_IMPORTCSV_H_
#define QUORVELL_IMPORTCSV_H_

// Splitting a CSV export into records with libcsv (quoted fields with
// separators, quotes and line breaks in them), each record with the line of
// the file it starts on, and finding the separator from the header line.

#include <optional>
#include <string>
#include <vector>

// The most columns a header may have.
constexpr size_t kMaxKopfspalten = 1000;

struct CsvZeile {
  int zeile;  // the line of the file the record starts on, counted from 1
  std::vector<std::string> felder;
  // Fields past those of the header, counted but not kept.
  size_t weggelassen = 0;
};

enum class Zeichensatz { utf8, windows1252 };

// Makes `text`, the contents of `quelle`, UTF-8: read as `wahl`, or without
// a choice as UTF-8 when it is valid UTF-8 and as Windows-1252 otherwise,
// which appends a line saying so to `meldungen`. False, with a message, when
// UTF-8 is chosen and `text` is not.
bool alsUtf8(std::string& text, std::optional<Zeichensatz> wahl,
             const std::string& quelle, std::string& meldungen);

// The separator of the header, the first line that is not blank: whichever of
// ';', ',' and tab occurs there most often outside quotes; 0 when none of
// them occurs or two occur equally often.
char erkenneTrenner(const std::string& text);

// Splits `text` into records separated by `trenner`; lines may end in "\n",
// "\r\n" or "\r", and blank lines between records are skipped. The first
// record is the header; a record keeps no more fields than it has. A quote
// that breaks the grammar, or a header of more than kMaxKopfspalten fields,
// ends the reading: the result is false and `fehler` says where, as "ZEILE:
// what was wrong, what was expected".
bool leseCsv(const std::string& text, char trenner,
             std::vector<CsvZeile>& zeilen, std::string& fehler);

#endif  // QUORVELL_IMPORTCSV_H_
