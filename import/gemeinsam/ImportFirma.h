#ifndef QUORVELL_GEMEINSAM_IMPORTFIRMA_H_
#define QUORVELL_GEMEINSAM_IMPORTFIRMA_H_

// The companies every source turns into, with their reports, and what the
// importer says about them: the messages of a run, company names checked and
// quoted, the file names they get, and the text of the data files and the
// index.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gemeinsam/Kalender.h"

// The kinds of source a company can come from.
enum class Quellenart { csv, mappe, sec, xbrl, ixbrl };

struct ImportBericht {
  Datum datum;
  int64_t betrag[4];     // Umsatz, Gewinn, Bilanzsumme, Eigenkapital
  double faktor[2];      // EUR, USD
  int zeile;             // the row of the table it comes from; 0 if published
  std::string waehrung;  // the code of the amounts' currency, or empty
  // Without a currency column: the sign or code its amounts carry, or empty.
  std::string zeichen;
  bool gegeben[2];  // whether the source gave faktor[f], by column or option
};

struct ImportFirma {
  std::string name;
  std::string datei;  // its name in data/ and in the index
  std::vector<ImportBericht> berichte;
  Quellenart art = Quellenart::csv;
  std::string kennung;  // "CIK 1640147" or "LEI ..." if published
  std::string quelle;   // its table or first file, for messages
  std::string blatt;    // and the sheet in it, if a workbook
};

// Message lines, each ended by "\n". Of the errors only the first kMaxFehler
// are kept, but all are counted.
struct Meldungen {
  static constexpr size_t kMaxFehler = 20;

  void fehlerDazu(const std::string& text);
  // Adds the messages of `andere` after these, as if they had been added
  // here one by one.
  void dazu(Meldungen andere);

  std::vector<std::string> fehler;
  size_t fehlerAnzahl = 0;
  std::vector<std::string> warnungen;
};

// The errors kept in `meldungen`, then a line that counts all of them and
// says that nothing was written.
std::string fehlerText(const Meldungen& meldungen);

// The words for memory that ran out, with the bound where there is one:
// "der Speicher reicht nicht (Adressraum hoechstens 2048 MiB, ulimit -v)".
std::string speicherFehlt();

// The longest company name, in bytes: far above any real one, far below
// what would make a data file too big to be read back.
constexpr size_t kMaxNamenslaenge = 1000;

// What is wrong with the company name `name`, as the words that follow the
// quoted name in a message; nothing when it is fine. A name must not be
// empty, start with a byte-order mark (which the data file's reader drops),
// have blanks at either end, be longer than kMaxNamenslaenge, or hold a
// control character such as a carriage return (istSteuerzeichen), which
// would act on the terminal or turn the text around.
std::optional<std::string> namensfehler(const std::string& name);

// `text` in quotes for a message: control characters and the invisible
// byte-order mark escaped, long texts cut.
std::string zitat(const std::string& text);

// A currency code as three letters, in upper case; nothing for another text.
std::optional<std::string> leseWaehrung(const std::string& text);

// `text` for comparing names: lower-case ASCII letters and digits, with ae,
// oe, ue, ss for umlauts and sharp s, one blank between words, other
// characters dropped. Bytes that are not UTF-8 count as Latin-1.
std::string normalform(const std::string& text);

// Gives each company its file name in data/, numbered where two would meet.
void vergibDateinamen(std::vector<ImportFirma>& firmen);

// The file name of a company called `name`, without ".txt": its normalform
// with "_" between words, at most 60 characters; "firma" when nothing is
// left.
std::string dateiStamm(const std::string& name);

// The company's data file: its name, then one line per report.
std::string datendateiText(const ImportFirma& firma);

// The index: one file name per line.
std::string indexText(const std::vector<ImportFirma>& firmen);

#endif  // QUORVELL_GEMEINSAM_IMPORTFIRMA_H_
