#include "Tabelle.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "MenueSystem.h"
#include "Text.h"

std::string fuelle(std::string a, char b, int c) {
  const int fehlt = c - static_cast<int>(a.size());
  if (fehlt > 0) a.insert(0, static_cast<size_t>(fehlt), b);
  return a;
}

std::string datumText(const tm& datum) {
  return fuelle(std::to_string(datum.tm_year + 1900LL) + "-", '0', 5) +
         fuelle(std::to_string(datum.tm_mon + 1LL) + "-", '0', 3) +
         fuelle(std::to_string(datum.tm_mday), '0', 2);
}

std::string tausender(int64_t i, char trenn) {
  const std::string text = std::to_string(i);
  return i < 1000 ? text : gruppiert(text, trenn, "\3");
}

std::string betragText(int64_t i, char trenn) {
  if (i >= 0) return tausender(i, trenn);
  // The magnitude as unsigned: the most negative amount has no int64 negation.
  const std::string betrag = std::to_string(0 - static_cast<uint64_t>(i));
  return "(" + gruppiert(betrag, trenn, "\3") + ")";
}

// Scaled to a percentage and rounded to three decimals, each step a double
// operation of its own.
std::string prozentText(double i, const std::locale& loc) {
  double wert = i * 100;
  wert = wert * 1000;
  wert = std::rint(wert);
  wert = wert / 1000;
  std::ostringstream text;
  text.imbue(loc);
  text << wert;
  return text.str() + "%";
}

namespace {

// Characters a cell needs; a negative value counts one more than its text.
int zellMass(const Spalte& s, const Wert& w, char trenn,
             const Zahlformat& zahl) {
  switch (s.type) {
    case kText:
      return zeichenAnzahl(w.stw);
    case kBetrag:
      return static_cast<int>(tausender(w.iw, trenn).size()) +
             (w.iw < 0 ? 1 : 0);
    case kQuote:
      return static_cast<int>(zahl.fest3(w.dw).size()) + 1 + (w.dw < 0 ? 1 : 0);
    default:
      return 0;
  }
}

const Wert* zelle(const Spalte& s, int zeile) {
  return zeile >= 0 && static_cast<size_t>(zeile) < s.werte.size()
             ? &s.werte[zeile]
             : nullptr;
}

// The text of a cell in row `zeile`; a ratio column without a cell there
// shows a blank.
std::string zellText(const Spalte& s, int zeile, const Anzeige& a) {
  const Wert* w = zelle(s, zeile);
  if (w == nullptr) return s.type == kQuote ? " " : "";
  const std::string mark = w->linReg ? "*" : "";
  switch (s.type) {
    case kText:
      return w->stw;
    case kBetrag:
      return mark + betragText(w->iw, a.trenn);
    case kQuote:
      return w->dw < 0 ? mark + "(" + a.zahl.fest3(-w->dw * 100) + "%)"
                       : mark + a.zahl.fest3(w->dw * 100) + "%";
    default:
      return "";
  }
}

// The row at display position `position`, -1 when there is none.
int zeileAn(const Anzeige& a, int position) {
  return static_cast<size_t>(position) < a.reihenfolge.size()
             ? a.reihenfolge[position]
             : -1;
}

// `text` right-aligned in a field of `breite` characters.
void rechts(std::string& zeile, const std::string& text, int breite) {
  const int fehlt = breite - zeichenAnzahl(text);
  if (fehlt > 0) zeile.append(static_cast<size_t>(fehlt), ' ');
  zeile += text;
}

std::string sortZeile(const Anzeige& a) {
  if (static_cast<size_t>(a.sortSpalte) >= a.spalten.size()) return "";
  return "Sortiert nach Spalte: [" + a.spalten[a.sortSpalte].titel + "] (" +
         (a.aufsteigend ? "aufsteigend)" : "absteigend)") + "\n";
}

// The text of a cell in the export: escaped, grouped by the number format.
std::string htmlZelle(const Spalte& s, int zeile, const Zahlformat& zahl) {
  const Wert* w = zelle(s, zeile);
  switch (s.type) {
    case kText:
      return w ? htmlText(w->stw) : "";
    case kBetrag:
      return w ? zahl.ganz(w->iw) : "";
    case kQuote:
      return w ? zahl.standard(w->dw) : " ";
    default:
      return "";
  }
}

// Every column needs at least one row to have its rows exported.
int htmlZeilen(const Anzeige& a) { return a.spalten.empty() ? 0 : a.zeilen; }

}  // namespace

int spaltenMass(const Spalte& s, char trenn, const Zahlformat& zahl) {
  int laenge = zeichenAnzahl(s.titel);
  for (const Wert& w : s.werte) {
    laenge = std::max(laenge, zellMass(s, w, trenn, zahl));
  }
  return laenge + 3;
}

std::string tabellenText(const Anzeige& a) {
  std::vector<int> breiten;
  for (const Spalte& s : a.spalten) {
    breiten.push_back(spaltenMass(s, a.trenn, a.zahl) + 2);
  }
  std::string text;
  for (size_t q = 0; q < a.spalten.size(); ++q) {
    rechts(text, a.spalten[q].titel, breiten[q]);
  }
  text += '\n';
  for (int k = 0; k < a.zeilen; ++k) {
    const int j = zeileAn(a, k);
    for (size_t q = 0; q < a.spalten.size(); ++q) {
      rechts(text, zellText(a.spalten[q], j, a), breiten[q]);
    }
    text += '\n';
  }
  return text + "\n" + sortZeile(a) + "\n";
}

std::string htmlSeite(const Anzeige& a) {
  std::string html =
      "<html>\n<head>\n<title>\n"
      "Quorvell, gebaut am #BUILD_DATE, SVN #SVN_REV \n"
      "</title>\n</head>\n<body>\n<table>\n<tr>";
  for (const Spalte& s : a.spalten) {
    html += "<th>" + htmlText(s.titel) + "</th>";
  }
  html += "</tr>\n";
  for (int p = 0; p < htmlZeilen(a); ++p) {
    const int j = zeileAn(a, p);
    html += "<tr>";
    for (const Spalte& s : a.spalten) {
      html += "<td align=\"right\">" + htmlZelle(s, j, a.zahl) + "</td>";
    }
    html += "</tr>\n";
  }
  return html + "</table>\n</body>\n</html>";
}

std::string htmlFortschritt(const Anzeige& a) {
  // Every row announces the same columns.
  std::string spaltenZeilen;
  for (size_t q = 0; q < a.spalten.size(); ++q) {
    spaltenZeilen += "J" + a.zahl.ganz(static_cast<int64_t>(q)) + "\n";
    const int type = a.spalten[q].type;
    if (type != kText && type != kBetrag && type != kQuote) {
      spaltenZeilen += "Error im Werte-System!\n";
    }
  }
  std::string text;
  for (int p = 0; p < htmlZeilen(a); ++p) {
    text += "I" + a.zahl.ganz(p) + "\n" + spaltenZeilen;
  }
  return text;
}
