#include "Tabelle.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>
#include <string_view>

#include "Spalte.h"
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

namespace {

// Appends `i` with `trenn` between groups of three digits; a negative `i`
// without separators.
void tausenderAn(std::string& aus, int64_t i, char trenn) {
  char puffer[32];
  char* const ende = puffer + sizeof puffer;
  if (i < 0) {
    const char* zahl = std::to_chars(puffer, ende, i).ptr;
    aus.append(puffer, static_cast<size_t>(zahl - puffer));
    return;
  }
  const char* anfang = dreierRueckwaerts(ende, static_cast<uint64_t>(i), trenn);
  aus.append(anfang, static_cast<size_t>(ende - anfang));
}

// Appends an amount as the table shows it.
void betragAn(std::string& aus, int64_t i, char trenn) {
  if (i >= 0) return tausenderAn(aus, i, trenn);
  // The magnitude as unsigned: the most negative amount has no int64 negation.
  char puffer[32];
  char* const ende = puffer + sizeof puffer;
  char* anfang =
      dreierRueckwaerts(ende - 1, 0 - static_cast<uint64_t>(i), trenn);
  *--anfang = '(';
  ende[-1] = ')';
  aus.append(anfang, static_cast<size_t>(ende - anfang));
}

}  // namespace

std::string tausender(int64_t i, char trenn) {
  std::string text;
  tausenderAn(text, i, trenn);
  return text;
}

std::string betragText(int64_t i, char trenn) {
  std::string text;
  betragAn(text, i, trenn);
  return text;
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
// `puffer` is scratch space.
int zellMass(const Spalte& s, const Wert& w, char trenn, const Zahlformat& zahl,
             std::string& puffer) {
  puffer.clear();
  switch (s.type) {
    case kText:
      return zeichenAnzahl(w.stw);
    case kBetrag:
      tausenderAn(puffer, w.iw, trenn);
      return static_cast<int>(puffer.size()) + (w.iw < 0 ? 1 : 0);
    case kQuote:
      zahl.fest3(puffer, w.dw);
      return static_cast<int>(puffer.size()) + 1 + (w.dw < 0 ? 1 : 0);
    default:
      return 0;
  }
}

// A cell as the renderers read it, copied out of its column.
struct Zelle {
  // False where the column has no cell for the row.
  bool da = false;
  bool linReg = false;
  int64_t iw = 0;
  double dw = 0;
  std::string_view stw;
};

// Appends the text of a cell; a ratio column without a cell there shows a
// blank. The table's row loop, which runs it for every cell, has an instance
// of its own (`Aufrufer` 0), compiled into the loop as its only caller.
template <int Aufrufer>
void zelleAn(std::string& aus, int type, const Zelle& w, char trenn,
             const Zahlformat& zahl) {
  if (!w.da) {
    if (type == kQuote) aus += ' ';
    return;
  }
  if (w.linReg && (type == kBetrag || type == kQuote)) aus += '*';
  switch (type) {
    case kText:
      aus += w.stw;
      break;
    case kBetrag:
      betragAn(aus, w.iw, trenn);
      break;
    case kQuote:
      if (w.dw < 0) aus += '(';
      zahl.fest3(aus, w.dw < 0 ? -w.dw * 100 : w.dw * 100);
      aus += w.dw < 0 ? "%)" : "%";
      break;
    default:
      break;
  }
}

// The row at display position `position`, -1 when there is none.
int zeileAn(const Anzeige& a, int position) {
  return static_cast<size_t>(position) < a.reihenfolge.size()
             ? a.reihenfolge[position]
             : -1;
}

// The cells of a run of rows in display order. Display order jumps through
// the cells of every column; copying those of a whole run in one short loop,
// asking memory for each row's cells some rows ahead, lets them arrive side
// by side instead of one after another while each row is written.
class Zeilenblock {
 public:
  static constexpr int kZeilen = 128;

  explicit Zeilenblock(const Anzeige& a) : a_(a) {
    for (const Spalte& s : a.spalten) {
      quellen_.push_back({s.werte.begin(), s.werte.size(), s.type});
    }
    zellen_.resize(kZeilen * quellen_.size());
  }

  // Takes the rows at display positions [von, von + kZeilen): first the
  // cells, then the texts they point to.
  void hole(int von) {
    std::fill(zellen_.begin(), zellen_.end(), Zelle{});
    size_t textLaenge = 0;
    for (int i = 0; i < kZeilen; ++i) {
      vorladen(zeileAn(a_, von + i + kVorlauf));
      const int j = zeileAn(a_, von + i);
      Zelle* z = zellen_.data() + static_cast<size_t>(i) * quellen_.size();
      for (const Quelle& q : quellen_) {
        if (const Wert* w = wert(q, j)) {
          kopiere(q.type, *w, *z);
          textLaenge += z->stw.size();
        }
        ++z;
      }
    }
    texte_.clear();
    texte_.reserve(textLaenge);
    for (Zelle& z : zellen_) {
      if (z.stw.empty()) continue;
      const size_t anfang = texte_.size();
      texte_ += z.stw;
      const std::string_view alle = texte_;
      z.stw = alle.substr(anfang);
    }
  }

  // Copies the field of `w` that a column of kind `type` reads.
  static void kopiere(int type, const Wert& w, Zelle& z) {
    z.da = true;
    z.linReg = w.linReg;
    if (type == kBetrag) z.iw = w.iw;
    if (type == kQuote) z.dw = w.dw;
    if (type == kText) {
      z.stw = w.stw;
      __builtin_prefetch(z.stw.data());  // copied once the run is complete
    }
  }

  // The cell of shown column `spalte` at display position `position`, which
  // lies in the run taken last.
  const Zelle& an(int position, size_t spalte) const {
    return zellen_[static_cast<size_t>(position % kZeilen) * quellen_.size() +
                   spalte];
  }

 private:
  static constexpr int kVorlauf = 8;

  // Where a column's cells lie, looked up once.
  struct Quelle {
    const Wert* werte;
    size_t anzahl;
    int type;
  };

  static const Wert* wert(const Quelle& q, int zeile) {
    return zeile >= 0 && static_cast<size_t>(zeile) < q.anzahl ? q.werte + zeile
                                                               : nullptr;
  }

  void vorladen(int zeile) const {
    for (const Quelle& q : quellen_) {
      if (const Wert* w = wert(q, zeile)) __builtin_prefetch(w);
    }
  }

  const Anzeige& a_;
  std::vector<Quelle> quellen_;
  std::vector<Zelle> zellen_;
  // The texts of the cells, so that they too are near while a row is written.
  std::string texte_;
};

// Appends `text` right-aligned in a field of `breite` characters.
void rechts(std::string& zeile, const std::string& text, int breite) {
  const int zeichen = zeichenAnzahl(text);
  if (breite > zeichen)
    zeile.append(static_cast<size_t>(breite - zeichen), ' ');
  zeile += text;
}

// Appends the text of a cell in the export: escaped, grouped by the number
// format.
void htmlZelleAn(std::string& aus, int type, const Zelle& w,
                 const Zahlformat& zahl) {
  if (!w.da) {
    if (type == kQuote) aus += ' ';
    return;
  }
  switch (type) {
    case kText:
      htmlText(aus, w.stw);
      break;
    case kBetrag:
      zahl.ganz(aus, w.iw);
      break;
    case kQuote:
      zahl.standard(aus, w.dw);
      break;
    default:
      break;
  }
}

// Every column needs at least one row to have its rows exported.
int htmlZeilen(const Anzeige& a) { return a.spalten.empty() ? 0 : a.zeilen; }

}  // namespace

std::string zellenText(const Spalte& s, int zeile, char trenn,
                       const Zahlformat& zahl) {
  Zelle z;
  if (zeile >= 0 && static_cast<size_t>(zeile) < s.werte.size()) {
    Zeilenblock::kopiere(s.type, s.werte[zeile], z);
  }
  std::string text;
  zelleAn<1>(text, s.type, z, trenn, zahl);
  return text;
}

std::string sortZeile(const Anzeige& a) {
  if (static_cast<size_t>(a.sortSpalte) >= a.spalten.size()) return "";
  return "Sortiert nach Spalte: [" + a.spalten[a.sortSpalte].titel + "] (" +
         (a.aufsteigend ? "aufsteigend)" : "absteigend)");
}

int spaltenMass(const Spalte& s, char trenn, const Zahlformat& zahl) {
  std::string puffer;
  int laenge = zeichenAnzahl(s.titel);
  for (const Wert& w : s.werte) {
    laenge = std::max(laenge, zellMass(s, w, trenn, zahl, puffer));
  }
  return laenge + 3;
}

namespace {

// Collects rendered text and hands it on in pieces of about 64 KiB, so that
// a large table never stands whole in memory.
class Stuecke {
 public:
  explicit Stuecke(const Ausgabe& ausgabe) : ausgabe_(ausgabe) {
    text.reserve(kGroesse + kGroesse / 4);
  }
  // Hands the text on once it has grown past the piece size.
  void weiter() {
    if (text.size() >= kGroesse) ende();
  }
  void ende() {
    ausgabe_(text);
    text.clear();
  }

  std::string text;

 private:
  static constexpr size_t kGroesse = size_t{64} << 10;
  const Ausgabe& ausgabe_;
};

Ausgabe sammle(std::string& ziel) {
  return [&ziel](std::string_view stueck) { ziel += stueck; };
}

}  // namespace

void schreibeTabelle(const Anzeige& a, const Ausgabe& ausgabe) {
  std::vector<int> breiten;
  for (size_t q = 0; q < a.spalten.size(); ++q) {
    breiten.push_back(
        (a.masse ? (*a.masse)[q] : spaltenMass(a.spalten[q], a.trenn, a.zahl)) +
        2);
  }
  Stuecke aus(ausgabe);
  for (size_t q = 0; q < a.spalten.size(); ++q) {
    rechts(aus.text, a.spalten[q].titel, breiten[q]);
  }
  aus.text += '\n';
  Zeilenblock block(a);
  for (int k = 0; k < a.zeilen; ++k) {
    if (k % Zeilenblock::kZeilen == 0) block.hole(k);
    for (size_t q = 0; q < a.spalten.size(); ++q) {
      const Spalte& s = a.spalten[q];
      // The field is written first and then moved right by its padding.
      const size_t anfang = aus.text.size();
      zelleAn<0>(aus.text, s.type, block.an(k, q), a.trenn, a.zahl);
      const std::string_view zeile = aus.text;
      const std::string_view feld = zeile.substr(anfang);
      // Numbers are ASCII: one character per byte.
      const int zeichen =
          s.type == kText ? zeichenAnzahl(feld) : static_cast<int>(feld.size());
      if (breiten[q] > zeichen) {
        aus.text.insert(anfang, static_cast<size_t>(breiten[q] - zeichen), ' ');
      }
    }
    aus.text += '\n';
    aus.weiter();
  }
  aus.text += '\n';
  const std::string sortiert = sortZeile(a);
  if (!sortiert.empty()) aus.text += sortiert + '\n';
  aus.text += '\n';
  aus.ende();
}

std::string tabellenText(const Anzeige& a) {
  std::string text;
  schreibeTabelle(a, sammle(text));
  return text;
}

void schreibeHtml(const Anzeige& a, const Ausgabe& ausgabe) {
  Stuecke aus(ausgabe);
  std::string& html = aus.text;
  html +=
      "<html>\n<head>\n<title>\n"
      "Quorvell, gebaut am #BUILD_DATE, SVN #SVN_REV \n"
      "</title>\n</head>\n<body>\n<table>\n<tr>";
  for (const Spalte& s : a.spalten) {
    html += "<th>";
    htmlText(html, s.titel);
    html += "</th>";
  }
  html += "</tr>\n";
  Zeilenblock block(a);
  for (int p = 0; p < htmlZeilen(a); ++p) {
    if (p % Zeilenblock::kZeilen == 0) block.hole(p);
    // The tags between two cells go in as one text.
    const char* vor = "<tr><td align=\"right\">";
    for (size_t q = 0; q < a.spalten.size(); ++q) {
      html += vor;
      htmlZelleAn(html, a.spalten[q].type, block.an(p, q), a.zahl);
      vor = "</td><td align=\"right\">";
    }
    html += a.spalten.empty() ? "<tr></tr>\n" : "</td></tr>\n";
    aus.weiter();
  }
  html += "</table>\n</body>\n</html>";
  aus.ende();
}

std::string htmlSeite(const Anzeige& a) {
  std::string html;
  schreibeHtml(a, sammle(html));
  return html;
}

std::string htmlFortschritt(const Anzeige& a) {
  // Every row announces the same columns.
  std::string spaltenZeilen;
  for (size_t q = 0; q < a.spalten.size(); ++q) {
    spaltenZeilen += 'J';
    a.zahl.ganz(spaltenZeilen, static_cast<int64_t>(q));
    spaltenZeilen += '\n';
    const int type = a.spalten[q].type;
    if (type != kText && type != kBetrag && type != kQuote) {
      spaltenZeilen += "Error im Werte-System!\n";
    }
  }
  std::string text;
  text.reserve(static_cast<size_t>(htmlZeilen(a)) * (spaltenZeilen.size() + 8));
  for (int p = 0; p < htmlZeilen(a); ++p) {
    text += 'I';
    a.zahl.ganz(text, p);
    text += '\n';
    text += spaltenZeilen;
  }
  return text;
}
