#include "tabellen/Csv.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// The records as "ZEILE:feld|feld" lines, "+N" for N fields left out, or the
// error.
std::string satzliste(const std::string& text, char trenner) {
  CsvLeser leser(text, trenner);
  std::string liste;
  for (CsvZeile z; leser.naechster(z);) {
    liste += std::to_string(z.zeile) + ":";
    for (size_t i = 0; i < z.felder.size(); ++i) {
      liste += (i > 0 ? "|" : "") + z.felder[i];
    }
    if (z.weggelassen > 0) liste += "+" + std::to_string(z.weggelassen);
    liste += "\n";
  }
  return leser.fehler().empty() ? liste : "! " + leser.fehler();
}

// `text` as alsUtf8 makes it, then its messages.
std::string utf8(const std::string& text, std::optional<Zeichensatz> wahl) {
  std::string_view gelesen = text;
  std::string umgewandelt, meldungen;
  const bool gut = alsUtf8(gelesen, umgewandelt, wahl, "t.csv", meldungen);
  return (gut ? std::string(gelesen) : "!") + "|" + meldungen;
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
  EXPECT_EQ("1:a|b\n3:x;y\r\nz|c\n6:d| e +1\n",
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

// A header may not be wider than kMaxKopfspalten, and no record keeps more
// fields than the header has, so a flood of separators costs neither time nor
// memory.
TEST(ImportCsv, KopfzeileHoechstens1000SpaltenUndSaetzeNichtBreiterAlsSie) {
  const std::string tausend = std::string(999, ';');
  EXPECT_EQ("1:" + std::string(999, '|') + "\n", satzliste(tausend, ';'));
  EXPECT_EQ("1:a|b\n2:x|y+999\n", satzliste("a;b\nx;y" + tausend, ';'));
  EXPECT_EQ("! 1: die Kopfzeile hat 1001 Spalten, erwartet hoechstens 1000",
            satzliste(tausend + ";\n1\n", ';'));
  EXPECT_EQ("! 2: die Kopfzeile hat 5000001 Spalten, erwartet hoechstens 1000",
            satzliste("\n\"a\nb\"" + std::string(5000000, ','), ','));
}

TEST(ImportCsv, WasKeinUtf8IstWirdAlsWindows1252Gelesen) {
  const std::string kHinweis =
      "quorvell-import: t.csv ist kein UTF-8 und wird als Windows-1252 "
      "gelesen; --zeichensatz utf-8 erzwingt UTF-8\n";
  const struct {
    std::string text;
    std::optional<Zeichensatz> wahl;
    std::string ergebnis;
  } kFaelle[] = {
      {"M\xC3\xBCller \xE2\x82\xAC", std::nullopt,
       "M\xC3\xBCller \xE2\x82\xAC|"},
      {"M\xFCller & S\xF6hne\n\x80 \x9C \x81", std::nullopt,
       "M\xC3\xBCller & S\xC3\xB6hne\n\xE2\x82\xAC \xC5\x93 \xC2\x81|" +
           kHinweis},
      // A valid sequence, then a lone lead byte at the very end.
      {"\xC3\xA4\xC3", std::nullopt, "\xC3\x83\xC2\xA4\xC3\x83|" + kHinweis},
      {"a\nb\nM\xFCller", Zeichensatz::utf8,
       "!|t.csv:3: Byte \\xFC ist kein UTF-8, erwartet mit --zeichensatz "
       "utf-8 eine Datei ganz in UTF-8\n"},
      {"M\xC3\xBCller", Zeichensatz::windows1252, "M\xC3\x83\xC2\xBCller|"},
  };
  for (const auto& fall : kFaelle) {
    EXPECT_EQ(fall.ergebnis, utf8(fall.text, fall.wahl))
        << testing::PrintToString(fall.text);
  }
}
