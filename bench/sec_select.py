#!/usr/bin/env python3
"""The selection quorvell-import makes from SEC company facts, written plainly
with json.load, as the yardstick of the import benchmark.

Usage: sec_select.py companyfacts.zip

For every file of the archive, SEC company facts or an xBRL-JSON report: the
fiscal years (ends of 350-380-day revenue or profit durations, from annual
forms), per field the first concept of its order with a value for the year
in the company's one currency (that of its newest complete year), of several
facts the one filed last, revenue the total where contract revenue is a
slice of it. Prints the number of companies with at least one complete year
and the number of complete years.
"""

import datetime
import json
import sys
import zipfile

CONCEPTS = [
    ["us-gaap:RevenueFromContractWithCustomerExcludingAssessedTax", "us-gaap:Revenues",
     "us-gaap:SalesRevenueNet", "us-gaap:RevenueFromContractWithCustomerIncludingAssessedTax",
     "us-gaap:RevenuesNetOfInterestExpense", "ifrs-full:Revenue",
     "ifrs-full:RevenueFromContractsWithCustomers"],
    ["us-gaap:NetIncomeLoss", "us-gaap:ProfitLoss", "ifrs-full:ProfitLoss",
     "ifrs-full:ProfitLossAttributableToOwnersOfParent"],
    ["us-gaap:Assets", "ifrs-full:Assets"],
    ["us-gaap:StockholdersEquity",
     "us-gaap:StockholdersEquityIncludingPortionAttributableToNoncontrollingInterest",
     "ifrs-full:Equity", "ifrs-full:EquityAttributableToOwnersOfParent"],
]
ANNUAL = {"10-K", "10-K/A", "10-KT", "10-KT/A", "20-F", "20-F/A", "40-F", "40-F/A"}


TOTALS = ["us-gaap:Revenues", "us-gaap:RevenuesNetOfInterestExpense"]
XBRL = [["ifrs-full:Revenue", "ifrs-full:RevenueFromContractsWithCustomers"],
        ["ifrs-full:ProfitLoss", "ifrs-full:ProfitLossAttributableToOwnersOfParent"],
        ["ifrs-full:Assets"],
        ["ifrs-full:Equity", "ifrs-full:EquityAttributableToOwnersOfParent"]]
DAY = datetime.timedelta(days=1)


def keep(best, years, field, rank, start, end, unit, stand, val):
    """Keeps a fact of a 350-380-day duration (revenue, profit) or an
    instant (the other two); of two for one key the greater stand."""
    if (field < 2) != (start is not None):
        return
    if field < 2:
        if not 350 <= (end - start).days + 1 <= 380:
            return
        years.add(end)
    key = (field, rank, end, unit)
    if key not in best or stand > best[key][0]:
        best[key] = (stand, val, start)


def sec_facts(doc):
    best, years = {}, set()
    for field, names in enumerate(CONCEPTS):
        for rank, name in enumerate(names):
            space, concept = name.split(":")
            units = doc["facts"].get(space, {}).get(concept, {}).get("units", {})
            for unit, facts in units.items():
                for f in facts:
                    if f["form"] not in ANNUAL:
                        continue
                    start = datetime.date.fromisoformat(f["start"]) if "start" in f else None
                    keep(best, years, field, rank, start,
                         datetime.date.fromisoformat(f["end"]), unit,
                         (f["filed"], f["accn"]), f["val"])
    return best, years


def point(text, end):
    """A day of an xBRL period: midnight as an end closes the day before."""
    day = datetime.date.fromisoformat(text[:10])
    return day - DAY if end and text[10:].startswith("T00:00:00") else day


def xbrl_facts(doc):
    best, years = {}, set()
    for fact in doc["facts"].values():
        dims = fact["dimensions"]
        if set(dims) - {"concept", "entity", "period", "unit", "language"}:
            continue
        for field, names in enumerate(XBRL):
            if dims["concept"] not in names or not dims.get("unit", "").startswith("iso4217:"):
                continue
            period = dims["period"].split("/")
            start = point(period[0], False) if len(period) == 2 else None
            value = fact.get("value")
            number = float(value) if value is not None else 0.5
            keep(best, years, field, names.index(dims["concept"]), start,
                 point(period[-1], True), dims["unit"][8:], ("",),
                 int(number) if number.is_integer() else value)
    return best, years


def first(best, field, end, unit):
    ranks = sorted(r for (fl, r, e, u) in best if fl == field and e == end and u == unit)
    return ranks[0] if ranks else None


def revenue(best, end, unit):
    """Contract revenue, unless a total of the same period is more than a
    quarter larger."""
    rank = first(best, 0, end, unit)
    _, val, start = best[(0, rank, end, unit)]
    if CONCEPTS[0][rank].startswith("us-gaap:RevenueFromContract") and val > 0:
        for total in TOTALS:
            other = best.get((0, CONCEPTS[0].index(total), end, unit))
            if other and other[2] == start and 4 * other[1] > 5 * val:
                return other[1]
    return val


def reports(best, years, sec):
    complete = {end: sorted({u for (_, _, e, u) in best if e == end
                             and all(first(best, f, end, u) is not None for f in range(4))})
                for end in years}
    count = {}
    for units in complete.values():
        for u in units:
            count[u] = count.get(u, 0) + 1
    newest = [complete[e] for e in sorted(years, reverse=True) if complete[e]]
    if not newest:
        return 0
    currency = min(newest[0], key=lambda u: (-count[u], u == "USD", u))
    n = 0
    for end in years:
        if currency not in complete[end]:
            continue
        values = [revenue(best, end, currency) if sec else
                  best[(0, first(best, 0, end, currency), end, currency)][1]]
        values += [best[(f, first(best, f, end, currency), end, currency)][1]
                   for f in range(1, 4)]
        n += all(isinstance(v, int) for v in values)
    return n


def main():
    companies = years = 0
    with zipfile.ZipFile(sys.argv[1]) as archive:
        for name in archive.namelist():
            with archive.open(name) as f:
                doc = json.load(f)
            sec = "cik" in doc
            n = reports(*(sec_facts(doc) if sec else xbrl_facts(doc)), sec)
            companies += n > 0
            years += n
    print("%d companies, %d reports" % (companies, years))


if __name__ == "__main__":
    main()
