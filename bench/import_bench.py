#!/usr/bin/env python3
"""Speed and memory of quorvell-import on a bulk archive of SEC company facts.

Usage: import_bench.py IMPORTER [--files 2000] [--runs 3]

Generates once, into bench/out/quellen/ (not committed), companyfacts.zip as
the SEC publishes it: one minified file per company, made from the sample
examples/quellen/sec/CIK0001640147.json with another CIK, name and values,
one large filer of about 40 MB (the sample's concepts many times over under
other names, which the import passes over), and the real published files of
examples/quellen/ (SEC company facts and xBRL-JSON) as they are, so that
real files are in the mix. Then, side by side:
  quorvell-import  the archive into a fresh directory, factors from the ECB
                   rates of examples/quellen/ecb/eurofxref-hist.zip
  sec_select.py    the same selection in Python with json.load
Wall time and peak memory (from wait4) of each, the best of the runs; the
targets: the importer at least 10x faster, its peak memory at most twice the
largest file plus 10 MB (the document, the parser's index of it, and the
program itself). Each run
of the importer writes into a directory of its own, all removed at the end:
ext4 passes over recently deleted inodes when it makes files, and 2,000
files made right after 2,000 were deleted take it seconds.

Then the floors, to show where the time goes: unpacking the archive alone
with Python's zipfile (zlib, the same inflate the Python script pays for),
and the importer on the same files unpacked once into bench/out/quellen/
entpackt/ (its time without unpacking).
"""

import argparse
import copy
import json
import multiprocessing
import os
import shutil
import subprocess
import sys
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
SAMPLE = os.path.join(ROOT, "examples", "quellen", "sec", "CIK0001640147.json")
# The real published files, put into the archive as they are.
REAL = sorted(os.path.join(ROOT, "examples", "quellen", kind, name)
              for kind in ("sec", "esef")
              for name in os.listdir(os.path.join(ROOT, "examples", "quellen", kind))
              if name.endswith(".json"))
RATES = os.path.join(ROOT, "examples", "quellen", "ecb", "eurofxref-hist.zip")
# Reads every entry of the archive, and nothing else.
UNZIP = ("import sys, zipfile\n"
         "with zipfile.ZipFile(sys.argv[1]) as z:\n"
         "    for name in z.namelist():\n"
         "        z.read(name)\n")
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


def write_archive(out, files):
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    with open(SAMPLE) as f:
        sample = json.load(f)
    with zipfile.ZipFile(os.path.join(out, "companyfacts.zip"), "w",
                         zipfile.ZIP_DEFLATED) as z:
        for n in range(files):
            doc = large_filer(sample, 30) if n == files // 2 else company(sample, n)
            z.writestr("CIK%010d.json" % doc["cik"],
                       json.dumps(doc, separators=(",", ":")))
        for path in REAL:
            z.write(path, os.path.basename(path))
    with zipfile.ZipFile(os.path.join(out, "companyfacts.zip")) as z:
        z.extractall(os.path.join(out, "entpackt"))


def generate(out, files):
    """The archive and its unpacked files, made once. A child process makes
    them: on Linux a child's peak memory (ru_maxrss) starts from the peak of
    the process it was started from, and that should stay small."""
    archive = os.path.join(out, "companyfacts.zip")
    stamp = os.path.join(out, "params")
    params = "%d files and %s, unpacked" % (
        files, ", ".join(os.path.basename(p) for p in REAL))
    if os.path.exists(stamp) and open(stamp).read() == params:
        return archive
    child = multiprocessing.get_context("fork").Process(
        target=write_archive, args=(out, files))
    child.start()
    child.join()
    if child.exitcode != 0:
        sys.exit("generating %s failed" % archive)
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
    unpacked = os.path.join(out, "entpackt")
    with zipfile.ZipFile(archive) as z:
        sizes = [i.file_size for i in z.infolist()]
    importer = os.path.abspath(args.importer)
    targets = os.path.join(out, "ziele")
    shutil.rmtree(targets, ignore_errors=True)
    os.makedirs(targets)
    best_import = best_python = best_unzip = best_dir = None
    for n in range(args.runs):
        target = os.path.join(targets, "archiv%d" % n)
        run = timed([importer, "--kurse", RATES, archive, target], out)
        best_import = min(best_import or run, run)
        run = timed([sys.executable, os.path.join(HERE, "sec_select.py"), archive],
                    out)
        best_python = min(best_python or run, run)
        run = timed([sys.executable, "-c", UNZIP, archive], out)
        best_unzip = min(best_unzip or run, run)
        run = timed([importer, "--kurse", RATES, unpacked,
                     os.path.join(targets, "verzeichnis%d" % n)], out)
        best_dir = min(best_dir or run, run)
    shutil.rmtree(targets, ignore_errors=True)
    summary = best_import[3].strip().splitlines()[-1]
    mb = 1 << 20
    limit = 2 * max(sizes) + 10 * mb
    ratio = best_python[0] / best_import[0]
    print("SEC company facts: %d files (%d of them real), %.0f MB unpacked, "
          "largest %.1f MB, best of %d runs" % (
              len(sizes), len(REAL), sum(sizes) / mb, max(sizes) / mb, args.runs))
    print("  quorvell-import %7.2f s  peak %6.1f MB   %s" % (
        best_import[0], best_import[1] / mb, summary))
    print("  Python json.load %6.2f s  peak %6.1f MB   %s" % (
        best_python[0], best_python[1] / mb, best_python[2].strip()))
    print("floors:")
    print("  unpacking alone  %6.2f s               Python zipfile (zlib)" %
          best_unzip[0])
    print("  quorvell-import  %6.2f s  peak %6.1f MB   the same files unpacked, "
          "read from %s" % (best_dir[0], best_dir[1] / mb,
                            os.path.relpath(unpacked, ROOT)))
    print("targets:")
    print("  speed: %.1fx faster (target >= 10x) %s" % (
        ratio, "ok" if ratio >= 10 else "MISSED"))
    print("  memory: %.1f MB, limit 2 x %.1f MB + 10 MB = %.1f MB %s" % (
        best_import[1] / mb, max(sizes) / mb, limit / mb,
        "ok" if best_import[1] <= limit else "MISSED"))


if __name__ == "__main__":
    main()
