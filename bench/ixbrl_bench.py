#!/usr/bin/env python3
"""quorvell-import on one large inline XBRL report against the same
selection in Python (ixbrl_select.py, xml.etree's iterparse over expat).

Usage: ixbrl_bench.py IMPORTER [--mb 30] [--runs 3]

The report is Apple's 10-K of examples/quellen/ixbrl/ with its body repeated
until it is about --mb megabytes, each copy with fresh ids for its contexts,
units, facts and continuations, so that every copy is new to the reader (an
ESEF report runs to 30 MB). Prints the best times and peak memories beside
the targets: the importer at least 10 times faster, its memory a few MB above
the document it holds (it streams the document, so that its memory does not
grow with it).
"""

import argparse
import multiprocessing
import os
import re
import shutil
import sys

from import_bench import HERE, RATES, ROOT, timed

APPLE = os.path.join(ROOT, "examples", "quellen", "ixbrl", "apple-10k-2025.htm")
REFERENCE = re.compile(
    r'\b(id|contextRef|unitRef|continuedAt|fromRefs|toRefs)="([^"]*)"')


# expat alone over the report, without a handler: the floor of every reader
# that parses it with expat.
EXPAT = ("import sys, xml.parsers.expat\n"
         "p = xml.parsers.expat.ParserCreate(namespace_separator=' ')\n"
         "p.ParseFile(open(sys.argv[1], 'rb'))\n")


def generate(path, megabytes):
    """Writes the large report to `path` once, in a child process (a child's
    peak memory starts from its parent's); returns its size."""
    if not os.path.exists(path):
        child = multiprocessing.get_context("fork").Process(
            target=write_report, args=(path, megabytes))
        child.start()
        child.join()
        if child.exitcode != 0:
            sys.exit("generating %s failed" % path)
    return os.path.getsize(path)


def write_report(path, megabytes):
    with open(APPLE, encoding="ascii") as f:
        text = f.read()
    start = text.index("<body>") + len("<body>")
    end = text.rindex("</body>")
    parts, size, copy = [text[:start]], start, 0
    while size < megabytes * 1000000:
        body = REFERENCE.sub(
            lambda m: '%s="%s"' % (m.group(1), " ".join(
                "%s-k%d" % (ref, copy) for ref in m.group(2).split())),
            text[start:end])
        parts.append(body)
        size += len(body)
        copy += 1
    parts.append(text[end:])
    with open(path + ".tmp", "w", encoding="ascii") as f:
        f.write("".join(parts))
    os.replace(path + ".tmp", path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("importer")
    parser.add_argument("--mb", type=int, default=30)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    out = os.path.join(HERE, "out", "ixbrl")
    os.makedirs(out, exist_ok=True)
    report = os.path.join(out, "apple-%dmb.htm" % args.mb)
    size = generate(report, args.mb)
    importer = os.path.abspath(args.importer)
    target = os.path.join(out, "ziel")
    best_import = best_python = best_expat = None
    for _ in range(args.runs):
        shutil.rmtree(target, ignore_errors=True)
        run = timed([importer, "--kurse", RATES, report, target], out)
        best_import = min(best_import or run, run)
        run = timed([sys.executable, os.path.join(HERE, "ixbrl_select.py"),
                     report], out)
        best_python = min(best_python or run, run)
        run = timed([sys.executable, "-c", EXPAT, report], out)
        best_expat = min(best_expat or run, run)
    shutil.rmtree(target, ignore_errors=True)
    mb = 1 << 20
    ratio = best_python[0] / best_import[0]
    limit = size + 16 * mb
    print("inline XBRL: one report of %.1f MB (Apple's 10-K body repeated), "
          "best of %d runs" % (size / mb, args.runs))
    print("  quorvell-import   %6.2f s  peak %6.1f MB   %s" % (
        best_import[0], best_import[1] / mb,
        best_import[3].strip().splitlines()[-1]))
    print("  Python iterparse  %6.2f s  peak %6.1f MB   %s" % (
        best_python[0], best_python[1] / mb, best_python[2].strip()))
    print("floor:")
    print("  expat alone       %6.2f s               Python's pyexpat, no "
          "handler" % best_expat[0])
    print("targets:")
    print("  speed: %.1fx faster (target >= 10x) %s" % (
        ratio, "ok" if ratio >= 10 else "MISSED"))
    print("  memory: %.1f MB, limit the report + 16 MB = %.1f MB %s" % (
        best_import[1] / mb, limit / mb,
        "ok" if best_import[1] <= limit else "MISSED"))


if __name__ == "__main__":
    main()
