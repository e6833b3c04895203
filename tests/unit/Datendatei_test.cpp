#include "Datendatei.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "Testdaten.h"

class Firmendatei : public ::testing::Test {
 protected:
  void SetUp() override {
    verzeichnis = neuerOrdner("firmendatei");
    ASSERT_FALSE(verzeichnis.empty());
  }
  void TearDown() override {
    for (const std::string& p : dateien) unlink(p.c_str());
    rmdir(verzeichnis.c_str());
  }
  bool lese(const std::string& inhalt) {
    pfad = verzeichnis + "/daten" + std::to_string(dateien.size());
    dateien.push_back(pfad);
    std::ofstream(pfad, std::ios::binary) << inhalt;
    name.clear();
    berichte.clear();
    warnung.clear();
    return leseFirmendatei(pfad, name, berichte, warnung);
  }
  // Whether the warning names the file and the line `zeile` (a number
  // standing on its own outside the path).
  bool nenntDateiUndZeile(int zeile) const {
    const size_t p = warnung.find(pfad);
    if (p == std::string::npos) return false;
    const std::string rest =
        warnung.substr(0, p) + warnung.substr(p + pfad.size());
    return std::regex_search(
        rest, std::regex("(^|[^0-9])" + std::to_string(zeile) + "([^0-9]|$)"));
  }

  std::string verzeichnis;
  std::vector<std::string> dateien;
  std::string pfad;
  std::string name;
  std::vector<Finanzen> berichte;
  std::string warnung;
};

const char kZweiBerichte[] =
    "31-12-2014 1200000 80000 2500000 900000 1.0 1.2\n"
    "31-12-2013 1100000 -70000 2400000 850000 0.9 1.3";

TEST_F(Firmendatei, NameIstDieGanzeErsteZeileUndFelderLandenAnIhremPlatz) {
  ASSERT_TRUE(
      lese(std::string(" Muster  Handels AG & Co. KG \n") + kZweiBerichte));
  EXPECT_EQ(" Muster  Handels AG & Co. KG ", name);
  EXPECT_EQ("", warnung);
  ASSERT_EQ(2u, berichte.size());
  EXPECT_EQ("31-12-2014 1200000 80000 2500000 900000 1 1.2", text(berichte[0]));
  EXPECT_EQ("31-12-2013 1100000 -70000 2400000 850000 0.9 1.3",
            text(berichte[1]));
}

TEST_F(Firmendatei, ZeilenendenUndByteOrderMarkAndererSystemeStoerenNicht) {
  ASSERT_TRUE(
      lese("Muster AG\r\n31-12-2014 1 2 3 4 1.0 1.2\r\n"
           "31-12-2013 5 6 7 8 1.0 1.3\r\n"));
  EXPECT_EQ("Muster AG", name);
  ASSERT_EQ(2u, berichte.size());
  EXPECT_EQ("31-12-2013 5 6 7 8 1 1.3", text(berichte[1]));
  EXPECT_EQ("", warnung);

  ASSERT_TRUE(
      lese(std::string("\xEF\xBB\xBFM\xC3\xBCller AG\n") + kZweiBerichte));
  EXPECT_EQ("M\xC3\xBCller AG", name);
  EXPECT_EQ(2u, berichte.size());
}

TEST_F(Firmendatei, LeerraumAmEndeErgibtKeinenWeiterenBerichtUndKeineWarnung) {
  for (const char* ende : {"", "\n", "\n\n  \t\n", "   "}) {
    SCOPED_TRACE(testing::PrintToString(ende));
    ASSERT_TRUE(lese(std::string("Muster AG\n") + kZweiBerichte + ende));
    ASSERT_EQ(2u, berichte.size());
    EXPECT_EQ(1100000, berichte[1].getUmsatz());
    EXPECT_EQ("", warnung);
  }
}

TEST_F(Firmendatei, EinstelligeTagUndMonatSindDasselbeDatum) {
  ASSERT_TRUE(
      lese("Muster AG\n7-3-2014 1 2 3 4 1 1\n07-03-2014 1 2 3 4 1 1\n"));
  ASSERT_EQ(2u, berichte.size());
  EXPECT_EQ("7-3-2014 1 2 3 4 1 1", text(berichte[0]));
  EXPECT_EQ("7-3-2014 1 2 3 4 1 1", text(berichte[1]));
}

TEST_F(Firmendatei, UnlesbarerBetragBeendetDasLesenUndNenntSeineZeile) {
  // The bad record starts on line 5; its bad field stands on line 6.
  ASSERT_TRUE(
      lese("Muster AG\n31-12-2014 1 2 3 4 1.0 1.2\n\n\n"
           "31-12-2013 5 6\nzwei 8 1.0 1.3\n31-12-2012 9 9 9 9 1 1\n"));
  ASSERT_EQ(1u, berichte.size());
  EXPECT_EQ(1, berichte[0].getUmsatz());
  EXPECT_EQ("quorvell: " + pfad +
                ", Zeile 6, Feld 4 (Bilanzsumme) des Berichts ab Zeile 5: "
                "\"zwei\" ist kein ganzer Betrag wie 1200000 (ohne "
                "Tausenderpunkte und Nachkommastellen); Rest der Datei "
                "ignoriert\n",
            warnung);
}

TEST_F(Firmendatei, UnvollstaendigerLetzterDatensatzGibtEineWarnung) {
  ASSERT_TRUE(lese(std::string("Muster AG\n") + kZweiBerichte +
                   "\n31-12-2012 1 2 3\n"));
  EXPECT_EQ(2u, berichte.size());
  EXPECT_TRUE(nenntDateiUndZeile(4)) << warnung;
}

TEST_F(Firmendatei, DatumMussTagMonatJahrMitGueltigenBereichenSein) {
  for (const char* token : {"2014-03-07", "07-13-2014", "32-03-2014",
                            "00-03-2014", "07-00-2014", "07.03.2014"}) {
    SCOPED_TRACE(token);
    ASSERT_TRUE(lese(std::string("Muster AG\n31-12-2014 1 2 3 4 1 1\n") +
                     token + " 5 6 7 8 1 1\n"));
    EXPECT_EQ(1u, berichte.size());
    EXPECT_TRUE(nenntDateiUndZeile(3)) << warnung;
  }
}

TEST_F(Firmendatei, OhneVollstaendigenBerichtKeineFirma) {
  for (const char* inhalt :
       {"", "Muster AG", "Muster AG\n", "Muster AG\n31-12-2014 1 2 3 4 1.0\n",
        "Muster AG\n2014-12-31 1 2 3 4 1 1\n"}) {
    SCOPED_TRACE(testing::PrintToString(inhalt));
    EXPECT_FALSE(lese(inhalt));
    EXPECT_TRUE(berichte.empty());
    EXPECT_NE(std::string::npos, warnung.find(pfad)) << warnung;
  }
}

TEST_F(Firmendatei, NichtLesbareDateiGibtFalseUndNenntSie) {
  pfad = verzeichnis + "/fehlt";
  EXPECT_FALSE(leseFirmendatei(pfad, name, berichte, warnung));
  EXPECT_NE(std::string::npos, warnung.find(pfad)) << warnung;
}

// Reading a directory once threw out of the stream and ended the program.
TEST_F(Firmendatei, VerzeichnisStattDateiWirdUebersprungen) {
  pfad = verzeichnis + "/ordner";
  ASSERT_EQ(0, mkdir(pfad.c_str(), 0700));
  EXPECT_FALSE(leseFirmendatei(pfad, name, berichte, warnung));
  EXPECT_NE(std::string::npos, warnung.find(pfad)) << warnung;
  rmdir(pfad.c_str());
}

// Each field reader takes the values at its limits and rejects the tokens just
// past them; the message says which field on which line holds what, and what
// form is expected.
TEST(Datensatz, UnlesbaresFeldNenntZeileFeldTextUndErwarteteForm) {
  const std::string kRest = "; Rest der Datei ignoriert";
  const std::string kKeinBetrag =
      " ist kein ganzer Betrag wie 1200000 (ohne Tausenderpunkte und "
      "Nachkommastellen)" +
      kRest;
  const std::string kKeinDatum =
      " ist kein Datum der Form Tag-Monat-Jahr wie 31-12-2020" + kRest;
  const std::string kKeinJahr = " hat kein Jahr aus 1 bis 4 Ziffern" + kRest;
  const std::string kKeinTag = " hat keinen Tag von 1 bis 31" + kRest;
  std::string umlaute;
  for (int i = 0; i < 30; ++i) umlaute += "\xC3\xA4";
  const struct {
    std::string zeile, meldung;
  } kFaelle[] = {
      {"31-12-2020 1.5 2 3 4 1 1", "Feld 2 (Umsatz): \"1.5\"" + kKeinBetrag},
      {"31-12-2020 1 12abc 3 4 1 1",
       "Feld 3 (Gewinn): \"12abc\"" + kKeinBetrag},
      {"31-12-2020 1 2 1.000.000 4 1 1",
       "Feld 4 (Bilanzsumme): \"1.000.000\"" + kKeinBetrag},
      {"31-12-2020 1 2 3 1,2 1 1",
       "Feld 5 (Eigenkapital): \"1,2\"" + kKeinBetrag},
      {"31-12-2020 1 2 3 9223372036854775808 1 1",
       "Feld 5 (Eigenkapital): \"9223372036854775808\" liegt ausserhalb von "
       "-9223372036854775808 bis 9223372036854775807" +
           kRest},
      {"31-12-2020 -9223372036854775809 2 3 4 1 1",
       "Feld 2 (Umsatz): \"-9223372036854775809\" liegt ausserhalb von "
       "-9223372036854775808 bis 9223372036854775807" +
           kRest},
      {"31-12-2020 1 2 3 4 1,2 1",
       "Feld 6 (EUR-Faktor): \"1,2\" ist keine Zahl mit Dezimalpunkt wie 1.2" +
           kRest},
      {"31-12-2020 1 2 3 4 1 nan",
       "Feld 7 (USD-Faktor): \"nan\" ist keine endliche Zahl" + kRest},
      {"31-12-2020 1 2 3 4 inf 1",
       "Feld 6 (EUR-Faktor): \"inf\" ist keine endliche Zahl" + kRest},
      {"31-12-2020 1 2 3 4 1 1e999",
       "Feld 7 (USD-Faktor): \"1e999\" liegt ausserhalb des Zahlenbereichs" +
           kRest},
      {"31.12.2020 1 2 3 4 1 1", "Feld 1 (Datum): \"31.12.2020\"" + kKeinDatum},
      {"31/12/2020 1 2 3 4 1 1", "Feld 1 (Datum): \"31/12/2020\"" + kKeinDatum},
      {"1-1-99999 1 2 3 4 1 1", "Feld 1 (Datum): \"1-1-99999\"" + kKeinJahr},
      {"1-1--1 1 2 3 4 1 1", "Feld 1 (Datum): \"1-1--1\"" + kKeinJahr},
      {"1-1- 1 2 3 4 1 1", "Feld 1 (Datum): \"1-1-\"" + kKeinJahr},
      {"0-1-2020 1 2 3 4 1 1", "Feld 1 (Datum): \"0-1-2020\"" + kKeinTag},
      {"32-1-2020 1 2 3 4 1 1", "Feld 1 (Datum): \"32-1-2020\"" + kKeinTag},
      {"1-13-2020 1 2 3 4 1 1",
       "Feld 1 (Datum): \"1-13-2020\" hat keinen Monat von 1 bis 12" + kRest},
      {"31-12-2020 1 2 3\n4 1",
       "Feld 7 (USD-Faktor): fehlt am Dateiende; unvollstaendiger Bericht "
       "ignoriert"},
      // Control bytes are not echoed raw; a long word is cut between letters.
      {"31-12-2020 1\x1b[2J 2 3 4 1 1",
       "Feld 2 (Umsatz): \"1\\x1B[2J\"" + kKeinBetrag},
      {"31-12-2020 1 " + std::string(60, 'x') + " 3 4 1 1",
       "Feld 3 (Gewinn): \"" + std::string(40, 'x') + "...\"" + kKeinBetrag},
      {"31-12-2020 1" + umlaute + " 2 3 4 1 1",
       "Feld 2 (Umsatz): \"1" + umlaute.substr(0, 38) + "...\"" + kKeinBetrag},
  };
  for (const auto& fall : kFaelle) {
    SCOPED_TRACE(fall.zeile);
    std::string name, warnung;
    std::vector<Finanzen> berichte;
    // The first record holds the values just inside the limits.
    EXPECT_TRUE(zerlegeFirmendatei("x.txt",
                                   "X\n31-12-2021 +9223372036854775807 "
                                   "-9223372036854775808 0 -0 +1.5 2e-3\n" +
                                       fall.zeile + "\n",
                                   name, berichte, warnung));
    EXPECT_EQ(1u, berichte.size());
    EXPECT_EQ("quorvell: x.txt, Zeile 3, " + fall.meldung + "\n", warnung);
  }
}

// Each kind of doubtful report is reported once, at its first line, and every
// report is still kept in file order.
TEST_F(Firmendatei, ZweifelhafteBerichteBleibenUndWerdenEinmalJeArtGemeldet) {
  const std::string kFalscheJahre =
      "; Wachstumsraten vergleichen dann die falschen Jahre";
  const std::string kNichtAelter =
      "Bericht ist nicht aelter als der darueber (der neueste gehoert nach "
      "oben); \"Letzter ...\", Vorhersage und Wachstumsraten stimmen dann "
      "nicht";
  const struct {
    std::vector<std::string> daten;
    std::vector<std::string> meldungen;
  } kFaelle[] = {
      {{"31-12-2020", "31-12-2021", "31-12-2022"},
       {"Zeile 3: " + kNichtAelter}},
      {{"31-12-2021", "30-6-2021", "31-12-2020", "1-1-2020"},
       {"Zeile 3: ein weiterer Bericht aus dem Jahr 2021" + kFalscheJahre}},
      {{"31-12-2021", "31-12-2021"},
       {"Zeile 3: " + kNichtAelter,
        "Zeile 3: ein weiterer Bericht aus dem Jahr 2021" + kFalscheJahre}},
      {{"31-12-2022", "31-12-2020", "31-12-2017"},
       {"Zeile 3: zwischen 2022 und 2020 fehlt mindestens ein Jahr" +
        kFalscheJahre}},
      {{"31-12-22", "31-12-21"},
       {"Zeile 2: \"31-12-22\" hat ein Jahr mit weniger als vier Ziffern; es "
        "zaehlt dann als Jahr 22"}},
      {{"31-12-2023", "31-2-2022", "29-2-2021"},
       {"Zeile 3: \"31-2-2022\" nennt einen Tag, den es in diesem Monat nicht "
        "gibt; die Datumsrechnung verschiebt ihn in den Folgemonat"}},
      {{"29-2-2024", "28-2-2023", "31-12-2022", "1-1-2021", "31-12-2020"}, {}},
  };
  for (const auto& fall : kFaelle) {
    std::string inhalt = "Muster AG\n", erwartet, gelesen;
    for (const std::string& d : fall.daten) inhalt += d + " 1 2 3 4 1 1\n";
    SCOPED_TRACE(inhalt);
    ASSERT_TRUE(lese(inhalt));
    for (const std::string& m : fall.meldungen) {
      erwartet += "quorvell: " + pfad + ", " + m + "\n";
    }
    EXPECT_EQ(erwartet, warnung);
    for (const Finanzen& b : berichte) gelesen += text(b) + "\n";
    EXPECT_EQ(inhalt.substr(10), gelesen);
  }
}

TEST(Index, UeberspringtByteOrderMarkUndNamenMitSteuerzeichen) {
  const struct {
    std::string inhalt, namen, warnung;
  } kFaelle[] = {
      {"\xEF\xBB\xBFnord.txt\nsued.txt\n", "nord.txt|sued.txt|", ""},
      {"a\tb\r\nc\v\fd \n", "a|b|c|d|", ""},
      {std::string("a\0b c\n", 6), "c|",
       "quorvell: index, Zeile 1: Name \"a\\x00b\" enthaelt ein Steuerzeichen, "
       "Firma uebersprungen\n"},
      {"nord.txt\nx\x1b[1my\n\x7F\n", "nord.txt|",
       "quorvell: index, Zeile 2: Name \"x\\x1B[1my\" enthaelt ein "
       "Steuerzeichen, Firma uebersprungen\n"
       "quorvell: index, Zeile 3: Name \"\\x7F\" enthaelt ein Steuerzeichen, "
       "Firma uebersprungen\n"},
  };
  for (const auto& fall : kFaelle) {
    SCOPED_TRACE(testing::PrintToString(fall.inhalt));
    std::vector<std::string> namen;
    std::string warnung, liste;
    zerlegeIndex("index", fall.inhalt, namen, warnung);
    for (const std::string& n : namen) liste += n + "|";
    EXPECT_EQ(fall.namen, liste);
    EXPECT_EQ(fall.warnung, warnung);
  }
}

// A control character in a name cannot act on the terminal or turn the text
// around: each is shown as "?", with one warning; other names stay as they
// are, byte for byte, Latin-1 letters included.
TEST(Firmenname, SteuerzeichenWerdenZuFragezeichen) {
  const struct {
    std::string zeile, name, zitat;
  } kFaelle[] = {
      {"M\xC3\xBCller \xE2\x82\xAC AG", "M\xC3\xBCller \xE2\x82\xAC AG", ""},
      {"M\xFCller", "M\xFCller", ""},
      {"\x1B]0;PWNED\x07\x1B[2JEvil AG", "?]0;PWNED??[2JEvil AG",
       "\\x1B]0;PWNED\\x07\\x1B[2JEvil AG"},
      {"A\tB\x7F", "A?B?", "A\\x09B\\x7F"},
      {"C1 \xC2\x9B"
       "1m \x9B"
       "2J",
       "C1 ?1m ?2J", "C1 \\xC2\\x9B1m \\x9B2J"},
      {"\xE2\x80\xAE"
       "GA \xE2\x81\xA6x\xE2\x81\xA9 \xE2\x80\xAA",
       "?GA ?x? ?",
       "\\xE2\\x80\\xAEGA \\xE2\\x81\\xA6x\\xE2\\x81\\xA9 \\xE2\\x80\\xAA"},
      // Neighbours of the bidirectional controls are ordinary characters.
      {"\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA",
       "\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA", ""},
  };
  for (const auto& fall : kFaelle) {
    SCOPED_TRACE(testing::PrintToString(fall.zeile));
    std::string name, warnung;
    std::vector<Finanzen> berichte;
    ASSERT_TRUE(zerlegeFirmendatei("x.txt",
                                   fall.zeile + "\r\n31-12-2020 1 2 3 4 1 1\n",
                                   name, berichte, warnung));
    EXPECT_EQ(fall.name, name);
    EXPECT_EQ(fall.zitat.empty()
                  ? ""
                  : "quorvell: x.txt, Zeile 1: Name \"" + fall.zitat +
                        "\" enthaelt Steuerzeichen, angezeigt als \"?\"\n",
              warnung);
  }
}
