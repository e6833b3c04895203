#include "quellen/Dateiart.h"

#include <zip.h>

#include <string>

#include "quellen/IxbrlPaket.h"

namespace {

// Reads up to `laenge` bytes of an open member into `ziel`; the number read,
// or -1 on a failure.
zip_int64_t liesBis(zip_file_t* datei, char* ziel, size_t laenge) {
  size_t gelesen = 0;
  while (gelesen < laenge) {
    const zip_int64_t n = zip_fread(datei, ziel + gelesen, laenge - gelesen);
    if (n < 0) return -1;
    if (n == 0) break;
    gelesen += static_cast<size_t>(n);
  }
  return static_cast<zip_int64_t>(gelesen);
}

}  // namespace

const char kOdsArt[] = "application/vnd.oasis.opendocument.spreadsheet";

Dateiart erkenneArt(std::string_view anfang) {
  // Local file header or, for an empty archive, end of central directory.
  if (anfang.substr(0, 4) == "PK\x03\x04" ||
      anfang.substr(0, 4) == "PK\x05\x06") {
    return Dateiart::archiv;
  }
  if (anfang.substr(0, 3) == "\xEF\xBB\xBF") anfang.remove_prefix(3);
  const size_t erstes = anfang.find_first_not_of(" \t\r\n");
  if (erstes != std::string_view::npos &&
      (anfang[erstes] == '{' || anfang[erstes] == '[')) {
    return Dateiart::json;
  }
  // A table never starts with "<"; a document may start with a byte-order
  // mark of UTF-16 too.
  constexpr size_t kKopf = size_t{64} << 10;
  const bool tag = erstes != std::string_view::npos && anfang[erstes] == '<';
  const bool utf16 =
      anfang.substr(0, 2) == "\xFF\xFE" || anfang.substr(0, 2) == "\xFE\xFF";
  if ((tag || utf16) && istIxbrl(anfang.substr(0, kKopf))) {
    return Dateiart::ixbrl;
  }
  return Dateiart::tabelle;
}

Mappenart erkenneMappe(zip* archiv) {
  if (zip_name_locate(archiv, "xl/workbook.xml", 0) >= 0) {
    return Mappenart::xlsx;
  }
  return teilIst(archiv, "mimetype", kOdsArt) ? Mappenart::ods
                                              : Mappenart::keine;
}

Mappenart erkenneMappe(std::string_view bytes) {
  zip* archiv = oeffneZip(bytes);
  if (archiv == nullptr) return Mappenart::keine;
  const Mappenart art = erkenneMappe(archiv);
  zip_discard(archiv);
  return art;
}

zip* oeffneZip(std::string_view bytes) {
  zip_error_t fehler;
  zip_error_init(&fehler);
  zip_t* archiv = nullptr;
  zip_source_t* quelle =
      zip_source_buffer_create(bytes.data(), bytes.size(), 0, &fehler);
  if (quelle != nullptr) {
    archiv = zip_open_from_source(quelle, ZIP_RDONLY, &fehler);
    if (archiv == nullptr) zip_source_free(quelle);
  }
  zip_error_fini(&fehler);
  return archiv;
}

bool teilIst(zip* archiv, const char* teil, std::string_view inhalt) {
  zip_file_t* datei = zip_fopen(archiv, teil, 0);
  if (datei == nullptr) return false;
  std::string gelesen(inhalt.size() + 1, '\0');
  const zip_int64_t n = liesBis(datei, gelesen.data(), gelesen.size());
  zip_fclose(datei);
  return n == static_cast<zip_int64_t>(inhalt.size()) &&
         std::string_view(gelesen.data(), inhalt.size()) == inhalt;
}
