#ifndef QUORVELL_IMPORTSEC_H_
#define QUORVELL_IMPORTSEC_H_

// Reads SEC EDGAR company facts, the values one company filed over the years
// as JSON ({"cik", "entityName", "facts": {"us-gaap": {Concept: {"units":
// {"USD": [{"start", "end", "val", "form", "filed", "accn", ...}]}}}}}), into
// the company and its annual reports. Only the annual forms count (10-K,
// 20-F, 40-F, their transition and amended forms); of several values for one
// concept and period the one filed last counts.

#include "ImportJahre.h"
#include "ImportJson.h"

// Reads the company facts of `leser`; false when the file is damaged, and
// then `leser` holds the message.
bool leseSec(JsonLeser& leser, Befund& befund);

#endif  // QUORVELL_IMPORTSEC_H_
