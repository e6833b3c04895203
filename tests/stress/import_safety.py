#!/usr/bin/env python3
"""quorvell-import under failure: all or nothing, whatever happens.

Usage: import_safety.py IMPORTER mixed-overwrite|two-importers|signals|flood|
                        hostile [--rounds N]

Every check compares the whole target directory, byte for byte, with the set
of files before the run and with the set an undisturbed run writes: after each
run it must be one of the two, and the exit status must say which. `hostile`
feeds it inputs made to crash, hang or swell it, or to write through a link.
"""

import argparse
import io
import os
import re
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import zipfile

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
    """Every file below `top` with its contents, every directory, and every
    link with where it points (a link is not followed)."""
    files = {}
    for root, dirs, names in os.walk(top):
        for n in dirs + names:
            path = os.path.join(root, n)
            key = os.path.relpath(path, top)
            if os.path.islink(path):
                files[key] = "-> " + os.readlink(path)
            elif n in dirs:
                files[key + "/"] = None
            else:
                with open(path, "rb") as f:
                    files[key] = f.read()
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

# ----------------------------------------------------------------- hostile

GOOD_ROW = "Nord AG;31.12.2020;100;7;300;40;1;1,1\n"
RATES = "Date,USD,JPY,\n2020-12-31,1.2271,126.49,\n"


def sec_json(dei):
    """Company facts with one complete year, and `dei` as the unread dei."""
    def fact(concept, val, start=True):
        entry = {"end": "2020-12-31", "val": val, "accn": "a", "fy": 2020, "fp": "FY",
                 "form": "10-K", "filed": "2021-02-01"}
        if start:
            entry["start"] = "2020-01-01"
        return '"%s":{"units":{"USD":[%s]}}' % (concept, json_text(entry))
    gaap = ",".join([fact("Revenues", 100), fact("NetIncomeLoss", 7),
                     fact("Assets", 300, False), fact("StockholdersEquity", 40, False)])
    return ('{"cik":42,"entityName":"Tief Inc.","facts":{"dei":%s,"us-gaap":{%s}}}'
            % (dei, gaap))


def json_text(value):
    import json
    return json.dumps(value, separators=(",", ":"))


def zip_bytes(members, method=zipfile.ZIP_DEFLATED):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", method) as z:
        for name, data in members:
            z.writestr(name, data)
    return out.getvalue()


def claiming(data, claim):
    """A one-entry zip of `data` whose headers claim `claim` bytes unpacked."""
    raw = bytearray(zip_bytes([("gross.csv", data)]))
    raw[22:26] = claim.to_bytes(4, "little")       # local header
    central = raw.rindex(b"PK\x01\x02")
    raw[central + 24:central + 28] = claim.to_bytes(4, "little")
    return bytes(raw)


MAIN = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"


def xlsx_many_relationships(count, padding):
    """An xlsx whose relationships name one shared-texts part `count` times,
    the part padded with `padding` bytes of blanks."""
    texts = ["Firma", "Datum", "Umsatz", "Gewinn", "Bilanzsumme", "Eigenkapital",
             "EUR-Faktor", "USD-Faktor", "Nord AG"]
    sst = "<sst %s>%s%s</sst>" % (MAIN, " " * padding,
                                  "".join("<si><t>%s</t></si>" % t for t in texts))
    rels = "".join('<Relationship Id="t%d" Type="%s/sharedStrings" Target="sst.xml"/>'
                   % (i, REL) for i in range(count))
    header = "".join('<c t="s"><v>%d</v></c>' % i for i in range(8))
    values = "".join("<c><v>%s</v></c>" % v for v in (44196, 100, 7, 300, 40, 1, 1.1))
    return zip_bytes([
        ("xl/workbook.xml", '<workbook %s xmlns:r="%s"><sheets><sheet name="Daten" '
         'r:id="s1"/></sheets></workbook>' % (MAIN, REL)),
        ("xl/_rels/workbook.xml.rels",
         '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/'
         'relationships"><Relationship Id="s1" Type="%s/worksheet" '
         'Target="sheet.xml"/>%s</Relationships>' % (REL, rels)),
        ("xl/sst.xml", sst),
        ("xl/sheet.xml", '<worksheet %s><sheetData><row>%s</row><row><c t="s"><v>8</v>'
         '</c>%s</row></sheetData></worksheet>' % (MAIN, header, values))])


def ods_amplified_blanks(cells):
    """An ods whose number cells each hold a paragraph of 64 MiB of blanks."""
    blanks = '<text:p><text:s text:c="67108863"/></text:p>'
    number = ('<t:table-cell office:value-type="float" office:value="%s">%s'
              '</t:table-cell>')
    text = '<t:table-cell office:value-type="string"><text:p>%s</text:p></t:table-cell>'
    head = "".join(text % h for h in ("Firma", "Datum", "Umsatz", "Gewinn", "Bilanzsumme",
                                      "Eigenkapital", "EUR-Faktor", "USD-Faktor"))
    row = (text % "Nord AG" + "".join(number % (v, blanks) for v in
                                     (44196, 100, 7, 300, 40, 1, 1.1)) +
           "".join(number % (1, blanks) for _ in range(cells - 7)))
    content = ('<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:'
               'xmlns:office:1.0" xmlns:t="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
               'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body>'
               '<office:spreadsheet><t:table t:name="Daten"><t:table-row>%s</t:table-row>'
               '<t:table-row>%s</t:table-row></t:table></office:spreadsheet></office:body>'
               '</office:document-content>' % (head, row))
    return zip_bytes([("mimetype", "application/vnd.oasis.opendocument.spreadsheet"),
                      ("content.xml", content)])


def blank_lines(n):
    return HEADER + GOOD_ROW + "\n" * n


def plant(target, name, kind, root):
    """`target`/`name` made a link to a directory elsewhere, a dangling link
    or a regular file."""
    path = os.path.join(target, name) if name else target
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if kind == "link":
        os.makedirs(os.path.join(root, "elsewhere"), exist_ok=True)
        os.symlink(os.path.join(root, "elsewhere"), path)
    elif kind == "dangling":
        os.symlink(os.path.join(root, "nowhere"), path)
    else:
        write(path, "")


# What each input is: the files it makes (name: bytes), what is planted in
# the target before the run, the extra arguments, and the exit status and a
# part of the messages expected. A status of 0 must write one company.
HOSTILE = [
    ("JSON 100,000 levels deep, passed over",
     {"tief.json": sec_json("[" * 100000 + "]" * 100000)}, None, [], 1,
     # The top level is 1, "facts" 2: the 999th "[" opens the 1001st.
     "tief.json:1:1049: JSON fehlerhaft: mehr als 1000 Ebenen tief"),
    ("100,000 unclosed [", {"offen.json": "[" * 100000}, None, [], 1,
     "offen.json:1:1001: JSON fehlerhaft: mehr als 1000 Ebenen tief"),
    ("CSV, 200,000 blank lines", {"leer.csv": blank_lines(200000)}, None, [], 0, ""),
    ("xlsx, 19,999 relationships to one padded part",
     {"viele.xlsx": xlsx_many_relationships(19999, 20 << 20)}, None, [], 0, ""),
    ("ods, 1,000 number cells of 64 MiB blanks",
     {"blanks.ods": ods_amplified_blanks(1000)}, None, [], 0, ""),
    ("zip entry claiming 1 GiB - 1",
     {"bombe.zip": claiming(b"x", (1 << 30) - 1)}, None, [], 1,
     "bombe.zip:gross.csv ist ausgepackt 1073741823 Bytes gross, mehr als das "
     "200-Fache seiner 3 gepackten Bytes"),
    ("zip entry of 300 MiB blank lines",
     {"leer.zip": zip_bytes([("leer.csv", blank_lines(300 << 20))])}, None, [], 1,
     "-Fache seiner"),
    ("planted ZIEL/data link", {"t.csv": HEADER + GOOD_ROW}, ("data", "link"), [], 1,
     "/data ist ein symbolischer Link, erwartet ein Verzeichnis; nichts geschrieben"),
    ("planted ZIEL/config link", {"t.csv": HEADER + GOOD_ROW}, ("config", "link"), [], 1,
     "/config ist ein symbolischer Link, erwartet ein Verzeichnis"),
    ("planted journal link", {"t.csv": HEADER + GOOD_ROW},
     ("config/.quorvell-import.journal", "dangling"), [], 1,
     "journal ist ein symbolischer Link, erwartet eine Datei von quorvell-import"),
    ("planted lock link", {"t.csv": HEADER + GOOD_ROW},
     (".quorvell-import.lock", "dangling"), [], 1,
     "lock ist ein symbolischer Link, erwartet eine Datei von quorvell-import"),
    ("ZIEL/data a file", {"t.csv": HEADER + GOOD_ROW}, ("data", "file"), [], 1,
     "/data ist eine Datei, kein Verzeichnis; nichts geschrieben"),
    ("target a dangling link", {"t.csv": HEADER + GOOD_ROW}, ("", "dangling"), [], 1,
     " ist ein symbolischer Link auf nichts, erwartet ein Verzeichnis"),
    ("subnormal rate",
     {"t.csv": HEADER.replace("EUR-Faktor;USD-Faktor", "Waehrung") +
      "Nord AG;31.12.2020;100;7;300;40;JPY\n",
      "kurse.csv": RATES.replace("126.49", "1e-320")}, None, ["--kurse", "kurse.csv"], 1,
     "kurse.csv:2: Spalte \"JPY\": \"1e-320\" am 2020-12-31 ist zu klein fuer einen "
     "endlichen Faktor"),
    ("name of 2,000 bytes", {"t.csv": HEADER + "N" * 2000 + GOOD_ROW[7:]}, None, [], 1,
     "ist 2000 Bytes lang, erwartet einen Namen von hoechstens 1000 Bytes"),
]


def hostile(importer, root, _args):
    """Inputs made to crash the importer, hang it, swell it or have it write
    outside its target: each ends in time and in little memory with its
    error and nothing written, or with its correct import. Blank lines cost
    each the same: 200,000 take no more than 30 times as long as 20,000."""
    slow = sanitized(importer)
    limits = {} if slow else {resource.RLIMIT_AS: 1 << 30}
    failures = []
    for n, (what, files, planted, extra, want, message) in enumerate(HOSTILE):
        case = os.path.join(root, str(n))
        for name, data in files.items():
            write(os.path.join(case, name), data)
        target = os.path.join(case, "ziel")
        if planted:
            plant(target, planted[0], planted[1], case)
        before = snapshot(case)
        sources = [os.path.join(case, name) for name in files if name != "kurse.csv"]
        args = [a if a != "kurse.csv" else os.path.join(case, a) for a in extra]
        began = time.monotonic()
        status, err = run(importer, args + sources + [target], what, limits)
        took = time.monotonic() - began
        after = snapshot(case)
        wrote = sorted(set(after) - set(before))
        if want == 0:
            ok = status == 0 and "1 Firma mit 1 Bericht geschrieben" in err
        else:
            ok = status == want and message in err and after == before
        ok = ok and took < (TIMEOUT if slow else 5)
        print("%s %-45s %.2f s, status %d: %s" % (
            "ok  " if ok else "FAIL", what, took, status,
            (err.strip().splitlines() or [""])[0][:150]))
        if not ok:
            failures.append("%s: status %d after %.1f s, wrote %s\n%s" % (
                what, status, took, wrote[:3], err[:600]))
    ratio = blank_ratio(importer, root)
    print("%s 200,000 blank lines take %.1f times as long as 20,000" % (
        "ok  " if ratio < 30 else "FAIL", ratio))
    if ratio >= 30:
        failures.append("blank lines cost more the more there are: %.1f" % ratio)
    if failures:
        raise Failure("\n".join(failures))


def blank_ratio(importer, root):
    """The best of three runs over 200,000 blank lines against the best of
    three over 20,000."""
    best = {}
    for n in (20000, 200000):
        path = os.path.join(root, "leer%d.csv" % n)
        write(path, blank_lines(n))
        times = []
        for r in range(3):
            target = os.path.join(root, "leer%d_%d" % (n, r))
            began = time.monotonic()
            run(importer, [path, target], "blank lines")
            times.append(time.monotonic() - began)
        best[n] = min(times)
    return best[200000] / best[20000]


CHECKS = {"mixed-overwrite": mixed_overwrite, "two-importers": two_importers,
          "signals": signals, "flood": flood, "hostile": hostile}


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
