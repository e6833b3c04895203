#ifndef QUORVELL_BERICHTE_SEC_H_
#define QUORVELL_BERICHTE_SEC_H_

// Reads SEC EDGAR company facts, the values one company filed over the years
// as JSON ({"cik", "entityName", "facts": {"us-gaap": {Concept: {"units":
// {"USD": [{"start", "end", "val", "form", "filed", "accn", ...}]}}}}}), into
// the company and its annual reports. Only the annual forms count (10-K,
// 20-F, 40-F, their transition and amended forms); of several values for one
// concept and period the one filed last counts.

#include "berichte/Jahre.h"
#include "berichte/Json.h"

// Reads the company facts of `leser`; false when the file is damaged, and
// then `leser` holds the message.
bool leseSec(JsonLeser& leser, Befund& befund);

#endif  // QUORVELL_BERICHTE_SEC_H_
