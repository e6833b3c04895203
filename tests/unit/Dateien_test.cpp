#include "Dateien.h"

#include <dirent.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "Testdaten.h"

// A working directory "arbeit" inside a fresh directory, removed again with
// everything in it.
class Dateiersatz : public ::testing::Test {
 protected:
  void SetUp() override {
    ordner = neuerOrdner("dateiersatz");
    ASSERT_FALSE(ordner.empty());
    arbeit = ordner + "/arbeit";
    ASSERT_EQ(0, mkdir(arbeit.c_str(), 0700));
    pfad = arbeit + "/save.dat";
  }
  void TearDown() override {
    chmod(ordner.c_str(), 0700);
    nftw(
        ordner.c_str(),
        [](const char* p, const struct stat*, int, FTW*) { return remove(p); },
        16, FTW_DEPTH | FTW_PHYS);
  }
  static std::string inhalt(const std::string& datei) {
    std::string text, fehler;
    EXPECT_TRUE(leseDatei(datei, text, fehler)) << fehler;
    return text;
  }
  static void schreibe(const std::string& datei, const std::string& text) {
    std::ofstream(datei, std::ios::binary) << text;
  }
  // The names in the working directory, sorted, separated by blanks.
  std::string eintraege() const {
    std::set<std::string> namen;
    DIR* d = opendir(arbeit.c_str());
    for (dirent* e = readdir(d); e != nullptr; e = readdir(d)) {
      if (e->d_name[0] != '.') namen.insert(e->d_name);
    }
    closedir(d);
    std::string liste;
    for (const std::string& n : namen) liste += (liste.empty() ? "" : " ") + n;
    return liste;
  }

  std::string ordner;
  std::string arbeit;
  std::string pfad;
};

TEST_F(Dateiersatz, ErsetztDenInhaltGanzOhneReste) {
  ASSERT_TRUE(ersetzeDatei(pfad, "alt\n"));
  ASSERT_TRUE(ersetzeDatei(pfad, "neu\n"));
  EXPECT_EQ("neu\n", inhalt(pfad));
  EXPECT_EQ("save.dat", eintraege());
}

TEST_F(Dateiersatz, AlteDateiBleibtGanzWennDieNeueNichtGeschriebenWerdenKann) {
  ASSERT_TRUE(ersetzeDatei(pfad, "0\n0\n5\n3\n1\n0\n0\n1\n"));
  // Files may grow to 4 bytes only: the write stops halfway.
  rlimit vorher{};
  getrlimit(RLIMIT_FSIZE, &vorher);
  const rlimit klein{4, vorher.rlim_max};
  const auto signalVorher = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &klein);
  const bool ersetzt = ersetzeDatei(pfad, "1\n0\n5\n3\n1\n0\n0\n1\n");
  setrlimit(RLIMIT_FSIZE, &vorher);
  std::signal(SIGXFSZ, signalVorher);
  EXPECT_FALSE(ersetzt);
  EXPECT_EQ("0\n0\n5\n3\n1\n0\n0\n1\n", inhalt(pfad));
  EXPECT_EQ("save.dat", eintraege());
}

TEST_F(Dateiersatz, SchreibgeschuetzterOrdnerLaesstDieAlteDateiStehen) {
  if (geteuid() == 0) GTEST_SKIP() << "root darf auch hier schreiben";
  ASSERT_TRUE(ersetzeDatei(pfad, "alt\n"));
  ASSERT_EQ(0, chmod(arbeit.c_str(), 0500));
  EXPECT_FALSE(ersetzeDatei(pfad, "neu\n"));
  EXPECT_EQ("alt\n", inhalt(pfad));
}

// The temporary file once had the fixed name "save.dat.tmp" and was opened
// whatever stood there: a link was written through, a FIFO hung the program,
// a directory stopped every save.
TEST_F(Dateiersatz, WasAmAltenTempNamenStehtBleibtUnberuehrt) {
  const std::string falle = pfad + ".tmp";
  const std::string ziel = ordner + "/ziel";
  const std::string firma = arbeit + "/firma.txt";
  const std::pair<const char*, std::function<int()>> fallen[] = {
      {"Verweis nach ../ziel",
       [&] { return symlink("../ziel", falle.c_str()); }},
      {"harter Verweis", [&] { return link(firma.c_str(), falle.c_str()); }},
      {"FIFO", [&] { return mkfifo(falle.c_str(), 0600); }},
      {"Verzeichnis", [&] { return mkdir(falle.c_str(), 0700); }}};
  schreibe(ziel, "Ziel\n");
  schreibe(firma, "Muster AG\n");
  for (const auto& [art, lege] : fallen) {
    SCOPED_TRACE(art);
    ASSERT_EQ(0, lege());
    EXPECT_TRUE(ersetzeDatei(pfad, art));
    EXPECT_EQ(art, inhalt(pfad));
    EXPECT_EQ("Ziel\n", inhalt(ziel));
    EXPECT_EQ("Muster AG\n", inhalt(firma));
    EXPECT_EQ("firma.txt save.dat save.dat.tmp", eintraege());
    EXPECT_EQ(0, remove(falle.c_str()));
  }
}

// The export is exchanged with the old file instead of renamed over it; what
// stood at the name must come out as a rename would leave it.
TEST_F(Dateiersatz, SchnelleAblageWieUmbenennen) {
  const std::string ziel = ordner + "/ziel";
  const std::string firma = arbeit + "/firma.txt";
  const struct {
    const char* art;
    std::function<int()> lege;
    bool ersetzt;
  } faelle[] = {
      {"nichts", [] { return 0; }, true},
      {"Datei", [&] { return ersetzeDatei(pfad, "alt\n") ? 0 : -1; }, true},
      {"Verweis nach ../ziel", [&] { return symlink("../ziel", pfad.c_str()); },
       true},
      {"harter Verweis", [&] { return link(firma.c_str(), pfad.c_str()); },
       true},
      {"Verzeichnis", [&] { return mkdir(pfad.c_str(), 0700); }, false},
  };
  schreibe(ziel, "Ziel\n");
  schreibe(firma, "Muster AG\n");
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.art);
    ASSERT_EQ(0, f.lege());
    {
      Ersatzdatei datei(pfad, Ersatzdatei::Ablage::kSchnell);
      datei.schreibe(f.art);
      EXPECT_EQ(f.ersetzt, datei.fertig());
    }
    if (f.ersetzt) {
      EXPECT_EQ(f.art, inhalt(pfad));
    }
    EXPECT_EQ("Ziel\n", inhalt(ziel));
    EXPECT_EQ("Muster AG\n", inhalt(firma));
    EXPECT_EQ("firma.txt save.dat", eintraege());
    EXPECT_EQ(0, remove(pfad.c_str()));
  }
}
