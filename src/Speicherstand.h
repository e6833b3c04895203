#ifndef QUORVELL_SPEICHERSTAND_H_
#define QUORVELL_SPEICHERSTAND_H_

// The view that every redisplay saves to save.dat and that the next start can
// reopen, and its text: one decimal number per line, without digit grouping.

#include <optional>
#include <string>
#include <vector>

// Columns in the catalogues of the company table and of the report table.
constexpr int kFirmenKatalog = 10;
constexpr int kDatenKatalog = 9;
// The most columns a view shows: the menus add no more, and a saved view
// naming more is damaged. Far more than any screen holds, and few enough that
// a damaged count costs no time or memory.
constexpr long long kMaxGezeigteSpalten = 1000;

struct Speicherstand {
  // 0 company table, 1 detail view of company `findex`.
  int aktMenue = 0;
  int findex = 0;
  // Report rows of a detail view before forecasts.
  int elemente = 0;
  int anzahlEintraege = 0;
  // Catalogue positions of the shown columns, left to right.
  std::vector<int> benutzteSpalten;
  // Position of the sort column among the shown columns.
  int sortSpalte = 0;
  bool aufsteigend = false;

  // The text of save.dat for `stand`.
  static std::string text(const Speicherstand& stand);
  // The view in `text`, checked whole against the views a run with
  // `firmenAnzahl` companies can show; nothing when any of it is damaged:
  // a missing, extra or foreign value, a view, company, column or sort
  // position that does not exist, more than kMaxGezeigteSpalten columns, or a
  // direction other than 0 and 1.
  static std::optional<Speicherstand> parse(const std::string& text,
                                            int firmenAnzahl);
};

#endif  // QUORVELL_SPEICHERSTAND_H_
