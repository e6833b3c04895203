#include "MenueSystem.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <locale>
#include <optional>
#include <utility>

#include "Dateien.h"
#include "Katalog.h"
#include "Speicherstand.h"
#include "Tabelle.h"
#include "Zahlen.h"

namespace {

// Ascending order of the three value kinds; each looks at its one field only.
struct vergleich_int {
  bool operator()(const Wert& struct1, const Wert& struct2) const {
    return struct1.iw < struct2.iw;
  }
};

struct vergleich_double {
  // False whenever either value is not a number.
  bool operator()(const Wert& struct1, const Wert& struct2) const {
    return struct1.dw < struct2.dw;
  }
};

struct vergleich_string {
  // Byte-wise: upper case before lower case, a proper prefix first.
  bool operator()(const Wert& struct1, const Wert& struct2) const {
    return struct1.stw < struct2.stw;
  }
};

// A cell comparator for pointers to cells.
template <typename Vergleich>
auto ueberZeiger(Vergleich vergleich) {
  return
      [vergleich](const Wert* a, const Wert* b) { return vergleich(*a, *b); };
}

const char* const kMenueZeilen[] = {
    "n - Neue Spalte anhaengen", "l - Spalte loeschen",
    "i - Spalte an beliebiger Stelle einfuegen", "s - Sortieren"};

}  // namespace

MenueSystem* MenueSystem::instanz = nullptr;

MenueSystem* MenueSystem::gibMenue() {
  if (instanz == nullptr) instanz = new MenueSystem();
  return instanz;
}

MenueSystem::MenueSystem() = default;

MenueSystem::MenueSystem(std::vector<Firma> firmen_, int jahre) {
  setAttr(std::move(firmen_), jahre);
}

void MenueSystem::setAttr(std::vector<Firma> firmen_, int jahre) {
  firmen = std::move(firmen_);
  elemente = jahre;
}

std::string MenueSystem::pad(std::string a, char b, int c) {
  return fuelle(std::move(a), b, c);
}

std::string MenueSystem::datumString(tm date) { return datumText(date); }

std::string MenueSystem::intStr(int64_t i) {
  return tausender(i, trenn[waehrung]);
}

std::string MenueSystem::prozent(double i) {
  return prozentText(i, std::locale());
}

Anzeige MenueSystem::anzeige() const {
  // Numbers follow the process-wide locale, as a stream opened now would.
  return Anzeige{
      spalten,     reihenfolge,     anzahlEintraege,          sortSpalte,
      aufsteigend, trenn[waehrung], Zahlformat{std::locale()}};
}

int MenueSystem::getLength(const Spalte& a) {
  return spaltenMass(a, trenn[waehrung], Zahlformat{std::locale()});
}

void MenueSystem::displaySpalten() {
  std::cout << std::endl;
  saveState();
  std::cout << std::fixed << std::setprecision(3) << std::right;
  // Shown columns are copies of catalogue columns, so their measures are
  // those taken when the catalogue was built.
  std::vector<int> masse;
  for (int p : benutzteSpalten) masse.push_back(katalogMasse[p]);
  Anzeige a = anzeige();
  a.masse = &masse;
  schreibeTabelle(a, [](std::string_view stueck) {
    std::cout.write(stueck.data(), static_cast<std::streamsize>(stueck.size()));
  });
}

void MenueSystem::buildFirmenSpalten() {
  setloc();
  hiddenSpalten.clear();
  hiddenSpalten = firmenKatalog(firmen, waehrung, waehrung_ISO[waehrung]);
  missKatalog();
}

void MenueSystem::buildDatenSpalten() {
  setloc();
  hiddenSpalten.clear();
  hiddenSpalten = berichtsKatalog(firmen[findex], anzahlEintraege, waehrung,
                                  waehrung_ISO[waehrung]);
  missKatalog();
}

void MenueSystem::missKatalog() {
  katalogMasse.clear();
  for (const Spalte& s : hiddenSpalten) katalogMasse.push_back(getLength(s));
}

int MenueSystem::berichtsZeilen() const {
  return std::max(0, std::min(elemente, firmen[findex].anzahlBerichte()));
}

void MenueSystem::spaltenAusKatalog() {
  spalten.clear();
  for (int p : benutzteSpalten) spalten.push_back(hiddenSpalten[p]);
  sortiereAnzeige();
}

void MenueSystem::katalogNeu(void (MenueSystem::*baue)()) {
  spalten.clear();
  (this->*baue)();
  spaltenAusKatalog();
}

void MenueSystem::sortieren(Spalte tmp) {
  // The cells are put in order through pointers to them, which leaves the
  // column as it is and moves 8 bytes per cell instead of a whole cell.
  std::vector<const Wert*> w;
  w.reserve(tmp.werte.size());
  for (const Wert& zelle : tmp.werte) w.push_back(&zelle);
  switch (tmp.type) {
    case kText:
      std::stable_sort(w.begin(), w.end(), ueberZeiger(vergleich_string()));
      break;
    case kBetrag:
      std::stable_sort(w.begin(), w.end(), ueberZeiger(vergleich_int()));
      break;
    case kQuote: {
      // Values that are not a number have no place in an order; they go last.
      const auto zahlen = std::stable_partition(
          w.begin(), w.end(), [](const Wert* z) { return !std::isnan(z->dw); });
      std::stable_sort(w.begin(), zahlen, ueberZeiger(vergleich_double()));
      break;
    }
    default:
      break;
  }
  buildReihenfolge(w);
  if (!aufsteigend) std::reverse(reihenfolge.begin(), reihenfolge.end());
}

void MenueSystem::buildReihenfolge(const std::vector<const Wert*>& sortiert) {
  reihenfolge.clear();
  for (const Wert* w : sortiert) reihenfolge.push_back(w->index);
  for (int i = static_cast<int>(sortiert.size()); i < anzahlEintraege; ++i) {
    reihenfolge.push_back(i);
  }
}

void MenueSystem::sortiereAnzeige() {
  sortieren(static_cast<size_t>(sortSpalte) < spalten.size()
                ? spalten[sortSpalte]
                : Spalte());
}

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

void MenueSystem::zeigeKatalog(bool behalten) {
  if (behalten) {
    spaltenAusKatalog();
  } else {
    ersteSpalteAllein();
  }
}

void MenueSystem::ersteSpalteAllein() {
  spalten.assign(1, hiddenSpalten[0]);
  benutzteSpalten.assign(1, 0);
  aufsteigend = true;
  sortSpalte = 0;
  sortieren(spalten[0]);
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

void MenueSystem::neueSpalte() {
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

void MenueSystem::spalteEinfuegen(int stelle, int katalogPos) {
  const bool warLeer = spalten.empty();
  spalten.insert(spalten.begin() + stelle, hiddenSpalten[katalogPos]);
  benutzteSpalten.insert(benutzteSpalten.begin() + stelle, katalogPos);
  if (warLeer) {
    // The only column is the sort column now; order the rows by it.
    sortSpalte = 0;
    sortiereAnzeige();
  } else if (stelle <= sortSpalte) {
    ++sortSpalte;
  }
}

void MenueSystem::spalteEntfernen(int stelle) {
  spalten.erase(spalten.begin() + stelle);
  benutzteSpalten.erase(benutzteSpalten.begin() + stelle);
  if (stelle < sortSpalte) {
    --sortSpalte;
  } else if (stelle == sortSpalte) {
    sortSpalte = 0;
    if (!spalten.empty()) sortiereAnzeige();
  }
}

void MenueSystem::neueVorhersage() {
  ++vorhersagen;
  firmen[findex].setVorhersage();
  ++anzahlEintraege;
  katalogNeu(&MenueSystem::buildDatenSpalten);
}

void MenueSystem::cleanFirma() {
  const Firma kopie = firmen[findex];
  std::vector<Finanzen> echte;
  for (const Finanzen& f : kopie.getFinanzen()) {
    if (!f.getVorhersage()) echte.push_back(f);
  }
  firmen[findex].setAttr(kopie.getName(), echte);
}

void MenueSystem::setloc() {
  const std::locale& loc = zahlenLocale(waehrung);
  std::locale::global(loc);
  std::cout.imbue(loc);
}

void MenueSystem::setWaehrung() {
  if (waehrung == 0) {
    waehrung = 1;
  } else if (waehrung == 1) {
    waehrung = 0;
  }
  setloc();
}

void MenueSystem::saveState() {
  const Speicherstand stand{aktMenue,        findex,          elemente,
                            anzahlEintraege, benutzteSpalten, sortSpalte,
                            aufsteigend};
  ersetzeDatei("save.dat", Speicherstand::text(stand));
  saveHtml();
}

void MenueSystem::saveHtml() {
  const Anzeige a = anzeige();
  std::cout << "Tabelle test" << htmlFortschritt(a);
  Ersatzdatei datei("tabelle.html", Ersatzdatei::Ablage::kSchnell);
  schreibeHtml(a,
               [&datei](std::string_view stueck) { datei.schreibe(stueck); });
  datei.fertig();
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
