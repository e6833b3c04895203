#ifndef QUORVELL_DATEIEN_H_
#define QUORVELL_DATEIEN_H_

// The program's dealings with the file system and standard output: reading a
// whole input file, replacing a file whole so that no reader ever sees half a
// file, and ending the program when standard output no longer takes what it
// writes.

#include <cstddef>
#include <string>

// The largest file leseDatei reads: far above any real data file, far below
// what would exhaust memory.
constexpr size_t kLeseGrenze = size_t{64} << 20;

// Reads the whole file `pfad` into `inhalt`. Only a regular file of at most
// kLeseGrenze bytes is read; a FIFO or device is never waited on. Otherwise it
// returns false and `fehler` says why, as the words that follow the path in a
// message ("ist ein Verzeichnis", "kann nicht gelesen werden (...)").
bool leseDatei(const std::string& pfad, std::string& inhalt,
               std::string& fehler);

// Replaces the file `pfad` by `inhalt`: writes a temporary file that it
// creates new beside it and renames it into place. Nothing that already
// exists is opened for writing, so a link planted at any name is never
// followed. Of two processes replacing the same file, the later rename wins
// whole. Signals that end the program from outside wait until the temporary
// file is renamed or removed. Returns false (and leaves the old file) when it
// cannot be written.
bool ersetzeDatei(const std::string& pfad, const std::string& inhalt);

// Ends the program with a message on standard error and exit status 1 when
// standard output has failed (a full disk, a closed pipe); returns otherwise.
void pruefeAusgabe();

#endif  // QUORVELL_DATEIEN_H_
