#ifndef QUORVELL_TESTS_IMPORT_TESTDATEIEN_H_
#define QUORVELL_TESTS_IMPORT_TESTDATEIEN_H_

// Files the importer's tests read and write: a sample file whole, and a zip
// archive made of given entries.

#include <gtest/gtest.h>
#include <zip.h>

#include <string>
#include <vector>

#include "Dateien.h"

// The whole file at `pfad`; a failure to read it fails the test.
inline std::string testdatei(const std::string& pfad) {
  std::string bytes, fehler;
  EXPECT_TRUE(leseDatei(pfad, bytes, fehler)) << pfad << ": " << fehler;
  return bytes;
}

// An entry of a test archive; a name ending in "/" is a directory.
struct Zipeintrag {
  std::string name, inhalt;
  bool gepackt = true;  // deflated, else stored
};

// A zip archive at `pfad` of `eintraege`, in their order, as libzip writes
// it.
inline bool schreibeZip(const std::string& pfad,
                        const std::vector<Zipeintrag>& eintraege) {
  zip_t* archiv = zip_open(pfad.c_str(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
  if (archiv == nullptr) return false;
  for (const Zipeintrag& e : eintraege) {
    if (!e.name.empty() && e.name.back() == '/') {
      const std::string ordner = e.name.substr(0, e.name.size() - 1);
      if (zip_dir_add(archiv, ordner.c_str(), ZIP_FL_ENC_UTF_8) >= 0) continue;
      zip_discard(archiv);
      return false;
    }
    zip_source_t* quelle =
        zip_source_buffer(archiv, e.inhalt.data(), e.inhalt.size(), 0);
    const zip_int64_t nummer =
        quelle == nullptr
            ? -1
            : zip_file_add(archiv, e.name.c_str(), quelle, ZIP_FL_ENC_UTF_8);
    if (nummer < 0 || zip_set_file_compression(
                          archiv, static_cast<zip_uint64_t>(nummer),
                          e.gepackt ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) != 0) {
      if (nummer < 0) zip_source_free(quelle);
      zip_discard(archiv);
      return false;
    }
  }
  return zip_close(archiv) == 0;
}

#endif  // QUORVELL_TESTS_IMPORT_TESTDATEIEN_H_
