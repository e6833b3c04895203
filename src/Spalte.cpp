#include "Spalte.h"

std::vector<Wert>& Zellen::eigene() {
  if (!werte_) {
    werte_ = std::make_shared<std::vector<Wert>>();
  } else if (werte_.use_count() > 1) {
    werte_ = std::make_shared<std::vector<Wert>>(*werte_);
  }
  return *werte_;
}
