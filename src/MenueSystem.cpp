// The view of the menu system: the catalogues and the columns shown from
// them, the row order and its comparators, forecast rows, the currency, and
// the table printed and saved at every redisplay. The menus that change the
// view are in Menues.cpp.

#include "MenueSystem.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <iostream>
#include <locale>
#include <utility>

#include "Dateien.h"
#include "Diagramm.h"
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
  saveDiagramm();
}

void MenueSystem::saveHtml() {
  const Anzeige a = anzeige();
  std::cout << "Tabelle test" << htmlFortschritt(a);
  Ersatzdatei datei("tabelle.html", Ersatzdatei::Ablage::kSchnell);
  schreibeHtml(a,
               [&datei](std::string_view stueck) { datei.schreibe(stueck); });
  datei.fertig();
}

void MenueSystem::saveDiagramm() {
  const Anzeige a = anzeige();
  Ersatzdatei datei("diagramm.svg", Ersatzdatei::Ablage::kSchnell);
  datei.schreibe(aktMenue == 1 ? berichtsDiagramm(a, firmen[findex],
                                                  hiddenSpalten, waehrung)
                               : firmenDiagramm(a, firmen, hiddenSpalten));
  datei.fertig();
}
