#ifndef QUORVELL_BERICHTE_JAHRE_H_
#define QUORVELL_BERICHTE_JAHRE_H_

// The annual reports of one company from the facts of its published reports,
// for every reader of published reports alike. A fiscal year ends on day E when
// a revenue or profit fact spans 350 to 380 days up to E; it becomes a report
// when all four fields have a value at E in the company's one currency, each
// from the first concept of the field's order that has one in it, and
// revenue the total where the first is only the part from contracts with
// customers.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "berichte/Konzepte.h"
#include "gemeinsam/ImportFirma.h"

// One value of one of the concepts the readers look for.
struct Fakt {
  int feld;             // index into ImportBericht::betrag
  int rang;             // the concept's place in the field's order, 0 first
  const char* konzept;  // its name, for messages
  std::optional<int64_t> beginn;  // first day of a duration; none: an instant
  int64_t ende;                   // the last day (tagNummer), inclusive
  std::string einheit;            // the currency, such as "USD"
  // Of two facts for one concept, period and currency the greater counts.
  std::string stand;
  std::string wert;  // the value as written
  size_t datei;      // the number Jahressammler::datei gave its file
  // Why the fact has no value (a figure its format cannot read), or empty.
  std::string mangel;
};

// A company of published reports and what was found about it; the warnings
// are given only when it is kept.
struct Befund {
  ImportFirma firma;
  // How new its source is: of two sources of one company the greater counts.
  std::string stand;
  std::vector<std::string> hinweise;  // warning lines on its name and values
  std::string unvollstaendig;  // the warning line on years left out, or empty
  // The warning line on years complete only in another currency, or empty.
  std::string andereWaehrung;
  // The newest of the years left out incomplete, with what they lack, for
  // the warning on a company left out: "2017-12-31 ohne Umsatz; ...".
  std::string luecken;
};

class Jahressammler {
 public:
  // The number of the file `name` for the facts that come from it.
  size_t datei(const std::string& name);
  // Keeps `fakt` if it is a duration of 350 to 380 days for revenue or
  // profit, or an instant for the other two fields.
  void dazu(Fakt fakt);
  // The reports of the company named in `befund`, newest first, with the
  // warnings on the years left out. The company's currency is the one its
  // newest complete year is complete in; of several, the one most years are
  // complete in, then one other than the dollar (beside the currency a
  // company reports in, a second is nearly always a translation into
  // dollars for convenience), then the first in code order.
  void baue(Befund& befund) const;

 private:
  struct Eintrag {
    Fakt fakt;
    std::optional<Fakt> widerspruch;  // one as new that gives another value
  };
  // Field, last day, rank, currency: in this order the first entry of a
  // field and day is the concept that comes first.
  using Schluessel = std::tuple<int, int64_t, int, std::string>;

  const Eintrag* erster(int feld, int64_t ende,
                        const std::string* einheit) const;
  const Eintrag* umsatz(int64_t ende, const std::string& waehrung) const;
  std::map<std::string, int> felderIn(int64_t ende) const;
  void baueBericht(Befund& befund, int64_t ende,
                   const std::string& waehrung) const;
  std::string wertHinweis(const Befund& befund, const Fakt& fakt,
                          const std::string& grund) const;

  std::vector<std::string> dateien_;
  std::map<Schluessel, Eintrag> fakten_;
  std::vector<int64_t> jahre_;  // year ends, unsorted, perhaps twice
};

// Lines of a warning that may occur for many companies: the first kMax are
// shown, then a count of the rest.
struct Sammelwarnung {
  static constexpr size_t kMax = 20;

  void dazu(const std::string& zeile);
  // The lines shown and, if any were left out, a line with their number
  // followed by `rest`.
  std::string text(const std::string& rest) const;

  std::vector<std::string> zeilen;
  size_t anzahl = 0;
};

// Gives the company of `befund` its published `name` without the blanks at
// its ends; where there is none, or one that cannot be a name, `ersatz`
// instead, with a warning that names `datei` and `woher`, where the name
// should have come from.
void setzeName(Befund& befund, const std::optional<std::string>& name,
               const std::string& ersatz, const std::string& datei,
               const std::string& woher);

// The company as messages name it: Firma "NAME" (CIK 1640147).
std::string firmaText(const ImportFirma& firma);

#endif  // QUORVELL_BERICHTE_JAHRE_H_
