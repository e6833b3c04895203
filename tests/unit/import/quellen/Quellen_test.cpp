#include "quellen/Quellen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "Dateien.h"
#include "Testdateien.h"
#include "Testdaten.h"

namespace {

// Names, contents and messages of reading the source `pfad`.
std::string lies(const std::string& pfad) {
  std::string text;
  leseQuelle(
      pfad,
      [&](const Eingang& e) {
        text += e.name.substr(e.name.find(':')) + " [" + std::string(e.inhalt) +
                "]\n";
      },
      [&](const std::string& zeile) { text += zeile; });
  return text;
}

}  // namespace

TEST(ImportQuellen, ArchiveintraegeGepacktUndUngepacktMitPruefsumme) {
  const std::string ordner = neuerOrdner("quellen");
  ASSERT_FALSE(ordner.empty());
  const std::string lang(100000, 'x');
  const std::string pfad = ordner + "/a.zip";
  ASSERT_TRUE(schreibeZip(pfad, {{"a.json", "{\"a\": 1}", true},
                                 {"b.csv", "x;y\n", false},
                                 {"leer.csv", "", true},
                                 {"lang.csv", lang, true},
                                 {"c.json", "[1, 2, 3]", true}}));
  EXPECT_EQ(":a.json [{\"a\": 1}]\n:b.csv [x;y\n]\n:leer.csv []\n:lang.csv [" +
                lang + "]\n:c.json [[1, 2, 3]]\n",
            lies(pfad));
  // The CRC-32 of c.json, in its local header and in the central directory,
  // made wrong.
  std::string bytes, grund;
  ASSERT_TRUE(leseDatei(pfad, bytes, grund));
  for (const auto& [kopf, crc, name] :
       {std::tuple{"PK\x03\x04", 14, 30}, std::tuple{"PK\x01\x02", 16, 46}}) {
    size_t stelle = bytes.find(kopf);
    while (stelle != std::string::npos &&
           bytes.compare(stelle + name, 6, "c.json") != 0) {
      stelle = bytes.find(kopf, stelle + 1);
    }
    ASSERT_NE(std::string::npos, stelle);
    bytes[stelle + crc] = static_cast<char>(bytes[stelle + crc] ^ 1);
  }
  ASSERT_TRUE(ersetzeDatei(pfad, bytes));
  EXPECT_EQ(":a.json [{\"a\": 1}]\n:b.csv [x;y\n]\n:leer.csv []\n:lang.csv [" +
                lang + "]\nquorvell-import: " + pfad +
                ":c.json kann nicht gelesen werden (CRC error)\n",
            lies(pfad));
  std::error_code fehler;
  std::filesystem::remove_all(ordner, fehler);
}
