#!/usr/bin/env python3
"""The selection quorvell-import makes from SEC company facts, written plainly
with json.load, as the yardstick of the import benchmark.

Usage: sec_select.py companyfacts.zip

For every file of the archive: the fiscal years (ends of 350-380-day revenue
or profit durations from annual forms), per field the first concept of its
order with a value for the year, of several facts the one filed last, in the
currency of the total assets. Prints the number of companies with at least
one complete year and the number of complete years.
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


def reports(doc):
    best = {}  # (field, rank, end, unit) -> (filed, accn, val)
    years = set()
    for field, names in enumerate(CONCEPTS):
        for rank, name in enumerate(names):
            space, concept = name.split(":")
            units = doc["facts"].get(space, {}).get(concept, {}).get("units", {})
            for unit, facts in units.items():
                for f in facts:
                    if f["form"] not in ANNUAL or (field < 2) != ("start" in f):
                        continue
                    end = datetime.date.fromisoformat(f["end"])
                    if field < 2:
                        days = (end - datetime.date.fromisoformat(f["start"])).days + 1
                        if not 350 <= days <= 380:
                            continue
                        years.add(end)
                    key = (field, rank, end, unit)
                    stand = (f["filed"], f["accn"])
                    if key not in best or stand > best[key][:2]:
                        best[key] = stand + (f["val"],)
    complete = 0
    for end in years:
        totals = sorted((r, u) for (fl, r, e, u) in best if fl == 2 and e == end)
        if not totals:
            continue
        units = [u for r, u in totals if r == totals[0][0]]
        currency = "USD" if "USD" in units else units[0]
        values = []
        for field in range(4):
            ranks = sorted(r for (fl, r, e, u) in best
                           if fl == field and e == end and u == currency)
            if ranks:
                values.append(best[(field, ranks[0], end, currency)][2])
        if len(values) == 4 and all(isinstance(v, int) for v in values):
            complete += 1
    return complete


def main():
    companies = years = 0
    with zipfile.ZipFile(sys.argv[1]) as archive:
        for name in archive.namelist():
            with archive.open(name) as f:
                n = reports(json.load(f))
            companies += n > 0
            years += n
    print("%d companies, %d reports" % (companies, years))


if __name__ == "__main__":
    main()
