#include "Hilfen.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

int64_t zuInt64(double d) {
  if (std::isnan(d)) return 0;
  // 2^63 is the first double above the int64 range; -2^63 is still inside.
  if (d >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (d < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(d);
}

int zuInt(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 2147483648.0) return std::numeric_limits<int>::max();
  if (d <= -2147483649.0) return std::numeric_limits<int>::min();
  return static_cast<int>(d);
}

int64_t wrapAdd(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) +
                              static_cast<uint64_t>(b));
}

int64_t wrapSub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) -
                              static_cast<uint64_t>(b));
}

int64_t wrapMul(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) *
                              static_cast<uint64_t>(b));
}

namespace {

// Decimal separator and digit grouping by three, as the named locales of the
// two currencies have them.
class Zahlenformat : public std::numpunct<char> {
 public:
  Zahlenformat(char dezimal, char tausender)
      : dezimal_(dezimal), tausender_(tausender) {}

 protected:
  char do_decimal_point() const override { return dezimal_; }
  char do_thousands_sep() const override { return tausender_; }
  std::string do_grouping() const override { return "\3"; }

 private:
  char dezimal_;
  char tausender_;
};

const char* localeName(int waehrung) {
  return waehrung == 0 ? "de_DE.utf8" : "en_US.utf8";
}

std::optional<std::locale> versucheLocale(const char* name) {
  try {
    return std::locale(name);
  } catch (const std::runtime_error&) {
    return std::nullopt;
  }
}

}  // namespace

std::locale ersatzLocale(int waehrung) {
  return waehrung == 0
             ? std::locale(std::locale::classic(), new Zahlenformat(',', '.'))
             : std::locale(std::locale::classic(), new Zahlenformat('.', ','));
}

const std::locale* systemLocale(int waehrung) {
  static const std::optional<std::locale> de = versucheLocale(localeName(0));
  static const std::optional<std::locale> en = versucheLocale(localeName(1));
  const std::optional<std::locale>& l = waehrung == 0 ? de : en;
  return l ? &*l : nullptr;
}

const std::locale& zahlenLocale(int waehrung) {
  static const std::locale de =
      systemLocale(0) ? *systemLocale(0) : ersatzLocale(0);
  static const std::locale en =
      systemLocale(1) ? *systemLocale(1) : ersatzLocale(1);
  return waehrung == 0 ? de : en;
}

namespace {

// Decodes the UTF-8 sequence at `text[i]`; returns its length, or 0 when the
// bytes there are not a valid sequence.
size_t utf8Folge(const std::string& text, size_t i, uint32_t& zeichen) {
  const auto byte = [&](size_t k) {
    return static_cast<unsigned char>(text[k]);
  };
  const unsigned char b = byte(i);
  size_t laenge;
  if (b >= 0xC2 && b <= 0xDF) {
    laenge = 2;
    zeichen = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    laenge = 3;
    zeichen = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    laenge = 4;
    zeichen = b & 0x07;
  } else {
    return 0;
  }
  if (i + laenge > text.size()) return 0;
  for (size_t k = 1; k < laenge; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    zeichen = (zeichen << 6) | (byte(i + k) & 0x3F);
  }
  const bool zuLang =
      (laenge == 3 && zeichen < 0x800) || (laenge == 4 && zeichen < 0x10000);
  const bool ungueltig =
      (zeichen >= 0xD800 && zeichen <= 0xDFFF) || zeichen > 0x10FFFF;
  return zuLang || ungueltig ? 0 : laenge;
}

}  // namespace

int zeichenAnzahl(const std::string& text) {
  int n = 0;
  uint32_t zeichen = 0;
  for (size_t i = 0; i < text.size(); ++n) {
    const size_t laenge = static_cast<unsigned char>(text[i]) < 0x80
                              ? 1
                              : utf8Folge(text, i, zeichen);
    i += laenge == 0 ? 1 : laenge;
  }
  return n;
}

std::string htmlText(const std::string& text) {
  std::string aus;
  aus.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      switch (c) {
        case '&':
          aus += "&amp;";
          break;
        case '<':
          aus += "&lt;";
          break;
        case '>':
          aus += "&gt;";
          break;
        case '"':
          aus += "&quot;";
          break;
        default:
          aus += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    uint32_t zeichen = 0;
    size_t laenge = utf8Folge(text, i, zeichen);
    if (laenge == 0) {
      zeichen = c;  // not UTF-8: read the byte as Latin-1
      laenge = 1;
    }
    aus += "&#" + std::to_string(zeichen) + ";";
    i += laenge;
  }
  return aus;
}

bool leseDatei(const std::string& pfad, std::string& inhalt) {
  std::FILE* datei = std::fopen(pfad.c_str(), "rb");
  if (datei == nullptr) return false;
  char puffer[1 << 16];
  size_t gelesen;
  while ((gelesen = std::fread(puffer, 1, sizeof puffer, datei)) > 0) {
    inhalt.append(puffer, gelesen);
  }
  const bool fehler = std::ferror(datei) != 0;
  std::fclose(datei);
  return !fehler;
}

bool ersetzeDatei(const std::string& pfad, const std::string& inhalt) {
  const std::string temp = pfad + ".tmp";
  {
    std::ofstream aus(temp, std::ios::binary | std::ios::trunc);
    if (!aus) return false;
    aus.write(inhalt.data(), static_cast<std::streamsize>(inhalt.size()));
    aus.close();
    if (!aus) {
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), pfad.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

Zahlformat::Zahlformat(const std::locale& loc) {
  const auto& np = std::use_facet<std::numpunct<char>>(loc);
  dezimal_ = np.decimal_point();
  trenn_ = np.thousands_sep();
  gruppen_ = np.grouping();
}

// Puts the locale's decimal point and digit groups into the C-formatted
// number [anfang, ende). Groups are taken from the right of the integer
// digits, each group size in turn, the last one repeating; a size of zero,
// a negative one or CHAR_MAX ends the grouping.
std::string Zahlformat::lokal(const char* anfang, const char* ende,
                              bool gruppieren) const {
  const char* punkt = std::find(anfang, ende, '.');
  const char* ziffern = anfang != ende && (*anfang == '-' || *anfang == '+')
                            ? anfang + 1
                            : anfang;
  const auto gueltig = [](char g) {
    return g > 0 && g != std::numeric_limits<char>::max();
  };
  // The integer digits with their separators, written from the right.
  char rueckwaerts[1024];
  size_t r = 0;
  size_t gi = 0;
  char g = gruppieren && !gruppen_.empty() ? gruppen_[0] : 0;
  int inGruppe = 0;
  for (const char* p = punkt; p != ziffern && r + 2 < sizeof rueckwaerts;) {
    --p;
    if (gueltig(g) && inGruppe == g) {
      rueckwaerts[r++] = trenn_;
      inGruppe = 0;
      if (gi + 1 < gruppen_.size()) g = gruppen_[++gi];
    }
    rueckwaerts[r++] = *p;
    ++inGruppe;
  }
  std::string text(anfang, ziffern);
  text.reserve(static_cast<size_t>(ende - anfang) + r);
  while (r > 0) text += rueckwaerts[--r];
  if (punkt != ende) {
    text += dezimal_;
    text.append(punkt + 1, ende);
  }
  return text;
}

std::string Zahlformat::ganz(int64_t wert) const {
  char puffer[32];
  const auto ergebnis = std::to_chars(puffer, puffer + sizeof puffer, wert);
  return lokal(puffer, ergebnis.ptr, true);
}

std::string Zahlformat::fest3(double wert) const {
  char puffer[400];
  const auto ergebnis = std::to_chars(puffer, puffer + sizeof puffer, wert,
                                      std::chars_format::fixed, 3);
  return lokal(puffer, ergebnis.ptr, std::isfinite(wert));
}

std::string Zahlformat::standard(double wert) const {
  char puffer[64];
  const auto ergebnis = std::to_chars(puffer, puffer + sizeof puffer, wert,
                                      std::chars_format::general, 6);
  const char* c = puffer;
  const char* ende = ergebnis.ptr;
  const long laenge = ende - c;
  // Streams group the integer digits unless the text is in exponent form
  // without a decimal point (such as 1e+06).
  const bool gruppieren =
      std::isfinite(wert) && (std::find(c, ende, '.') != ende || laenge < 3 ||
                              (std::isdigit(static_cast<unsigned char>(c[1])) &&
                               std::isdigit(static_cast<unsigned char>(c[2]))));
  return lokal(c, ende, gruppieren);
}
