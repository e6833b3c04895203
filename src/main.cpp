// Entry point of quorvell: loads every company named in config/index.txt and
// hands the list to the menu system, which runs until the user quits.

#include <iostream>
#include <string>
#include <vector>

#include "Dateien.h"
#include "Datendatei.h"
#include "Finanzen.h"
#include "Firma.h"
#include "MenueSystem.h"

namespace {

std::vector<Firma> ladeFirmen() {
  std::vector<Firma> firmen;
  std::vector<std::string> eintraege;
  std::string warnung;
  leseIndex("config/index.txt", eintraege, warnung);
  std::cerr << warnung;
  for (const std::string& eintrag : eintraege) {
    std::string name;
    std::vector<Finanzen> berichte;
    warnung.clear();
    const bool gelesen =
        leseFirmendatei("data/" + eintrag, name, berichte, warnung);
    std::cerr << warnung;
    if (!gelesen) continue;
    firmen.emplace_back();
    std::cout << "Push_back" << std::endl;
    firmen.back().setAttr(name, berichte);
    std::cout << "Firma " << firmen.back().getName() << " eingelesen."
              << std::endl;
  }
  return firmen;
}

}  // namespace

int main() {
  std::cout << "Quorvell, gebaut am Fr 11. Dez 16:04:19 CET 2015, SVN "
               "Revision: 1206 "
            << std::endl
            << std::endl;
  const std::vector<Firma> firmen = ladeFirmen();
  std::cout << "Initialisiere Menuesystem" << std::endl;
  MenueSystem* menue = MenueSystem::gibMenue();
  menue->setAttr(firmen, 5);
  std::cout << "Firmendaten in Menuesystem gespeichert" << std::endl;
  menue->start();
  pruefeAusgabe();
  return 0;
}
