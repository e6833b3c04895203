#!/usr/bin/env python3
"""Speed and memory of quorvell-import on a bulk archive of SEC company facts.

Usage: import_bench.py IMPORTER [--files 2000] [--runs 3]

Generates once, into bench/out/quellen/ (not committed), companyfacts.zip as
the SEC publishes it: one minified file per company, made from the sample
examples/quellen/sec/CIK0001640147.json with another CIK, name and values,
and one large filer of about 40 MB (the sample's concepts many times over
under other names, which the import passes over). Then, side by side:
  quorvell-import  the archive into a fresh directory, factors from the ECB
                   rates of examples/quellen/ecb/eurofxref-hist.zip
  sec_select.py    the same selection in Python with json.load
Wall time and peak memory (from wait4) of each, the best of the runs; the
targets: the importer at least 10x faster, its peak memory at most twice the
largest file plus the output it holds (the data files it writes).
"""

import argparse
import copy
import json
import os
import shutil
import subprocess
import sys
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
SAMPLE = os.path.join(ROOT, "examples", "quellen", "sec", "CIK0001640147.json")
RATES = os.path.join(ROOT, "examples", "quellen", "ecb", "eurofxref-hist.zip")
READ = {"RevenueFromContractWithCustomerExcludingAssessedTax", "NetIncomeLoss",
        "ProfitLoss", "Assets", "StockholdersEquity",
        "StockholdersEquityIncludingPortionAttributableToNoncontrollingInterest"}


def company(sample, number):
    doc = copy.deepcopy(sample)
    doc["cik"] = 1000000 + number
    doc["entityName"] = "BENCH COMPANY %d INC." % number
    for concept, facts in doc["facts"]["us-gaap"].items():
        if concept not in READ:
            continue
        for entries in facts["units"].values():
            for e in entries:
                e["val"] = e["val"] + number * 1000
    return doc


def large_filer(sample, copies):
    doc = copy.deepcopy(sample)
    doc["cik"] = 999
    doc["entityName"] = "BENCH LARGE FILER CORP."
    gaap = doc["facts"]["us-gaap"]
    for concept, facts in list(gaap.items()):
        for k in range(copies):
            gaap["%sCopy%d" % (concept, k)] = facts
    return doc


def generate(out, files):
    archive = os.path.join(out, "companyfacts.zip")
    stamp = os.path.join(out, "params")
    params = "%d files" % files
    if os.path.exists(stamp) and open(stamp).read() == params:
        return archive
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    with open(SAMPLE) as f:
        sample = json.load(f)
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        for n in range(files):
            doc = large_filer(sample, 30) if n == files // 2 else company(sample, n)
            z.writestr("CIK%010d.json" % doc["cik"],
                       json.dumps(doc, separators=(",", ":")))
    with open(stamp, "w") as f:
        f.write(params)
    return archive


def timed(argv, cwd):
    """Runs argv; returns (wall seconds, peak RSS in bytes, stdout, stderr)."""
    t0 = time.perf_counter()
    proc = subprocess.Popen(argv, cwd=cwd, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    out, err = proc.stdout.read(), proc.stderr.read()
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - t0
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("%s failed:\n%s" % (argv[0], err.decode()))
    return wall, usage.ru_maxrss * 1024, out.decode(), err.decode()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("importer")
    parser.add_argument("--files", type=int, default=2000)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    out = os.path.join(HERE, "out", "quellen")
    archive = generate(out, args.files)
    with zipfile.ZipFile(archive) as z:
        sizes = [i.file_size for i in z.infolist()]
    target = os.path.join(out, "ziel")
    best_import = best_python = None
    for _ in range(args.runs):
        shutil.rmtree(target, ignore_errors=True)
        run = timed([os.path.abspath(args.importer), "--kurse", RATES, archive,
                     target], out)
        best_import = min(best_import or run, run)
        run = timed([sys.executable, os.path.join(HERE, "sec_select.py"), archive],
                    out)
        best_python = min(best_python or run, run)
    written = sum(os.path.getsize(os.path.join(d, f))
                  for d, _, fs in os.walk(target) for f in fs)
    summary = best_import[3].strip().splitlines()[-1]
    mb = 1 << 20
    limit = 2 * max(sizes) + written
    ratio = best_python[0] / best_import[0]
    print("SEC company facts: %d files, %.0f MB unpacked, largest %.1f MB, "
          "best of %d runs" % (len(sizes), sum(sizes) / mb, max(sizes) / mb,
                               args.runs))
    print("  quorvell-import %7.2f s  peak %6.1f MB   %s" % (
        best_import[0], best_import[1] / mb, summary))
    print("  Python json.load %6.2f s  peak %6.1f MB   %s" % (
        best_python[0], best_python[1] / mb, best_python[2].strip()))
    print("targets:")
    print("  speed: %.1fx faster (target >= 10x) %s" % (
        ratio, "ok" if ratio >= 10 else "MISSED"))
    print("  memory: %.1f MB, limit 2 x %.1f MB + %.1f MB written = %.1f MB %s" % (
        best_import[1] / mb, max(sizes) / mb, written / mb, limit / mb,
        "ok" if best_import[1] <= limit else "MISSED"))


if __name__ == "__main__":
    main()
