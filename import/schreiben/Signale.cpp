#include "schreiben/Signale.h"

#include <unistd.h>

#include <csignal>
#include <initializer_list>

namespace {

// Set by signaleMerken(); from then on a signal is only noted.
volatile sig_atomic_t gBegonnen = 0;
volatile sig_atomic_t gSignal = 0;

void beiSignal(int signal) {
  if (gBegonnen != 0) {
    gSignal = signal;
    return;
  }
  static const char kText[] =
      "quorvell-import: durch ein Signal abgebrochen; nichts geschrieben\n";
  const ssize_t n = write(STDERR_FILENO, kText, sizeof kText - 1);
  static_cast<void>(n);
  _exit(1);
}

}  // namespace

void fangeSignale() {
  struct sigaction aktion {};
  aktion.sa_handler = beiSignal;
  sigemptyset(&aktion.sa_mask);
  for (int s : {SIGHUP, SIGINT, SIGTERM}) sigaddset(&aktion.sa_mask, s);
  for (int s : {SIGHUP, SIGINT, SIGTERM}) sigaction(s, &aktion, nullptr);
  std::signal(SIGXFSZ, SIG_IGN);
}

void signaleMerken() { gBegonnen = 1; }

int gekommenesSignal() { return gSignal; }
