#include "schreiben/Umstellung.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "Dateien.h"
#include "schreiben/Journal.h"
#include "schreiben/Signale.h"

namespace {

const std::string kVorsatz = "quorvell-import: ";
const char kSperre[] = ".quorvell-import.lock";
const char kJournal[] = "config/.quorvell-import.journal";
// The lock and the journal are the importer's own: a link at their place is
// never followed.
const char kKeinLink[] =
    " ist ein symbolischer Link, erwartet eine Datei von quorvell-import";

using Eintrag = Journaleintrag;

using Kennung = std::pair<dev_t, ino_t>;

// What stands at `pfad` (a link itself, not its target), if anything.
std::optional<Kennung> dateiAn(const std::string& pfad) {
  struct stat info {};
  if (lstat(pfad.c_str(), &info) != 0) return std::nullopt;
  return Kennung{info.st_dev, info.st_ino};
}

bool istEigen(const std::string& pfad, const Eintrag& eintrag) {
  return dateiAn(pfad) == Kennung{eintrag.geraet, eintrag.inode};
}

// Whether the open file `fd` is the one at `pfad`.
bool istDieDatei(int fd, const std::string& pfad) {
  struct stat offen {};
  return fstat(fd, &offen) == 0 &&
         dateiAn(pfad) == Kennung{offen.st_dev, offen.st_ino};
}

bool gleicheDatei(const std::string& a, const std::string& b) {
  const std::optional<Kennung> x = dateiAn(a);
  return x && x == dateiAn(b);
}

void entferne(const std::vector<std::string>& verzeichnisse) {
  for (auto p = verzeichnisse.rbegin(); p != verzeichnisse.rend(); ++p) {
    rmdir(p->c_str());
  }
}

const char kTemp[] = ".tmp";
const char kAlt[] = ".alt";

// The temporary file of `eintrag` beside its place `ziel` (endung kTemp), or
// the link to the file it replaced (kAlt).
std::string neben(const std::string& ziel, const Eintrag& eintrag,
                  const char* endung) {
  return ziel + "." + eintrag.kennung + endung;
}

std::string verzeichnisVon(const std::string& pfad) {
  const size_t schnitt = pfad.find_last_of('/');
  if (schnitt == std::string::npos) return ".";
  return schnitt == 0 ? "/" : pfad.substr(0, schnitt);
}

// Moves `von` to `nach` unless something stands at `nach` already.
bool legeNeuAb(const std::string& von, const std::string& nach) {
  if (renameat2(AT_FDCWD, von.c_str(), AT_FDCWD, nach.c_str(),
                RENAME_NOREPLACE) == 0) {
    return true;
  }
  // A file system without the flag: a second link, too, fails where the
  // name is taken.
  if ((errno != EINVAL && errno != ENOSYS) ||
      link(von.c_str(), nach.c_str()) != 0) {
    return false;
  }
  unlink(von.c_str());
  return true;
}

// Puts the file that `alt` kept back at `ziel`, or removes `ziel` when it
// replaced nothing.
bool stelleWiederHer(const std::string& ziel, const std::string& alt) {
  struct stat info {};
  if (lstat(alt.c_str(), &info) == 0) {
    return std::rename(alt.c_str(), ziel.c_str()) == 0;
  }
  return unlink(ziel.c_str()) == 0;
}

// Flushes the directory `pfad`, its entries included, to disk.
bool synchronisiereVerzeichnis(const std::string& pfad) {
  const int fd = open(pfad.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool gut = fsync(fd) == 0;
  close(fd);
  return gut;
}

}  // namespace

Umstellung::Umstellung(const std::string& ziel, bool ersetzen,
                       std::string& meldungen)
    : ziel_(ziel), ersetzen_(ersetzen), meldungen_(meldungen) {
  while (ziel_.size() > 1 && ziel_.back() == '/') ziel_.pop_back();
}

Umstellung::~Umstellung() {
  nimmZurueck();
  if (journal_ >= 0) close(journal_);
  // Only the run that holds the lock may remove a directory: another run
  // may be about to use it.
  const bool gesperrt = sperre_ >= 0;
  if (gesperrt && !fertig_) entferne(innenAngelegt_);
  entsperre();
  if (gesperrt && !fertig_) entferne(zielAngelegt_);
}

std::string Umstellung::pfad(const std::string& relativ) const {
  if (ziel_.empty()) return relativ;
  return ziel_ == "/" ? ziel_ + relativ : ziel_ + "/" + relativ;
}

std::string Umstellung::zielName() const { return ziel_.empty() ? "." : ziel_; }

bool Umstellung::gibtEs(const std::string& relativ) const {
  struct stat info {};
  return lstat(pfad(relativ).c_str(), &info) == 0;
}

bool Umstellung::fehler(const std::string& pfad, int fehlernummer) {
  meldungen_ += kVorsatz + pfad + " kann nicht geschrieben werden (" +
                fehlergrund(fehlernummer) + ")\n";
  return false;
}

bool Umstellung::signalKam() {
  if (gekommenesSignal() == 0) return false;
  meldungen_ += kVorsatz + "durch ein Signal abgebrochen\n";
  return true;
}

bool Umstellung::beginne() {
  signaleMerken();
  return sperre() && legeAn({pfad("config")}, innenAngelegt_, false) &&
         legeAn({pfad("data")}, innenAngelegt_, false) && raeumeResteAuf() &&
         oeffneJournal();
}

bool Umstellung::legeAn(const std::vector<std::string>& pfade,
                        std::vector<std::string>& angelegt, bool link) {
  int grund = ENOTDIR;
  for (const std::string& p : pfade) {
    if (mkdir(p.c_str(), 0777) == 0) {
      angelegt.push_back(p);
    } else if (errno != EEXIST) {
      grund = errno;
    }
  }
  const std::string& pfad = pfade.back();
  struct stat info {};
  const bool istLink = lstat(pfad.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
  const bool da = stat(pfad.c_str(), &info) == 0;
  if (da && S_ISDIR(info.st_mode) && (link || !istLink)) return true;
  meldungen_ +=
      kVorsatz +
      (istLink && !link ? pfad +
                              " ist ein symbolischer Link, erwartet ein "
                              "Verzeichnis; nichts geschrieben"
       : istLink && !da ? pfad +
                              " ist ein symbolischer Link auf nichts, "
                              "erwartet ein Verzeichnis; nichts geschrieben"
       : da ? pfad +
                  " ist eine Datei, kein Verzeichnis; nichts "
                  "geschrieben"
            : "das Verzeichnis " + pfad + " kann nicht angelegt werden (" +
                  fehlergrund(grund) + ")") +
      "\n";
  return false;
}

/* A run that ends removes the lock file while it holds the lock. Another run
 * may have opened it just before and then gets the lock on a file no longer
 * there; so the lock counts only when the file locked is still the one at
 * the path. */
bool Umstellung::sperre() {
  std::vector<std::string> ziel;
  for (size_t i = ziel_.find('/', 1); i != std::string::npos;
       i = ziel_.find('/', i + 1)) {
    ziel.push_back(ziel_.substr(0, i));
  }
  ziel.push_back(zielName());
  const std::string datei = pfad(kSperre);
  for (int versuch = 0; versuch < 100; ++versuch) {
    if (!legeAn(ziel, zielAngelegt_, true)) return false;
    const int fd =
        open(datei.c_str(),
             O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    // The target removed by a run that failed: made anew on the next try.
    if (fd < 0 && errno == ENOENT) continue;
    if (fd < 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int grund = errno;
      if (fd >= 0) close(fd);
      meldungen_ +=
          kVorsatz +
          (grund == EWOULDBLOCK
               ? "in " + ziel.back() +
                     " schreibt gerade ein anderer quorvell-import"
           : grund == ELOOP ? datei + kKeinLink
                            : datei + " kann nicht gesperrt werden (" +
                                  fehlergrund(grund) + ")") +
          "; nichts geschrieben\n";
      return false;
    }
    if (istDieDatei(fd, datei)) {
      sperre_ = fd;
      return true;
    }
    close(fd);
  }
  meldungen_ += kVorsatz + datei + " kann nicht gesperrt werden\n";
  return false;
}

void Umstellung::entsperre() {
  if (sperre_ < 0) return;
  const std::string datei = pfad(kSperre);
  if (istDieDatei(sperre_, datei)) unlink(datei.c_str());
  close(sperre_);
  sperre_ = -1;
}

/* The journal of a run that was killed names every file it prepared, the
 * index last. When the index in place is the run's own, the run had
 * finished and only its leftovers go; otherwise everything it moved is put
 * back. */
bool Umstellung::raeumeResteAuf() {
  const std::string journal = pfad(kJournal);
  struct stat info {};
  if (lstat(journal.c_str(), &info) != 0 && errno == ENOENT) return true;
  if (S_ISLNK(info.st_mode)) {
    meldungen_ += kVorsatz + journal + kKeinLink + "; nichts geschrieben\n";
    return false;
  }
  std::string text, grund;
  if (!leseDatei(journal, text, grund)) {
    meldungen_ += kVorsatz + journal + " " + grund + "; nichts geschrieben\n";
    return false;
  }
  const std::vector<Eintrag> eintraege = leseJournal(text);
  const bool fertig =
      !eintraege.empty() &&
      istEigen(pfad(eintraege.back().relativ), eintraege.back());
  const bool gut = raeumeAuf(eintraege, fertig);
  synchronisiereInnen();
  if (!gut) {
    meldungen_ += kVorsatz + "die Reste eines abgebrochenen Imports in " +
                  journal +
                  " lassen sich nicht ganz aufraeumen; nichts "
                  "geschrieben\n";
    return false;
  }
  unlink(journal.c_str());
  if (eintraege.empty()) return true;
  meldungen_ += kVorsatz + "Warnung: ein abgebrochener Import hatte " +
                zielName() +
                (fertig ? " schon ganz geschrieben; seine Reste sind entfernt\n"
                        : " nicht fertig geschrieben; die Dateien davor sind "
                          "wiederhergestellt\n");
  return true;
}

void Umstellung::synchronisiereInnen() {
  for (const char* verzeichnis : {"data", "config"}) {
    synchronisiereVerzeichnis(pfad(verzeichnis));
  }
}

bool Umstellung::oeffneJournal() {
  const std::string journal = pfad(kJournal);
  journal_ = open(
      journal.c_str(),
      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_APPEND | O_CLOEXEC, 0666);
  return journal_ >= 0 || fehler(journal, errno);
}

void Umstellung::schliesseJournal(bool entfernen) {
  close(journal_);
  journal_ = -1;
  if (entfernen) unlink(pfad(kJournal).c_str());
}

bool Umstellung::trageEin(const Eintrag& eintrag) {
  return schreibeGanz(journal_, journalZeile(eintrag)) ||
         fehler(pfad(kJournal), errno);
}

std::string Umstellung::bereite(const std::string& relativ,
                                const std::string& inhalt) {
  if (signalKam()) return "";
  const std::string ziel = pfad(relativ);
  std::string temp;
  const int fd = legeTempAn(ziel, temp);
  if (fd < 0) {
    fehler(ziel, errno);
    return "";
  }
  struct stat info {};
  fstat(fd, &info);
  eintraege_.push_back(
      {relativ, temp.substr(ziel.size() + 1, 16), info.st_dev, info.st_ino});
  bool gut = trageEin(eintraege_.back());
  if (gut && !schreibeGanz(fd, inhalt)) gut = fehler(ziel, errno);
  if (close(fd) != 0 && gut) gut = fehler(ziel, errno);
  return gut ? temp : "";
}

bool Umstellung::synchronisiere(const std::set<std::string>& menge) {
  for (const std::string& verzeichnis : menge) {
    const int fd =
        open(verzeichnis.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool gut = fd >= 0 && syncfs(fd) == 0;
    const int grund = errno;
    if (fd >= 0) close(fd);
    if (!gut) return fehler(verzeichnis, grund);
  }
  return true;
}

bool Umstellung::stelleAuf(Eintrag& eintrag) {
  const std::string ziel = pfad(eintrag.relativ);
  const std::string temp = neben(ziel, eintrag, kTemp);
  struct stat info {};
  if (lstat(ziel.c_str(), &info) != 0) {
    return legeNeuAb(temp, ziel) || fehler(ziel, errno);
  }
  if (!ersetzen_) return fehler(ziel, EEXIST);
  if (S_ISDIR(info.st_mode)) return fehler(ziel, EISDIR);
  const std::string alt = neben(ziel, eintrag, kAlt);
  if (link(ziel.c_str(), alt.c_str()) != 0) return fehler(ziel, errno);
  eintrag.ersetzt = true;
  return std::rename(temp.c_str(), ziel.c_str()) == 0 || fehler(ziel, errno);
}

std::set<std::string> Umstellung::verzeichnisse(size_t bis) const {
  std::set<std::string> menge;
  for (size_t i = 0; i < bis; ++i) {
    menge.insert(verzeichnisVon(pfad(eintraege_[i].relativ)));
  }
  return menge;
}

/* All files, and the journal that names them, are on disk before the first
 * one moves; the moved ones, names included, before the index does. */
bool Umstellung::stelleUm() {
  if (eintraege_.empty() || !synchronisiere(verzeichnisse(eintraege_.size()))) {
    return false;
  }
  const size_t letzter = eintraege_.size() - 1;
  for (size_t i = 0; i < letzter; ++i) {
    if (signalKam() || !stelleAuf(eintraege_[i])) return false;
  }
  for (const std::string& verzeichnis : verzeichnisse(letzter)) {
    if (!synchronisiereVerzeichnis(verzeichnis)) {
      return fehler(verzeichnis, errno);
    }
  }
  if (signalKam() || !stelleAuf(eintraege_[letzter])) return false;
  fertig_ = true;
  synchronisiereVerzeichnis(verzeichnisVon(pfad(eintraege_[letzter].relativ)));
  for (const Eintrag& eintrag : eintraege_) {
    if (eintrag.ersetzt) {
      unlink(neben(pfad(eintrag.relativ), eintrag, kAlt).c_str());
    }
  }
  schliesseJournal(true);
  return true;
}

bool Umstellung::raeumeAuf(const std::vector<Eintrag>& eintraege, bool fertig) {
  bool gut = true;
  for (auto e = eintraege.rbegin(); e != eintraege.rend(); ++e) {
    const std::string ziel = pfad(e->relativ);
    const std::string temp = neben(ziel, *e, kTemp);
    const std::string alt = neben(ziel, *e, kAlt);
    if (!fertig && istEigen(ziel, *e) && !stelleWiederHer(ziel, alt)) {
      const int grund = errno;
      struct stat info {};
      meldungen_ +=
          kVorsatz + ziel + " kann nicht wiederhergestellt werden (" +
          fehlergrund(grund) + ")" +
          (lstat(alt.c_str(), &info) == 0 ? "; die alte Fassung liegt in " + alt
                                          : "") +
          "\n";
      gut = false;
      continue;
    }
    if (istEigen(temp, *e)) unlink(temp.c_str());
    if (fertig || gleicheDatei(alt, ziel)) unlink(alt.c_str());
  }
  return gut;
}

void Umstellung::nimmZurueck() {
  if (fertig_ || journal_ < 0) return;
  const bool gut = raeumeAuf(eintraege_, false);
  synchronisiereInnen();
  // Kept when something could not be put back, for the next run to retry.
  schliesseJournal(gut);
  if (!eintraege_.empty()) {
    meldungen_ += kVorsatz + "nichts geschrieben; " +
                  (gut ? "die Dateien in " + zielName() + " sind wie zuvor\n"
                       : "nicht alle alten Dateien sind wiederhergestellt\n");
  }
  eintraege_.clear();
}
