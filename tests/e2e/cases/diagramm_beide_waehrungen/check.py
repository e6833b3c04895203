"""Checks diagramm.svg after run N: parsed as XML, the tooltips of its bars,
points and trend lines, and the forecasts marked."""

import os
import sys
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
UMSATZ = "Letzter Umsatz [%s]: "

EXPECTED = {
    1: {"title": "Sortiert nach Spalte: [Letzter Umsatz [EUR]] (absteigend)",
        "balken": ["Nord AG, Letzter Umsatz [EUR]: 2.000",
                   "Sued GmbH, Letzter Umsatz [EUR]: 1.500",
                   "Ost KG, Letzter Umsatz [EUR]: 500"]},
    2: {"title": "Sortiert nach Spalte: [Letzter Umsatz [USD]] (absteigend)",
        "balken": ["Nord AG, Letzter Umsatz [USD]: 3,000",
                   "Sued GmbH, Letzter Umsatz [USD]: 1,800",
                   "Ost KG, Letzter Umsatz [USD]: 550"]},
    3: {"title": "Firma: Nord AG",
        "punkt prognose": ["2013-12-31, Umsatz [EUR]: *2.533",
                           "2013-12-31, Gewinn [EUR]: *400",
                           "2013-12-31, Bilanzsumme [EUR]: *7.000",
                           "2013-12-31, Eigenkapital [EUR]: *1.800",
                           "2013-12-31, EK-Anteil: *25,700%"],
        "punkt": ["2010-12-31, Gewinn [EUR]: 100", "2012-12-31, Umsatz [EUR]: 2.000",
                  "2012-12-31, EK-Anteil: 25,000%"],
        "trend": ["Trendlinie Gewinn [EUR]: 100 (2010) bis 400 (2013)"]},
    4: {"title": "Firma: Nord AG",
        "punkt prognose": ["2013-12-31, Umsatz [USD]: *7,599",
                           "2013-12-31, Gewinn [USD]: *1,200",
                           "2013-12-31, Bilanzsumme [USD]: *21,000",
                           "2013-12-31, Eigenkapital [USD]: *5,400",
                           "2013-12-31, EK-Anteil: *25.700%"],
        "punkt": ["2010-12-31, Umsatz [USD]: 3,000", "2011-12-31, Umsatz [USD]: 2,000",
                  "2012-12-31, Umsatz [USD]: 3,000", "2012-12-31, EK-Anteil: 25.000%"],
        "trend": ["Trendlinie Gewinn [USD]: 300 (2010) bis 1,200 (2013)"]},
}


def tips(root, klasse):
    """The tooltips of the elements of class `klasse`, in document order."""
    found = []
    for e in root.iter():
        if e.get("class") == klasse:
            title = e.find(SVG + "title")
            if title is None or not title.text:
                sys.exit("<%s class=%r> without a title" % (e.tag, klasse))
            found.append(title.text)
    return found


def main():
    workdir, run = sys.argv[1], int(sys.argv[2])
    with open(os.path.join(workdir, "diagramm.svg"), "rb") as f:
        data = f.read()
    if not data.startswith(b'<?xml version="1.0" encoding="UTF-8"?>\n'):
        sys.exit("no XML declaration: %r" % data[:60])
    data.decode("utf-8")
    root = ET.fromstring(data)
    if root.tag != SVG + "svg" or root.get("version") != "1.1":
        sys.exit("not an SVG 1.1 image: %s" % root.tag)
    want = EXPECTED[run]
    if root.find(SVG + "title").text != want["title"]:
        sys.exit("title %r" % root.find(SVG + "title").text)
    bars = tips(root, "balken")
    if bars != want.get("balken", []):
        sys.exit("bars %r" % bars)
    forecasts = tips(root, "punkt prognose")
    if forecasts != want.get("punkt prognose", []):
        sys.exit("forecast points %r" % forecasts)
    points = tips(root, "punkt")
    if want.get("punkt") and (len(points) != 4 * 3 + 3 or
                              any(p not in points for p in want["punkt"])):
        sys.exit("points %r" % points)
    if any("*" in p for p in points) or (not want.get("punkt") and points):
        sys.exit("points %r" % points)
    trends = tips(root, "trend")
    if any(t not in trends for t in want.get("trend", [])):
        sys.exit("trend lines %r" % trends)
    hollow = [e.get("fill") for e in root.iter() if e.get("class") == "punkt prognose"]
    if any(fill != "white" for fill in hollow):
        sys.exit("forecast points not hollow: %r" % hollow)


if __name__ == "__main__":
    main()
