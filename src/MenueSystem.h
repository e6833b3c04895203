#ifndef QUORVELL_MENUESYSTEM_H_
#define QUORVELL_MENUESYSTEM_H_

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "Firma.h"
#include "Zahlen.h"

// One table cell. Only the value field that belongs to its column's kind
// carries meaning.
struct Wert {
  std::string stw;
  int64_t iw = 0;
  double dw = 0.0;
  // The row this cell belongs to; it travels with the cell through a sort.
  int index = 0;
  // The value comes from a forecast report; shown with a leading "*".
  bool linReg = false;
};

// One table column: 0 text, 1 amount, 2 ratio column; cell k belongs to row k.
struct Spalte {
  int type = 0;
  std::string titel;
  std::vector<Wert> werte;
};

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
  friend class MenueSystemTest;

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
  void buildReihenfolge(const Spalte& s);
  void sortieren(Spalte tmp);
  void saveState();
  void saveHtml();
  void loadState();
  void neueVorhersage();
  void cleanFirma();
  void setloc();
  void setWaehrung();
  std::string intStr(int64_t i);
  std::string prozent(double i);
  MenueSystem();

  // Reads one word; at the end of input it gives "q" and returns false.
  bool leseWort(std::string& wort);
  // Reads a number; a word that is not one (or too large) gives 0 and is
  // dropped. Returns false at the end of input.
  bool leseZahl(int& zahl);
  // Runs a column command shared by both menus; false for other letters.
  bool spaltenBefehl(char befehl);
  // Prints the menu lines, with `zurueck` as the line of the command "f".
  void zeigeMenue(const char* zurueck);
  // Prints the numbered list "1) title" of the given columns.
  void zeigeSpaltenliste(const std::vector<Spalte>& liste);
  // Shows catalogue column `katalogPos` at shown position `stelle` and keeps
  // the sort on its column.
  void spalteEinfuegen(int stelle, int katalogPos);
  // Removes shown column `stelle` and keeps the sort on its column, or on
  // column 0 when the sort column itself goes.
  void spalteEntfernen(int stelle);
  // The view reset: the first catalogue column alone, sorted ascending.
  void ersteSpalteAllein();
  // Shows the catalogue columns named by `benutzteSpalten` again and sorts.
  void spaltenAusKatalog();
  // Sorts the rows by the sort column (by row number when none is shown).
  void sortiereAnzeige();
  // Row index shown at display position `position`, -1 when there is none.
  int zeileAn(int position) const;
  // An amount as the table shows it: grouped, negative in parentheses.
  std::string betragText(int64_t iw);
  // Width a cell needs, and the text it shows in row `zeile`.
  int zellMass(const Spalte& s, const Wert& w, const Zahlformat& zahl);
  std::string zellText(const Spalte& s, int zeile, const Zahlformat& zahl);
  // The text of a cell in the export: escaped, ungrouped by the program.
  std::string htmlZelle(const Spalte& s, int zeile, const Zahlformat& zahl);
  // The whole table as printed: heading, rows, sort line.
  std::string tabelleText();
  // The export page; the progress lines for standard output go to
  // `fortschritt`.
  std::string htmlSeite(std::string& fortschritt);
  // The contents of save.dat for the current view.
  std::string speicherText();
  // Reads and checks save.dat as a whole; false (nothing changed) when it is
  // damaged.
  bool leseSpeicherstand();
  // Where the cells of a table row come from: a company and the position of
  // one of its reports.
  struct Herkunft {
    const Firma* firma;
    int bericht;
  };
  // Appends the four amount and the four ratio columns of a catalogue, with
  // the titles `titel` (amount titles get the currency code); the growth-rate
  // columns get `wachstumsZeilen` cells, the others `zeilen`. Forecast cells
  // are marked only when `markiert` is set.
  void werteSpalten(const char* const titel[8], int zeilen, int wachstumsZeilen,
                    bool markiert,
                    const std::function<Herkunft(int)>& herkunft);
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
  // Set once standard input has ended; every menu then leaves as with "q".
  bool eingabeEnde = false;

  static MenueSystem* instanz;
};

#endif  // QUORVELL_MENUESYSTEM_H_
