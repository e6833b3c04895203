#include "Dateien.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

// A file in a fresh directory, removed again with the directory.
class Dateiersatz : public ::testing::Test {
 protected:
  void SetUp() override {
    char muster[] = "/tmp/dateiersatz_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(muster));
    ordner = muster;
    pfad = ordner + "/save.dat";
  }
  void TearDown() override {
    chmod(ordner.c_str(), 0700);
    std::remove(pfad.c_str());
    rmdir((pfad + ".tmp").c_str());
    std::remove((pfad + ".tmp").c_str());
    rmdir(ordner.c_str());
  }
  std::string inhalt() {
    std::string text, fehler;
    EXPECT_TRUE(leseDatei(pfad, text, fehler));
    return text;
  }

  std::string ordner;
  std::string pfad;
};

TEST_F(Dateiersatz, ErsetztDenInhaltGanzOhneReste) {
  ASSERT_TRUE(ersetzeDatei(pfad, "alt\n"));
  ASSERT_TRUE(ersetzeDatei(pfad, "neu\n"));
  EXPECT_EQ("neu\n", inhalt());
  EXPECT_NE(0, access((pfad + ".tmp").c_str(), F_OK));
}

TEST_F(Dateiersatz, AlteDateiBleibtGanzWennDieNeueNichtGeschriebenWerdenKann) {
  ASSERT_TRUE(ersetzeDatei(pfad, "0\n0\n5\n3\n1\n0\n0\n1\n"));
  ASSERT_EQ(0, mkdir((pfad + ".tmp").c_str(), 0700));
  EXPECT_FALSE(ersetzeDatei(pfad, "1\n"));
  EXPECT_EQ("0\n0\n5\n3\n1\n0\n0\n1\n", inhalt());
}

TEST_F(Dateiersatz, SchreibgeschuetzterOrdnerLaesstDieAlteDateiStehen) {
  if (geteuid() == 0) GTEST_SKIP() << "root darf auch hier schreiben";
  ASSERT_TRUE(ersetzeDatei(pfad, "alt\n"));
  ASSERT_EQ(0, chmod(ordner.c_str(), 0500));
  EXPECT_FALSE(ersetzeDatei(pfad, "neu\n"));
  EXPECT_EQ("alt\n", inhalt());
}
