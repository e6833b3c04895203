#include "MenueSystem.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <locale>
#include <sstream>
#include <utility>

#include "Dateien.h"
#include "Text.h"
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

constexpr int kFirmenKatalog = 10;
constexpr int kDatenKatalog = 9;

// Inserts `trenn` between groups of three digits, counted from the right.
std::string gruppiert(const std::string& ziffern, char trenn) {
  const size_t n = ziffern.size();
  size_t erste = n % 3 == 0 ? 3 : n % 3;
  std::string aus = ziffern.substr(0, erste);
  for (size_t pos = erste; pos < n; pos += 3) {
    aus += trenn;
    aus.append(ziffern, pos, 3);
  }
  return aus;
}

// `text` right-aligned in a field of `breite` characters.
void rechts(std::string& zeile, const std::string& text, int breite) {
  const int fehlt = breite - zeichenAnzahl(text);
  if (fehlt > 0) zeile.append(static_cast<size_t>(fehlt), ' ');
  zeile += text;
}

template <typename Fuelle>
Spalte baueSpalte(int type, std::string titel, int zeilen, Fuelle fuelle) {
  Spalte s;
  s.type = type;
  s.titel = std::move(titel);
  s.werte.resize(static_cast<size_t>(std::max(zeilen, 0)));
  for (int i = 0; i < zeilen; ++i) {
    s.werte[i].index = i;
    fuelle(i, s.werte[i]);
  }
  return s;
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

// ---------------------------------------------------------------- formatting

std::string MenueSystem::pad(std::string a, char b, int c) {
  const int fehlt = c - static_cast<int>(a.size());
  if (fehlt > 0) a.insert(0, static_cast<size_t>(fehlt), b);
  return a;
}

std::string MenueSystem::datumString(tm date) {
  return pad(std::to_string(date.tm_year + 1900LL) + "-", '0', 5) +
         pad(std::to_string(date.tm_mon + 1LL) + "-", '0', 3) +
         pad(std::to_string(date.tm_mday), '0', 2);
}

std::string MenueSystem::intStr(int64_t i) {
  const std::string text = std::to_string(i);
  return i < 1000 ? text : gruppiert(text, trenn[waehrung]);
}

std::string MenueSystem::betragText(int64_t iw) {
  if (iw >= 0) return intStr(iw);
  // The magnitude as unsigned: the most negative amount has no int64 negation.
  const uint64_t betrag = 0 - static_cast<uint64_t>(iw);
  const std::string text = std::to_string(betrag);
  return "(" + (betrag < 1000 ? text : gruppiert(text, trenn[waehrung])) + ")";
}

std::string MenueSystem::prozent(double i) {
  double wert = i * 100;
  wert = wert * 1000;
  wert = std::rint(wert);
  wert = wert / 1000;
  std::ostringstream text;
  text << wert;
  return text.str() + "%";
}

// ----------------------------------------------------------------- rendering

int MenueSystem::zellMass(const Spalte& s, const Wert& w,
                          const Zahlformat& zahl) {
  switch (s.type) {
    case 0:
      return zeichenAnzahl(w.stw);
    case 1:
      return static_cast<int>(intStr(w.iw).size()) + (w.iw < 0 ? 1 : 0);
    case 2:
      return static_cast<int>(zahl.fest3(w.dw).size()) + 1 + (w.dw < 0 ? 1 : 0);
    default:
      return 0;
  }
}

int MenueSystem::getLength(const Spalte& a) {
  // Ratio texts follow the process-wide locale, as a fresh stream would.
  const Zahlformat zahl{std::locale()};
  int laenge = zeichenAnzahl(a.titel);
  for (const Wert& w : a.werte) laenge = std::max(laenge, zellMass(a, w, zahl));
  return laenge + 3;
}

std::string MenueSystem::zellText(const Spalte& s, int zeile,
                                  const Zahlformat& zahl) {
  if (zeile < 0 || static_cast<size_t>(zeile) >= s.werte.size()) {
    return s.type == 2 ? " " : "";
  }
  const Wert& w = s.werte[zeile];
  const std::string mark = w.linReg ? "*" : "";
  switch (s.type) {
    case 0:
      return w.stw;
    case 1:
      return mark + betragText(w.iw);
    case 2:
      return w.dw < 0 ? mark + "(" + zahl.fest3(-w.dw * 100) + "%)"
                      : mark + zahl.fest3(w.dw * 100) + "%";
    default:
      return "";
  }
}

int MenueSystem::zeileAn(int position) const {
  return static_cast<size_t>(position) < reihenfolge.size()
             ? reihenfolge[position]
             : -1;
}

std::string MenueSystem::tabelleText() {
  std::vector<int> breiten;
  for (const Spalte& s : spalten) breiten.push_back(getLength(s) + 2);
  const Zahlformat zahl{std::locale()};

  std::string text;
  for (size_t q = 0; q < spalten.size(); ++q) {
    rechts(text, spalten[q].titel, breiten[q]);
  }
  text += '\n';
  for (int k = 0; k < anzahlEintraege; ++k) {
    const int j = zeileAn(k);
    for (size_t q = 0; q < spalten.size(); ++q) {
      rechts(text, zellText(spalten[q], j, zahl), breiten[q]);
    }
    text += '\n';
  }
  text += '\n';
  if (static_cast<size_t>(sortSpalte) < spalten.size()) {
    text += "Sortiert nach Spalte: [" + spalten[sortSpalte].titel + "] (" +
            (aufsteigend ? "aufsteigend)" : "absteigend)") + "\n";
  }
  text += '\n';
  return text;
}

void MenueSystem::displaySpalten() {
  std::cout << std::endl;
  saveState();
  std::cout << std::fixed << std::setprecision(3) << std::right
            << tabelleText();
}

// ------------------------------------------------------------------ catalogs

void MenueSystem::buildFirmenSpalten() {
  setloc();
  hiddenSpalten.clear();
  hiddenSpalten.reserve(kFirmenKatalog);
  const int n = static_cast<int>(firmen.size());
  hiddenSpalten.push_back(baueSpalte(
      0, "Name", n, [this](int i, Wert& z) { z.stw = firmen[i].getName(); }));
  hiddenSpalten.push_back(baueSpalte(
      0, "Letzter Report", n,
      [this](int i, Wert& z) { z.stw = datumString(firmen[i].getDatum(0)); }));
  static const char* const kTitel[] = {
      "Letzter Umsatz",       "Letzter Gewinn",       "Letzte Bilanzsumme",
      "Letztes Eigenkapital", "Letzte CAGR (Umsatz)", "Letzte CAGR (Gewinn)",
      "Letzter EK-Anteil",    "Letzte Umsatzrendite"};
  werteSpalten(kTitel, n, n, false, [this](int i) {
    return Herkunft{&firmen[i], 0};
  });
}

void MenueSystem::buildDatenSpalten() {
  const Firma& f = firmen[findex];
  setloc();
  hiddenSpalten.clear();
  hiddenSpalten.reserve(kDatenKatalog);
  const int n = anzahlEintraege;
  hiddenSpalten.push_back(baueSpalte(0, "Datum", n, [&](int i, Wert& z) {
    z.stw = datumString(f.getDatum(i));
  }));
  static const char* const kTitel[] = {
      "Umsatz",        "Gewinn",        "Bilanzsumme", "Eigenkapital",
      "CAGR (Umsatz)", "CAGR (Gewinn)", "EK-Anteil",   "Umsatzrendite"};
  // The growth rates need a report three rows further down.
  werteSpalten(kTitel, n, n - 3, true, [&f](int i) { return Herkunft{&f, i}; });
}

void MenueSystem::werteSpalten(const char* const titel[8], int zeilen,
                               int wachstumsZeilen, bool markiert,
                               const std::function<Herkunft(int)>& herkunft) {
  using Betrag = int64_t (Firma::*)(int) const;
  using Quote = double (Firma::*)(int) const;
  static const Betrag kBetraege[] = {&Firma::getUmsatz, &Firma::getGewinn,
                                     &Firma::getBilanzsumme,
                                     &Firma::getEigenkapital};
  static const Quote kQuoten[] = {&Firma::getCAGRUmsatz, &Firma::getCAGRGewinn,
                                  &Firma::getEKAnteil,
                                  &Firma::getUmsatzrendite};
  const std::string iso = " [" + waehrung_ISO[waehrung] + "]";
  for (int k = 0; k < 8; ++k) {
    const bool betrag = k < 4;
    const Betrag wertBetrag = betrag ? kBetraege[k] : nullptr;
    const Quote wertQuote = betrag ? nullptr : kQuoten[k - 4];
    const int n = k == 4 || k == 5 ? wachstumsZeilen : zeilen;
    const std::string t = betrag ? titel[k] + iso : titel[k];
    hiddenSpalten.push_back(
        baueSpalte(betrag ? 1 : 2, t, n, [&](int i, Wert& z) {
          const Herkunft h = herkunft(i);
          if (betrag) {
            z.iw = umrechnen((h.firma->*wertBetrag)(h.bericht),
                             h.firma->getKonv(h.bericht, waehrung));
          } else {
            z.dw = (h.firma->*wertQuote)(h.bericht);
          }
          z.linReg = markiert && h.bericht < h.firma->anzahlBerichte() &&
                     h.firma->getLinReg(h.bericht);
        }));
  }
}

int MenueSystem::berichtsZeilen() const {
  return std::max(0, std::min(elemente, firmen[findex].anzahlBerichte()));
}

void MenueSystem::spaltenAusKatalog() {
  spalten.clear();
  for (int p : benutzteSpalten) spalten.push_back(hiddenSpalten[p]);
  sortiereAnzeige();
}

// ------------------------------------------------------------------- sorting

void MenueSystem::sortieren(Spalte tmp) {
  std::vector<Wert>& w = tmp.werte;
  switch (tmp.type) {
    case 0:
      std::stable_sort(w.begin(), w.end(), vergleich_string());
      break;
    case 1:
      std::stable_sort(w.begin(), w.end(), vergleich_int());
      break;
    case 2: {
      // Values that are not a number have no place in an order; they go last.
      const auto zahlen = std::stable_partition(
          w.begin(), w.end(), [](const Wert& z) { return !std::isnan(z.dw); });
      std::stable_sort(w.begin(), zahlen, vergleich_double());
      break;
    }
    default:
      break;
  }
  buildReihenfolge(tmp);
  if (!aufsteigend) std::reverse(reihenfolge.begin(), reihenfolge.end());
}

void MenueSystem::buildReihenfolge(const Spalte& s) {
  reihenfolge.clear();
  for (const Wert& w : s.werte) reihenfolge.push_back(w.index);
  for (int i = static_cast<int>(s.werte.size()); i < anzahlEintraege; ++i) {
    reihenfolge.push_back(i);
  }
}

void MenueSystem::sortiereAnzeige() {
  sortieren(static_cast<size_t>(sortSpalte) < spalten.size()
                ? spalten[sortSpalte]
                : Spalte());
}

// --------------------------------------------------------------------- input

bool MenueSystem::leseWort(std::string& wort) {
  pruefeAusgabe();
  if (std::cin >> wort) return true;
  eingabeEnde = true;
  wort = "q";
  return false;
}

bool MenueSystem::leseZahl(int& zahl) {
  pruefeAusgabe();
  zahl = 0;
  std::cin >> std::ws;
  if (std::cin.peek() == std::char_traits<char>::eof()) {
    eingabeEnde = true;
    return false;
  }
  if (std::cin >> zahl) return true;
  // Not a number, or too large for an int: it reads as 0 and the rest of the
  // word is dropped.
  zahl = 0;
  std::cin.clear();
  for (int c = std::cin.peek();
       c != std::char_traits<char>::eof() && !std::isspace(c);
       c = std::cin.peek()) {
    std::cin.get();
  }
  std::cin.clear();
  return true;
}

int MenueSystem::inputInt() {
  std::cout << std::endl << "Auswahl: " << std::flush;
  int zahl = 0;
  leseZahl(zahl);
  return zahl;
}

// --------------------------------------------------------------------- menus

void MenueSystem::start() {
  std::cout << "Suche Speicherstand" << std::endl;
  if (access("save.dat", F_OK) == 0) {
    std::cout << "Ein Speicherstand existiert. Moechten Sie ihn laden (j/n)? "
              << std::flush;
    std::string wort;
    if (!leseWort(wort)) return;
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

void MenueSystem::rebuildFirmen() {
  buildFirmenSpalten();
  anzahlEintraege = static_cast<int>(firmen.size());
  ersteSpalteAllein();
  std::cout << std::endl;
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
  switch (befehl) {
    case 'n':
      neueSpalte();
      return true;
    case 'l':
      deleteSpalte();
      return true;
    case 'i':
      insertSpalte();
      return true;
    case 's':
      sortSpalten();
      return true;
    default:
      return false;
  }
}

std::string MenueSystem::firmenMenue() {
  findex = 0;
  std::string wort;
  while (wort != "q") {
    aktMenue = 0;
    displaySpalten();
    zeigeMenue("f - Firmendaten abrufen");
    leseWort(wort);
    if (spaltenBefehl(wort[0])) {
      // The input ended inside the dialogue: leave as with "q".
      if (eingabeEnde) return "q";
    } else if (wort[0] == 'f') {
      wort = promptFirma();
      rebuildFirmen();
    } else if (wort[0] == 'w') {
      setWaehrung();
      buildFirmenSpalten();
      spaltenAusKatalog();
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
  if (!leseZahl(zahl)) return "q";
  std::cout << zahl << std::endl;
  std::printf("input == %d\n", zahl);
  std::printf("firmen.size() == %zu\n", firmen.size());
  std::fflush(stdout);
  if (zahl < 1 || static_cast<size_t>(zahl) > firmen.size()) return "";
  std::cout << ":DASJFJDFGSDJG" << zahl;
  findex = zahl - 1;
  return tableDaten();
}

std::string MenueSystem::tableDaten() {
  const Firma p = firmen[findex];
  spalten.clear();
  anzahlEintraege = berichtsZeilen();
  buildDatenSpalten();
  ersteSpalteAllein();
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
    leseWort(wort);
    if (spaltenBefehl(wort[0])) {
      if (eingabeEnde) return "q";
    } else if (wort[0] == 'f') {
      cleanFirma();
      return wort;
    } else if (wort[0] == 'w') {
      setWaehrung();
      buildDatenSpalten();
      spaltenAusKatalog();
    } else if (wort[0] == 'q') {
      // Only the exact "q" ends the program; any other word leads back to the
      // company table, which must not show the forecast as the latest report.
      if (wort != "q") cleanFirma();
      return wort;
    }
  }
  return wort;
}

// ------------------------------------------------------------ column editing

void MenueSystem::zeigeSpaltenliste(const std::vector<Spalte>& liste) {
  for (size_t i = 0; i < liste.size(); ++i) {
    std::cout << i + 1 << ") " << liste[i].titel << '\n';
  }
}

void MenueSystem::neueSpalte() {
  std::cout << std::endl << "Neue Spalte anhaengen:" << std::endl;
  zeigeSpaltenliste(hiddenSpalten);
  const int n = inputInt();
  if (n < 1 || n > static_cast<int>(hiddenSpalten.size())) return;
  spalteEinfuegen(static_cast<int>(spalten.size()), n - 1);
}

void MenueSystem::deleteSpalte() {
  if (spalten.empty()) {
    std::cout << std::endl
              << "Es gibt keine Spalten zum loeschen!" << std::endl;
    return;
  }
  std::cout << std::endl << "Spalte loeschen:" << std::endl;
  zeigeSpaltenliste(spalten);
  const int n = inputInt();
  if (n < 1 || n > static_cast<int>(spalten.size())) return;
  spalteEntfernen(n - 1);
}

void MenueSystem::insertSpalte() {
  std::cout << std::endl << "Neue Spalte einfuegen:" << std::endl;
  zeigeSpaltenliste(hiddenSpalten);
  const int n = inputInt();
  if (n < 1 || n > static_cast<int>(hiddenSpalten.size())) return;
  std::cout << std::endl << n << std::endl;
  std::cout << std::endl
            << "Vor welcher Stelle soll die Spalte eingefuegt werden?"
            << std::endl;
  zeigeSpaltenliste(spalten);
  const int stelle = inputInt();
  if (stelle < 1 || stelle > static_cast<int>(spalten.size())) return;
  spalteEinfuegen(stelle - 1, n - 1);
}

void MenueSystem::sortSpalten() {
  std::cout << std::endl << "Sortieren nach Spalte:" << std::endl;
  zeigeSpaltenliste(spalten);
  const int n = inputInt();
  if (n < 1 || n > static_cast<int>(spalten.size())) return;
  std::cout << std::endl << "Aufsteigend(j/n)? " << std::flush;
  std::string wort;
  while (leseWort(wort) && wort != "j" && wort != "n") {
  }
  if (eingabeEnde) return;
  sortSpalte = n - 1;
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

// ----------------------------------------------------------------- forecasts

void MenueSystem::neueVorhersage() {
  ++vorhersagen;
  firmen[findex].setVorhersage();
  ++anzahlEintraege;
  buildDatenSpalten();
  spaltenAusKatalog();
}

void MenueSystem::cleanFirma() {
  const Firma kopie = firmen[findex];
  std::vector<Finanzen> echte;
  for (const Finanzen& f : kopie.getFinanzen()) {
    if (!f.getVorhersage()) echte.push_back(f);
  }
  firmen[findex].setAttr(kopie.getName(), echte);
}

// ------------------------------------------------------------ locale, currency

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

// ------------------------------------------------------------ save and export

std::string MenueSystem::speicherText() {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << aktMenue << '\n'
       << findex << '\n'
       << elemente << '\n'
       << anzahlEintraege << '\n'
       << benutzteSpalten.size() << '\n';
  for (int p : benutzteSpalten) text << p << '\n';
  text << sortSpalte << '\n' << (aufsteigend ? 1 : 0) << '\n';
  return text.str();
}

void MenueSystem::saveState() {
  ersetzeDatei("save.dat", speicherText());
  saveHtml();
}

std::string MenueSystem::htmlZelle(const Spalte& s, int zeile,
                                   const Zahlformat& zahl) {
  const bool vorhanden =
      zeile >= 0 && static_cast<size_t>(zeile) < s.werte.size();
  switch (s.type) {
    case 0:
      return vorhanden ? htmlText(s.werte[zeile].stw) : "";
    case 1:
      return vorhanden ? zahl.ganz(s.werte[zeile].iw) : "";
    case 2:
      return vorhanden ? zahl.standard(s.werte[zeile].dw) : " ";
    default:
      return "";
  }
}

std::string MenueSystem::htmlSeite(std::string& fortschritt) {
  // Cells follow the process-wide locale, the progress lines that of
  // standard output, as streams opened now would.
  const Zahlformat zahl{std::locale()};
  const Zahlformat konsole{std::cout.getloc()};
  std::string html =
      "<html>\n<head>\n<title>\n"
      "Quorvell, gebaut am #BUILD_DATE, SVN #SVN_REV \n"
      "</title>\n</head>\n<body>\n<table>\n<tr>";
  for (const Spalte& s : spalten) html += "<th>" + htmlText(s.titel) + "</th>";
  html += "</tr>\n";
  // Every row announces the same columns.
  std::string spaltenZeilen;
  for (size_t q = 0; q < spalten.size(); ++q) {
    spaltenZeilen += "J" + konsole.ganz(static_cast<int64_t>(q)) + "\n";
    if (spalten[q].type < 0 || spalten[q].type > 2) {
      spaltenZeilen += "Error im Werte-System!\n";
    }
  }
  const int zeilen = spalten.empty() ? 0 : anzahlEintraege;
  for (int p = 0; p < zeilen; ++p) {
    const int j = zeileAn(p);
    fortschritt += "I" + konsole.ganz(p) + "\n" + spaltenZeilen;
    html += "<tr>";
    for (const Spalte& s : spalten) {
      html += "<td align=\"right\">" + htmlZelle(s, j, zahl) + "</td>";
    }
    html += "</tr>\n";
  }
  html += "</table>\n</body>\n</html>";
  return html;
}

void MenueSystem::saveHtml() {
  std::string fortschritt;
  const std::string seite = htmlSeite(fortschritt);
  std::cout << "Tabelle test" << fortschritt;
  ersetzeDatei("tabelle.html", seite);
}

bool MenueSystem::leseSpeicherstand() {
  std::string inhalt, fehler;
  if (!leseDatei("save.dat", inhalt, fehler)) return false;
  std::istringstream datei(inhalt);
  datei.imbue(std::locale::classic());
  long long akt, fidx, elem, anz, anzahl;
  if (!(datei >> akt >> fidx >> elem >> anz >> anzahl)) return false;
  if (akt != 0 && akt != 1) return false;
  const int firmenAnzahl = static_cast<int>(firmen.size());
  if (akt == 1 && (fidx < 0 || fidx >= firmenAnzahl)) return false;
  if (elem < 0 || elem > INT_MAX || anz < INT_MIN || anz > INT_MAX) {
    return false;
  }
  if (anzahl < 0) return false;
  const int katalog = akt == 0 ? kFirmenKatalog : kDatenKatalog;
  std::vector<int> positionen;
  for (long long i = 0; i < anzahl; ++i) {
    long long p;
    if (!(datei >> p) || p < 0 || p >= katalog) return false;
    positionen.push_back(static_cast<int>(p));
  }
  long long sortPos, auf;
  if (!(datei >> sortPos >> auf)) return false;
  if (anzahl == 0 ? sortPos != 0 : (sortPos < 0 || sortPos >= anzahl)) {
    return false;
  }
  if (auf != 0 && auf != 1) return false;
  std::string rest;
  if (datei >> rest) return false;

  aktMenue = static_cast<int>(akt);
  findex = akt == 1 ? static_cast<int>(fidx) : 0;
  elemente = static_cast<int>(elem);
  anzahlEintraege = static_cast<int>(anz);
  benutzteSpalten = std::move(positionen);
  sortSpalte = static_cast<int>(sortPos);
  aufsteigend = auf == 1;
  return true;
}

void MenueSystem::loadState() {
  if (!leseSpeicherstand()) {
    std::cout << "Der Speicherstand ist beschaedigt und wird ignoriert."
              << std::endl;
    tableFirmen();
    return;
  }
  if (aktMenue == 0) {
    buildFirmenSpalten();
    anzahlEintraege = static_cast<int>(firmen.size());
    spaltenAusKatalog();
    std::cout << std::endl;
    while (firmenMenue() != "q") {
    }
    return;
  }
  const Firma p = firmen[findex];
  anzahlEintraege = berichtsZeilen();
  buildDatenSpalten();
  spaltenAusKatalog();
  neueVorhersage();
  std::cout << std::endl;
  if (datenMenue(p) == "f") tableFirmen();
}
