#ifndef QUORVELL_GEMEINSAM_SCHREIBWEISE_H_
#define QUORVELL_GEMEINSAM_SCHREIBWEISE_H_

// How financial sheets dress an amount around its number: blanks, a currency
// sign or code before or after it, parentheses for a loss, and the marks that
// stand for an empty cell. What is left is the number, read by ImportZahlen.

#include <string>

inline constexpr char kMinuszeichen[] = "\xE2\x88\x92";  // U+2212

// An amount's text taken apart.
struct Schreibweise {
  // Nothing, or "-", an en dash, U+2212 or "n/a" (in any case) alone.
  bool leer = false;
  bool klammer = false;  // it stood in parentheses: a negative amount
  // The euro, dollar or pound sign (in UTF-8) or a code of three upper-case
  // letters, as written; empty when there was none.
  std::string waehrung;
  std::string zahl;  // the number that is left, without blanks around it
  // False when nothing is left, or a sign stands inside the parentheses.
  bool gut = false;
};

// Takes `text` apart; blanks are " ", tab, U+00A0 and U+202F.
Schreibweise zerlegeSchreibweise(const std::string& text);

#endif  // QUORVELL_GEMEINSAM_SCHREIBWEISE_H_
