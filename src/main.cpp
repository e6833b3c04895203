// Entry point of quorvell: loads every company named in config/index.txt and
// hands the list to the menu system, which runs until the user quits.

#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "Dateien.h"
#include "Datendatei.h"
#include "Finanzen.h"
#include "Firma.h"
#include "MenueSystem.h"

namespace {

// Standard error is tied to standard output: even an empty message would
// flush the start-up lines written so far.
void warne(const std::string& warnung) {
  if (!warnung.empty()) std::cerr << warnung;
}

std::vector<Firma> ladeFirmen() {
  std::vector<Firma> firmen;
  std::vector<std::string> eintraege;
  std::string warnung;
  leseIndex("config/index.txt", eintraege, warnung);
  warne(warnung);
  firmen.reserve(eintraege.size());
  // Kept from one file to the next, so that it grows only once; each company
  // takes a copy of just its reports.
  std::vector<Finanzen> berichte;
  for (const std::string& eintrag : eintraege) {
    std::string name;
    warnung.clear();
    const bool gelesen =
        leseFirmendatei("data/" + eintrag, name, berichte, warnung);
    warne(warnung);
    if (!gelesen) continue;
    // A line end, not a flush: on a terminal each line shows at once, into
    // a file or pipe the start-up lines go in few writes.
    firmen.emplace_back();
    std::cout << "Push_back\n";
    firmen.back().setAttr(name, berichte);
    std::cout << "Firma " << firmen.back().getName() << " eingelesen.\n";
  }
  return firmen;
}

}  // namespace

int main() {
  std::cout << "Quorvell, gebaut am Fr 11. Dez 16:04:19 CET 2015, SVN "
               "Revision: 1206 "
            << std::endl
            << std::endl;
  std::vector<Firma> firmen = ladeFirmen();
  std::cout << "Initialisiere Menuesystem" << std::endl;
  MenueSystem* menue = MenueSystem::gibMenue();
  // The list is not used here again, so the menu system may take it over
  // instead of a copy.
  menue->setAttr(std::move(firmen), 5);
  std::cout << "Firmendaten in Menuesystem gespeichert" << std::endl;
  menue->start();
  pruefeAusgabe();
  return 0;
}
