#include "quellen/Quellen.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "Dateien.h"
#include "gemeinsam/ImportFirma.h"
#include "quellen/IxbrlPaket.h"

namespace {

const std::string kVorsatz = "quorvell-import: ";

std::string zuGross() {
  return "ist groesser als " + std::to_string(kQuellGrenze >> 20) + " MiB";
}

// The largest buffer of compressed bytes kept for the next entry.
constexpr size_t kBehalten = size_t{256} << 10;

// What an entry may unpack to beside its packed size: kPackFaktor times as
// much, or kPackFrei, whichever is more. Real tables and reports pack some
// ten times smaller; an entry that would unpack far beyond is refused before
// it is unpacked.
constexpr uint64_t kPackFaktor = 200;
constexpr uint64_t kPackFrei = uint64_t{1} << 20;

// The room first given to an entry that unpacks to `laenge` from `gepackt`
// bytes, grown from there with what actually comes out: a header that
// claims far more than its bytes hold gets no more than they could.
size_t ersterPlatz(size_t laenge, size_t gepackt) {
  return std::min(laenge, 32 * gepackt + (size_t{1} << 20));
}

struct EntpackerFrei {
  void operator()(libdeflate_decompressor* e) const {
    libdeflate_free_decompressor(e);
  }
};

// Reads the files of one source into one buffer, which keeps its memory for
// the next file.
class Quellenleser {
 public:
  Quellenleser(const std::function<void(const Eingang&)>& empfaenger,
               const std::function<void(const std::string&)>& melde)
      : empfaenger_(empfaenger), melde_(melde) {}

  // Reads the source `pfad`; false when memory ran out, which ends the walk
  // with a message naming the file read.
  bool quelle(const std::string& pfad);

 private:
  void lies(const std::string& pfad);
  void verzeichnis(const std::string& pfad);
  void datei(const std::string& pfad);
  void archiv(int fd, const std::string& pfad);
  bool paket(zip_t* archiv, const std::string& pfad);
  void eintrag(zip_t* archiv, zip_uint64_t nummer, const std::string& pfad);
  bool entpacke(zip_t* archiv, zip_uint64_t nummer, const zip_stat_t& info);
  static zip_int64_t leseRoh(zip_file_t* datei, std::string& ziel,
                             size_t laenge);
  void leseAlles(int fd, size_t erwartet, const std::string& pfad);
  void gib(const std::string& name, size_t laenge);
  void melde(const std::string& text) { melde_(kVorsatz + text + "\n"); }

  const std::function<void(const Eingang&)>& empfaenger_;
  const std::function<void(const std::string&)>& melde_;
  std::string puffer_;
  std::string gepackt_;       // the compressed bytes of an archive entry
  std::string name_;          // of the file or entry being read
  size_t archivGroesse_ = 0;  // of the archive whose entries are read
  size_t nummer_ = 1;         // the place of the file read among its neighbours
  size_t anzahl_ = 1;
  // Within a report package: the set read, and whether its last document.
  std::string satz_;
  bool letztes_ = true;
  std::unique_ptr<libdeflate_decompressor, EntpackerFrei> entpacker_;
};

bool Quellenleser::quelle(const std::string& pfad) {
  try {
    lies(pfad);
  } catch (const std::bad_alloc&) {
    std::string().swap(puffer_);
    std::string().swap(gepackt_);
    melde(name_ + ": " + speicherFehlt() + "; der Lauf endet hier");
    return false;
  }
  return true;
}

void Quellenleser::lies(const std::string& pfad) {
  name_ = pfad;
  struct stat info {};
  if (stat(pfad.c_str(), &info) != 0) {
    return melde(pfad + " kann nicht gelesen werden (" + fehlergrund(errno) +
                 ")");
  }
  if (S_ISDIR(info.st_mode)) {
    verzeichnis(pfad);
  } else {
    datei(pfad);
  }
}

void Quellenleser::verzeichnis(const std::string& pfad) {
  namespace fs = std::filesystem;
  std::vector<std::string> namen;
  std::error_code fehler;
  for (fs::directory_iterator it(pfad, fehler), ende; !fehler && it != ende;
       it.increment(fehler)) {
    std::error_code artFehler;
    if (it->is_regular_file(artFehler)) {
      namen.push_back(it->path().filename().string());
    }
  }
  if (fehler) {
    return melde("das Verzeichnis " + pfad + " kann nicht gelesen werden (" +
                 fehlergrund(fehler.value()) + ")");
  }
  std::sort(namen.begin(), namen.end());
  const std::string vorn =
      pfad.empty() || pfad.back() == '/' ? pfad : pfad + "/";
  anzahl_ = namen.size();
  for (size_t i = 0; i < namen.size(); ++i) {
    nummer_ = i + 1;
    datei(vorn + namen[i]);
  }
}

void Quellenleser::datei(const std::string& pfad) {
  name_ = pfad;
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int fd =
      open(pfad.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    return melde(pfad + " kann nicht gelesen werden (" + fehlergrund(errno) +
                 ")");
  }
  struct stat info {};
  std::string fehler;
  char anfang[4] = {};
  if (fstat(fd, &info) != 0) {
    fehler = "kann nicht gelesen werden (" + fehlergrund(errno) + ")";
  } else if (!S_ISREG(info.st_mode)) {
    fehler = "ist keine gewoehnliche Datei";
  } else if (static_cast<uintmax_t>(info.st_size) > kQuellGrenze) {
    fehler = zuGross();
  } else if (pread(fd, anfang, sizeof anfang, 0) == sizeof anfang &&
             erkenneArt(std::string_view(anfang, sizeof anfang)) ==
                 Dateiart::archiv) {
    archiv(fd, pfad);
    return;
  }
  if (fehler.empty()) leseAlles(fd, static_cast<size_t>(info.st_size), pfad);
  close(fd);
  if (!fehler.empty()) melde(pfad + " " + fehler);
}

void Quellenleser::leseAlles(int fd, size_t erwartet, const std::string& pfad) {
  size_t laenge = 0;
  puffer_.resize(erwartet + 1 + kPolster);
  for (;;) {
    if (laenge + kPolster == puffer_.size()) {
      puffer_.resize(2 * puffer_.size());
    }
    const ssize_t n =
        read(fd, &puffer_[laenge], puffer_.size() - kPolster - laenge);
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      return melde(pfad + " kann nicht gelesen werden (" + fehlergrund(errno) +
                   ")");
    }
    laenge += static_cast<size_t>(n);
    if (laenge > kQuellGrenze) return melde(pfad + " " + zuGross());
  }
  gib(pfad, laenge);
}

std::string zipFehler(int code) {
  zip_error_t fehler;
  zip_error_init_with_code(&fehler, code);
  std::string text = zip_error_strerror(&fehler);
  zip_error_fini(&fehler);
  return text;
}

// A zip archive is a workbook or else an archive of sources; this is the one
// place that decides what an opened archive holds.
void Quellenleser::archiv(int fd, const std::string& pfad) {
  // libzip closes `fd` with the archive; a workbook is read through the copy.
  const int kopie = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  int code = 0;
  zip_t* archiv = kopie < 0 ? nullptr : zip_fdopen(fd, ZIP_RDONLY, &code);
  if (archiv == nullptr) {
    const std::string grund = kopie < 0 ? fehlergrund(errno) : zipFehler(code);
    close(fd);
    if (kopie >= 0) close(kopie);
    return melde(pfad + " ist kein lesbares ZIP-Archiv (" + grund + ")");
  }
  if (erkenneMappe(archiv) != Mappenart::keine) {
    zip_discard(archiv);
    struct stat groesse {};
    if (fstat(kopie, &groesse) == 0 && lseek(kopie, 0, SEEK_SET) == 0) {
      leseAlles(kopie, static_cast<size_t>(groesse.st_size), pfad);
    } else {
      melde(pfad + " kann nicht gelesen werden (" + fehlergrund(errno) + ")");
    }
    close(kopie);
    return;
  }
  struct stat groesse {};
  archivGroesse_ =
      fstat(kopie, &groesse) == 0 ? static_cast<size_t>(groesse.st_size) : 0;
  close(kopie);
  if (paket(archiv, pfad)) {
    zip_discard(archiv);
    return;
  }
  const zip_int64_t anzahl = zip_get_num_entries(archiv, 0);
  // An archive in a directory counts its own entries while it is read.
  const size_t imVerzeichnis[2] = {nummer_, anzahl_};
  anzahl_ = static_cast<size_t>(std::max<zip_int64_t>(anzahl, 0));
  for (zip_int64_t i = 0; i < anzahl; ++i) {
    nummer_ = static_cast<size_t>(i) + 1;
    eintrag(archiv, static_cast<zip_uint64_t>(i), pfad);
  }
  nummer_ = imVerzeichnis[0];
  anzahl_ = imVerzeichnis[1];
  zip_discard(archiv);
}

// A report package: the inline XBRL documents of each of its reports, as
// one set each; what else it holds (images, stylesheets, its taxonomy) is
// passed over. False when the archive is no package.
bool Quellenleser::paket(zip_t* archiv, const std::string& pfad) {
  const zip_int64_t anzahl = zip_get_num_entries(archiv, 0);
  std::vector<std::string> namen;
  for (zip_int64_t i = 0; i < anzahl; ++i) {
    const char* name = zip_get_name(archiv, static_cast<zip_uint64_t>(i), 0);
    namen.emplace_back(name != nullptr ? name : "");
  }
  const std::optional<std::vector<IxbrlBericht>> berichte = erkennePaket(namen);
  if (!berichte) return false;
  if (berichte->empty()) {
    melde(pfad +
          " ist ein Berichtspaket ohne Bericht, erwartet Inline-XBRL-"
          "Dokumente (.xhtml, .html) unter reports/");
  }
  const size_t imVerzeichnis[2] = {nummer_, anzahl_};
  for (const IxbrlBericht& bericht : *berichte) {
    anzahl_ = bericht.dokumente.size();
    for (size_t d = 0; d < bericht.dokumente.size(); ++d) {
      satz_ = pfad + ":" + bericht.ordner;
      letztes_ = d + 1 == bericht.dokumente.size();
      nummer_ = d + 1;
      eintrag(archiv, bericht.dokumente[d], pfad);
    }
  }
  satz_.clear();
  letztes_ = true;
  nummer_ = imVerzeichnis[0];
  anzahl_ = imVerzeichnis[1];
  return true;
}

void Quellenleser::eintrag(zip_t* archiv, zip_uint64_t nummer,
                           const std::string& pfad) {
  zip_stat_t info;
  if (zip_stat_index(archiv, nummer, 0, &info) != 0) {
    return melde(pfad + ": Eintrag " + std::to_string(nummer + 1) +
                 " kann nicht gelesen werden (" + zip_strerror(archiv) + ")");
  }
  const std::string name = pfad + ":" + info.name;
  if (name.back() == '/') return;
  name_ = name;
  if (info.size > kQuellGrenze) return melde(name + " " + zuGross());
  if ((info.valid & ZIP_STAT_COMP_SIZE) != 0 && info.size > kPackFrei &&
      info.size / kPackFaktor > info.comp_size) {
    return melde(name + " ist ausgepackt " + std::to_string(info.size) +
                 " Bytes gross, mehr als das " + std::to_string(kPackFaktor) +
                 "-Fache seiner " + std::to_string(info.comp_size) +
                 " gepackten Bytes");
  }
  const auto laenge = static_cast<size_t>(info.size);
  if (!entpacke(archiv, nummer, info)) {
    zip_file_t* datei = zip_fopen_index(archiv, nummer, 0);
    if (datei == nullptr) {
      return melde(name + " kann nicht gelesen werden (" +
                   zip_strerror(archiv) + ")");
    }
    // Read on to the end, where libzip checks the content against its CRC.
    const zip_int64_t gelesen = leseRoh(datei, puffer_, laenge);
    const std::string fehler = gelesen < 0 ? zip_file_strerror(datei) : "";
    zip_fclose(datei);
    if (gelesen < 0 || static_cast<size_t>(gelesen) != laenge) {
      return melde(name + " kann nicht gelesen werden (" +
                   (gelesen < 0 ? fehler : "Laenge stimmt nicht") + ")");
    }
  }
  const std::string_view inhalt(puffer_.data(), laenge);
  if (erkenneArt(inhalt) == Dateiart::archiv &&
      erkenneMappe(inhalt) == Mappenart::keine) {
    return melde(name +
                 " ist ein Archiv im Archiv, erwartet JSON-, CSV- oder "
                 "Inline-XBRL-Dateien oder Arbeitsmappen (ein Berichtspaket "
                 "fuer sich, nicht in einem Archiv); bitte erst auspacken");
  }
  gib(name, laenge);
}

// Reads `datei` to its end into `ziel`, which grows with what comes, up to
// `laenge` + 1 bytes, so that a file longer than it says is found and one
// shorter takes no more than it holds. Returns the number of bytes read, or
// -1 when reading fails (zip_file_strerror() says why).
zip_int64_t Quellenleser::leseRoh(zip_file_t* datei, std::string& ziel,
                                  size_t laenge) {
  size_t gelesen = 0;
  zip_int64_t n = 0;
  do {
    if (gelesen + kPolster >= ziel.size()) {
      if (gelesen > laenge) break;
      ziel.resize(std::min(std::max(2 * gelesen, size_t{1} << 16), laenge + 1) +
                  kPolster);
    }
    n = zip_fread(datei, &ziel[gelesen],
                  std::min(ziel.size() - kPolster, laenge + 1) - gelesen);
    gelesen += n > 0 ? static_cast<size_t>(n) : 0;
  } while (n > 0);
  return n < 0 ? -1 : static_cast<zip_int64_t>(gelesen);
}

// A deflated entry unpacked with libdeflate into puffer_, which is several
// times faster than zlib behind zip_fread, its CRC-32 and length checked.
// False where the entry is of another kind or anything fails: libzip then
// reads it, and says what is wrong.
bool Quellenleser::entpacke(zip_t* archiv, zip_uint64_t nummer,
                            const zip_stat_t& info) {
  constexpr zip_uint64_t kNoetig = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE |
                                   ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC |
                                   ZIP_STAT_ENCRYPTION_METHOD;
  // Deflate makes no entry much longer than its content (a stored block
  // adds 5 bytes to 64 KiB); a longer one is damaged, and libzip says so.
  if ((info.valid & kNoetig) != kNoetig || info.comp_method != ZIP_CM_DEFLATE ||
      info.encryption_method != ZIP_EM_NONE ||
      info.comp_size > info.size + info.size / 4096 + 64) {
    return false;
  }
  if (!entpacker_) entpacker_.reset(libdeflate_alloc_decompressor());
  zip_file_t* datei = zip_fopen_index(archiv, nummer, ZIP_FL_COMPRESSED);
  if (!entpacker_ || datei == nullptr) {
    if (datei != nullptr) zip_fclose(datei);
    return false;
  }
  // The packed bytes lie within the archive, whatever its header says.
  const auto gepackt = static_cast<size_t>(info.comp_size);
  if (gepackt < archivGroesse_) gepackt_.resize(gepackt + 1 + kPolster);
  const bool gelesen =
      leseRoh(datei, gepackt_, gepackt) == static_cast<zip_int64_t>(gepackt);
  zip_fclose(datei);
  const auto laenge = static_cast<size_t>(info.size);
  // Unpacked again into four times the room where the first was too small
  // (a new buffer: what it holds is of no use); the last room leaves one
  // byte more than the entry claims, so that a longer one is found.
  libdeflate_result ergebnis = LIBDEFLATE_BAD_DATA;
  size_t aus = 0;
  for (size_t platz = ersterPlatz(laenge, gepackt); gelesen;
       platz = std::min(4 * platz, laenge)) {
    const size_t raum = platz == laenge ? laenge + 1 : platz;
    if (puffer_.size() < raum + kPolster) {
      std::string().swap(puffer_);
      puffer_.resize(raum + kPolster);
    }
    ergebnis = libdeflate_deflate_decompress(
        entpacker_.get(), gepackt_.data(), gepackt, puffer_.data(), raum, &aus);
    if (ergebnis != LIBDEFLATE_INSUFFICIENT_SPACE || platz == laenge) break;
  }
  const bool gut = gelesen && ergebnis == LIBDEFLATE_SUCCESS && aus == laenge &&
                   libdeflate_crc32(0, puffer_.data(), laenge) == info.crc;
  // The compressed bytes of a large entry are not kept while it is parsed.
  if (gepackt_.capacity() > kBehalten) std::string().swap(gepackt_);
  return gut;
}

void Quellenleser::gib(const std::string& name, size_t laenge) {
  std::fill(puffer_.begin() + static_cast<std::ptrdiff_t>(laenge),
            puffer_.begin() + static_cast<std::ptrdiff_t>(laenge + kPolster),
            '\0');
  const std::string_view inhalt(puffer_.data(), laenge);
  // A zip archive that gets here is a workbook: archiv() and eintrag() pass
  // no other on; a document of a package is inline XBRL or broken.
  const Dateiart art = !satz_.empty() ? Dateiart::ixbrl : erkenneArt(inhalt);
  empfaenger_(Eingang{name, art == Dateiart::archiv ? Dateiart::mappe : art,
                      inhalt, nummer_, anzahl_, satz_.empty() ? name : satz_,
                      letztes_});
}

}  // namespace

bool leseQuelle(const std::string& pfad,
                const std::function<void(const Eingang&)>& empfaenger,
                const std::function<void(const std::string&)>& melde) {
  return Quellenleser(empfaenger, melde).quelle(pfad);
}
