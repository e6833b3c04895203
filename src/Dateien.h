#ifndef QUORVELL_DATEIEN_H_
#define QUORVELL_DATEIEN_H_

// The program's dealings with the file system and standard output: reading a
// whole input file, replacing a file whole so that no reader ever sees half a
// file, and ending the program when standard output no longer takes what it
// writes.

#include <csignal>
#include <cstddef>
#include <string>
#include <string_view>

// The largest file leseDatei reads: far above any real data file, far below
// what would exhaust memory.
constexpr size_t kLeseGrenze = size_t{64} << 20;

// Reads the whole file `pfad` into `inhalt`. Only a regular file of at most
// kLeseGrenze bytes is read; a FIFO or device is never waited on. Otherwise it
// returns false and `fehler` says why, as the words that follow the path in a
// message ("ist ein Verzeichnis", "kann nicht gelesen werden (...)").
bool leseDatei(const std::string& pfad, std::string& inhalt,
               std::string& fehler);

// A file replaced whole: its new content goes, piece by piece, into a
// temporary file created new beside it, which fertig() renames into place.
// Nothing that already exists is opened for writing, so a link planted at
// any name is never followed. Of two processes replacing the same file, the
// later rename wins whole. Until fertig(), and whenever anything fails, the
// old file stays as it was; signals that end the program from outside wait
// while the object lives, so no temporary file is left behind.
class Ersatzdatei {
 public:
  explicit Ersatzdatei(const std::string& pfad);
  // Removes the temporary file unless fertig() renamed it.
  ~Ersatzdatei();
  Ersatzdatei(const Ersatzdatei&) = delete;
  Ersatzdatei& operator=(const Ersatzdatei&) = delete;

  // Appends `stueck`; a failure is remembered for fertig().
  void schreibe(std::string_view stueck);
  // Renames the written file into place; false when anything failed.
  bool fertig();

 private:
  std::string pfad_;
  std::string temp_;
  int fd_ = -1;
  sigset_t vorher_{};
};

// Replaces the file `pfad` by `inhalt` through an Ersatzdatei. Returns false
// (and leaves the old file) when it cannot be written.
bool ersetzeDatei(const std::string& pfad, const std::string& inhalt);

// Ends the program with a message on standard error and exit status 1 when
// standard output has failed (a full disk, a closed pipe); returns otherwise.
void pruefeAusgabe();

#endif  // QUORVELL_DATEIEN_H_
