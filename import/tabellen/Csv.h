#ifndef QUORVELL_TABELLEN_CSV_H_
#define QUORVELL_TABELLEN_CSV_H_

// Splitting a CSV export into records with libcsv (quoted fields with
// separators, quotes and line breaks in them), one record at a time, each
// with the line of the file it starts on, and finding the separator from the
// header line.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct csv_parser;

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
// which appends a line saying so to `meldungen`. Where it is converted, the
// UTF-8 text goes to `umgewandelt`, which `text` then views. False, with a
// message, when UTF-8 is chosen and `text` is not.
bool alsUtf8(std::string_view& text, std::string& umgewandelt,
             std::optional<Zeichensatz> wahl, const std::string& quelle,
             std::string& meldungen);

// The separator of the header, the first line that is not blank: whichever of
// ';', ',' and tab occurs there most often outside quotes; 0 when none of
// them occurs or two occur equally often.
char erkenneTrenner(std::string_view text);

// Reads the records of `text`, separated by `trenner`, one at a time; lines
// may end in "\n", "\r\n" or "\r", and blank lines between records are
// passed over. The first record is the header; a record keeps no more fields
// than the header has. Only the record being read is held, so a table of any
// length takes the memory of its longest record.
class CsvLeser {
 public:
  // `text` must stay as it is while the reader lives.
  CsvLeser(std::string_view text, char trenner);
  ~CsvLeser();
  CsvLeser(const CsvLeser&) = delete;
  CsvLeser& operator=(const CsvLeser&) = delete;

  // The next record, into `satz`; false at the end of the text, or when a
  // quote breaks the grammar or the header has more than kMaxKopfspalten
  // fields: fehler() then says where, as "ZEILE: what was wrong, what was
  // expected".
  bool naechster(CsvZeile& satz);
  const std::string& fehler() const { return fehler_; }

  // What libcsv reports while it parses: the fields of the open record and
  // the line it started on (0 while none is open). Public for its callbacks.
  struct Offen {
    CsvZeile satz{0, {}, 0};
    bool fertig = false;              // the record has ended
    size_t grenze = kMaxKopfspalten;  // fields kept per record
  };

 private:
  bool fuettere();

  std::string_view text_;
  std::unique_ptr<csv_parser> parser_;
  Offen offen_;
  size_t anfang_ = 0;  // of the next line to hand to libcsv
  int zeile_ = 0;      // the line last handed over
  size_t saetze_ = 0;
  bool ende_ = false;
  std::string fehler_;
};

#endif  // QUORVELL_TABELLEN_CSV_H_
