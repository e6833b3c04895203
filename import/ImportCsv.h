#ifndef QUORVELL_IMPORTCSV_H_
#define QUORVELL_IMPORTCSV_H_

// Splitting a CSV export into records with libcsv (quoted fields with
// separators, quotes and line breaks in them), each record with the line of
// the file it starts on, and finding the separator from the header line.

#include <string>
#include <vector>

struct CsvZeile {
  int zeile;  // the line of the file the record starts on, counted from 1
  std::vector<std::string> felder;
};

// The separator of the header, the first line that is not blank: whichever of
// ';', ',' and tab occurs there most often outside quotes; 0 when none of
// them occurs or two occur equally often.
char erkenneTrenner(const std::string& text);

// Splits `text` into records separated by `trenner`; lines may end in "\n",
// "\r\n" or "\r", and blank lines between records are skipped. A quote that
// breaks the grammar ends the reading: the result is false and `fehler` says
// where, as "ZEILE: what was wrong, what was expected".
bool leseCsv(const std::string& text, char trenner,
             std::vector<CsvZeile>& zeilen, std::string& fehler);

#endif  // QUORVELL_IMPORTCSV_H_
