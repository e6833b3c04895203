#ifndef QUORVELL_DATEIEN_H_
#define QUORVELL_DATEIEN_H_

// Reading a whole file and replacing a file whole, so that a reader never sees
// half a file.

#include <string>

// Reads the whole file `pfad` into `inhalt`. When it cannot be opened or read
// (a directory, for example) it returns false and `fehler` says why, as the
// words that follow the path in a message ("kann nicht gelesen werden").
bool leseDatei(const std::string& pfad, std::string& inhalt,
               std::string& fehler);

// Replaces the file `pfad` by `inhalt`: writes a temporary file beside it and
// renames it into place, so the old file stays whole when writing fails.
// Returns false (and leaves the old file) when it cannot be written.
bool ersetzeDatei(const std::string& pfad, const std::string& inhalt);

#endif  // QUORVELL_DATEIEN_H_
