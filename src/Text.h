#ifndef QUORVELL_TEXT_H_
#define QUORVELL_TEXT_H_

// Texts of the data files in the table, the HTML page and the picture: how
// many characters wide they are, and how they are escaped. Bytes that are not
// valid UTF-8 are read as Latin-1, so older files line up and display
// correctly.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The character at `text[i]` as a code point in `zeichen`; returns its length
// in bytes. A byte that does not start a valid UTF-8 sequence is one Latin-1
// character. REQUIRES: i < text.size().
size_t zeichenAn(std::string_view text, size_t i, uint32_t& zeichen);

// Whether `zeichen` can act on a terminal or turn the direction of the text
// around it: C0 controls, DEL, C1 controls (U+0080 to U+009F) and the
// bidirectional embeddings, overrides and isolates (U+202A to U+202E, U+2066
// to U+2069).
bool istSteuerzeichen(uint32_t zeichen);

// Number of characters in `text`: UTF-8 sequences, and every byte that is
// not part of one.
int zeichenAnzahl(std::string_view text);

// `text` for an HTML page: &, <, > and " as entities, every character outside
// ASCII as a numeric character reference.
std::string htmlText(std::string_view text);
// The same, appended to `aus`.
void htmlText(std::string& aus, std::string_view text);

// `text` cut to its first `zeichen` characters and "..." when it is longer.
std::string gekuerzt(std::string_view text, int zeichen);

// `text` for an XML document in UTF-8, appended to `aus`: &, <, >, " and '
// as entities, every control character (istSteuerzeichen) and the two
// non-characters XML forbids (U+FFFE, U+FFFF) as "?", as on the console.
void xmlText(std::string& aus, std::string_view text);

#endif  // QUORVELL_TEXT_H_
