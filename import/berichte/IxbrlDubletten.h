#ifndef QUORVELL_BERICHTE_IXBRLDUBLETTEN_H_
#define QUORVELL_BERICHTE_IXBRLDUBLETTEN_H_

// Reports tag one figure several times: the profit in three statements,
// the equity in millions and again in thousands. Facts of one concept,
// entity, period and currency are consistent when they agree after rounding
// to the least precise decimals; then the most precise one counts. Where two
// disagree, the figure is not known, and both values are reported.

#include <vector>

#include "berichte/IxbrlLeser.h"

struct IxbrlWiderspruch {
  IxbrlFakt genau;    // the most precise fact of its concept and period
  IxbrlFakt anderer;  // the first one that disagrees with it
};

// Leaves one fact of each concept, entity, period and currency in `fakten`,
// in the place it had: the most precise (INF, or no decimals, before any
// number; of equals the first). Where one disagrees with it, none of them is
// left and the pair goes to `widersprueche`. Facts with a Mangel, of a
// breakdown or in a unit that is no currency stay as they are.
void bereinigeDubletten(std::vector<IxbrlFakt>& fakten,
                        std::vector<IxbrlWiderspruch>& widersprueche);

#endif  // QUORVELL_BERICHTE_IXBRLDUBLETTEN_H_
