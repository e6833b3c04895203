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

TEST(XmlText, MaskiertZeichenUndZeigtSteuerzeichenAlsFragezeichen) {
  const struct {
    const char* text;
    const char* xml;
  } kFaelle[] = {
      {"Muster AG", "Muster AG"},
      {"A&B <C> \"D\" 'E'", "A&amp;B &lt;C&gt; &quot;D&quot; &apos;E&apos;"},
      {"M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80",
       "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80"},  // UTF-8 stays
      {"Caf\xE9", "Caf\xC3\xA9"},                       // Latin-1 as UTF-8
      {"Ende\xC3", "Ende\xC3\x83"},                     // a sequence cut off
      {"Tab\tZeile\nEnde\r\x7F", "Tab?Zeile?Ende??"},   // C0 and DEL
      {"a\xC2\x85z \x85", "a?z ?"},                     // C1, also as Latin-1
      {"\xE2\x80\xAEtxt\xE2\x81\xA6", "?txt?"},  // bidi override, isolate
      {"\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xBF\xBD", "??\xEF\xBF\xBD"},  // U+FFFE/F
  };
  for (const auto& f : kFaelle) {
    std::string aus;
    xmlText(aus, f.text);
    EXPECT_EQ(aus, f.xml) << f.text;
  }
}
