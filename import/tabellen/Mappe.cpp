#include "tabellen/Mappe.h"

#include "tabellen/Ods.h"
#include "tabellen/Xlsx.h"
#include "tabellen/ZipXml.h"

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
