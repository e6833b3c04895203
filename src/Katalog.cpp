#include "Katalog.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "Spalte.h"
#include "Speicherstand.h"
#include "Tabelle.h"
#include "Zahlen.h"

namespace {

using Betrag = int64_t (Firma::*)(int) const;
using Quote = double (Firma::*)(int) const;

// One value column of both catalogues: its titles in the company table and
// in the report table, and the getter of its value.
struct Wertspalte {
  const char* firmenTitel;
  const char* berichtsTitel;
  Betrag betrag;  // null for a ratio column
  Quote quote;    // null for an amount column
  // A growth rate needs a report three rows further down.
  bool wachstum;
  Trendlinie trend;  // null for a ratio column
};

const Wertspalte kWertspalten[] = {
    {"Letzter Umsatz", "Umsatz", &Firma::getUmsatz, nullptr, false,
     &Firma::lineareRegUmsatz},
    {"Letzter Gewinn", "Gewinn", &Firma::getGewinn, nullptr, false,
     &Firma::lineareRegGewinn},
    {"Letzte Bilanzsumme", "Bilanzsumme", &Firma::getBilanzsumme, nullptr,
     false, &Firma::lineareRegBilanz},
    {"Letztes Eigenkapital", "Eigenkapital", &Firma::getEigenkapital, nullptr,
     false, &Firma::lineareRegEK},
    {"Letzte CAGR (Umsatz)", "CAGR (Umsatz)", nullptr, &Firma::getCAGRUmsatz,
     true, nullptr},
    {"Letzte CAGR (Gewinn)", "CAGR (Gewinn)", nullptr, &Firma::getCAGRGewinn,
     true, nullptr},
    {"Letzter EK-Anteil", "EK-Anteil", nullptr, &Firma::getEKAnteil, false,
     nullptr},
    {"Letzte Umsatzrendite", "Umsatzrendite", nullptr, &Firma::getUmsatzrendite,
     false, nullptr},
};

static_assert(2 + std::size(kWertspalten) == kFirmenKatalog &&
                  1 + std::size(kWertspalten) == kDatenKatalog,
              "a catalogue is its text columns and the value columns");

// Row i shows company i's newest report in the company table, and report i
// of one company in the report table, where forecast cells are marked.
struct Herkunft {
  const Firma* firmen;
  bool jeFirma;

  const Firma& firma(int i) const { return jeFirma ? firmen[i] : *firmen; }
  int bericht(int i) const { return jeFirma ? 0 : i; }
  bool vorhersage(int i) const {
    return !jeFirma && i < firmen->anzahlBerichte() && firmen->getLinReg(i);
  }
};

// A column of `zeilen` cells, cell i filled by `fuelle(i, cell)`.
template <typename Fuelle>
Spalte baueSpalte(int type, std::string titel, int zeilen, Fuelle fuelle) {
  Spalte s;
  s.type = type;
  s.titel = std::move(titel);
  std::vector<Wert>& werte = s.werte.eigene();
  werte.resize(static_cast<size_t>(std::max(zeilen, 0)));
  for (int i = 0; i < zeilen; ++i) {
    werte[i].index = i;
    fuelle(i, werte[i]);
  }
  return s;
}

Spalte wertSpalte(const Wertspalte& w, const Herkunft& herkunft, int zeilen,
                  int waehrung, const std::string& iso) {
  const auto zelle = [&](int i, Wert& z) {
    const Firma& f = herkunft.firma(i);
    const int b = herkunft.bericht(i);
    if (w.betrag) {
      z.iw = umrechnen((f.*w.betrag)(b), f.getKonv(b, waehrung));
    } else {
      z.dw = (f.*w.quote)(b);
    }
    z.linReg = herkunft.vorhersage(i);
  };
  const std::string titel = herkunft.jeFirma ? w.firmenTitel : w.berichtsTitel;
  if (w.betrag)
    return baueSpalte(kBetrag, titel + " [" + iso + "]", zeilen, zelle);
  const bool kuerzer = w.wachstum && !herkunft.jeFirma;
  return baueSpalte(kQuote, titel, kuerzer ? zeilen - 3 : zeilen, zelle);
}

void werteSpalten(std::vector<Spalte>& katalog, const Herkunft& herkunft,
                  int zeilen, int waehrung, const std::string& iso) {
  for (const Wertspalte& w : kWertspalten) {
    katalog.push_back(wertSpalte(w, herkunft, zeilen, waehrung, iso));
  }
}

}  // namespace

std::vector<Spalte> firmenKatalog(const std::vector<Firma>& firmen,
                                  int waehrung, const std::string& iso) {
  std::vector<Spalte> katalog;
  katalog.reserve(kFirmenKatalog);
  const int n = static_cast<int>(firmen.size());
  katalog.push_back(baueSpalte(
      kText, "Name", n, [&](int i, Wert& z) { z.stw = firmen[i].getName(); }));
  katalog.push_back(baueSpalte(kText, "Letzter Report", n, [&](int i, Wert& z) {
    z.stw = datumText(firmen[i].getDatum(0));
  }));
  werteSpalten(katalog, Herkunft{firmen.data(), true}, n, waehrung, iso);
  return katalog;
}

std::vector<Spalte> berichtsKatalog(const Firma& firma, int zeilen,
                                    int waehrung, const std::string& iso) {
  std::vector<Spalte> katalog;
  katalog.reserve(kDatenKatalog);
  katalog.push_back(baueSpalte(kText, "Datum", zeilen, [&](int i, Wert& z) {
    z.stw = datumText(firma.getDatum(i));
  }));
  werteSpalten(katalog, Herkunft{&firma, false}, zeilen, waehrung, iso);
  return katalog;
}

Trendlinie berichtsTrend(int pos) {
  const int k = pos - 1;  // after "Datum"
  return k >= 0 && k < static_cast<int>(std::size(kWertspalten))
             ? kWertspalten[k].trend
             : nullptr;
}
