#!/usr/bin/python3
"""Makes firmen.xlsx from firmen.csv: the same companies and figures as an
Excel workbook, the way an analyst keeps them.

The sheet "Daten" holds the table with real dates and numbers (amounts in
millions of euro, as in the CSV); a sheet "Hinweise" before it holds a note,
so that the import has to name its sheet with --blatt Daten. Needs Debian's
python3-openpyxl (for /usr/bin/python3). Run it in this directory and commit
firmen.xlsx.
"""
import csv
import datetime
from decimal import Decimal

import openpyxl


def zahl(text):
    """A German number as the exact decimal it stands for, then as the float
    openpyxl stores by its shortest text, which reads back as that decimal."""
    wert = Decimal(text.replace(".", "").replace(",", "."))
    return int(wert) if wert == wert.to_integral_value() else float(wert)


def main():
    mappe = openpyxl.Workbook()
    hinweise = mappe.active
    hinweise.title = "Hinweise"
    hinweise["A1"] = "Betraege in Mio. Euro, aus den Geschaeftsberichten"
    daten = mappe.create_sheet("Daten")
    with open("firmen.csv", encoding="utf-8") as datei:
        zeilen = list(csv.reader(datei, delimiter=";"))
    daten.append(zeilen[0])
    for firma, datum, *werte in zeilen[1:]:
        tag, monat, jahr = (int(teil) for teil in datum.split("."))
        daten.append([firma, datetime.date(jahr, monat, tag)] +
                     [zahl(wert) for wert in werte])
        daten.cell(daten.max_row, 2).number_format = "DD.MM.YYYY"
    mappe.save("firmen.xlsx")


main()
