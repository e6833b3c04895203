#ifndef QUORVELL_QUELLEN_FORTSCHRITT_H_
#define QUORVELL_QUELLEN_FORTSCHRITT_H_

// The progress line of a long import on a terminal: the files read of the
// files of the source, the megabytes, the companies so far and the source's
// name, written over in place and cleared before anything else is written.
// A pipe or a log file sees none of it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

class Fortschritt {
 public:
  // Shows the line on the file descriptor `fd` once the run has been
  // reading for `nach` seconds, and only if `fd` is a terminal; -1 for none.
  Fortschritt(int fd, double nach);
  ~Fortschritt() { loesche(); }
  Fortschritt(const Fortschritt&) = delete;
  Fortschritt& operator=(const Fortschritt&) = delete;

  // After the file `nummer` of `anzahl` of the source `quelle`, `bytes`
  // long, has been read, with `firmen` companies so far.
  void dazu(const std::string& quelle, size_t nummer, size_t anzahl,
            size_t bytes, size_t firmen);
  // Clears the line, if it is shown.
  void loesche();

 private:
  using Uhr = std::chrono::steady_clock;

  size_t spalten() const;
  void schreibe(const std::string& text) const;

  int fd_;  // -1 when no line is shown
  Uhr::time_point ab_;
  Uhr::time_point naechste_;  // not before then the line is written again
  uint64_t bytes_ = 0;
  size_t breite_ = 0;  // the characters of the line shown, 0 for none
};

#endif  // QUORVELL_QUELLEN_FORTSCHRITT_H_
