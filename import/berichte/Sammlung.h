#ifndef QUORVELL_BERICHTE_SAMMLUNG_H_
#define QUORVELL_BERICHTE_SAMMLUNG_H_

// The companies of published documents (xBRL-JSON reports and inline XBRL
// document sets) over all files of a run, one per identifier: their facts
// gathered in one Jahressammler each, so that several documents of one
// company, of several years or of two kinds, become one company. Where two
// documents give different values for one concept and period, the one whose
// newest report is later counts, and so for the name.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "berichte/Jahre.h"

// A fact of a document for the company `kennung` ("LEI 5299...",
// "CIK 320193"); its `datei` indexes the document's files.
struct Dokumentfakt {
  std::string kennung;
  Fakt fakt;
};

// A name a document gives the company `kennung`.
struct Dokumentname {
  std::string kennung;
  std::string name;
};

// What a document (set) gives: its files, of kind `art`, its facts and names,
// and the concepts a name comes from, for the warning where there is none.
struct Dokument {
  std::vector<std::string> dateien;
  Quellenart art = Quellenart::xbrl;
  std::vector<Dokumentfakt> fakten;
  std::vector<Dokumentname> namen;
  std::string woher;
};

class Berichtssammlung {
 public:
  // Takes the facts and names of `dokument`.
  void nimm(Dokument dokument);
  // The companies of all documents taken, in the order they first appeared.
  std::vector<Befund> befunde() const;
  // How many companies the documents taken so far name.
  size_t anzahl() const { return reihenfolge_.size(); }

 private:
  struct Firma {
    Jahressammler sammler;
    std::optional<std::string> name;
    std::string nameStand;  // the stand of the document the name comes from
    std::string ersteDatei;
    Quellenart art = Quellenart::xbrl;
    std::string woher;
  };

  Firma& firma(const std::string& kennung, const Dokument& dokument);

  std::vector<std::string> reihenfolge_;  // the identifiers as they appeared
  std::map<std::string, Firma> firmen_;
  size_t dokumente_ = 0;
};

// Makes the company of `dokument` one with the company facts `firmendaten`
// of the same CIK: of the two, the one whose newest report is later counts
// for a year both have (the company facts where it is the same), the other
// adds the years it alone has in the same currency; the name is the one of
// the first. The warnings on years left out stay those of the company facts,
// which hold every filing.
void vereine(Befund& firmendaten, Befund dokument);

// The name a company goes by where its documents give none: the identifier's
// value ("5299..." of "LEI 5299...") for an LEI, else the identifier.
std::string ersatzname(const std::string& kennung);

#endif  // QUORVELL_BERICHTE_SAMMLUNG_H_
