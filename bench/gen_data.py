#!/usr/bin/env python3
"""Writes a large data set for quorvell: OUT_DIR/config/index.txt and OUT_DIR/data/.

Usage: gen_data.py OUT_DIR [--companies 10000] [--reports 20] [--seed S]

Every company gets one report per fiscal year, newest first, with amounts that
grow or shrink around a trend like real ones, some losses, and currency factors
that change a little from year to year. The same seed gives the same files.
"""

import argparse
import os
import random

WORDS = ["Nord", "Süd", "Werk", "Bau", "Energie", "Daten", "Logistik", "Chemie",
         "Stahl", "Textil", "Medien", "Handel", "Bank", "Versicherung", "Maschinen"]
FORMS = ["AG", "GmbH", "SE", "KGaA", "GmbH & Co. KG"]


def company(rng, i, reports):
    name = "%s %s %05d %s" % (rng.choice(WORDS), rng.choice(WORDS), i, rng.choice(FORMS))
    umsatz = rng.randint(10**6, 10**11)
    growth = rng.uniform(-0.05, 0.12)
    month = rng.choice([3, 6, 9, 12])
    day = 31 if month in (3, 12) else 30
    lines = [name]
    for k in range(reports):
        gewinn = int(umsatz * rng.uniform(-0.08, 0.15))
        bilanz = int(umsatz * rng.uniform(0.6, 2.5))
        ek = int(bilanz * rng.uniform(0.05, 0.6))
        eur = 1.0
        usd = round(rng.uniform(1.05, 1.40), 4)
        lines.append("%02d-%02d-%04d %d %d %d %d %s %s" % (
            day, month, 2024 - k,
            umsatz, gewinn, bilanz, ek, eur, usd))
        umsatz = max(1, int(umsatz / (1 + growth + rng.uniform(-0.03, 0.03))))
    return "\n".join(lines) + "\n"


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("out_dir")
    ap.add_argument("--companies", type=int, default=10000)
    ap.add_argument("--reports", type=int, default=20)
    ap.add_argument("--seed", type=int, default=1)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    os.makedirs(os.path.join(a.out_dir, "config"), exist_ok=True)
    os.makedirs(os.path.join(a.out_dir, "data"), exist_ok=True)
    names = []
    for i in range(1, a.companies + 1):
        names.append("c%05d.txt" % i)
        with open(os.path.join(a.out_dir, "data", names[-1]), "w", encoding="utf-8") as f:
            f.write(company(rng, i, a.reports))
    with open(os.path.join(a.out_dir, "config", "index.txt"), "w") as f:
        f.write("\n".join(names) + "\n")


if __name__ == "__main__":
    main()
