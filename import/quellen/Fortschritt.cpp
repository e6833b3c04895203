#include "quellen/Fortschritt.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "Text.h"

namespace {

size_t breite(const std::string& text) {
  return static_cast<size_t>(zeichenAnzahl(text));
}

// How often the line is written at most: often enough to show it moving.
constexpr auto kTakt = std::chrono::milliseconds(250);

}  // namespace

Fortschritt::Fortschritt(int fd, double nach)
    : fd_(fd >= 0 && isatty(fd) == 1 ? fd : -1),
      ab_(Uhr::now() + std::chrono::duration_cast<Uhr::duration>(
                           std::chrono::duration<double>(nach))),
      naechste_(ab_) {}

size_t Fortschritt::spalten() const {
  winsize fenster{};
  if (ioctl(fd_, TIOCGWINSZ, &fenster) == 0 && fenster.ws_col > 20) {
    return fenster.ws_col;
  }
  return 80;
}

void Fortschritt::schreibe(const std::string& text) const {
  for (size_t fertig = 0; fertig < text.size();) {
    const ssize_t n = write(fd_, text.data() + fertig, text.size() - fertig);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    fertig += static_cast<size_t>(n);
  }
}

void Fortschritt::dazu(const std::string& quelle, size_t nummer, size_t anzahl,
                       size_t bytes, size_t firmen) {
  bytes_ += bytes;
  if (fd_ < 0) return;
  const Uhr::time_point jetzt = Uhr::now();
  if (jetzt < naechste_) return;
  naechste_ = jetzt + kTakt;
  const std::string hinten =
      ": Datei " + std::to_string(nummer) + " von " + std::to_string(anzahl) +
      ", " + std::to_string(bytes_ / 1000000) + " MB, " +
      std::to_string(firmen) + (firmen == 1 ? " Firma" : " Firmen");
  const std::string vorn = "quorvell-import: ";
  // One column is left free, so that no terminal wraps the line: the name
  // is cut at its front, and on a very narrow terminal the line at its end.
  const size_t platz = spalten() - 1;
  std::string zeile = vorn + quelle + hinten;
  uint32_t zeichen = 0;
  for (size_t weg = 0; breite(zeile) > platz && weg < quelle.size();) {
    weg += zeichenAn(quelle, weg, zeichen);
    zeile = vorn + "..." + quelle.substr(weg) + hinten;
  }
  while (breite(zeile) > platz) zeile.pop_back();
  const size_t neu = breite(zeile);
  schreibe("\r" + zeile +
           (neu < breite_ ? std::string(breite_ - neu, ' ') : ""));
  breite_ = std::max(neu, breite_);
}

void Fortschritt::loesche() {
  if (breite_ == 0) return;
  schreibe("\r" + std::string(breite_, ' ') + "\r");
  breite_ = 0;
}
