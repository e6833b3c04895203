#ifndef QUORVELL_SCHREIBEN_UMSTELLUNG_H_
#define QUORVELL_SCHREIBEN_UMSTELLUNG_H_

// Puts a set of new files into an import's target directory (config/ and
// data/) all at once, or none of them. Each new file is first written beside
// its place under a temporary name, and all of them are flushed to disk; only
// then are they moved into place, the file prepared last (the index) as the
// very last step, while a link keeps every file they replace until that step
// is done. A failure or a signal puts the old files back; a journal in
// config/ lets the next run do the same after a crash. A lock on a file in
// the target keeps a second run out meanwhile.

#include <set>
#include <string>
#include <vector>

#include "schreiben/Journal.h"

class Umstellung {
 public:
  // Works in the directory `ziel` ("" is the current one). `ersetzen`: files
  // that exist may be replaced. Messages are appended to `meldungen`.
  Umstellung(const std::string& ziel, bool ersetzen, std::string& meldungen);
  // Puts everything back unless stelleUm() succeeded, releases the lock, and
  // removes the directories beginne() created when nothing was written.
  ~Umstellung();
  Umstellung(const Umstellung&) = delete;
  Umstellung& operator=(const Umstellung&) = delete;

  // Creates the target where it is missing, takes the lock, creates config/
  // and data/ and puts back what a killed run left. False, with a message,
  // when any of it fails, another run holds the lock, or config/, data/,
  // the lock or the journal is a symbolic link (the target itself may be
  // one: the user named it).
  bool beginne();
  // Whether anything, a dangling link included, stands at `relativ`.
  bool gibtEs(const std::string& relativ) const;
  // `relativ` inside the target directory, as messages name it.
  std::string pfad(const std::string& relativ) const;
  // The target directory as messages name it.
  std::string zielName() const;
  // Writes `inhalt` as the new file `relativ` ("data/x.txt") into a
  // temporary file beside it; returns that file's path, or "" with a message.
  std::string bereite(const std::string& relativ, const std::string& inhalt);
  // Flushes the prepared files to disk and moves them into place, the last
  // one prepared last; false, with a message, when one cannot be, or when a
  // signal came. From the moment the last one is in place it is done.
  bool stelleUm();
  // Puts back every file that stelleUm() has moved, removes the prepared
  // ones, and says so in a message when there were any.
  void nimmZurueck();

 private:
  using Eintrag = Journaleintrag;

  // Creates each of `pfade` that is missing, in order, noting it in
  // `angelegt`; false, with a message, when the last is no directory then,
  // or a symbolic link where `link` allows none.
  bool legeAn(const std::vector<std::string>& pfade,
              std::vector<std::string>& angelegt, bool link);
  bool sperre();
  void entsperre();
  bool raeumeResteAuf();
  bool oeffneJournal();
  void schliesseJournal(bool entfernen);
  bool trageEin(const Eintrag& eintrag);
  // Moves the temporary file of `eintrag` into place: where nothing stands,
  // or over the old file after a link to it.
  bool stelleAuf(Eintrag& eintrag);
  // The directories of the first `bis` files prepared.
  std::set<std::string> verzeichnisse(size_t bis) const;
  // Flushes the file systems of `menge` to disk; false with a message.
  bool synchronisiere(const std::set<std::string>& menge);
  void synchronisiereInnen();
  // Puts back the files `eintraege` replaced, unless `fertig`, and removes
  // their temporary files and links where they are still the run's own;
  // false, with a message, when a file cannot be put back.
  bool raeumeAuf(const std::vector<Eintrag>& eintraege, bool fertig);
  // Whether a signal came; says so in a message.
  bool signalKam();
  // Appends "PFAD kann nicht geschrieben werden (reason)"; returns false.
  bool fehler(const std::string& pfad, int fehlernummer);

  std::string ziel_;
  bool ersetzen_;
  std::string& meldungen_;
  // Directories created, in order: the target and those above it, before the
  // lock; config/ and data/, under it.
  std::vector<std::string> zielAngelegt_;
  std::vector<std::string> innenAngelegt_;
  int sperre_ = -1;
  int journal_ = -1;
  std::vector<Eintrag> eintraege_;
  bool fertig_ = false;
};

#endif  // QUORVELL_SCHREIBEN_UMSTELLUNG_H_
