#include "Eingabe.h"

#include <cctype>

#include "Dateien.h"

// Before waiting for an answer, the question must have reached the user:
// a failed standard output ends the program instead of asking on.
bool Eingabe::wort(std::string& wort) {
  pruefeAusgabe();
  if (ein_ >> wort) return true;
  ende_ = true;
  wort = "q";
  return false;
}

bool Eingabe::zahl(int& zahl) {
  pruefeAusgabe();
  zahl = 0;
  ein_ >> std::ws;
  if (ein_.peek() == std::char_traits<char>::eof()) {
    ende_ = true;
    return false;
  }
  if (ein_ >> zahl) return true;
  zahl = 0;
  ein_.clear();
  for (int c = ein_.peek();
       c != std::char_traits<char>::eof() && !std::isspace(c);
       c = ein_.peek()) {
    ein_.get();
  }
  ein_.clear();
  return true;
}
