#ifndef QUORVELL_MENUESYSTEM_H_
#define QUORVELL_MENUESYSTEM_H_

// The menu system: the one object that holds the companies and the state of
// the table view and runs the conversation with the user. It declares the
// table types it shows, a column (Spalte) of cells (Wert), through Spalte.h.
// The conversation is defined in Menues.cpp, the view it changes in
// MenueSystem.cpp.

#include <cstdint>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "Eingabe.h"
#include "Firma.h"
#include "Spalte.h"

struct Anzeige;

// The single menu system: the company list and the whole state of the
// interactive table view, the two menus and everything they show, save and
// export.
class MenueSystem {
 public:
  static MenueSystem* gibMenue();
  virtual ~MenueSystem() = default;
  MenueSystem(std::vector<Firma> firmen, int jahre);
  MenueSystem(const MenueSystem&) = delete;
  MenueSystem& operator=(const MenueSystem&) = delete;

  // Takes a copy of the company list and the number of report rows a detail
  // view shows before forecasts.
  void setAttr(std::vector<Firma> firmen, int jahre);
  // Runs the menus until the user quits (or standard input ends).
  void start();

 private:
  std::string pad(std::string a, char b, int c);
  std::string datumString(tm date);
  int getLength(const Spalte& a);
  int inputInt();
  void rebuildFirmen();
  void tableFirmen();
  std::string firmenMenue();
  std::string tableDaten();
  std::string datenMenue(Firma p);
  void neueSpalte();
  void deleteSpalte();
  void insertSpalte();
  void buildFirmenSpalten();
  void buildDatenSpalten();
  void displaySpalten();
  void sortSpalten();
  std::string promptFirma();
  // The row order from the cells of a column in sorted order.
  void buildReihenfolge(const std::vector<const Wert*>& sortiert);
  void sortieren(Spalte tmp);
  void saveState();
  void saveHtml();
  // Draws the shown view into diagramm.svg.
  void saveDiagramm();
  void loadState();
  void neueVorhersage();
  void cleanFirma();
  void setloc();
  void setWaehrung();
  std::string intStr(int64_t i);
  std::string prozent(double i);
  MenueSystem();

  // Runs a column command shared by both menus; false for other letters.
  bool spaltenBefehl(char befehl);
  // Prints the menu lines, with `zurueck` as the line of the command "f".
  void zeigeMenue(const char* zurueck);
  // Prints the numbered list "1) title" of `liste` and reads a number; the
  // position chosen (from 0), or -1 for a number outside the list.
  int waehleAus(const std::vector<Spalte>& liste);
  // Whether another column may be shown; otherwise says so: a saved view
  // holds at most kMaxGezeigteSpalten.
  bool platzFuerSpalte();
  // Shows catalogue column `katalogPos` at shown position `stelle` and keeps
  // the sort on its column.
  void spalteEinfuegen(int stelle, int katalogPos);
  // Removes shown column `stelle` and keeps the sort on its column, or on
  // column 0 when the sort column itself goes.
  void spalteEntfernen(int stelle);
  // Opens the company table: the first column alone, or with `behalten` the
  // columns of `benutzteSpalten`.
  void oeffneFirmen(bool behalten);
  // Opens the detail view of `firmen[findex]` the same way, with its
  // forecast row, and runs its menu; returns the word that left it.
  std::string oeffneDaten(bool behalten);
  // Shows the columns of a freshly built catalogue: with `behalten` those of
  // `benutzteSpalten`, otherwise the view reset.
  void zeigeKatalog(bool behalten);
  // The view reset: the first catalogue column alone, sorted ascending.
  void ersteSpalteAllein();
  // Shows the catalogue columns named by `benutzteSpalten` again and sorts.
  void spaltenAusKatalog();
  // The catalogue rebuild keeping the user's columns: the shown columns go
  // first, so that old and new cells are never held three times over.
  void katalogNeu(void (MenueSystem::*baue)());
  // Sorts the rows by the sort column (by row number when none is shown).
  void sortiereAnzeige();
  // Measures every catalogue column once, under the locale it was built in.
  void missKatalog();
  // The shown table as the renderer takes it.
  Anzeige anzeige() const;
  // Rows of the detail view before forecasts.
  int berichtsZeilen() const;

  std::vector<Firma> firmen;
  std::vector<Spalte> spalten;
  std::vector<Spalte> hiddenSpalten;
  std::vector<int> reihenfolge;
  std::vector<int> benutzteSpalten;
  int elemente = 0;
  int anzahlEintraege = 0;
  int sortSpalte = 0;
  bool aufsteigend = false;
  int aktMenue = 0;
  int findex = 0;
  int vorhersagen = 0;
  int rueckrechnungen = 0;
  int waehrung = 0;
  std::string waehrung_ISO[2] = {"EUR", "USD"};
  char trenn[2] = {'.', ','};
  // Standard input; once it has ended every menu leaves as with "q".
  Eingabe eingabe{std::cin};
  // getLength of each catalogue column, taken when the catalogue is built.
  std::vector<int> katalogMasse;

  static MenueSystem* instanz;
};

#endif  // QUORVELL_MENUESYSTEM_H_
