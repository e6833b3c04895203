#include "tabellen/Zellen.h"

#include <gtest/gtest.h>

#include <string>

TEST(ImportZellen, CsvUndMappenNennenZeilenUndZellen) {
  const Blatt csv = blattAusCsv({{3, {"a", "", " "}}}, "t.csv");
  ASSERT_EQ(1u, csv.zeilen.size());
  EXPECT_EQ(3, csv.zeilen[0].zeile);
  EXPECT_EQ(Zellart::text, csv.zeilen[0].zellen[0].art);
  EXPECT_EQ(Zellart::leer, csv.zeilen[0].zellen[1].art);
  EXPECT_TRUE(ohneInhalt(csv.zeilen[0].zellen[2]));
  EXPECT_EQ("t.csv:3", zellenOrt(csv, 3, 2));

  Blatt mappe;
  mappe.quelle = "firmen.xlsx";
  mappe.name = "Daten";
  mappe.ausMappe = true;
  EXPECT_EQ("firmen.xlsx, Blatt \"Daten\", Zelle C7", zellenOrt(mappe, 7, 2));
  EXPECT_EQ("firmen.xlsx, Blatt \"Daten\", Zeile 7", zeilenOrt(mappe, 7));
  std::string namen;
  for (size_t spalte : {0, 25, 26, 701, 702, 16383}) {
    namen += spaltenname(spalte) + " ";
  }
  EXPECT_EQ("A Z AA ZZ AAA XFD ", namen);
}
