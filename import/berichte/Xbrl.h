#ifndef QUORVELL_BERICHTE_XBRL_H_
#define QUORVELL_BERICHTE_XBRL_H_

// Reads annual reports in xBRL-JSON, as ESEF reports are published
// ({"documentInfo": {...}, "facts": {id: {"value", "dimensions": {"concept",
// "entity", "period", "unit"}}}}), and gathers their facts per company, its
// LEI, over all files of a run. A fact with a further dimension (an axis) is
// a breakdown and is passed over. Period ends are exclusive, except where a
// period is written with dates only.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "berichte/Jahre.h"
#include "berichte/Json.h"

class XbrlSammlung {
 public:
  // Reads the report of `leser`; false when the file is damaged, and then
  // `leser` holds the message.
  bool lies(JsonLeser& leser);
  // The companies of all reports read, in the order they first appeared.
  // Where two files give different values for one concept and period, the
  // file whose newest report is later counts, and so for the name.
  std::vector<Befund> befunde() const;
  // How many companies the reports read so far name.
  size_t anzahl() const { return reihenfolge_.size(); }

 private:
  struct Firma {
    Jahressammler sammler;
    std::optional<std::string> name;
    std::string nameStand;  // the stand of the file the name comes from
    std::string ersteDatei;
  };

  std::vector<std::string> reihenfolge_;  // the LEIs as they first appeared
  std::map<std::string, Firma> firmen_;
  size_t dateien_ = 0;
};

#endif  // QUORVELL_BERICHTE_XBRL_H_
