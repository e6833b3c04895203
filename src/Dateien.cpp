#include "Dateien.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>

std::string fehlergrund(int fehlernummer) {
  switch (fehlernummer) {
    case ENOENT:
    case ENOTDIR:
      return "nicht vorhanden";
    case EACCES:
    case EPERM:
      return "keine Berechtigung";
    case ELOOP:
      return "zu viele symbolische Verweise";
    case EIO:
      return "Ein-/Ausgabefehler";
    case ENOSPC:
      return "kein Platz mehr auf dem Datentraeger";
    case EDQUOT:
      return "Kontingent des Datentraegers erschoepft";
    case EFBIG:
      return "Datei zu gross";
    case EROFS:
      return "Datentraeger nur lesbar";
    case EEXIST:
      return "gibt es schon";
    case EISDIR:
      return "ist ein Verzeichnis";
    default:
      return std::strerror(fehlernummer);
  }
}

namespace {

std::string zuGross() {
  return "ist groesser als " + std::to_string(kLeseGrenze >> 20) + " MiB";
}

std::string nichtLesbar(int fehlernummer) {
  return "kann nicht gelesen werden (" + fehlergrund(fehlernummer) + ")";
}

// Why the opened file `fd` is not read as data; empty for a regular file of
// at most kLeseGrenze bytes.
std::string artFehler(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return nichtLesbar(errno);
  if (S_ISDIR(info.st_mode)) return "ist ein Verzeichnis";
  if (!S_ISREG(info.st_mode)) return "ist keine gewoehnliche Datei";
  if (static_cast<uintmax_t>(info.st_size) > kLeseGrenze) return zuGross();
  return "";
}

// Appends the rest of the file to `inhalt`. The limit is checked again, since
// the file may grow while it is read.
bool leseRest(int fd, std::string& inhalt, std::string& fehler) {
  char puffer[1 << 16];
  for (;;) {
    const ssize_t n = read(fd, puffer, sizeof puffer);
    if (n == 0) return true;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      fehler = nichtLesbar(errno);
      return false;
    }
    if (inhalt.size() + static_cast<size_t>(n) > kLeseGrenze) {
      fehler = zuGross();
      return false;
    }
    inhalt.append(puffer, static_cast<size_t>(n));
  }
}

// splitmix64's finaliser: every input bit changes about half the output bits.
uint64_t mische(uint64_t x) {
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

// "<pfad>.<16 hex digits>.tmp", the digits mixed from the process number, the
// clock and a counter: distinct for every call and hard to guess.
std::string tempName(const std::string& pfad) {
  static uint64_t zaehler = 0;
  timespec jetzt{};
  clock_gettime(CLOCK_REALTIME, &jetzt);
  uint64_t x = mische(++zaehler);
  x = mische(x ^ static_cast<uint64_t>(getpid()));
  x = mische(x ^ static_cast<uint64_t>(jetzt.tv_sec));
  x = mische(x ^ static_cast<uint64_t>(jetzt.tv_nsec));
  char ziffern[17];
  std::snprintf(ziffern, sizeof ziffern, "%016llx",
                static_cast<unsigned long long>(x));
  return pfad + "." + ziffern + ".tmp";
}

}  // namespace

int legeTempAn(const std::string& pfad, std::string& temp) {
  for (int versuch = 0; versuch < 100; ++versuch) {
    temp = tempName(pfad);
    const int fd =
        open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
             0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool schreibeGanz(int fd, std::string_view inhalt) {
  size_t geschrieben = 0;
  while (geschrieben < inhalt.size()) {
    const ssize_t n =
        write(fd, inhalt.data() + geschrieben, inhalt.size() - geschrieben);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = ENOSPC;
    if (n <= 0) return false;
    geschrieben += static_cast<size_t>(n);
  }
  return true;
}

namespace {

// Exchanges the files at `a` and `b` in one step when `b` is a regular file;
// false, with nothing changed, otherwise or where the file system cannot.
bool tauscheMitAlter(const std::string& a, const std::string& b) {
  struct stat alt {};
  return lstat(b.c_str(), &alt) == 0 && S_ISREG(alt.st_mode) &&
         renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) ==
             0;
}

}  // namespace

bool leseDatei(const std::string& pfad, std::string& inhalt,
               std::string& fehler) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int fd =
      open(pfad.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    fehler = nichtLesbar(errno);
    return false;
  }
  fehler = artFehler(fd);
  const bool gelesen = fehler.empty() && leseRest(fd, inhalt, fehler);
  close(fd);
  return gelesen;
}

Ersatzdatei::Ersatzdatei(const std::string& pfad, Ablage ablage)
    : pfad_(pfad), ablage_(ablage) {
  sigset_t ende;
  sigemptyset(&ende);
  for (int s : {SIGHUP, SIGINT, SIGPIPE, SIGQUIT, SIGTERM}) {
    sigaddset(&ende, s);
  }
  sigprocmask(SIG_BLOCK, &ende, &vorher_);
  fd_ = legeTempAn(pfad_, temp_);
}

Ersatzdatei::~Ersatzdatei() {
  if (fd_ >= 0) close(fd_);
  if (!temp_.empty()) unlink(temp_.c_str());
  // A signal that arrived meanwhile ends the program here, with no temporary
  // file left behind.
  sigprocmask(SIG_SETMASK, &vorher_, nullptr);
}

void Ersatzdatei::schreibe(std::string_view stueck) {
  if (fd_ >= 0 && !schreibeGanz(fd_, stueck)) {
    close(fd_);
    fd_ = -1;
  }
}

bool Ersatzdatei::fertig() {
  if (fd_ < 0) return false;
  const bool geschlossen = close(fd_) == 0;
  fd_ = -1;
  if (!geschlossen || !legeAb()) return false;
  temp_.clear();
  return true;
}

bool Ersatzdatei::legeAb() {
  if (ablage_ == Ablage::kSchnell && tauscheMitAlter(temp_, pfad_)) {
    // The temporary name now holds the old file.
    if (unlink(temp_.c_str()) == 0) return true;
    // What stood there was no longer a file by then: it goes back.
    tauscheMitAlter(temp_, pfad_);
    return false;
  }
  return std::rename(temp_.c_str(), pfad_.c_str()) == 0;
}

bool ersetzeDatei(const std::string& pfad, const std::string& inhalt) {
  Ersatzdatei datei(pfad);
  datei.schreibe(inhalt);
  return datei.fertig();
}

void pruefeAusgabe() {
  std::cout.flush();
  // A failed write leaves both error flags set; its reason is gone by now.
  if (std::fflush(stdout) == 0 && std::cout && std::ferror(stdout) == 0) {
    return;
  }
  std::cerr << "quorvell: Standardausgabe kann nicht geschrieben werden, "
               "Programm beendet"
            << std::endl;
  std::exit(1);
}
