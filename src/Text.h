#ifndef QUORVELL_TEXT_H_
#define QUORVELL_TEXT_H_

// Texts of the data files in the table and the HTML page: how many characters
// wide they are, and how they are escaped. Bytes that are not valid UTF-8 are
// read as Latin-1, so older files line up and display correctly.

#include <string>
#include <string_view>

// Number of characters in `text`: UTF-8 sequences, and every byte that is
// not part of one.
int zeichenAnzahl(std::string_view text);

// `text` for an HTML page: &, <, > and " as entities, every character outside
// ASCII as a numeric character reference.
std::string htmlText(std::string_view text);
// The same, appended to `aus`.
void htmlText(std::string& aus, std::string_view text);

#endif  // QUORVELL_TEXT_H_
