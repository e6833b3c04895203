#!/usr/bin/python3
"""Makes firmen.xlsx and firmen.ods, the workbooks tabellen/Mappe_test.cpp reads,
and bericht.xlsx and bericht.ods, which Import_test imports whole.

Needs python3-openpyxl and python3-odf (Debian's, for /usr/bin/python3). Run
it in this directory and commit both files; the test's expected rows are
written by hand from what this script puts in.

openpyxl stores a formula without its result, as a spreadsheet program does
only before it has calculated. So the script then writes the result 71.395
of D2 into the sheet, where Excel and LibreOffice keep it after saving; the
formula in C5 stays without one.
"""
import datetime
import zipfile

import openpyxl
from odf.opendocument import OpenDocumentSpreadsheet
from odf.office import Annotation
from odf.table import CoveredTableCell, Table, TableCell, TableRow
from odf.text import P, S, Tab


def mit_ergebnis(pfad, vorher, nachher):
    """Writes a formula's result into the saved sheet, as a spreadsheet
    program keeps it."""
    with zipfile.ZipFile(pfad) as alt:
        teile = [(info, alt.read(info)) for info in alt.infolist()]
    with zipfile.ZipFile(pfad, "w", zipfile.ZIP_DEFLATED) as neu:
        for info, inhalt in teile:
            if info.filename == "xl/worksheets/sheet1.xml":
                assert vorher in inhalt
                inhalt = inhalt.replace(vorher, nachher)
            neu.writestr(info, inhalt)


def xlsx(pfad):
    mappe = openpyxl.Workbook()
    daten = mappe.active
    daten.title = "Daten"
    daten.append(["Firma", "Datum", "Umsatz", "Gewinn", "Bilanzsumme",
                  "Eigenkapital"])
    daten.append(["Nordwerk AG", datetime.date(2022, 12, 31), 1427.9,
                  "=C2*0.05", None, 812.5])
    daten.append(["Brenner GmbH", "31.12.2021", 4812.3, -12, 2500, True])
    daten["A5"] = "Tessaro"
    daten["B5"] = 44561
    daten["C5"] = "=C3+1"
    kurse = mappe.create_sheet("Kurse")
    kurse.append(["Jahr", "USD"])
    kurse.append([2022, 1.053])
    mappe.save(pfad)
    mit_ergebnis(pfad, b"<f>C2*0.05</f><v></v>",
                 b"<f>C2*0.05</f><v>71.395</v>")


def zelle(art=None, text=None, **werte):
    z = TableCell(valuetype=art, **werte) if art else TableCell(**werte)
    if text is not None:
        z.addElement(P(text=text))
    return z


def nordwerk_anfang():
    """A row of its name, a date cell, 1427.9 and a formula with its result."""
    nordwerk = TableRow()
    nordwerk.addElement(zelle("string", "Nordwerk AG"))
    nordwerk.addElement(zelle("date", "31.12.2022", datevalue="2022-12-31"))
    nordwerk.addElement(zelle("float", "1.427,9", value="1427.9"))
    nordwerk.addElement(zelle("float", "71,395", value="71.395",
                              formula="of:=[.C2]*0.05"))
    return nordwerk


def ods(pfad):
    dokument = OpenDocumentSpreadsheet()
    daten = Table(name="Daten")
    kopf = TableRow()
    for text in ["Firma", "Datum", "Umsatz", "Gewinn"]:
        kopf.addElement(zelle("string", text))
    daten.addElement(kopf)

    nordwerk = nordwerk_anfang()
    nordwerk.addElement(CoveredTableCell())
    nordwerk.addElement(zelle("float", "812,5", value="812.5",
                              numbercolumnsrepeated=2))
    daten.addElement(nordwerk)

    brenner = TableRow()
    name = TableCell(valuetype="string")
    absatz = P(text="Brenner")
    absatz.addElement(S(c=2))
    absatz.addText("GmbH")
    name.addElement(absatz)
    notiz = Annotation()
    notiz.addElement(P(text="Notiz"))
    name.addElement(notiz)
    brenner.addElement(name)
    brenner.addElement(zelle("date", "31.12.2021",
                             datevalue="2021-12-31T18:00:00"))
    brenner.addElement(zelle("boolean", "WAHR", booleanvalue="true"))
    brenner.addElement(zelle("percentage", "5%", value="0.05"))
    brenner.addElement(zelle("currency", "1.250 EUR", value="1250",
                             currency="EUR"))
    zwei = TableCell(valuetype="string")
    zwei.addElement(P(text="Zeile eins"))
    zweiter = P(text="Zeile")
    zweiter.addElement(Tab())
    zweiter.addText("zwei")
    zwei.addElement(zweiter)
    brenner.addElement(zwei)
    daten.addElement(brenner)

    daten.addElement(TableRow(numberrowsrepeated=3))
    rechts = TableRow()
    rechts.addElement(zelle(numbercolumnsrepeated=3))
    rechts.addElement(zelle("string", "rechts"))
    rechts.addElement(zelle(numbercolumnsrepeated=16380))
    daten.addElement(rechts)
    leer = TableRow(numberrowsrepeated=1048569)
    leer.addElement(zelle(numbercolumnsrepeated=16384))
    daten.addElement(leer)
    dokument.spreadsheet.addElement(daten)

    notizen = Table(name="Notizen")
    zeile = TableRow()
    zeile.addElement(zelle("string", "Quelle: Geschaeftsberichte"))
    notizen.addElement(zeile)
    dokument.spreadsheet.addElement(notizen)
    dokument.save(pfad)


KOPF = ["Firma", "Datum", "Umsatz", "Gewinn", "Bilanzsumme", "Eigenkapital",
        "EUR-Faktor", "USD-Faktor"]


def bericht_xlsx(pfad):
    """Two reports: a date cell and a bare day number (44561 is 2021-12-31),
    1427.9 stored as it is, a formula with its result, a loss as text."""
    mappe = openpyxl.Workbook()
    daten = mappe.active
    daten.title = "Berichte"
    daten.append(KOPF)
    daten.append(["Nordwerk AG", datetime.date(2022, 12, 31), 1427.9,
                  "=C2*0.05", 2544.8, 812.5, 1, 1.053])
    daten.append(["Brenner GmbH", 44561, 4812.3, "(12)", 2500, 700, 1,
                  1.1827])
    mappe.save(pfad)
    mit_ergebnis(pfad, b"<f>C2*0.05</f><v></v>",
                 b"<f>C2*0.05</f><v>71.395</v>")


def bericht_ods(pfad):
    """The same two reports as bericht.xlsx, as LibreOffice stores them."""
    dokument = OpenDocumentSpreadsheet()
    daten = Table(name="Berichte")
    kopf = TableRow()
    for text in KOPF:
        kopf.addElement(zelle("string", text))
    daten.addElement(kopf)
    nordwerk = nordwerk_anfang()
    for wert in ["2544.8", "812.5", "1", "1.053"]:
        nordwerk.addElement(zelle("float", wert, value=wert))
    daten.addElement(nordwerk)
    brenner = TableRow()
    brenner.addElement(zelle("string", "Brenner GmbH"))
    brenner.addElement(zelle("float", "44561", value="44561"))
    brenner.addElement(zelle("float", "4812.3", value="4812.3"))
    brenner.addElement(zelle("string", "(12)"))
    for wert in ["2500", "700", "1", "1.1827"]:
        brenner.addElement(zelle("float", wert, value=wert))
    daten.addElement(brenner)
    dokument.spreadsheet.addElement(daten)
    dokument.save(pfad)


xlsx("firmen.xlsx")
ods("firmen.ods")
bericht_xlsx("bericht.xlsx")
bericht_ods("bericht.ods")
