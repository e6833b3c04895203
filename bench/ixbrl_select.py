#!/usr/bin/env python3
"""The selection quorvell-import makes from an inline XBRL document set,
written plainly with xml.etree.ElementTree.iterparse, as the yardstick of the
inline XBRL benchmark.

Usage: ixbrl_select.py [--zeilen] DOKUMENT...

Reads the documents as one set: the contexts (entity, period, whether a
segment or scenario makes them a breakdown), the units (a single iso4217
measure is a currency), the ix:nonFraction facts of the concepts the import
reads, matched by namespace (us-gaap, ifrs-full, dei of any year), their text
read by the common formats, times ten to their scale, with their sign; and
the texts of the company name and the document type. Prints the number of
facts and texts; with --zeilen one line per fact before it.
"""

import datetime
import re
import sys
import xml.etree.ElementTree as ET
from decimal import Decimal

IX = ("{http://www.xbrl.org/2013/inlineXBRL}", "{http://www.xbrl.org/2008/inlineXBRL}")
XBRLI = "{http://www.xbrl.org/2003/instance}"
ISO4217 = "http://www.xbrl.org/2003/iso4217"
NIL = "{http://www.w3.org/2001/XMLSchema-instance}nil"
WANTED = {
    "us-gaap:RevenueFromContractWithCustomerExcludingAssessedTax", "us-gaap:Revenues",
    "us-gaap:SalesRevenueNet", "us-gaap:RevenueFromContractWithCustomerIncludingAssessedTax",
    "us-gaap:RevenuesNetOfInterestExpense", "ifrs-full:Revenue",
    "ifrs-full:RevenueFromContractsWithCustomers", "us-gaap:NetIncomeLoss",
    "us-gaap:ProfitLoss", "ifrs-full:ProfitLoss",
    "ifrs-full:ProfitLossAttributableToOwnersOfParent", "us-gaap:Assets", "ifrs-full:Assets",
    "us-gaap:StockholdersEquity",
    "us-gaap:StockholdersEquityIncludingPortionAttributableToNoncontrollingInterest",
    "ifrs-full:Equity", "ifrs-full:EquityAttributableToOwnersOfParent",
    "dei:EntityRegistrantName", "dei:DocumentType",
    "ifrs-full:NameOfReportingEntityOrOtherMeansOfIdentification",
}
PREFIXES = [
    (re.compile(r"^http://fasb\.org/us-gaap/[0-9-]+$"), "us-gaap"),
    (re.compile(r"^http://xbrl\.sec\.gov/dei/[0-9-]+$"), "dei"),
    (re.compile(r"^https?://xbrl\.ifrs\.org/taxonomy/[0-9-]+/ifrs-full$"), "ifrs-full"),
]
DOT = re.compile(r"^[0-9]{1,3}([, \xa0\u202f]?[0-9]{3})*(\.[0-9]+)?$|^\.[0-9]+$")
COMMA = re.compile(r"^[0-9]{1,3}([. \xa0\u202f]?[0-9]{3})*(,[0-9]+)?$|^,[0-9]+$")
FORMATS = {"num-dot-decimal": DOT, "numdotdecimal": DOT,
           "num-comma-decimal": COMMA, "numcommadecimal": COMMA}


def canonical(qname, namespaces):
    prefix, _, local = qname.strip().rpartition(":")
    uri = namespaces.get(prefix)
    for pattern, name in PREFIXES:
        if uri and pattern.match(uri):
            return name + ":" + local
    return None


def day(text, end):
    """The day a period starts or ends on; midnight as an end closes the day
    before it."""
    text = text.strip()
    date = datetime.date.fromisoformat(text[:10])
    if end and text[10:19] == "T00:00:00":
        date -= datetime.timedelta(days=1)
    return date.isoformat()


def value(fact, text, namespaces):
    """The exact value, or None with the format for a warning."""
    text = text.strip()
    fmt = fact.get("format")
    local = fmt.rpartition(":")[2] if fmt else ""
    if local in ("fixed-zero", "zerodash", "numdash"):
        number = Decimal(0)
    elif fmt is None and re.match(r"^[0-9]+(\.[0-9]+)?$", text):
        number = Decimal(text)
    elif local in FORMATS and FORMATS[local].match(text):
        decimal = "." if FORMATS[local] is DOT else ","
        digits = "".join(c for c in text if c.isdigit() or c == decimal)
        number = Decimal(digits.replace(",", ".") if decimal == "," else digits)
    else:
        return None
    number = number.scaleb(int(fact.get("scale", "0")))
    return -number if fact.get("sign") == "-" else number


def read(path, contexts, units, facts, texts):
    namespaces = [{}]
    open_facts = 0
    context = unit = None
    for event, elem in ET.iterparse(path, events=("start-ns", "end-ns", "start",
                                                   "end")):
        if event == "start-ns":
            namespaces.append(dict(namespaces[-1], **{elem[0]: elem[1]}))
            continue
        if event == "end-ns":
            namespaces.pop()
            continue
        tag = elem.tag
        if event == "start":
            if tag.startswith(IX) and tag.endswith(("}nonFraction", "}nonNumeric")):
                name = canonical(elem.get("name", ""), namespaces[-1])
                elem.set("{quorvell}name", name or "")
                open_facts += 1
            elif tag in (XBRLI + "context", XBRLI + "unit"):
                open_facts += 1
            continue
        if tag == XBRLI + "context":
            ident = elem.find(".//" + XBRLI + "identifier")
            period = elem.find(XBRLI + "period")
            instant = period.find(XBRLI + "instant")
            if instant is not None:
                days = day(instant.text, True)
            elif period.find(XBRLI + "startDate") is not None:
                days = day(period.find(XBRLI + "startDate").text, False) + ".." + \
                    day(period.find(XBRLI + "endDate").text, True)
            else:
                days = None
            breakdown = elem.find(".//" + XBRLI + "segment") is not None or \
                elem.find(XBRLI + "scenario") is not None
            contexts[elem.get("id")] = (ident.get("scheme"), ident.text.strip(), days,
                                        breakdown)
            open_facts -= 1
        elif tag == XBRLI + "unit":
            measures = elem.findall(".//" + XBRLI + "measure")
            currency = ""
            if len(measures) == 1 and elem.find(XBRLI + "divide") is None:
                prefix, _, local = measures[0].text.strip().rpartition(":")
                if namespaces[-1].get(prefix) == ISO4217:
                    currency = local
            units[elem.get("id")] = currency
            open_facts -= 1
        elif tag.startswith(IX) and tag.endswith(("}nonFraction", "}nonNumeric")):
            open_facts -= 1
            name = elem.get("{quorvell}name")
            if name in WANTED and elem.get(NIL) not in ("true", "1"):
                text = "".join(elem.itertext())
                if tag.endswith("}nonNumeric"):
                    texts.append((name, elem.get("contextRef"), " ".join(text.split())))
                else:
                    facts.append((name, elem.get("contextRef"), elem.get("unitRef"),
                                  value(elem, text, namespaces[-1]), elem.get("format")))
        if open_facts == 0:
            elem.clear()


def main():
    args = sys.argv[1:]
    lines = args[:1] == ["--zeilen"]
    contexts, units, facts, texts = {}, {}, [], []
    for path in args[1:] if lines else args:
        read(path, contexts, units, facts, texts)
    kept = 0
    for name, ref, unit, number, fmt in facts:
        scheme, ident, days, breakdown = contexts[ref]
        if days is None:
            continue
        kept += 1
        if lines:
            shown = ("! " + (fmt or "")) if number is None else \
                format(number.normalize(), "f")
            print(name, ident, days, "[A]" if breakdown else "", units[unit], shown)
    print("%d Fakten, %d Texte" % (kept, len(texts)))


if __name__ == "__main__":
    main()
