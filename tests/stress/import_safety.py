#!/usr/bin/env python3
"""quorvell-import under failure: all or nothing, whatever happens.

Usage: import_safety.py IMPORTER mixed-overwrite|two-importers|signals|flood
                        [--rounds N]

Every check compares the whole target directory, byte for byte, with the set
of files before the run and with the set an undisturbed run writes: after each
run it must be one of the two, and the exit status must say which.
"""

import argparse
import os
import re
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TIMEOUT = 20  # seconds; a run that does not end has hung
HEADER = "Firma;Datum;Umsatz;Gewinn;Bilanzsumme;Eigenkapital;EUR-Faktor;USD-Faktor\n"
LEFTOVER = re.compile(r"\.[0-9a-f]{16}\.tmp$")  # what only kill -9 may leave


class Failure(Exception):
    pass


def csv_text(names, seed, years=3):
    """One row per company and year; `seed` varies every figure."""
    rows = [HEADER]
    for i, name in enumerate(names):
        for k in range(years):
            rows.append("%s;31.12.%d;%d;%d;%d;%d;1;1,%02d\n" % (
                name, 2020 - k, seed * 1000 + i, seed - i, 5000 + i, 900 + k, seed % 90))
    return "".join(rows)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data.encode() if isinstance(data, str) else data)


def snapshot(top):
    """Every file below `top` with its contents, and every directory."""
    files = {}
    for root, dirs, names in os.walk(top):
        for d in dirs:
            files[os.path.relpath(os.path.join(root, d), top) + "/"] = None
        for n in names:
            with open(os.path.join(root, n), "rb") as f:
                files[os.path.relpath(os.path.join(root, n), top)] = f.read()
    return files


def describe(actual, expected):
    """What tells `actual` from `expected`, in a line."""
    if expected is None:
        return "no undisturbed run to compare with"
    extra = sorted(set(actual) - set(expected))
    missing = sorted(set(expected) - set(actual))
    changed = sorted(k for k in set(actual) & set(expected) if actual[k] != expected[k])
    return "%d extra %s, %d missing %s, %d changed %s" % (
        len(extra), extra[:3], len(missing), missing[:3], len(changed), changed[:3])


def start(importer, args, limits=None):
    def preexec():
        for what, value in (limits or {}).items():
            resource.setrlimit(what, (value, value))
    return subprocess.Popen([importer] + args, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            preexec_fn=preexec)


def finish(proc, tag):
    try:
        out, err = proc.communicate(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.communicate()
        raise Failure("%s: did not end within %d s" % (tag, TIMEOUT)) from None
    if re.search(rb"AddressSanitizer|LeakSanitizer|runtime error", err):
        raise Failure("%s: sanitizer report:\n%s" % (tag, err.decode(errors="replace")))
    return proc.returncode, err.decode(errors="replace")


def run(importer, args, tag, limits=None):
    return finish(start(importer, args, limits), tag)


def sanitized(importer):
    with open(importer, "rb") as f:
        return b"__asan_init" in f.read()


class Sets:
    """The snapshots of a target holding the old set (none: no target), and
    of the same after an undisturbed run of `args` with the new table (None
    when that run fails)."""

    def __init__(self, importer, root, old_csv, new_csv, args):
        self.importer, self.root = importer, root
        self.old_csv = old_csv and os.path.join(root, "old.csv")
        self.new_csv = os.path.join(root, "new.csv")
        if old_csv:
            write(self.old_csv, old_csv)
        write(self.new_csv, new_csv)
        self.before = self.fresh("reference")
        status, _ = run(importer, args + [self.new_csv, self.target("reference")],
                        "undisturbed run")
        self.after = snapshot(self.target("reference")) if status == 0 else None

    def target(self, name):
        return os.path.join(self.root, name)

    def fresh(self, name):
        """The target `name` made anew with the old set; its snapshot."""
        shutil.rmtree(self.target(name), ignore_errors=True)
        if self.old_csv:
            status, err = run(self.importer, [self.old_csv, self.target(name)], "old set")
            if status != 0:
                raise Failure("old set: status %d\n%s" % (status, err))
        return snapshot(self.target(name))

    def outcome(self, name, status, err, tag):
        """"old" or "new" as the target holds; fails unless the status says
        the same (1 old, 0 new)."""
        now = snapshot(self.target(name))
        state = "old" if now == self.before else "new" if now == self.after else None
        if state is None or status != {"old": 1, "new": 0}[state]:
            raise Failure("%s: status %s, target a mix (old: %s; new: %s)\n%s" % (
                tag, status, describe(now, self.before), describe(now, self.after), err))
        return state


# --------------------------------------------------------- mixed overwrite

def mixed_overwrite(importer, root, _args):
    """A failed --ueberschreiben of replaced and new files leaves the old set:
    a byte-order mark that only the read-back would notice, and a disk that
    fills (a file size limit) in the middle of the run. A failed first import
    leaves not even the directories it made."""
    old = ["Firma %d" % i for i in range(200)]
    new = old[::2] + ["Neu %d" % i for i in range(100)]
    full = (csv_text(new[:150], 2) + csv_text(["Gross AG"], 3, 1000)[len(HEADER):] +
            csv_text(new[150:], 2)[len(HEADER):])
    small_file = {resource.RLIMIT_FSIZE: 32 << 10}
    cases = [
        ("byte-order mark", csv_text(["Alpha", "Beta"], 1),
         csv_text(["Alpha", "\ufeffBeta"], 2), {}, "Byte-Order-Markierung"),
        ("full disk", csv_text(old, 1), full, small_file, "(Datei zu gross)"),
        ("full disk, first import", None, full, small_file, "(Datei zu gross)")]
    for n, (what, old_csv, new_csv, limits, reason) in enumerate(cases):
        sets = Sets(importer, os.path.join(root, str(n)), old_csv, new_csv, ["--ueberschreiben"])
        sets.fresh("t")
        target = os.path.join(sets.target("t"), "neu") if old_csv is None else sets.target("t")
        status, err = run(importer, ["--ueberschreiben", sets.new_csv, target], what, limits)
        if (sets.outcome("t", status, err, what) != "old" or reason not in err or
                (old_csv is None and os.path.exists(target))):
            raise Failure("%s: expected a refusal naming %r, and %s as before:\n%s" % (
                what, reason, target, err))
        print("ok   %s: %s" % (what, err.strip().splitlines()[0]))


# ----------------------------------------------------------- two importers

def two_importers(importer, root, args):
    """Two importers of different tables into one directory at about the same time:
    afterwards the directory holds exactly one table's files, and only the
    importer whose table it is reports success (with --ueberschreiben both may,
    one after the other)."""
    names = ["Firma %d" % i for i in range(1000)]
    mixes = 0
    seen = {}
    for overwrite in (False, True):
        flag = ["--ueberschreiben"] if overwrite else []
        sets = {}
        began = time.monotonic()
        for seed in (1, 2):
            sets[seed] = Sets(importer, os.path.join(root, "%d%d" % (overwrite, seed)),
                              None, csv_text(names, seed), flag)
        took = (time.monotonic() - began) / 2
        for r in range(args.rounds):
            target = os.path.join(root, "t%d%d" % (overwrite, r))
            # Together, a little apart, or one after the other.
            procs = {}
            for seed, s in sets.items():
                procs[seed] = start(importer, flag + [s.new_csv, target])
                time.sleep(took * (0, 0.5, 3)[r % 3] * (seed == 1))
            results = {seed: finish(p, "importer %d" % seed) for seed, p in procs.items()}
            now = snapshot(target)
            holds = [seed for seed, s in sets.items() if now == s.after]
            ok = [seed for seed, (status, _) in results.items() if status == 0]
            truthful = (len(holds) == 1 and holds[0] in ok and
                        (overwrite or len(ok) == 1) and
                        all(status in (0, 1) for status, _ in results.values()))
            if not truthful:
                mixes += 1
                print("FAIL round %d%s: statuses %s, target %s" % (
                    r, " --ueberschreiben" if overwrite else "",
                    {s: st for s, (st, _) in results.items()},
                    "from table %d" % holds[0] if holds else
                    "a mix (%s)" % describe(now, sets[1].after)))
                continue
            losers = ["locked out" if "schreibt gerade" in err else "files exist"
                      if "gibt es schon" in err else "other"
                      for st, err in results.values() if st != 0]
            key = ("overwrite: " if overwrite else "") + "%d ok, %s" % (
                len(ok), "+".join(losers) or "none failed")
            seen[key] = seen.get(key, 0) + 1
            shutil.rmtree(target)
    print("%d rounds each way; outcomes %s; mixes or untrue statuses: %d" % (
        args.rounds, seen, mixes))
    if mixes:
        raise Failure("a mix, or a status that does not tell the truth")


# ----------------------------------------------------------------- signals

def signals(importer, root, _args):
    """SIGTERM, SIGHUP and SIGINT at points through a mixed --ueberschreiben
    leave the old set and status 1, or the new set and status 0; kill -9
    leaves at most a temporary file, and the next run puts the new set in
    place."""
    old = ["Firma %d" % i for i in range(400)]
    new = old[::2] + ["Neu %d" % i for i in range(200)]
    sets = Sets(importer, root, csv_text(old, 1), csv_text(new, 2), ["--ueberschreiben"])
    sets.fresh("t")
    began = time.monotonic()
    run(importer, ["--ueberschreiben", sets.new_csv, sets.target("t")], "timing run")
    took = time.monotonic() - began
    seen = {}
    for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT, signal.SIGKILL):
        for fraction in (0.1, 0.5, 0.8, 0.95):
            tag = "%s at %.0f%%" % (sig.name, fraction * 100)
            sets.fresh("t")
            proc = start(importer, ["--ueberschreiben", sets.new_csv, sets.target("t")])
            time.sleep(took * fraction)
            proc.send_signal(sig)
            status, err = finish(proc, tag)
            if status == -sig and sig != signal.SIGKILL:
                # Still starting up, before main() could catch it: nothing
                # may have been written.
                state = sets.outcome("t", 1, err, tag) + ", before main()"
            elif sig != signal.SIGKILL:
                state = sets.outcome("t", status, err, tag)
                if state == "old" and "durch ein Signal abgebrochen" not in err:
                    raise Failure("%s: no word of the signal:\n%s" % (tag, err))
            else:
                state = recovered(importer, sets, tag)
            seen[state] = seen.get(state, 0) + 1
    print("ok   %d signals after %.2f s runs; outcomes %s" % (
        sum(seen.values()), took, seen))


def recovered(importer, sets, tag):
    """After kill -9: the next run puts the new set in place; what it found."""
    status, err = run(importer, ["--ueberschreiben", sets.new_csv, sets.target("t")],
                      tag + ", next run")
    now = snapshot(sets.target("t"))
    stray = [k for k in set(now) - set(sets.after) if not LEFTOVER.search(k)]
    rest = {k: v for k, v in now.items() if k in sets.after}
    if status != 0 or stray or rest != sets.after or len(now) - len(rest) > 1:
        raise Failure("%s, next run: status %d, %s\n%s" % (
            tag, status, describe(now, sets.after), err))
    return ("killed, completed" if "schon ganz geschrieben" in err else
            "killed, put back" if "wiederhergestellt" in err else "killed early")


# ------------------------------------------------------------------- flood

def flood(importer, root, _args):
    """A table of nothing but separators is refused at once, in little
    memory, with a short message."""
    path = os.path.join(root, "flood.csv")
    write(path, ";" * (60 << 20))
    # AddressSanitizer reserves far more address space than any limit allows.
    slow = sanitized(importer)
    limits = {} if slow else {resource.RLIMIT_AS: 600 << 20}
    began = time.monotonic()
    status, err = run(importer, [path, os.path.join(root, "t")], "flood", limits)
    took = time.monotonic() - began
    if (status != 1 or "die Kopfzeile hat 62914561 Spalten" not in err or
            len(err) > 1000 or took > (15 if slow else 5) or
            os.path.exists(os.path.join(root, "t"))):
        raise Failure("flood: status %d after %.1f s, %d bytes of messages: %s" % (
            status, took, len(err), err[:300]))
    print("ok   %d MiB of separators: %.2f s, %s" % (60, took, err.strip()))


CHECKS = {"mixed-overwrite": mixed_overwrite, "two-importers": two_importers,
          "signals": signals, "flood": flood}


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("importer")
    ap.add_argument("check", choices=sorted(CHECKS))
    ap.add_argument("--rounds", type=int, default=3)
    args = ap.parse_args()
    root = tempfile.mkdtemp(prefix="quorvell_import_")
    try:
        CHECKS[args.check](os.path.abspath(args.importer), root, args)
    except Failure as e:
        print("FAIL %s: %s\n  kept: %s" % (args.check, e, root))
        return 1
    shutil.rmtree(root)
    return 0


if __name__ == "__main__":
    sys.exit(main())
