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
    char muster[] = "/tmp/firmendatei_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(muster));
    verzeichnis = muster;
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

TEST_F(Firmendatei, UnlesbarerBetragBeendetDasLesenUndNenntDieStartzeile) {
  // The bad record starts on line 5; its bad field stands on line 6.
  ASSERT_TRUE(
      lese("Muster AG\n31-12-2014 1 2 3 4 1.0 1.2\n\n\n"
           "31-12-2013 5 6\nzwei 8 1.0 1.3\n31-12-2012 9 9 9 9 1 1\n"));
  ASSERT_EQ(1u, berichte.size());
  EXPECT_EQ(1, berichte[0].getUmsatz());
  EXPECT_TRUE(nenntDateiUndZeile(5)) << warnung;
  EXPECT_FALSE(nenntDateiUndZeile(6)) << warnung;
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
