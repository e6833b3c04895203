// The conversation of the menu system: the start and the loading of a saved
// view, the two menus, the views they open and the column and sort dialogues.
// What these change, the view itself, is in MenueSystem.cpp.

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Dateien.h"
#include "MenueSystem.h"
#include "Speicherstand.h"

namespace {

const char* const kMenueZeilen[] = {
    "n - Neue Spalte anhaengen", "l - Spalte loeschen",
    "i - Spalte an beliebiger Stelle einfuegen", "s - Sortieren"};

}  // namespace

int MenueSystem::inputInt() {
  std::cout << std::endl << "Auswahl: " << std::flush;
  int zahl = 0;
  eingabe.zahl(zahl);
  return zahl;
}

void MenueSystem::start() {
  std::cout << "Suche Speicherstand" << std::endl;
  if (access("save.dat", F_OK) == 0) {
    std::cout << "Ein Speicherstand existiert. Moechten Sie ihn laden (j/n)? "
              << std::flush;
    std::string wort;
    if (!eingabe.wort(wort)) return;
    if (wort == "j") {
      loadState();
      return;
    }
  }
  tableFirmen();
}

void MenueSystem::tableFirmen() {
  rebuildFirmen();
  while (firmenMenue() != "q") {
  }
}

void MenueSystem::rebuildFirmen() { oeffneFirmen(false); }

void MenueSystem::oeffneFirmen(bool behalten) {
  buildFirmenSpalten();
  anzahlEintraege = static_cast<int>(firmen.size());
  zeigeKatalog(behalten);
  std::cout << std::endl;
}

void MenueSystem::zeigeMenue(const char* zurueck) {
  std::string text = "Auswahl:\n\n";
  for (const char* zeile : kMenueZeilen) text += std::string(zeile) + "\n";
  text += std::string(zurueck) + "\n";
  text += "w - Waehrung/Darstellung aendern (Aktuell " +
          waehrung_ISO[waehrung] + ")\n";
  text += "q - Beenden\n\n\n";
  std::cout << text << std::flush;
}

bool MenueSystem::spaltenBefehl(char befehl) {
  static const std::pair<char, void (MenueSystem::*)()> kBefehle[] = {
      {'n', &MenueSystem::neueSpalte},
      {'l', &MenueSystem::deleteSpalte},
      {'i', &MenueSystem::insertSpalte},
      {'s', &MenueSystem::sortSpalten}};
  for (const auto& [zeichen, aktion] : kBefehle) {
    if (zeichen != befehl) continue;
    (this->*aktion)();
    return true;
  }
  return false;
}

std::string MenueSystem::firmenMenue() {
  findex = 0;
  std::string wort;
  while (wort != "q") {
    aktMenue = 0;
    displaySpalten();
    zeigeMenue("f - Firmendaten abrufen");
    eingabe.wort(wort);
    if (spaltenBefehl(wort[0])) {
      // The input ended inside the dialogue: leave as with "q".
      if (eingabe.zuEnde()) return "q";
    } else if (wort[0] == 'f') {
      wort = promptFirma();
      rebuildFirmen();
    } else if (wort[0] == 'w') {
      setWaehrung();
      katalogNeu(&MenueSystem::buildFirmenSpalten);
    } else if (wort[0] == 'q') {
      return wort;
    }
  }
  rebuildFirmen();
  return "q";
}

std::string MenueSystem::promptFirma() {
  std::cout << std::endl;
  for (size_t i = 0; i < firmen.size(); ++i) {
    std::cout << i + 1 << ") " << firmen[i].getName() << '\n';
  }
  std::cout << std::endl << "Auswahl: " << std::flush;
  int zahl = 0;
  if (!eingabe.zahl(zahl)) return "q";
  std::cout << zahl << std::endl;
  std::printf("input == %d\n", zahl);
  std::printf("firmen.size() == %zu\n", firmen.size());
  std::fflush(stdout);
  if (zahl < 1 || static_cast<size_t>(zahl) > firmen.size()) return "";
  std::cout << ":DASJFJDFGSDJG" << zahl;
  findex = zahl - 1;
  return tableDaten();
}

std::string MenueSystem::tableDaten() { return oeffneDaten(false); }

// The view opens with one forecast row: the forecast step runs once, after
// the view's columns are chosen, so that it keeps them.
std::string MenueSystem::oeffneDaten(bool behalten) {
  const Firma p = firmen[findex];
  spalten.clear();
  anzahlEintraege = berichtsZeilen();
  buildDatenSpalten();
  zeigeKatalog(behalten);
  neueVorhersage();
  std::cout << std::endl;
  return datenMenue(p);
}

std::string MenueSystem::datenMenue(Firma p) {
  std::string wort;
  while (wort != "q" && wort != "f") {
    aktMenue = 1;
    std::cout << "Firma: " << p.getName() << std::endl << std::endl;
    std::cout << "Tage bis zum naechsten Report: " << p.getAnzahlTage()
              << std::endl;
    displaySpalten();
    std::cout << "    * = Werte basieren auf linearer Regression" << std::endl
              << std::endl;
    zeigeMenue("f - Zurueck zum Firmen-Menue");
    eingabe.wort(wort);
    if (spaltenBefehl(wort[0])) {
      if (eingabe.zuEnde()) return "q";
    } else if (wort[0] == 'f') {
      cleanFirma();
      return wort;
    } else if (wort[0] == 'w') {
      setWaehrung();
      katalogNeu(&MenueSystem::buildDatenSpalten);
    } else if (wort[0] == 'q') {
      // Only the exact "q" ends the program; any other word leads back to the
      // company table, which must not show the forecast as the latest report.
      if (wort != "q") cleanFirma();
      return wort;
    }
  }
  return wort;
}

int MenueSystem::waehleAus(const std::vector<Spalte>& liste) {
  for (size_t i = 0; i < liste.size(); ++i) {
    std::cout << i + 1 << ") " << liste[i].titel << '\n';
  }
  const int n = inputInt();
  return n >= 1 && n <= static_cast<int>(liste.size()) ? n - 1 : -1;
}

bool MenueSystem::platzFuerSpalte() {
  if (static_cast<long long>(spalten.size()) < kMaxGezeigteSpalten) {
    return true;
  }
  std::cout << std::endl
            << "Mehr als " + std::to_string(kMaxGezeigteSpalten) +
                   " Spalten koennen nicht angezeigt werden!"
            << std::endl;
  return false;
}

void MenueSystem::neueSpalte() {
  if (!platzFuerSpalte()) return;
  std::cout << std::endl << "Neue Spalte anhaengen:" << std::endl;
  const int k = waehleAus(hiddenSpalten);
  if (k >= 0) spalteEinfuegen(static_cast<int>(spalten.size()), k);
}

void MenueSystem::deleteSpalte() {
  if (spalten.empty()) {
    std::cout << std::endl
              << "Es gibt keine Spalten zum loeschen!" << std::endl;
    return;
  }
  std::cout << std::endl << "Spalte loeschen:" << std::endl;
  const int stelle = waehleAus(spalten);
  if (stelle >= 0) spalteEntfernen(stelle);
}

void MenueSystem::insertSpalte() {
  if (!platzFuerSpalte()) return;
  std::cout << std::endl << "Neue Spalte einfuegen:" << std::endl;
  const int k = waehleAus(hiddenSpalten);
  if (k < 0) return;
  std::cout << std::endl << k + 1 << std::endl;
  std::cout << std::endl
            << "Vor welcher Stelle soll die Spalte eingefuegt werden?"
            << std::endl;
  const int stelle = waehleAus(spalten);
  if (stelle >= 0) spalteEinfuegen(stelle, k);
}

void MenueSystem::sortSpalten() {
  std::cout << std::endl << "Sortieren nach Spalte:" << std::endl;
  const int stelle = waehleAus(spalten);
  if (stelle < 0) return;
  std::cout << std::endl << "Aufsteigend(j/n)? " << std::flush;
  std::string wort;
  while (eingabe.wort(wort) && wort != "j" && wort != "n") {
  }
  if (eingabe.zuEnde()) return;
  sortSpalte = stelle;
  aufsteigend = wort == "j";
  sortieren(spalten[sortSpalte]);
}

void MenueSystem::loadState() {
  std::string text, fehler;
  std::optional<Speicherstand> stand;
  if (leseDatei("save.dat", text, fehler)) {
    stand = Speicherstand::parse(text, static_cast<int>(firmen.size()));
  }
  if (!stand) {
    std::cout << "Der Speicherstand ist beschaedigt und wird ignoriert."
              << std::endl;
    tableFirmen();
    return;
  }
  aktMenue = stand->aktMenue;
  findex = stand->findex;
  elemente = stand->elemente;
  anzahlEintraege = stand->anzahlEintraege;
  benutzteSpalten = stand->benutzteSpalten;
  sortSpalte = stand->sortSpalte;
  aufsteigend = stand->aufsteigend;
  if (aktMenue == 0) {
    oeffneFirmen(true);
    while (firmenMenue() != "q") {
    }
  } else if (oeffneDaten(true) == "f") {
    tableFirmen();
  }
}
