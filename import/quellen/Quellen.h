#ifndef QUORVELL_QUELLEN_QUELLEN_H_
#define QUORVELL_QUELLEN_QUELLEN_H_

// The files of a source named on the command line, one at a time: the file
// itself, the regular files of a directory in name order (not those below
// it), or the entries of a zip archive in archive order, read with libzip
// without unpacking them to disk; of a report package, the inline XBRL
// documents of each of its reports. Only one file is held in memory at a
// time.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "quellen/Dateiart.h"

// One file of a source.
struct Eingang {
  std::string name;  // for messages, such as "archiv.zip:CIK0000320193.json"
  Dateiart art;      // json, tabelle, mappe or ixbrl
  // Valid only during the call; followed by at least kPolster readable bytes.
  std::string_view inhalt;
  // Its place among the files of its directory or archive, from 1, and
  // their number.
  size_t nummer = 1;
  size_t anzahl = 1;
  // For inline XBRL: the document set it belongs to, read together (a
  // report of a package, "paket.zip:gleif/reports/"; a document alone is a
  // set of its own, named as itself), and whether it is the set's last.
  std::string satz;
  bool letztes = true;
};

// The bytes behind each content that a JSON parser may read.
constexpr size_t kPolster = 64;

// The largest file read: far above any published file, far below what would
// exhaust memory.
constexpr size_t kQuellGrenze = size_t{1} << 30;

// Hands every file of the source `pfad` to `empfaenger`, in order. A file
// that cannot be read gives `melde` a message line, and the walk goes on;
// where memory runs out (std::bad_alloc), while reading or in `empfaenger`,
// the walk ends with a message line naming the file, and the result is
// false.
bool leseQuelle(const std::string& pfad,
                const std::function<void(const Eingang&)>& empfaenger,
                const std::function<void(const std::string&)>& melde);

#endif  // QUORVELL_QUELLEN_QUELLEN_H_
