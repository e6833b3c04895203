#include "ImportZellen.h"

Blatt blattAusCsv(const std::vector<CsvZeile>& saetze,
                  const std::string& quelle) {
  Blatt blatt;
  blatt.quelle = quelle;
  for (const CsvZeile& satz : saetze) {
    Zellenzeile zeile{satz.zeile, {}};
    for (const std::string& feld : satz.felder) {
      zeile.zellen.push_back(
          {feld.empty() ? Zellart::leer : Zellart::text, feld});
    }
    blatt.zeilen.push_back(std::move(zeile));
  }
  return blatt;
}

bool ohneInhalt(const Zelle& zelle) {
  return zelle.art == Zellart::leer ||
         (zelle.art == Zellart::text && ohneRand(zelle.text).empty());
}

std::string spaltenname(size_t spalte) {
  std::string name;
  for (size_t rest = spalte + 1; rest > 0; rest = (rest - 1) / 26) {
    name.insert(name.begin(), static_cast<char>('A' + (rest - 1) % 26));
  }
  return name;
}

std::string zeilenOrt(const Blatt& blatt, int zeile) {
  if (!blatt.ausMappe) return blatt.quelle + ":" + std::to_string(zeile);
  return blatt.quelle + ", Blatt \"" + blatt.name + "\", Zeile " +
         std::to_string(zeile);
}

std::string zellenOrt(const Blatt& blatt, int zeile, size_t spalte) {
  if (!blatt.ausMappe) return zeilenOrt(blatt, zeile);
  return blatt.quelle + ", Blatt \"" + blatt.name + "\", Zelle " +
         spaltenname(spalte) + std::to_string(zeile);
}
