#include "tabellen/Mappe.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <string>
#include <utility>
#include <vector>

#include "Dateien.h"
#include "Testdateien.h"

namespace {

using Teile = std::vector<std::pair<std::string, std::string>>;

// A zip archive of `teile` (name, content), made with libzip in memory.
std::string zipMit(const Teile& teile) {
  zip_source_t* puffer = zip_source_buffer_create(nullptr, 0, 0, nullptr);
  zip_source_keep(puffer);
  zip_t* archiv = zip_open_from_source(puffer, ZIP_TRUNCATE, nullptr);
  for (const auto& [name, inhalt] : teile) {
    zip_file_add(archiv, name.c_str(),
                 zip_source_buffer(archiv, inhalt.data(), inhalt.size(), 0),
                 ZIP_FL_OVERWRITE);
  }
  zip_close(archiv);
  std::string bytes;
  zip_source_open(puffer);
  char stueck[4096];
  for (zip_int64_t n;
       (n = zip_source_read(puffer, stueck, sizeof stueck)) > 0;) {
    bytes.append(stueck, static_cast<size_t>(n));
  }
  zip_source_close(puffer);
  zip_source_free(puffer);
  return bytes;
}

const std::string kHaupt =
    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const std::string kBezug =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kTyp = kBezug + "/";

// An xlsx with the one sheet "Daten" holding the rows `zeilen`, and the
// shared texts `texte` (none when empty).
std::string xlsxMit(const std::string& zeilen, const std::string& texte = "",
                    const std::string& mappenkopf = "") {
  Teile teile = {
      {"xl/workbook.xml",
       "<workbook " + kHaupt + " xmlns:r=\"" + kBezug + "\">" + mappenkopf +
           "<sheets><sheet name=\"Daten\" sheetId=\"1\" r:id=\"rId1\"/>"
           "</sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
       "relationships\"><Relationship Id=\"rId1\" Type=\"" +
           kTyp + "worksheet\" Target=\"worksheets/sheet1.xml\"/>" +
           (texte.empty() ? ""
                          : "<Relationship Id=\"rId2\" Type=\"" + kTyp +
                                "sharedStrings\" Target=\"sst.xml\"/>") +
           "</Relationships>"},
      {"xl/worksheets/sheet1.xml", "<worksheet " + kHaupt + "><sheetData>" +
                                       zeilen + "</sheetData></worksheet>"}};
  if (!texte.empty()) teile.push_back({"xl/sst.xml", texte});
  return zipMit(teile);
}

// An ods whose office:spreadsheet holds `inhalt`.
std::string odsMit(const std::string& inhalt) {
  return zipMit(
      {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
       {"content.xml",
        "<?xml version=\"1.0\"?><office:document-content "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:t=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
        "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:"
        "xmlns:calcext:1.0\"><office:body><office:spreadsheet>" +
            inhalt +
            "</office:spreadsheet></office:body></office:document-content>"}});
}

std::string odsZeile(const std::string& zellen, const std::string& mal = "1") {
  return "<t:table t:name=\"Eins\"><t:table-row t:number-rows-repeated=\"" +
         mal + "\">" + zellen + "</t:table-row></t:table>";
}

std::string datei(const std::string& name) {
  return testdatei(std::string(QUORVELL_TESTMAPPEN "/") + name);
}

std::string zelltext(const Zelle& zelle) {
  std::string text;
  for (char c : zelle.text) {
    text += c == '\n'   ? "\\n"
            : c == '\r' ? "\\r"
            : c == '\t' ? "\\t"
                        : std::string(1, c);
  }
  switch (zelle.art) {
    case Zellart::leer:
      return "-";
    case Zellart::text:
      return "t\"" + text + "\"";
    case Zellart::zahl:
      return "z" + text;
    case Zellart::datum:
      return "d" + text;
    case Zellart::fehler:
      return "e" + text;
    case Zellart::formel:
      break;
  }
  return "f" + text;
}

// The sheet as "NAME NULLPUNKT" and one line per row, or the error.
std::string abbild(const std::string& bytes, const std::string& quelle,
                   const std::string& blattname) {
  Blatt blatt;
  std::string fehler;
  if (!leseMappe(bytes, quelle, blattname, blatt, fehler)) return "! " + fehler;
  const Datum& n = blatt.nullpunkt;
  std::string text = blatt.name + " " + std::to_string(n.tag) + "." +
                     std::to_string(n.monat) + "." + std::to_string(n.jahr) +
                     "\n";
  for (const Zellenzeile& zeile : blatt.zeilen) {
    text += std::to_string(zeile.zeile) + ":";
    for (const Zelle& zelle : zeile.zellen) text += " " + zelltext(zelle);
    text += "\n";
  }
  return text;
}

struct Fall {
  const char* was;
  std::string bytes;
  std::string quelle;
  std::string blatt;
  std::string erwartet;
};

}  // namespace

TEST(ImportMappe, ErkenntArbeitsmappenAmInhalt) {
  EXPECT_EQ(Mappenart::xlsx, erkenneMappe(datei("firmen.xlsx")));
  EXPECT_EQ(Mappenart::ods, erkenneMappe(datei("firmen.ods")));
  EXPECT_EQ(Mappenart::keine, erkenneMappe(std::string("Firma;Datum\n")));
  EXPECT_EQ(Mappenart::keine, erkenneMappe(zipMit({{"mimetype", "text/csv"}})));
}

// Ten entities, each standing for ten of the one before: a billion times
// "ha" if a reader expanded them.
std::string milliardenLacher() {
  std::string dtd = "<!DOCTYPE sst [<!ENTITY a0 \"ha\">";
  for (int i = 1; i <= 9; ++i) {
    dtd += "<!ENTITY a" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) dtd += "&a" + std::to_string(i - 1) + ";";
    dtd += "\">";
  }
  return dtd + "]><sst " + kHaupt + "><si><t>&a9;</t></si></sst>";
}

TEST(ImportMappe, BlaetterWieGespeichertOderBenannteFehler) {
  const std::string strikt = zipMit(
      {{"xl/workbook.xml",
        "<x:workbook xmlns:x=\"http://purl.oclc.org/ooxml/spreadsheetml/"
        "main\" xmlns:b=\"http://purl.oclc.org/ooxml/officeDocument/"
        "relationships\"><x:sheets><x:sheet name=\"Diagramm\" b:id=\"c1\"/>"
        "<x:sheet name=\"Zahlen\" b:id=\"s1\"/></x:sheets></x:workbook>"},
       {"xl/_rels/workbook.xml.rels",
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/"
        "2006/relationships\"><Relationship Id=\"s1\" "
        "Type=\"http://purl.oclc.org/ooxml/officeDocument/relationships/"
        "worksheet\" Target=\"./tab/../worksheets/eins.xml\"/><Relationship "
        "Id=\"c1\" Type=\"" +
            kTyp +
            "chartsheet\" Target=\"/xl/chartsheets/sheet1.xml\"/>"
            "</Relationships>"},
       {"xl/worksheets/eins.xml",
        "<x:worksheet xmlns:x=\"http://purl.oclc.org/ooxml/spreadsheetml/"
        "main\"><x:sheetData><x:row r=\"1\"><x:c r=\"B1\"><x:v>7</x:v></x:c>"
        "</x:row></x:sheetData></x:worksheet>"}});
  const std::string zweiTexte =
      "<sst " + kHaupt + "><si><t>a</t></si><si><t>b</t></si></sst>";
  const std::string textzelle = "<t:table-cell office:value-type=\"string\">";
  const std::string x = textzelle + "<text:p>x</text:p></t:table-cell>";
  const std::string xml = "! t.xlsx: Teil xl/worksheets/sheet1.xml, Zeile 1: ";
  const std::string ods = "! t.ods: Teil content.xml, Zeile 1: ";
  const std::vector<Fall> faelle = {
      {"xlsx von openpyxl", datei("firmen.xlsx"), "firmen.xlsx", "",
       "Daten 30.12.1899\n"
       "1: t\"Firma\" t\"Datum\" t\"Umsatz\" t\"Gewinn\" t\"Bilanzsumme\" "
       "t\"Eigenkapital\"\n"
       "2: t\"Nordwerk AG\" z44926 z1427.9 z71.395 - z812.5\n"
       "3: t\"Brenner GmbH\" t\"31.12.2021\" z4812.3 z-12 z2500 t\"WAHR\"\n"
       "5: t\"Tessaro\" z44561 fC3+1\n"},
      {"zweites Blatt", datei("firmen.xlsx"), "firmen.xlsx", "Kurse",
       "Kurse 30.12.1899\n1: t\"Jahr\" t\"USD\"\n2: z2022 z1.053\n"},
      {"ods von odfpy", datei("firmen.ods"), "firmen.ods", "",
       "Daten 30.12.1899\n"
       "1: t\"Firma\" t\"Datum\" t\"Umsatz\" t\"Gewinn\"\n"
       "2: t\"Nordwerk AG\" d2022-12-31 z1427.9 z71.395 - z812.5 z812.5\n"
       "3: t\"Brenner  GmbH\" d2021-12-31 t\"WAHR\" z0.05 z1250 "
       "t\"Zeile eins\\nZeile\\tzwei\"\n"
       "7: - - - t\"rechts\"\n"},
      {"zweite Tabelle", datei("firmen.ods"), "firmen.ods", "Notizen",
       "Notizen 30.12.1899\n1: t\"Quelle: Geschaeftsberichte\"\n"},
      {"unbekanntes Blatt", datei("firmen.xlsx"), "firmen.xlsx", "Bilanz",
       "! firmen.xlsx: kein Blatt \"Bilanz\"; die Mappe hat \"Daten\", "
       "\"Kurse\""},
      {"unbekannte Tabelle", datei("firmen.ods"), "firmen.ods", "Bilanz",
       "! firmen.ods: kein Blatt \"Bilanz\"; die Mappe hat \"Daten\", "
       "\"Notizen\""},
      {"gemeinsame Texte, Typen, Zellen ohne Bezug, 1904",
       xlsxMit("<row r=\"2\"><c t=\"s\"><v>1</v></c><c><v>4.8123E3</v></c>"
               "<c t=\"e\"><v>#DIV/0!</v></c><c t=\"str\"><f>A1</f><v>x</v>"
               "</c><c t=\"d\"><v>2022-12-31T00:00:00</v></c>"
               "<c t=\"s\"><v> 2 </v></c><c r=\"H2\" s=\"1\"/>"
               "<c r=\"J2\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t>"
               "</r></is></c></row><row><c r=\"B3\" t=\"b\"><v>0</v></c></row>",
               "<sst " + kHaupt +
                   "><si><t>Nord</t></si><si><r><t>Brenner</t></r><r><rPr><b/>"
                   "</rPr><t xml:space=\"preserve\"> GmbH</t></r><rPh><t>b</t>"
                   "</rPh></si><si><t>A_x000D_B_x005F_x0041_</t></si></sst>",
               "<workbookPr date1904=\"true\"/>"),
       "t.xlsx", "",
       "Daten 1.1.1904\n"
       "2: t\"Brenner GmbH\" z4.8123E3 e#DIV/0! t\"x\" d2022-12-31 "
       "t\"A\\rB_x0041_\" - - - t\"inline\"\n"
       "3: - t\"FALSCH\"\n"},
      {"strikt, andere Praefixe, Pfad mit ..", strikt, "t.xlsx", "Zahlen",
       "Zahlen 30.12.1899\n1: - z7\n"},
      {"Diagrammblatt", strikt, "t.xlsx", "",
       "! t.xlsx: Blatt \"Diagramm\" ist kein Tabellenblatt, erwartet ein "
       "Blatt mit Zellen"},
      {"kein Zip", "Firma;Datum\n", "t.xlsx", "",
       "! t.xlsx ist kein lesbares Zip-Archiv, erwartet eine Arbeitsmappe "
       "(.xlsx oder .ods)"},
      {"Zip ohne Mappe", zipMit({{"a.txt", "a"}}), "t.zip", "",
       "! t.zip ist ein Zip-Archiv, aber keine Arbeitsmappe, erwartet "
       "xl/workbook.xml (xlsx) oder mimetype mit "
       "application/vnd.oasis.opendocument.spreadsheet (ods)"},
      {"ohne Beziehungen",
       zipMit(
           {{"xl/workbook.xml", "<workbook " + kHaupt + " xmlns:r=\"" + kBezug +
                                    "\"><sheets><sheet name=\"A\" "
                                    "r:id=\"x\"/></sheets></workbook>"}}),
       "t.xlsx", "", "! t.xlsx: Teil xl/_rels/workbook.xml.rels fehlt"},
      {"kaputtes XML", xlsxMit("<row r=\"1\">\n<c r=\"A1\"><v>1</v></row>"),
       "t.xlsx", "",
       "! t.xlsx: Teil xl/worksheets/sheet1.xml, Zeile 2: kein wohlgeformtes "
       "XML (mismatched tag)"},
      {"Milliarde Lacher", xlsxMit("", milliardenLacher()), "t.xlsx", "",
       "! t.xlsx: Teil xl/sst.xml, Zeile 1: enthaelt eine "
       "Dokumenttyp-Deklaration, erwartet XML ohne DTD"},
      {"Text ausserhalb",
       xlsxMit("<row r=\"1\"><c r=\"B1\" t=\"s\"><v>7</v></c></row>",
               zweiTexte),
       "t.xlsx", "",
       xml + "Zelle B1 verweist auf den gemeinsamen Text \"7\", die Mappe "
             "hat 2"},
      {"Zellen verkehrt",
       xlsxMit("<row r=\"1\"><c r=\"B1\"><v>1</v></c><c r=\"A1\"><v>2</v>"
               "</c></row>"),
       "t.xlsx", "",
       xml + "Zelle A1 folgt auf Zelle B1, erwartet die Zellen einer Zeile "
             "von links nach rechts"},
      {"Zeilen verkehrt", xlsxMit("<row r=\"3\"/><row r=\"2\"/>"), "t.xlsx", "",
       xml + "Zeile 2 folgt auf Zeile 3, erwartet die Zeilen von oben nach "
             "unten"},
      {"Bezug jenseits XFD",
       xlsxMit("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"), "t.xlsx", "",
       xml + "Zellbezug \"XFE1\" ist keiner, erwartet Spalte A bis XFD und "
             "Zeile 1 bis 1048576 wie C7"},
      {"Wahrheitswert 2",
       xlsxMit("<row r=\"1\"><c r=\"A1\" t=\"b\"><v>2</v></c></row>"), "t.xlsx",
       "",
       xml + "Zelle A1 hat den Typ \"b\" mit \"2\", erwartet b (0 oder 1), d, "
             "e, inlineStr, n, s oder str"},
      {"ods: Nullpunkt 1904, Fehlerwert, Formel ohne Ergebnis, Zeilengruppen",
       odsMit("<t:calculation-settings><t:null-date t:date-value="
              "\"1904-01-01\"/></t:calculation-settings><t:table "
              "t:name=\"Eins\"><t:table-header-rows><t:table-row><t:table-cell "
              "office:value-type=\"string\" office:string-value=\"Kopf\">"
              "<text:p>angezeigt</text:p></t:table-cell><t:covered-table-cell "
              "office:value-type=\"float\" office:value=\"9\"/><t:table-cell "
              "office:value-type=\"string\" calcext:value-type=\"error\">"
              "<text:p>#DIV/0!</text:p></t:table-cell></t:table-row>"
              "</t:table-header-rows><t:table-row-group><t:table-row>"
              "<t:table-cell t:formula=\"of:=1/0\"/><t:table-cell "
              "office:value-type=\"time\" office:time-value=\"PT12H\">"
              "<text:h>12:00</text:h></t:table-cell>" +
              textzelle +
              "<text:p>a<text:line-break/>b</text:p></t:table-cell>"
              "</t:table-row></t:table-row-group></t:table>"),
       "t.ods", "",
       "Eins 1.1.1904\n1: t\"Kopf\" - e#DIV/0!\n"
       "2: fof:=1/0 t\"12:00\" t\"a\\nb\"\n"},
      {"ods: 16384 mal 1048576 Zellen",
       odsMit(odsZeile("<t:table-cell t:number-columns-repeated=\"16384\" "
                       "office:value-type=\"float\" office:value=\"1\"/>",
                       "1048576")),
       "t.ods", "",
       ods + "mehr als 4000000 Zellen, erwartet ein kleineres Blatt"},
      {"ods: rechts von XFD",
       odsMit(
           odsZeile("<t:table-cell t:number-columns-repeated=\"16384\"/>" + x)),
       "t.ods", "",
       ods + "Zelle rechts von Spalte XFD, erwartet hoechstens 16384 Spalten"},
      {"ods: unter Zeile 1048576",
       odsMit("<t:table t:name=\"Eins\"><t:table-row "
              "t:number-rows-repeated=\"1048576\"/><t:table-row>" +
              x + "</t:table-row></t:table>"),
       "t.ods", "",
       ods + "Zelle unter Zeile 1048576, erwartet hoechstens 1048576 Zeilen"},
      {"ods: Zahl ohne Wert",
       odsMit(odsZeile("<t:table-cell office:value-type=\"float\"/>")), "t.ods",
       "",
       ods + "Zelle A1 vom Typ float ohne ihren Wert, erwartet das Attribut "
             "office:value"},
      {"ods: zu viele Blanks",
       odsMit(odsZeile(textzelle +
                       "<text:p><text:s text:c=\"99999999999\"/></text:p>"
                       "</t:table-cell>")),
       "t.ods", "", ods + "mehr als 64 MiB Text, erwartet ein kleineres Blatt"},
      {"ods: Wiederholung 0", odsMit(odsZeile("", "0")), "t.ods", "",
       ods + "number-rows-repeated \"0\" ist keine Anzahl, erwartet eine "
             "ganze Zahl ab 1"},
      {"ods ohne Tabelle", odsMit(""), "t.ods", "",
       "! t.ods: die Mappe hat kein Blatt"},
      {"ods ohne Inhalt",
       zipMit({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}}),
       "t.ods", "", "! t.ods: Teil content.xml fehlt"},
  };
  for (const Fall& f : faelle) {
    EXPECT_EQ(f.erwartet, abbild(f.bytes, f.quelle, f.blatt)) << f.was;
  }
}
