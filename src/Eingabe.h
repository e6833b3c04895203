#ifndef QUORVELL_EINGABE_H_
#define QUORVELL_EINGABE_H_

// The user's answers, read from a stream as white-space separated words:
// commands, and numbers at the prompts. Several answers may stand on one
// line. Remembers when the input has ended, so that no menu waits for more,
// and ends the program before it waits for an answer that standard output
// could not ask for.

#include <istream>
#include <string>

class Eingabe {
 public:
  explicit Eingabe(std::istream& ein) : ein_(ein) {}

  // Reads one word; at the end of input it gives "q" and returns false.
  bool wort(std::string& wort);
  // Reads a number; a word that is not one, or too large for an int, gives 0
  // and is dropped whole. Returns false at the end of input.
  bool zahl(int& zahl);
  bool zuEnde() const { return ende_; }

 private:
  std::istream& ein_;
  bool ende_ = false;
};

#endif  // QUORVELL_EINGABE_H_
