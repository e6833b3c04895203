#include "ImportCsv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The records as "ZEILE:feld|feld" lines, or the error.
std::string satzliste(const std::string& text, char trenner) {
  std::vector<CsvZeile> zeilen;
  std::string fehler;
  if (!leseCsv(text, trenner, zeilen, fehler)) return "! " + fehler;
  std::string liste;
  for (const CsvZeile& z : zeilen) {
    liste += std::to_string(z.zeile) + ":";
    for (size_t i = 0; i < z.felder.size(); ++i) {
      liste += (i > 0 ? "|" : "") + z.felder[i];
    }
    liste += "\n";
  }
  return liste;
}

}  // namespace

TEST(ImportCsv, DerTrennerKommtAusDerKopfzeileAusserhalbVonZitaten) {
  EXPECT_EQ(';', erkenneTrenner("\r\n\"a,b,c\";d;e\nf,g,h,i,j\n"));
  EXPECT_EQ(',', erkenneTrenner("Company,Date,\"Net; income\"\n"));
  EXPECT_EQ('\t', erkenneTrenner("a\tb\tc,d\n"));
  EXPECT_EQ(0, erkenneTrenner("a;b,c\n"));
  EXPECT_EQ(0, erkenneTrenner("Firma\n"));
}

TEST(ImportCsv, SaetzeTragenDieZeileIhresAnfangs) {
  EXPECT_EQ("1:a|b\n3:x;y\r\nz|c\n6:d| e |\n",
            satzliste("a;b\r\n\r\n\"x;y\r\nz\";c\r  \r\nd;\" e \";", ';'));
  EXPECT_EQ("1:a|b|\n2:c|d\n", satzliste("a\t b \t\nc\td", '\t'));
  EXPECT_EQ(
      "! 2: Anfuehrungszeichen an falscher Stelle, erwartet ein Feld ganz "
      "in \"...\" mit \"\" fuer ein Anfuehrungszeichen darin",
      satzliste("a,b\nc\"d,e\n", ','));
  EXPECT_EQ(
      "! 2: Anfuehrungszeichen bis zum Dateiende nicht geschlossen, "
      "erwartet ein schliessendes \"",
      satzliste("a,b\n\"c,d\n\n", ','));
}
