#include "Text.h"

#include <gtest/gtest.h>

TEST(ZeichenAnzahl, ZaehltUtf8ZeichenStattBytes) {
  EXPECT_EQ(0, zeichenAnzahl(""));
  EXPECT_EQ(9, zeichenAnzahl("Muster AG"));
  EXPECT_EQ(6, zeichenAnzahl("M\xC3\xBCller"));
  EXPECT_EQ(5, zeichenAnzahl("1 \xE2\x82\xAC ."));  // euro sign: 3 bytes
}

TEST(HtmlText, MaskiertSonderzeichenUndSchreibtNichtAsciiAlsZeichenreferenz) {
  EXPECT_EQ("Muster AG", htmlText("Muster AG"));
  EXPECT_EQ("A&amp;B &lt;C&gt; &quot;D&quot;", htmlText("A&B <C> \"D\""));
  EXPECT_EQ("M&#252;ller", htmlText("M\xC3\xBCller"));
  EXPECT_EQ("&#8364;", htmlText("\xE2\x82\xAC"));
}

TEST(HtmlText, UngueltigesUtf8WirdAlsLatin1Gelesen) {
  EXPECT_EQ("M&#252;ller", htmlText("M\xFCller"));
  EXPECT_EQ("&#252;", htmlText("\xFC"));
}
