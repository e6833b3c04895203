#include "Speicherstand.h"

#include <gtest/gtest.h>

#include <locale>
#include <string>

#include "Zahlen.h"

namespace {

// The text of the view in `text` as read back, or "beschaedigt".
std::string gelesen(const std::string& text, int firmenAnzahl) {
  const auto stand = Speicherstand::parse(text, firmenAnzahl);
  return stand ? Speicherstand::text(*stand) : "beschaedigt";
}

}  // namespace

TEST(Speicherstand, TextInKlarenZiffernAuchUnterDeutscherLocale) {
  const std::locale vorher = std::locale::global(zahlenLocale(0));
  EXPECT_EQ(Speicherstand::text({0, 0, 5, 3, {0}, 0, true}),
            "0\n0\n5\n3\n1\n0\n0\n1\n");
  EXPECT_EQ(Speicherstand::text({0, 0, 2000, 1500, {0}, 0, true}),
            "0\n0\n2000\n1500\n1\n0\n0\n1\n");
  std::locale::global(vorher);
}

TEST(Speicherstand, GueltigerTextKommtGanzZurueck) {
  for (const char* text :
       {"1\n1\n1234\n6\n2\n8\n0\n1\n0\n", "0\n0\n5\n2\n2\n9\n0\n0\n1\n",
        "0\n0\n5\n2\n0\n0\n1\n", "1\n0\n0\n-3\n3\n8\n8\n0\n2\n1\n"}) {
    EXPECT_EQ(gelesen(text, 2), text);
  }
  // A company table with any company index reads as index 0.
  EXPECT_EQ(gelesen("0\n7\n5\n3\n1\n0\n0\n1\n", 2), "0\n0\n5\n3\n1\n0\n0\n1\n");
}

TEST(Speicherstand, BeschaedigterTextWirdAbgelehnt) {
  for (const char* text : {
           "0\n0\n5\n3\n1\n0\n0\n",              // truncated
           "0\n0\nfuenf\n3\n1\n0\n0\n1\n",       // letters
           "0\n0\n5\n3\n1\n10\n0\n1\n",          // 10 company columns
           "1\n0\n5\n5\n1\n9\n0\n1\n",           // 9 report columns
           "1\n3\n5\n5\n1\n0\n0\n1\n",           // company index past the list
           "2\n0\n5\n3\n1\n0\n0\n1\n",           // no such view
           "",                                   // empty
           "0\n0\n5\n3\n2\n0\n1\n2\n1\n",        // sort column not shown
           "0\n0\n5\n3\n1\n0\n0\n2\n",           // direction neither 0 nor 1
           "0\n0\n5\n3\n1\n0\n0\n1\n7\n",        // a value too many
           "0\n0\n-1\n3\n1\n0\n0\n1\n",          // negative report rows
           "0\n0\n5\n3\n-1\n0\n1\n",             // negative column count
           "0\n0\n5\n3\n0\n1\n1\n",              // sort column without columns
           "0\n0\n5\n9999999999\n1\n0\n0\n1\n",  // row count beyond int
       }) {
    EXPECT_EQ(gelesen(text, 3), "beschaedigt") << text;
  }
}

// More shown columns than kMaxGezeigteSpalten are damage, however many
// values follow.
TEST(Speicherstand, HoechstensTausendGezeigteSpalten) {
  const auto stand = [](int spalten, int werte) {
    std::string text = "0\n0\n5\n3\n" + std::to_string(spalten) + "\n";
    for (int i = 0; i < werte; ++i) text += "1\n";
    return text + "0\n1\n";
  };
  EXPECT_EQ(gelesen(stand(1000, 1000), 3), stand(1000, 1000));
  EXPECT_EQ(gelesen(stand(1001, 1001), 3), "beschaedigt");
  EXPECT_EQ(gelesen(stand(3000000, 2), 3), "beschaedigt");
}
