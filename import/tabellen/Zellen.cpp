#include "tabellen/Zellen.h"

#include <algorithm>

#include "gemeinsam/ImportZahlen.h"

Blatt blattAusCsv(const std::vector<CsvZeile>& saetze,
                  const std::string& quelle) {
  Blatt blatt;
  blatt.quelle = quelle;
  for (CsvZeile satz : saetze) {
    blatt.zeilen.emplace_back();
    nimmSatz(satz, blatt.zeilen.back());
  }
  return blatt;
}

void nimmSatz(CsvZeile& satz, Zellenzeile& zeile) {
  zeile.zeile = satz.zeile;
  zeile.zellen.resize(satz.felder.size());
  for (size_t i = 0; i < satz.felder.size(); ++i) {
    Zelle& zelle = zeile.zellen[i];
    zelle.art = satz.felder[i].empty() ? Zellart::leer : Zellart::text;
    zelle.text.swap(satz.felder[i]);
  }
}

bool ohneInhalt(const Zelle& zelle) {
  return zelle.art == Zellart::leer ||
         (zelle.art == Zellart::text && ohneRand(zelle.text).empty());
}

bool ohneInhalt(const Zellenzeile& zeile) {
  return std::all_of(zeile.zellen.begin(), zeile.zellen.end(),
                     [](const Zelle& zelle) { return ohneInhalt(zelle); });
}

const Zelle& zelleIn(const Zellenzeile& zeile, size_t spalte) {
  static const Zelle kLeer;
  return spalte < zeile.zellen.size() ? zeile.zellen[spalte] : kLeer;
}

std::string spaltenname(size_t spalte) {
  std::string name;
  for (size_t rest = spalte + 1; rest > 0; rest = (rest - 1) / 26) {
    name.insert(name.begin(), static_cast<char>('A' + (rest - 1) % 26));
  }
  return name;
}

std::string blattOrt(const Blatt& blatt) {
  if (!blatt.ausMappe) return blatt.quelle;
  return blatt.quelle + ", Blatt \"" + blatt.name + "\"";
}

std::string zeilenOrt(const Blatt& blatt, int zeile) {
  if (!blatt.ausMappe) return blatt.quelle + ":" + std::to_string(zeile);
  return blattOrt(blatt) + ", Zeile " + std::to_string(zeile);
}

std::string zeilenOrt(const std::string& quelle, const std::string& blatt,
                      int zeile) {
  return zeilenOrt(Blatt{quelle, blatt, !blatt.empty(), kNullpunkt1900, {}, {}},
                   zeile);
}

std::string zellenOrt(const Blatt& blatt, int zeile, size_t spalte) {
  if (!blatt.ausMappe) return zeilenOrt(blatt, zeile);
  return blattOrt(blatt) + ", Zelle " + spaltenname(spalte) +
         std::to_string(zeile);
}
