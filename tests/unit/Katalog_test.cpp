#include "Katalog.h"

#include <gtest/gtest.h>

#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "Spalte.h"
#include "Testdaten.h"

namespace {

Firma firma(const std::string& name, const std::vector<Finanzen>& berichte) {
  Firma f;
  f.setAttr(name, berichte);
  return f;
}

// "title|kind|cells" of every column, one per line; ratio columns give their
// cell count only.
std::string katalogText(const std::vector<Spalte>& katalog) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  for (const Spalte& sp : katalog) {
    out << sp.titel << "|" << sp.type << "|";
    if (sp.type == kQuote) out << sp.werte.size() << " Zellen";
    for (size_t k = 0; k < sp.werte.size() && sp.type != kQuote; ++k) {
      if (k > 0) out << "; ";
      if (sp.type == kText) out << sp.werte[k].stw;
      if (sp.type == kBetrag) out << sp.werte[k].iw;
    }
    out << "\n";
  }
  return out.str();
}

// Line `k` (from 0) of `text`.
std::string zeile(const std::string& text, int k) {
  std::istringstream in(text);
  std::string z;
  for (int i = 0; i <= k; ++i) std::getline(in, z);
  return z;
}

}  // namespace

TEST(Katalog, FirmenkatalogMitBetraegenDesNeuestenBerichts) {
  const std::vector<Firma> firmen = {
      firma("Alpha",
            {bericht(datum(31, 12, 2015), -12349, 12349, 1000001, 3, 0.1, 2.5),
             bericht(datum(31, 12, 2014), 1, 1, 1, 1, 7.0, 9.0)}),
      firma("Beta", {bericht(datum(5, 3, 2015), 2000, -7, 10, 0, 1.0, 0.5)})};
  EXPECT_EQ(katalogText(firmenKatalog(firmen, 0, "EUR")),
            "Name|0|Alpha; Beta\n"
            "Letzter Report|0|2015-12-31; 2015-03-05\n"
            "Letzter Umsatz [EUR]|1|-1234; 2000\n"
            "Letzter Gewinn [EUR]|1|1234; -7\n"
            "Letzte Bilanzsumme [EUR]|1|100000; 10\n"
            "Letztes Eigenkapital [EUR]|1|0; 0\n"
            "Letzte CAGR (Umsatz)|2|2 Zellen\n"
            "Letzte CAGR (Gewinn)|2|2 Zellen\n"
            "Letzter EK-Anteil|2|2 Zellen\n"
            "Letzte Umsatzrendite|2|2 Zellen\n");
  EXPECT_EQ(katalogText(firmenKatalog(firmen, 1, "USD")),
            "Name|0|Alpha; Beta\n"
            "Letzter Report|0|2015-12-31; 2015-03-05\n"
            "Letzter Umsatz [USD]|1|-30872; 1000\n"
            "Letzter Gewinn [USD]|1|30872; -3\n"
            "Letzte Bilanzsumme [USD]|1|2500002; 5\n"
            "Letztes Eigenkapital [USD]|1|7; 0\n"
            "Letzte CAGR (Umsatz)|2|2 Zellen\n"
            "Letzte CAGR (Gewinn)|2|2 Zellen\n"
            "Letzter EK-Anteil|2|2 Zellen\n"
            "Letzte Umsatzrendite|2|2 Zellen\n");
}

TEST(Katalog, BerichtskatalogWachstumsspaltenDreiZellenKuerzer) {
  // Six yearly reports, newest first; report i has the dollar factor 1 + i/2.
  std::vector<Finanzen> berichte;
  for (int i = 0; i < 6; ++i) {
    berichte.push_back(bericht(datum(31, 12, 2015 - i), 1000, 100, 2000, 500,
                               1.0, 1.0 + 0.5 * i));
  }
  const Firma muster = firma("Muster AG", berichte);
  EXPECT_EQ(katalogText(berichtsKatalog(muster, 5, 0, "EUR")),
            "Datum|0|2015-12-31; 2014-12-31; 2013-12-31; 2012-12-31; "
            "2011-12-31\n"
            "Umsatz [EUR]|1|1000; 1000; 1000; 1000; 1000\n"
            "Gewinn [EUR]|1|100; 100; 100; 100; 100\n"
            "Bilanzsumme [EUR]|1|2000; 2000; 2000; 2000; 2000\n"
            "Eigenkapital [EUR]|1|500; 500; 500; 500; 500\n"
            "CAGR (Umsatz)|2|2 Zellen\n"
            "CAGR (Gewinn)|2|2 Zellen\n"
            "EK-Anteil|2|5 Zellen\n"
            "Umsatzrendite|2|5 Zellen\n");
  std::string zellen;
  for (const Spalte& s : berichtsKatalog(muster, 3, 0, "EUR")) {
    zellen += std::to_string(s.werte.size());
  }
  EXPECT_EQ(zellen, "333330033");
  // In dollars each row is converted with its own report's factor.
  const std::string dollar = katalogText(berichtsKatalog(muster, 5, 1, "USD"));
  EXPECT_EQ(zeile(dollar, 1), "Umsatz [USD]|1|1000; 1500; 2000; 2500; 3000");
  EXPECT_EQ(zeile(dollar, 4),
            "Eigenkapital [USD]|1|500; 750; 1000; 1250; 1500");
}
