#include "ImportMappe.h"

#include <zip.h>

#include "ImportOds.h"
#include "ImportXlsx.h"
#include "ImportZipXml.h"

namespace {

const char kOdsArt[] = "application/vnd.oasis.opendocument.spreadsheet";

}  // namespace

Mappenart erkenneMappe(zip* archiv) {
  if (zip_name_locate(archiv, "xl/workbook.xml", 0) >= 0) {
    return Mappenart::xlsx;
  }
  return teilIst(archiv, "mimetype", kOdsArt) ? Mappenart::ods
                                              : Mappenart::keine;
}

Mappenart erkenneMappe(std::string_view bytes) {
  Zipmappe mappe("");
  std::string fehler;
  if (!mappe.oeffne(bytes, fehler)) return Mappenart::keine;
  return erkenneMappe(mappe.archiv());
}

bool leseMappe(std::string_view bytes, const std::string& quelle,
               const std::string& blattname, Blatt& blatt,
               std::string& fehler) {
  Zipmappe mappe(quelle);
  if (!mappe.oeffne(bytes, fehler)) return false;
  switch (erkenneMappe(mappe.archiv())) {
    case Mappenart::xlsx:
      return leseXlsx(mappe, blattname, blatt, fehler);
    case Mappenart::ods:
      return leseOds(mappe, blattname, blatt, fehler);
    case Mappenart::keine:
      break;
  }
  fehler = quelle +
           " ist ein Zip-Archiv, aber keine Arbeitsmappe, erwartet "
           "xl/workbook.xml (xlsx) oder mimetype mit " +
           kOdsArt + " (ods)";
  return false;
}
