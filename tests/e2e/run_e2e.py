#!/usr/bin/env python3
"""End-to-end tests: runs quorvell on scripted input and compares its output.

Usage: run_e2e.py BINARY CASES_DIR [CASE_NAME ...]

A case is a directory under CASES_DIR:
  about        one line saying which behaviour the case checks
  fixture      optional: one line naming a shared data set, the directory
               FIXTURES_DIR/<name> (config/index.txt, data/), which is copied
               into a fresh temporary directory, the program's working
               directory; FIXTURES_DIR is "fixtures" beside CASES_DIR
  work/        optional: the case's own files, copied into the working
               directory after the fixture (a data set of its own, save.dat)
  import       optional: the arguments of quorvell-import, split as a shell
               would; it runs in the working directory before run 1 and must
               exit with status 0. "{examples}" in them stands for the
               project's examples/ directory. It is looked up beside BINARY;
               where it was not built, the case is skipped.
  import.out   optional: expected standard output of the import
  import.err   optional: expected standard error of the import, with
               "{examples}" for the path of examples/
  runN.in      standard input of run N (N = 1, 2, ...), byte for byte
  runN.out     expected standard output of run N, byte for byte
  runN.err     optional: expected standard error of run N
  after/       optional: files expected in the working directory after the
               last run, compared byte for byte
  check.py     optional: a Python script run after every run N as
               "check.py WORKDIR N" for files no byte comparison fits (the
               picture); it passes with exit status 0 and otherwise says why
All runs of a case share one working directory. Every run must exit with
status 0 within the time limit. The day count of the detail view depends on
today's date, so the number in every line "Tage bis zum naechsten Report: N"
of the actual output is replaced by "<TAGE>" before comparing.
"""

import difflib
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

TIME_LIMIT = 20  # seconds per run
TAGE_LINE = re.compile(rb"^(Tage bis zum naechsten Report: )-?[0-9][0-9.,]*", re.M)


def mask_days(data):
    return TAGE_LINE.sub(rb"\1<TAGE>", data)


def visible(line):
    """One output line with its invisible parts shown: \\r, \\t and a "$"
    where the line ends, so trailing blanks can be seen."""
    text = line.decode("utf-8", "backslashreplace")
    if text.endswith("\n"):
        text = text[:-1] + "$"
    else:
        text += " [no line end]"
    return text.replace("\r", "\\r").replace("\t", "\\t")


def diff_text(expected, actual, name):
    lines = difflib.unified_diff(
        [visible(l) for l in expected.splitlines(keepends=True)],
        [visible(l) for l in actual.splitlines(keepends=True)],
        "expected/" + name, "actual/" + name, n=3, lineterm="")
    return "\n".join(lines)


def numbered_runs(case_dir):
    """The run numbers of a case, 1..k; None if they are not contiguous."""
    numbers = sorted(int(m.group(1)) for m in
                     (re.fullmatch(r"run(\d+)\.in", f) for f in os.listdir(case_dir))
                     if m)
    return numbers if numbers == list(range(1, len(numbers) + 1)) else None


def read(path):
    with open(path, "rb") as f:
        return f.read()


def run_import(binary, case_dir, workdir):
    """Runs quorvell-import as the case's file "import" says; returns a list
    of failure descriptions."""
    importer = os.path.join(os.path.dirname(binary), "quorvell-import")
    examples = os.path.abspath(os.path.join(case_dir, os.pardir, os.pardir, os.pardir,
                                            os.pardir, "examples"))
    args = [a.replace("{examples}", examples)
            for a in shlex.split(read(os.path.join(case_dir, "import")).decode())]
    try:
        proc = subprocess.run([importer] + args, cwd=workdir, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=TIME_LIMIT)
    except (OSError, subprocess.TimeoutExpired) as e:
        return ["import failed: %s" % e]
    failures = []
    if proc.returncode != 0:
        failures.append("import exited with status %d\nstderr:\n%s" % (
            proc.returncode, proc.stderr.decode("utf-8", "replace")))
    for name, actual in (("import.out", proc.stdout), ("import.err", proc.stderr)):
        actual = actual.replace(examples.encode(), b"{examples}")
        expected_path = os.path.join(case_dir, name)
        if os.path.exists(expected_path) and actual != read(expected_path):
            failures.append(diff_text(read(expected_path), actual, name))
    return failures


def run_check(case_dir, workdir, n):
    """Runs the case's check.py after run n; returns a list of failures."""
    script = os.path.join(case_dir, "check.py")
    if not os.path.exists(script):
        return []
    proc = subprocess.run([sys.executable, script, workdir, str(n)],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          timeout=TIME_LIMIT)
    if proc.returncode == 0:
        return []
    return ["check.py after run%d:\n%s" % (n, proc.stdout.decode("utf-8", "replace"))]


def needs_missing_importer(binary, case_dir):
    return (os.path.exists(os.path.join(case_dir, "import")) and
            not os.path.exists(os.path.join(os.path.dirname(binary), "quorvell-import")))


def run_case(binary, case_dir):
    """Runs one case; returns a list of failure descriptions (empty: passed)."""
    runs = numbered_runs(case_dir)
    if not runs:
        return ["no runs, or run numbers not contiguous (run1.in, run2.in, ...)"]
    failures = []
    workdir = tempfile.mkdtemp(prefix="quorvell_e2e_")
    fixture = os.path.join(case_dir, "fixture")
    if os.path.exists(fixture):
        name = read(fixture).decode().strip()
        fixtures = os.path.join(os.path.dirname(os.path.abspath(case_dir)),
                                os.pardir, "fixtures")
        source = os.path.join(fixtures, name)
        if not os.path.isdir(source):
            return ["fixture %r not found in %s" % (name, fixtures)]
        shutil.copytree(source, workdir, dirs_exist_ok=True)
    if os.path.isdir(os.path.join(case_dir, "work")):
        shutil.copytree(os.path.join(case_dir, "work"), workdir, dirs_exist_ok=True)
    if os.path.exists(os.path.join(case_dir, "import")):
        failures += run_import(binary, case_dir, workdir)
    for n in runs:
        stem = os.path.join(case_dir, "run%d" % n)
        if not os.path.exists(stem + ".out"):
            failures.append("run%d.out is missing" % n)
            break
        try:
            proc = subprocess.run([binary], cwd=workdir, input=read(stem + ".in"),
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                  timeout=TIME_LIMIT)
        except subprocess.TimeoutExpired:
            failures.append("run%d did not end within %d seconds" % (n, TIME_LIMIT))
            break
        except OSError as e:
            failures.append("run%d could not be started: %s" % (n, e))
            break
        if proc.returncode != 0:
            failures.append("run%d exited with status %d\nstderr:\n%s" % (
                n, proc.returncode, proc.stderr.decode("utf-8", "replace")))
        actual = mask_days(proc.stdout)
        expected = read(stem + ".out")
        if actual != expected:
            failures.append(diff_text(expected, actual, "run%d.out" % n))
        if os.path.exists(stem + ".err") and proc.stderr != read(stem + ".err"):
            failures.append(diff_text(read(stem + ".err"), proc.stderr, "run%d.err" % n))
        failures += run_check(case_dir, workdir, n)
    after = os.path.join(case_dir, "after")
    if os.path.isdir(after):
        for root, _, files in os.walk(after):
            for f in sorted(files):
                rel = os.path.relpath(os.path.join(root, f), after)
                target = os.path.join(workdir, rel)
                if not os.path.isfile(target):
                    failures.append("after/%s: not written" % rel)
                elif read(target) != read(os.path.join(after, rel)):
                    failures.append(diff_text(read(os.path.join(after, rel)),
                                              read(target), rel))
    if failures:
        failures.append("working directory kept: " + workdir)
    else:
        shutil.rmtree(workdir)
    return failures


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    binary = os.path.abspath(argv[1])
    cases_dir = argv[2]
    names = argv[3:] or sorted(d for d in os.listdir(cases_dir)
                               if os.path.isdir(os.path.join(cases_dir, d)))
    passed = failed = skipped = 0
    for name in names:
        case_dir = os.path.join(cases_dir, name)
        if os.path.isdir(case_dir) and needs_missing_importer(binary, case_dir):
            skipped += 1
            print("skip %s (quorvell-import not built)" % name)
            continue
        failures = (run_case(binary, case_dir) if os.path.isdir(case_dir)
                    else ["no such case"])
        if failures:
            failed += 1
            print("FAIL %s" % name)
            for f in failures:
                print("  " + f.replace("\n", "\n  "))
        else:
            passed += 1
            print("ok   %s" % name)
    print("%d passed, %d failed" % (passed, failed) +
          (", %d skipped" % skipped if skipped else ""))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
