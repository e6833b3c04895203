#ifndef QUORVELL_TABELLEN_ZIPXML_H_
#define QUORVELL_TABELLEN_ZIPXML_H_

// What the two sheet readers (Xlsx, Ods) share: the workbook's
// archive opened over the file's bytes (libzip), its XML parts streamed
// through expat, the rows built within fixed bounds, and the sheet names.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gemeinsam/Grenzen.h"
#include "tabellen/Zellen.h"

struct zip;       // libzip's archive, zip_t
struct zip_file;  // and a member opened in it, zip_file_t

// The bounds that keep any file from making a reader slow or big: the
// unpacked size of one XML part (and the depth of kMaxTiefe: expat keeps
// every open element), the sheets of a workbook, and the cells (empty ones
// before others in a row included) and the bytes of text one sheet keeps.
constexpr size_t kMaxTeil = size_t{256} << 20;
constexpr size_t kMaxBlaetter = 10000;
constexpr size_t kMaxZellen = 4000000;
constexpr size_t kMaxText = size_t{64} << 20;
// The grid of a sheet, as in Excel and LibreOffice.
constexpr int64_t kMaxSpalten = 16384;
constexpr int64_t kMaxZeilen = 1048576;

// The XML namespaces the readers tell apart, whatever prefix a file gives
// them; every other one is `andere`.
enum class Ns {
  keiner,
  andere,
  blatt,  // SpreadsheetML (transitional or strict)
  bezug,  // relationships of office documents (r:id)
  paket,  // package relationships (.rels)
  office,
  table,
  text,
  calcext,
};

struct XmlName {
  bool ist(Ns n, std::string_view l) const { return ns == n && lokal == l; }

  Ns ns;
  std::string_view lokal;
};

// Receives the events of one XML part. Setting `fehler` stops the reading
// with that error; setting `fertig` stops it early as a success.
class XmlLeser {
 public:
  virtual ~XmlLeser() = default;
  // `attribute` is expat's list of names and values, ended by a null.
  virtual void beginn(const XmlName& name, const char** attribute) = 0;
  virtual void ende(const XmlName& name) = 0;
  virtual void zeichen(std::string_view text) = 0;

  std::string fehler;
  bool fertig = false;
};

// The value of the attribute (ns, lokal) in expat's `attribute`, or null.
const char* attribut(const char** attribute, Ns ns, std::string_view lokal);

// Counts `laenge` more bytes of text in `summe`; false with `fehler` when
// `summe` would pass kMaxText, checked before the text is built.
bool zaehleText(size_t laenge, size_t& summe, std::string& fehler);
// Appends `text` to `ziel` and counts it in `summe` as zaehleText() does.
bool haengeAn(std::string& ziel, std::string_view text, size_t& summe,
              std::string& fehler);

// An archive opened over bytes that outlive it, whose XML parts it reads.
class Zipmappe {
 public:
  explicit Zipmappe(std::string quelle) : quelle_(std::move(quelle)) {}
  ~Zipmappe();
  Zipmappe(const Zipmappe&) = delete;
  Zipmappe& operator=(const Zipmappe&) = delete;

  // False with `fehler` when the bytes are no zip archive.
  bool oeffne(std::string_view bytes, std::string& fehler);
  zip* archiv() const { return archiv_; }
  const std::string& quelle() const { return quelle_; }
  // Streams the member `teil` through `leser`. False with `fehler` when it is
  // missing, damaged or unpacks to more than kMaxTeil bytes, or, as
  // "QUELLE: Teil TEIL, Zeile N: ...", when it is no well-formed XML, holds a
  // document type declaration, nests too deep or `leser` stops with an
  // error.
  bool leseXml(const std::string& teil, XmlLeser& leser,
               std::string& fehler) const;

 private:
  // The member `teil` opened for reading, or null with `fehler`.
  zip_file* oeffneTeil(const std::string& teil, std::string& fehler) const;

  std::string quelle_;
  zip* archiv_ = nullptr;
};

// Gathers a sheet's cells, given row by row and left to right, into its
// rows, within the bounds above. A failing call leaves its reason in
// `fehler`.
class Zeilenbau {
 public:
  explicit Zeilenbau(Blatt& blatt) : blatt_(blatt) {}

  // Opens row `zeile` (from 1), which must lie below the rows before.
  bool oeffne(int64_t zeile, std::string& fehler);
  // The open row, or the last one opened while none is.
  int64_t zeile() const { return zeile_; }
  int64_t naechsteZeile() const { return letzteZeile_ + 1; }
  // Puts `zelle` into column `spalte` (from 0) of the open row, right of the
  // cells put there before; an empty cell is passed over.
  bool setze(int64_t spalte, Zelle zelle, std::string& fehler);
  // Ends the open row, which stands for `mal` rows alike; a row without
  // content is left out.
  // REQUIRES: mal >= 1.
  bool schliesse(int64_t mal, std::string& fehler);

 private:
  Blatt& blatt_;
  bool istOffen_ = false;
  int64_t zeile_ = 0;
  std::vector<Zelle> offen_;  // the cells of the open row
  size_t textOffen_ = 0;      // and their bytes of text
  int64_t letzteZeile_ = 0;
  size_t zellen_ = 0;  // kept in the rows of blatt_
  size_t text_ = 0;
};

// Adds a sheet's name to `namen`; false with `fehler` beyond kMaxBlaetter.
bool zaehleBlatt(std::vector<std::string>& namen, std::string name,
                 std::string& fehler);

// The error for a sheet `name` (empty: any) that the workbook lacks, listing
// the sheets `namen` it has.
std::string blattFehlt(const std::string& quelle, const std::string& name,
                       const std::vector<std::string>& namen);

#endif  // QUORVELL_TABELLEN_ZIPXML_H_
