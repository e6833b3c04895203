#include "berichte/JsonWerte.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(ImportJsonWerte, GanzeZahlenExaktAusDemGeschriebenenText) {
  struct Fall {
    const char* text;
    std::optional<int64_t> wert;
    const char* fehler;
  };
  const Fall faelle[] = {
      {"96666000", 96666000, ""},
      {"-477000", -477000, ""},
      {"20935000000.0", 20935000000, ""},
      {"1.2e3", 1200, ""},
      {"12500e-2", 125, ""},
      {"0e-400", 0, ""},
      {"9223372036854775807", INT64_MAX, ""},
      {"-9223372036854775808", INT64_MIN, ""},
      {"9223372036854775808", std::nullopt,
       "liegt ausserhalb des 64-Bit-Bereichs"},
      {"1e400", std::nullopt, "liegt ausserhalb des 64-Bit-Bereichs"},
      {"1.5", std::nullopt, "ist keine ganze Zahl"},
      {"1e-400", std::nullopt, "ist keine ganze Zahl"},
      {"zwei", std::nullopt, "ist keine Zahl, erwartet eine ganze Zahl"},
  };
  for (const Fall& f : faelle) {
    std::string fehler;
    EXPECT_EQ(f.wert, leseGanzzahl(f.text, fehler)) << f.text;
    EXPECT_EQ(f.fehler, fehler) << f.text;
  }
}
