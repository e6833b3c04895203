#include "Dateien.h"

#include <cstdio>
#include <fstream>

bool leseDatei(const std::string& pfad, std::string& inhalt,
               std::string& fehler) {
  fehler = "kann nicht gelesen werden";
  std::FILE* datei = std::fopen(pfad.c_str(), "rb");
  if (datei == nullptr) return false;
  char puffer[1 << 16];
  size_t gelesen;
  while ((gelesen = std::fread(puffer, 1, sizeof puffer, datei)) > 0) {
    inhalt.append(puffer, gelesen);
  }
  const bool kaputt = std::ferror(datei) != 0;
  std::fclose(datei);
  return !kaputt;
}

bool ersetzeDatei(const std::string& pfad, const std::string& inhalt) {
  const std::string temp = pfad + ".tmp";
  {
    std::ofstream aus(temp, std::ios::binary | std::ios::trunc);
    if (!aus) return false;
    aus.write(inhalt.data(), static_cast<std::streamsize>(inhalt.size()));
    aus.close();
    if (!aus) {
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), pfad.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}
