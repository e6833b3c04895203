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

// The reason for the error number `fehlernummer` in words, as it follows a
// path in parentheses: "nicht vorhanden", "kein Platz mehr auf dem
// Datentraeger"; the system's own text for the rarer ones.
std::string fehlergrund(int fehlernummer);

// Creates a new temporary file "<pfad>.<16 hex digits>.tmp" beside `pfad`,
// with the mode the umask gives a new file, opens it for writing and returns
// its descriptor; -1, with errno set, when none can be created. A name that
// exists, whatever it is, is never opened: another name is tried.
int legeTempAn(const std::string& pfad, std::string& temp);

// Writes all of `inhalt` to `fd`; false, with errno set, when it cannot.
bool schreibeGanz(int fd, std::string_view inhalt);

// A file replaced whole: its new content goes, piece by piece, into a
// temporary file created new beside it, which fertig() puts into place.
// Nothing that already exists is opened for writing, so a link planted at
// any name is never followed. Of two processes replacing the same file, the
// later one wins whole. Until fertig(), and whenever anything fails, the
// old file stays as it was; signals that end the program from outside, and
// SIGPIPE, wait while the object lives, so no temporary file is left behind.
class Ersatzdatei {
 public:
  // How fertig() puts the new file in place.
  enum class Ablage {
    // Renamed over the old file. File systems such as ext4 then start writing
    // the new content out at once, so that after a power loss the name holds
    // one of the two whole.
    kBestaendig,
    // Exchanged with an old regular file in one step, which is then removed:
    // no waiting for the disk, for a file made anew on every display.
    kSchnell,
  };

  explicit Ersatzdatei(const std::string& pfad,
                       Ablage ablage = Ablage::kBestaendig);
  // Removes the temporary file unless fertig() renamed it.
  ~Ersatzdatei();
  Ersatzdatei(const Ersatzdatei&) = delete;
  Ersatzdatei& operator=(const Ersatzdatei&) = delete;

  // Appends `stueck`; a failure is remembered for fertig().
  void schreibe(std::string_view stueck);
  // Puts the written file in place; false when anything failed.
  bool fertig();

 private:
  bool legeAb();

  std::string pfad_;
  Ablage ablage_;
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
