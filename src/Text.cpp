#include "Text.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Decodes the UTF-8 sequence at `text[i]`; returns its length, or 0 when the
// bytes there are not a valid sequence.
size_t utf8Folge(std::string_view text, size_t i, uint32_t& zeichen) {
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

size_t zeichenAn(std::string_view text, size_t i, uint32_t& zeichen) {
  const auto b = static_cast<unsigned char>(text[i]);
  const size_t laenge = b < 0x80 ? 0 : utf8Folge(text, i, zeichen);
  if (laenge == 0) zeichen = b;
  return laenge == 0 ? 1 : laenge;
}

bool istSteuerzeichen(uint32_t zeichen) {
  return zeichen < 0x20 || (zeichen >= 0x7F && zeichen <= 0x9F) ||
         (zeichen >= 0x202A && zeichen <= 0x202E) ||
         (zeichen >= 0x2066 && zeichen <= 0x2069);
}

int zeichenAnzahl(std::string_view text) {
  // Most texts are plain ASCII: one character per byte.
  unsigned char alle = 0;
  for (const char c : text) alle |= static_cast<unsigned char>(c);
  if (alle < 0x80) return static_cast<int>(text.size());
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

std::string htmlText(std::string_view text) {
  std::string aus;
  htmlText(aus, text);
  return aus;
}

namespace {

// A character that stands in a page as it is.
bool unverfaenglich(unsigned char c) {
  return c < 0x80 && c != '&' && c != '<' && c != '>' && c != '"';
}

// Appends the escaped form of the character at `text[i]`; returns its length.
size_t maskiereAn(std::string& aus, std::string_view text, size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  switch (c) {
    case '&':
      aus += "&amp;";
      return 1;
    case '<':
      aus += "&lt;";
      return 1;
    case '>':
      aus += "&gt;";
      return 1;
    case '"':
      aus += "&quot;";
      return 1;
    default:
      break;
  }
  uint32_t zeichen = 0;
  const size_t laenge = zeichenAn(text, i, zeichen);
  aus += "&#";
  aus += std::to_string(zeichen);
  aus += ';';
  return laenge;
}

}  // namespace

void htmlText(std::string& aus, std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    // A run of characters that need no escaping is appended at once.
    size_t ende = i;
    while (ende < text.size() &&
           unverfaenglich(static_cast<unsigned char>(text[ende]))) {
      ++ende;
    }
    aus.append(text, i, ende - i);
    i = ende < text.size() ? ende + maskiereAn(aus, text, ende) : ende;
  }
}

namespace {

// The entity of a character XML reserves, or null.
const char* xmlEntitaet(uint32_t zeichen) {
  switch (zeichen) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    case '\'':
      return "&apos;";
    default:
      return nullptr;
  }
}

}  // namespace

void xmlText(std::string& aus, std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    // A run of printable ASCII that needs no entity is appended at once.
    size_t ende = i;
    while (ende < text.size() && text[ende] >= 0x20 && text[ende] < 0x7F &&
           xmlEntitaet(static_cast<unsigned char>(text[ende])) == nullptr) {
      ++ende;
    }
    aus.append(text, i, ende - i);
    i = ende;
    if (i == text.size()) break;
    uint32_t zeichen = 0;
    const size_t laenge = zeichenAn(text, i, zeichen);
    if (const char* entitaet = xmlEntitaet(zeichen)) {
      aus += entitaet;
    } else if (istSteuerzeichen(zeichen) || zeichen == 0xFFFE ||
               zeichen == 0xFFFF) {
      aus += '?';
    } else if (zeichen >= 0x80 && laenge == 1) {
      // A Latin-1 byte, written as its two UTF-8 bytes.
      aus += static_cast<char>(0xC0 | (zeichen >> 6));
      aus += static_cast<char>(0x80 | (zeichen & 0x3F));
    } else {
      aus.append(text, i, laenge);
    }
    i += laenge;
  }
}

std::string gekuerzt(std::string_view text, int zeichen) {
  size_t i = 0;
  for (int n = 0; n < zeichen && i < text.size(); ++n) {
    uint32_t z = 0;
    i += zeichenAn(text, i, z);
  }
  if (i >= text.size()) return std::string(text);
  return std::string(text.substr(0, i)) + "...";
}
