#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Dateien.h"
#include "Import.h"
#include "Testdateien.h"
#include "Testdaten.h"
#include "berichte/IxbrlDubletten.h"
#include "berichte/IxbrlLeser.h"
#include "gemeinsam/Kalender.h"
#include "quellen/IxbrlPaket.h"
#include "quellen/Quellen.h"

namespace {

const std::string kIxbrl = std::string(QUORVELL_QUELLEN) + "/ixbrl/";

const std::set<std::string> kGesucht = {
    "us-gaap:Revenues",
    "us-gaap:RevenueFromContractWithCustomerExcludingAssessedTax",
    "us-gaap:NetIncomeLoss",
    "us-gaap:Assets",
    "us-gaap:StockholdersEquity",
    "ifrs-full:Revenue",
    "ifrs-full:ProfitLoss",
    "ifrs-full:Assets",
    "ifrs-full:Equity",
    "dei:EntityRegistrantName",
    "dei:DocumentType",
    "ifrs-full:NameOfReportingEntityOrOtherMeansOfIdentification",
};

std::string zeitraum(const IxbrlFakt& f) {
  return (f.beginn ? isoText(*f.beginn) + ".." : std::string()) +
         isoText(f.ende);
}

// One line per fact: concept, period, currency, value or what is wrong.
std::string zeile(const IxbrlFakt& f) {
  const std::string wert =
      f.mangel == IxbrlFakt::kKeiner ? f.wert : "! " + f.format + " " + f.text;
  return f.konzept + " " + zeitraum(f) + (f.aufgeschluesselt ? " [A]" : "") +
         " " + f.waehrung + " " + wert + "\n";
}

std::string texte(const IxbrlSatz& satz) {
  std::string text;
  for (const IxbrlText& t : satz.texte) {
    text += t.konzept + " " + t.kennung + " \"" + t.wortlaut + "\"\n";
  }
  return text;
}

// Reads the documents as one set; the error instead where there is one.
std::string lies(const std::vector<std::pair<std::string, std::string>>& set,
                 IxbrlSatz& satz) {
  IxbrlLeser leser(
      [](std::string_view k) { return kGesucht.count(std::string(k)) > 0; });
  std::string fehler;
  for (const auto& [name, bytes] : set) {
    if (!leser.lies(name, bytes, fehler)) return fehler;
  }
  return leser.schliesse(satz, fehler) ? "" : fehler;
}

// The figures of the years ending in `jahre`, duplicates resolved, sorted;
// those of a breakdown only `mitAufschluesselung`.
std::string zahlen(IxbrlSatz& satz, const std::set<int>& jahre,
                   bool mitAufschluesselung = false) {
  std::vector<IxbrlWiderspruch> widersprueche;
  bereinigeDubletten(satz.fakten, widersprueche);
  std::vector<std::string> zeilen;
  for (const IxbrlFakt& f : satz.fakten) {
    if ((mitAufschluesselung || !f.aufgeschluesselt) &&
        jahre.count(ausTagNummer(f.ende).jahr) > 0) {
      zeilen.push_back(zeile(f));
    }
  }
  std::sort(zeilen.begin(), zeilen.end());
  std::string text;
  for (const std::string& z : zeilen) text += z;
  for (const IxbrlWiderspruch& w : widersprueche) {
    text += "Widerspruch " + w.genau.wert + " / " + w.anderer.wert + "\n";
  }
  return text;
}

std::string datei(const std::string& name) { return testdatei(kIxbrl + name); }

// Apple's 10-K gives the very figures the SEC extracted from the same
// filing into Apple's company facts (CIK0000320193.json, filing
// 0000320193-25-000079).
TEST(IxbrlLeser, ReadsApplesTenKAsTheSecsCompanyFacts) {
  IxbrlSatz satz;
  ASSERT_EQ("",
            lies({{"apple-10k-2025.htm", datei("apple-10k-2025.htm")}}, satz));
  EXPECT_EQ(
      "us-gaap:Assets 2024-09-28 USD 364980000000\n"
      "us-gaap:Assets 2025-09-27 USD 359241000000\n"
      "us-gaap:NetIncomeLoss 2023-10-01..2024-09-28 USD 93736000000\n"
      "us-gaap:NetIncomeLoss 2024-09-29..2025-09-27 USD 112010000000\n"
      "us-gaap:RevenueFromContractWithCustomerExcludingAssessedTax "
      "2023-10-01..2024-09-28 USD 391035000000\n"
      "us-gaap:RevenueFromContractWithCustomerExcludingAssessedTax "
      "2024-09-29..2025-09-27 USD 416161000000\n"
      "us-gaap:StockholdersEquity 2024-09-28 USD 56950000000\n"
      "us-gaap:StockholdersEquity 2025-09-27 USD 73733000000\n",
      zahlen(satz, {2024, 2025}));
  EXPECT_EQ(
      "dei:DocumentType 0000320193 \"10-K\"\n"
      "dei:EntityRegistrantName 0000320193 \"Apple Inc.\"\n",
      texte(satz));
  EXPECT_EQ("http://www.sec.gov/CIK", satz.texte[0].schema);
}

// GLEIF's package binds the ifrs-full namespace to the prefix "ifrs"; the
// walk of the package hands on its one report among images, fonts and the
// extension taxonomy, as a set of one document.
TEST(IxbrlLeser, ReadsGleifsReportPackage) {
  std::vector<Eingang> eingaenge;
  std::map<std::string, std::string> inhalt;
  const std::string zip = kIxbrl + "gleif-annual-report-2017.zip";
  leseQuelle(
      zip,
      [&](const Eingang& e) {
        eingaenge.push_back(e);
        inhalt[e.name] = std::string(e.inhalt);
      },
      [](const std::string& m) { ADD_FAILURE() << m; });
  ASSERT_EQ(1u, eingaenge.size());
  const std::string dokument = eingaenge[0].name;
  EXPECT_EQ(
      zip + ":gleif-annual-report-2017/reports/gleif-annual-report-2017.html",
      dokument);
  EXPECT_EQ(zip + ":gleif-annual-report-2017/reports/", eingaenge[0].satz);
  EXPECT_TRUE(eingaenge[0].letztes);
  EXPECT_EQ(Dateiart::ixbrl, eingaenge[0].art);
  IxbrlSatz satz;
  ASSERT_EQ("", lies({{dokument, inhalt[dokument]}}, satz));
  EXPECT_EQ(
      "ifrs-full:Assets 2016-12-31 USD 7680588\n"
      "ifrs-full:Assets 2017-12-31 USD 9283283\n"
      "ifrs-full:Equity 2015-12-31 USD 2646151\n"
      "ifrs-full:Equity 2016-12-31 USD 2655800\n"
      "ifrs-full:Equity 2017-12-31 USD 2953093\n"
      "ifrs-full:ProfitLoss 2016-01-01..2016-12-31 USD 14736\n"
      "ifrs-full:ProfitLoss 2017-01-01..2017-12-31 USD 252867\n",
      zahlen(satz, {2015, 2016, 2017}));
  EXPECT_EQ("", texte(satz));
  EXPECT_EQ("506700GE1G29325QX363", satz.fakten[0].kennung);
  EXPECT_EQ("http://standards.iso.org/iso/17442", satz.fakten[0].schema);
}

// A German report in Windows-1252 over two documents: contexts and the
// name's continuation in the second.
const char kDeutsch[] =
    "<?xml version='1.0' encoding='windows-1252'?>\n"
    "<html xmlns='http://www.w3.org/1999/xhtml'\n"
    " xmlns:ix='http://www.xbrl.org/2013/inlineXBRL'\n"
    " xmlns:ixt='http://www.xbrl.org/inlineXBRL/transformation/2020-02-12'\n"
    " xmlns:i='https://xbrl.ifrs.org/taxonomy/2023-03-23/ifrs-full'>\n"
    "<body><p><ix:nonNumeric name='i:NameOfReportingEntityOrOtherMeansOfIdenti"
    "fication' contextRef='j' continuedAt='n2'>M\xFCller <b>Maschinen</b>\n"
    "  AG<ix:exclude> (Konzern)</ix:exclude></ix:nonNumeric></p>\n"
    "<table><tr><td>Umsatz</td>\n"
    "<td><ix:nonFraction name='i:Revenue' contextRef='j' unitRef='eur'"
    " decimals='-5' scale='6' format='ixt:num-comma-decimal'>1.234,5"
    "</ix:nonFraction></td>\n"
    "<td><ix:nonFraction name='i:Revenue' contextRef='j' unitRef='eur'"
    " decimals='-3' scale='3' format='ixt:num-comma-decimal'>1.234.500"
    "</ix:nonFraction></td>\n"
    "<td><ix:nonFraction name='i:Revenue' contextRef='s' unitRef='eur'"
    " decimals='-3' scale='3' format='ixt:num-comma-decimal'>700"
    "</ix:nonFraction></td></tr>\n"
    "<tr><td>Jahresfehlbetrag</td><td>(<ix:nonFraction name='i:ProfitLoss'"
    " contextRef='j' unitRef='eur' decimals='-5' scale='6' sign='-'"
    " format='ixt:num-comma-decimal'>12,3</ix:nonFraction>)</td></tr>\n"
    "<tr><td>Bilanzsumme</td><td><ix:nonFraction name='i:Assets'"
    " contextRef='b' unitRef='eur' decimals='-6' scale='6'"
    " format='ixt:num-comma-decimal'>2.000</ix:nonFraction></td>\n"
    "<td><ix:nonFraction name='i:Assets' contextRef='b' unitRef='eur'"
    " decimals='-6' scale='6' format='ixt:num-comma-decimal'>2.100"
    "</ix:nonFraction></td></tr>\n"
    "<tr><td>Eigenkapital</td><td><ix:nonFraction name='i:Equity'"
    " contextRef='b' unitRef='eur' decimals='-3' scale='3'"
    " format='ixt:num-comma-decimal'>12.34,5</ix:nonFraction></td>\n"
    "<td><ix:nonFraction name='i:Equity' contextRef='v' unitRef='eur'"
    " decimals='0' format='ixt:num-komma'>5</ix:nonFraction></td>\n"
    "<td><ix:nonFraction name='i:Equity' contextRef='v' unitRef='eur'"
    " scale='x'>5</ix:nonFraction></td>\n"
    "<td><ix:nonFraction name='i:OtherReserves' contextRef='v' unitRef='eur'"
    ">?</ix:nonFraction></td></tr></table></body></html>\n";

const char kKopf[] =
    "<html xmlns='http://www.w3.org/1999/xhtml'"
    " xmlns:ix='http://www.xbrl.org/2013/inlineXBRL'"
    " xmlns:xbrli='http://www.xbrl.org/2003/instance'"
    " xmlns:iso4217='http://www.xbrl.org/2003/iso4217'"
    " xmlns:xbrldi='http://xbrl.org/2006/xbrldi'><body>"
    "<div style='display:none'><ix:header><ix:resources>"
    "<xbrli:context id='j'><xbrli:entity><xbrli:identifier"
    " scheme='http://standards.iso.org/iso/17442'>529900LEI</xbrli:identifier>"
    "</xbrli:entity><xbrli:period><xbrli:startDate>2023-01-01T00:00:00"
    "</xbrli:startDate><xbrli:endDate>2024-01-01T00:00:00</xbrli:endDate>"
    "</xbrli:period></xbrli:context>"
    "<xbrli:context id='b'><xbrli:entity><xbrli:identifier"
    " scheme='http://standards.iso.org/iso/17442'>529900LEI</xbrli:identifier>"
    "</xbrli:entity><xbrli:period><xbrli:instant>2023-12-31</xbrli:instant>"
    "</xbrli:period></xbrli:context>"
    "<xbrli:context id='v'><xbrli:entity><xbrli:identifier"
    " scheme='http://standards.iso.org/iso/17442'>529900LEI</xbrli:identifier>"
    "</xbrli:entity><xbrli:period><xbrli:instant>2022-12-31</xbrli:instant>"
    "</xbrli:period></xbrli:context>"
    "<xbrli:context id='s'><xbrli:entity><xbrli:identifier"
    " scheme='http://standards.iso.org/iso/17442'>529900LEI</xbrli:identifier>"
    "<xbrli:segment><xbrldi:explicitMember dimension='a:SegmentAxis'>a:Nord"
    "</xbrldi:explicitMember></xbrli:segment></xbrli:entity><xbrli:period>"
    "<xbrli:startDate>2023-01-01</xbrli:startDate><xbrli:endDate>2023-12-31"
    "</xbrli:endDate></xbrli:period></xbrli:context>"
    "<xbrli:unit id='eur'><xbrli:measure>iso4217:EUR</xbrli:measure>"
    "</xbrli:unit></ix:resources></ix:header></div>"
    "<p><ix:continuation id='n2'> &amp; <i>Co.</i>&#160;KG</ix:continuation>"
    "</p></body></html>";

TEST(IxbrlLeser, ReadsAGermanDocumentSet) {
  IxbrlSatz satz;
  ASSERT_EQ("", lies({{"de.xhtml", kDeutsch}, {"kopf.xhtml", kKopf}}, satz));
  EXPECT_EQ(
      "ifrs-full:Equity 2022-12-31 EUR ! ixt:num-komma 5\n"
      "ifrs-full:Equity 2022-12-31 EUR ! scale x\n"
      "ifrs-full:Equity 2023-12-31 EUR ! ixt:num-comma-decimal 12.34,5\n"
      "ifrs-full:ProfitLoss 2023-01-01..2023-12-31 EUR -12300000\n"
      "ifrs-full:Revenue 2023-01-01..2023-12-31 EUR 1234500000\n"
      "ifrs-full:Revenue 2023-01-01..2023-12-31 [A] EUR 700000\n"
      "Widerspruch 2000000000 / 2100000000\n",
      zahlen(satz, {2022, 2023}, true));
  EXPECT_EQ(
      "ifrs-full:NameOfReportingEntityOrOtherMeansOfIdentification 529900LEI "
      "\"M\xC3\xBCller Maschinen AG & Co. KG\"\n",
      texte(satz));
  EXPECT_EQ((std::vector<std::string>{"de.xhtml", "kopf.xhtml"}), satz.dateien);
  // The continuation may also come before the text it continues.
  IxbrlSatz umgekehrt;
  ASSERT_EQ("",
            lies({{"kopf.xhtml", kKopf}, {"de.xhtml", kDeutsch}}, umgekehrt));
  EXPECT_EQ(texte(satz), texte(umgekehrt));
}

TEST(IxbrlLeser, RefusesBrokenDocumentsWithTheirPlace) {
  std::string tief = "<html>";
  for (int i = 0; i < 1000; ++i) tief += "<b>";
  std::string fremd = kKopf;
  fremd.replace(fremd.find("id='j'"), 6, "id='k'");
  const struct {
    std::string dokument, fehler;
  } faelle[] = {
      {std::string(kKopf).substr(0, 700),
       "x.xhtml:1:685: XML fehlerhaft: das Dokument endet vorzeitig "
       "(abgeschnitten?) (unclosed token)"},
      {"<html>\n<p>AT&T</p></html>",
       "x.xhtml:2:8: XML fehlerhaft: ein Zeichen steht, wo es nicht stehen "
       "darf (etwa ein & ohne ;) (not well-formed (invalid token))"},
      {tief, "x.xhtml:1:3004: XML fehlerhaft: mehr als 1000 Ebenen tief"},
      {"<!DOCTYPE html [<!ENTITY a 'aaaa'>]><html>&a;</html>",
       "x.xhtml:1:16: XML fehlerhaft: die Dokumenttyp-Deklaration definiert "
       "selbst, erwartet XHTML ohne DTD"},
      {"<html xmlns:ix='http://www.xbrl.org/2013/inlineXBRL'>\n <p>1</p>"
       "</html>",
       "x.xhtml:1:1: Inline-XBRL fehlerhaft: kein xbrli:context, erwartet ein "
       "Inline-XBRL-Dokument mit Kontexten"},
      {"<?xml version='1.0' encoding='ASCII'?><html>\xE4</html>",
       "x.xhtml:1:45: XML fehlerhaft: ein Zeichen steht, wo es nicht stehen "
       "darf (etwa ein & ohne ;) (not well-formed (invalid token))"},
      {std::string(kKopf).replace(std::string(kKopf).find("2023-12-31"), 10,
                                  "2023-12-32"),
       "x.xhtml:1:789: Inline-XBRL fehlerhaft: xbrli:instant \"2023-12-32\" "
       "ist kein Datum, erwartet etwa 2024-12-31 oder 2025-01-01T00:00:00"},
  };
  for (const auto& f : faelle) {
    IxbrlSatz satz;
    EXPECT_EQ(f.fehler, lies({{"x.xhtml", f.dokument}}, satz));
  }
  IxbrlSatz satz;
  EXPECT_EQ(
      "de.xhtml:9:5: Inline-XBRL fehlerhaft: ifrs-full:Revenue nennt den "
      "Kontext \"j\", den kein Dokument des Satzes hat",
      lies({{"de.xhtml", kDeutsch}, {"kopf.xhtml", fremd}}, satz));
}

TEST(IxbrlPaket, TellsDocumentsAndPackagesByTheirContent) {
  EXPECT_TRUE(istIxbrl(datei("apple-10k-2025.htm").substr(0, 65536)));
  EXPECT_TRUE(istIxbrl(kKopf));
  EXPECT_TRUE(
      istIxbrl(std::string("\xFF\xFE<\0h\0 \0x\0m\0l\0n\0s\0=\0'\0", 22) + [] {
        std::string t;
        for (char c : std::string("http://www.xbrl.org/2008/inlineXBRL'>"))
          t += std::string{c, '\0'};
        return t;
      }()));
  EXPECT_FALSE(
      istIxbrl("<html xmlns='http://www.w3.org/1999/xhtml'><p>"
               "http://www.xbrl.org/2013/inlineXBRL</p></html>"));
  EXPECT_FALSE(istIxbrl(std::string(kKopf).substr(0, 60)));
  EXPECT_FALSE(istIxbrl("{\"facts\": {}}"));
  const auto pakete = [](const std::vector<std::string>& namen) {
    const auto berichte = erkennePaket(namen);
    if (!berichte) return std::string("kein Paket");
    std::string text;
    for (const IxbrlBericht& b : *berichte) {
      text += b.ordner + ":";
      for (size_t i : b.dokumente) text += " " + namen[i];
      text += "\n";
    }
    return text;
  };
  EXPECT_EQ("p/reports/: p/reports/a.xhtml p/reports/b.HTML\n",
            pakete({"p/", "p/META-INF/reportPackage.json", "p/reports/a.xhtml",
                    "p/reports/b.HTML", "p/reports/img/logo.png",
                    "p/reports/style.css", "p/reports/alt/c.xhtml",
                    "p/www.example.com/taxonomy/x.xsd"}));
  EXPECT_EQ(
      "p/reports/2022/: p/reports/2022/a.xhtml\n"
      "p/reports/2023/: p/reports/2023/b.htm\n",
      pakete({"p/META-INF/catalog.xml", "p/reports/2023/b.htm",
              "p/reports/2022/a.xhtml", "p/reports/2022/x/y.xhtml"}));
  EXPECT_EQ("reports/: reports/a.xhtml\n",
            pakete({"META-INF/reportPackage.json", "reports/a.xhtml"}));
  EXPECT_EQ("", pakete({"p/META-INF/a.xml", "p/reports/a.png"}));
  EXPECT_EQ("kein Paket", pakete({"p/reports/a.xhtml", "q/META-INF/a.xml"}));
  EXPECT_EQ("kein Paket", pakete({"CIK0000320193.json"}));
  EXPECT_EQ("kein Paket", pakete({}));
}

std::string ersetzt(std::string text, const std::string& alt,
                    const std::string& neu) {
  const size_t stelle = text.find(alt);
  return stelle == std::string::npos ? text
                                     : text.replace(stelle, alt.size(), neu);
}

// The whole import of one source in a fresh directory: the exit status, the
// messages (the directory taken out) and the data files written.
struct Ergebnis {
  Ausgang ausgang;
  std::string meldungen, daten;
};

Ergebnis importiere(const std::string& ordner, const std::string& quelle) {
  namespace fs = std::filesystem;
  std::error_code fehler;
  fs::remove_all(ordner + "/ziel", fehler);
  Optionen optionen;
  optionen.kurse = {ordner + "/kurse.csv"};
  optionen.quellen = {quelle};
  optionen.ziel = ordner + "/ziel";
  Ergebnis e;
  e.ausgang = ::importiere(optionen, e.meldungen);
  for (size_t p; (p = e.meldungen.find(ordner + "/")) != std::string::npos;) {
    e.meldungen.erase(p, ordner.size() + 1);
  }
  for (fs::directory_iterator it(ordner + "/ziel/data", fehler), ende;
       !fehler && it != ende; it.increment(fehler)) {
    std::string inhalt, grund;
    if (leseDatei(it->path().string(), inhalt, grund)) e.daten += inhalt;
  }
  return e;
}

// Inline XBRL through the whole import: a 10-K as filed, a German report
// package, the years a contradiction or an unreadable figure leaves out, a
// quarterly report and a cut-off document.
TEST(IxbrlImport, DokumenteUndPaketeWerdenZuFirmen) {
  const std::string ordner = neuerOrdner("ixbrl");
  ASSERT_FALSE(ordner.empty());
  ASSERT_TRUE(ersetzeDatei(ordner + "/kurse.csv",
                           "Date,USD,\n2025-09-26,1.1672,\n2024-09-27,1.1158,\n"
                           "2023-12-29,1.105,\n"));
  const std::string apple = datei("apple-10k-2025.htm");
  std::string gut = ersetzt(kDeutsch, "2.100", "2.000");
  gut = ersetzt(gut, "12.34,5", "1.234,5");
  const std::string paket = "META-INF/reportPackage.json";
  const struct {
    std::string name, inhalt;  // a source; of a .zip, a package of the two
    std::string zweites;
    Ausgang ausgang;
    std::string meldungen, daten;
  } kFaelle[] = {
      {"apple.htm", apple, "", kErfolg,
       "quorvell-import: Warnung: Firma \"Apple Inc.\" (CIK 320193): "
       "unvollstaendiges Jahr ausgelassen: 2023-09-30 ohne Bilanzsumme\n"
       "quorvell-import: 1 Firma mit 2 Berichten geschrieben: "
       "ziel/config/index.txt und ziel/data/ (Inline-XBRL-Berichte: 1 Firma "
       "mit 2 Berichten)\n",
       "Apple Inc.\n"
       "27-09-2025 416161000000 112010000000 359241000000 73733000000 "
       "0.8567511994516792 1\n"
       "28-09-2024 391035000000 93736000000 364980000000 56950000000 "
       "0.8962179602079227 1\n"},
      {"gut.zip", gut, kKopf, kErfolg,
       "quorvell-import: 1 Firma mit 1 Bericht geschrieben: "
       "ziel/config/index.txt und ziel/data/ (Inline-XBRL-Berichte: 1 Firma "
       "mit 1 Bericht)\n",
       "M\xC3\xBCller Maschinen AG & Co. KG\n"
       "31-12-2023 1234500000 -12300000 2000000000 1234500 1 1.105\n"},
      {"de.zip", kDeutsch, kKopf, kFehler,
       "de.zip:reports/de.xhtml: Warnung: Firma \"M\xC3\xBCller Maschinen AG "
       "& Co. KG\" (LEI 529900LEI): ifrs-full:Assets am 2023-12-31: "
       "\"2000000000\" und \"2100000000\" widersprechen sich; Jahr "
       "2023-12-31 ausgelassen\n"
       "de.zip:reports/de.xhtml: Warnung: Firma \"M\xC3\xBCller Maschinen AG "
       "& Co. KG\" (LEI 529900LEI): ifrs-full:Equity am 2023-12-31: Format "
       "ixt:num-comma-decimal nimmt den Text \"12.34,5\" nicht an; Jahr "
       "2023-12-31 ausgelassen\n"
       "de.zip:reports/de.xhtml: Warnung: Firma \"M\xC3\xBCller Maschinen AG "
       "& Co. KG\" (LEI 529900LEI) ausgelassen: kein Jahr mit Umsatz, "
       "Gewinn, Bilanzsumme und Eigenkapital\n"
       "quorvell-import: keine Firma mit einem vollstaendigen Bericht; "
       "nichts geschrieben\n",
       ""},
      {"10q.htm", ersetzt(apple, ">10-K<", ">10-Q<"), "", kFehler,
       "10q.htm: Warnung: dei:DocumentType \"10-Q\" ist kein Jahresbericht "
       "(10-K, 20-F, 40-F); der Bericht wird uebergangen\n"
       "quorvell-import: keine Firma mit einem vollstaendigen Bericht; "
       "nichts geschrieben\n",
       ""},
      {"halb.htm", apple.substr(0, apple.size() / 2), "", kFehler,
       "halb.htm:", ""},
  };
  for (const auto& f : kFaelle) {
    const std::string pfad = ordner + "/" + f.name;
    ASSERT_TRUE(f.zweites.empty()
                    ? ersetzeDatei(pfad, f.inhalt)
                    : schreibeZip(pfad, {{paket, "{}"},
                                         {"reports/de.xhtml", f.inhalt},
                                         {"reports/logo.png", "\x89PNG"},
                                         {"reports/kopf.xhtml", f.zweites}}));
    const Ergebnis e = importiere(ordner, pfad);
    EXPECT_EQ(f.ausgang, e.ausgang) << f.name;
    if (f.name == "halb.htm") {
      EXPECT_EQ(0u, e.meldungen.find(f.meldungen)) << e.meldungen;
      EXPECT_NE(std::string::npos,
                e.meldungen.find(": XML fehlerhaft: das Dokument endet "
                                 "vorzeitig"))
          << e.meldungen;
    } else {
      EXPECT_EQ(f.meldungen, e.meldungen) << f.name;
    }
    EXPECT_EQ(f.daten, e.daten) << f.name;
  }
  // The SEC's company facts of the same filing give the same two years.
  const Ergebnis sec = importiere(
      ordner, std::string(QUORVELL_QUELLEN) + "/sec/CIK0000320193.json");
  ASSERT_EQ(kErfolg, sec.ausgang) << sec.meldungen;
  EXPECT_EQ(0u, sec.daten.find(kFaelle[0].daten)) << sec.daten;
  std::error_code fehler;
  std::filesystem::remove_all(ordner, fehler);
}

}  // namespace
