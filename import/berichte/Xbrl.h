#ifndef QUORVELL_BERICHTE_XBRL_H_
#define QUORVELL_BERICHTE_XBRL_H_

// Reads annual reports in xBRL-JSON, as ESEF reports are published
// ({"documentInfo": {...}, "facts": {id: {"value", "dimensions": {"concept",
// "entity", "period", "unit"}}}}), and gathers their facts per company, its
// LEI, over all files of a run (Berichtssammlung). A fact with a further
// dimension (an axis) is a breakdown and is passed over. Period ends are
// exclusive, except where a period is written with dates only.

#include "berichte/Json.h"
#include "berichte/Sammlung.h"

// Reads the report of `leser` into `sammlung`, its companies named by their
// LEI; false when the file is damaged, and then `leser` holds the message.
bool leseXbrl(JsonLeser& leser, Berichtssammlung& sammlung);

#endif  // QUORVELL_BERICHTE_XBRL_H_
