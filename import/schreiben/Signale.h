#ifndef QUORVELL_SCHREIBEN_SIGNALE_H_
#define QUORVELL_SCHREIBEN_SIGNALE_H_

// The signals that would end an import halfway: caught, so that a run that
// has begun to put files into place can put everything back instead.

// Catches SIGHUP, SIGINT and SIGTERM for the rest of the program and ignores
// SIGXFSZ, so that a file size limit fails a write instead of ending the
// program. Until signaleMerken() is called, such a signal ends the program
// at once with exit status 1 and a message on standard error; from then on
// it is only noted.
void fangeSignale();

// From now on a caught signal is only noted.
void signaleMerken();

// The signal noted since signaleMerken(), or 0.
int gekommenesSignal();

#endif  // QUORVELL_SCHREIBEN_SIGNALE_H_
