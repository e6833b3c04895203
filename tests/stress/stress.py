#!/usr/bin/env python3
"""Random sessions against quorvell on random, partly broken data.

Usage: stress.py BINARY [--runs N] [--seed S] [--keep]

Run i uses the seed S + i and is reproduced alone by --seed S+i --runs 1.
Each run builds a data set in a fresh temporary directory, plays one random
session, sometimes a second one that loads (or refuses) the saved view, often
after damaging save.dat, and finally loads what the last session saved with
"j q". Every program run must exit with status 0 within the time limit and
write no sanitizer report to stderr; tabelle.html must be a
well-formed page of the last table shown, diagramm.svg a well-formed image; a save.dat the program wrote must
load without the "beschaedigt" message and restore the same columns and rows.
"""

import argparse
import html
import multiprocessing
import os
import random
import re
import resource
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

TIMEOUT = 10                 # seconds per program run
MAX_OUTPUT = 64 << 20        # a bigger stdout means a menu that spins
I64_MIN, I64_MAX = -2**63, 2**63 - 1
SANITIZER = re.compile(rb"AddressSanitizer|LeakSanitizer|runtime error")


class Failure(Exception):
    pass


# ---------------------------------------------------------------- data sets

NAME_PARTS = ["Müller", "Söhne", "& Co.", "<Holding>", "AG", "GmbH & Co. KG",
              "Straße", "Ærø", "日本", '"Zitat"', "a<b", "x > y", "&amp;",
              "Ärzte", "Nord", "Süd", "Werk", "Data", "O'Neil", "€uro"]
ODD_NAMES = [b"", b"   ", b"A" * 300, b"Tab\tName", b"Caf\xe9",   # Latin-1
             b"Ende\xc3", b"\x80\x80lose", b"halb\xe2\x82", b"\xff\xfe"]
EXTREMES = [0, 1, -1, 999, 1000, -1000, I64_MAX, I64_MIN, I64_MAX - 1,
            I64_MIN + 1, 2**53 + 1]
FACTORS = ["1.0"] * 6 + ["1.2", "0.85", "1", "0", "-1.5", "1e-300",
                         "4.9e-324", "1e300", "1.7e308", "0.000001", "123456.789"]
BAD_RECORDS = ["31-12-2010 abc 1 2 3 1.0 1.0", "31-12-2010 1 2 3",
               "31-12-2010 1.5 2 3 4 1.0 1.0", "31-12-2010 9223372036854775808 1 2 3 1 1",
               "31-12-2010 1 2 3 4 nan 1", "31-12-2010 1 2 3 4 1 inf", "\x01\x02 garbage",
               "31-12-2010 -0 +5 3 4 1 1", "31-12-2010 1 2 3 4 1,5 1"]
BAD_DATES = ["2014-12-31", "31.12.2014", "xx", "0-0-0", "99-99-9999", "31-02-2015",
             "-5-13-0", "1-1", "29-02-2017", "1-1-99999", "00-00-0000", "7-3-14",
             "1-1--999", "31-12-"]


def company_name(rng):
    if rng.random() < 0.12:
        return rng.choice(ODD_NAMES)
    return " ".join(rng.choice(NAME_PARTS) for _ in range(rng.randint(1, 4))).encode()


def amount(rng):
    r = rng.random()
    if r < 0.08:
        return 0
    if r < 0.16:
        return rng.choice(EXTREMES)
    if r < 0.2:
        return rng.randint(I64_MIN, I64_MAX)
    v = rng.randint(1, 10 ** rng.randint(1, 12))
    return -v if rng.random() < 0.2 else v


def report_lines(rng):
    """1 to 12 records newest first; sometimes same years, odd dates, a bad record."""
    year = rng.choice([rng.randint(1990, 2030), rng.randint(0, 9999)])
    lines = []
    for _ in range(rng.randint(1, 12)):
        if rng.random() < 0.05:
            date = rng.choice(BAD_DATES)
        else:
            fmt = "%d-%d-%d" if rng.random() < 0.3 else "%02d-%02d-%04d"
            date = fmt % (rng.randint(1, 31), rng.randint(1, 12), max(year, 0))
        fields = [date] + [str(amount(rng)) for _ in range(4)]
        fields += [rng.choice(FACTORS), rng.choice(FACTORS)]
        lines.append(rng.choice([" ", "\t", "  "]).join(fields))
        year -= 0 if rng.random() < 0.15 else 1
    if rng.random() < 0.1:
        lines.insert(rng.randint(0, len(lines)), rng.choice(BAD_RECORDS))
    return lines


def write_data_file(rng, path):
    """Writes one company file; returns whether it holds a usable company."""
    kind = rng.random()
    if kind < 0.05:
        return False                                  # missing
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if kind < 0.07:
        os.makedirs(path, exist_ok=True)              # a directory, not a file
        return False
    eol = "\r\n" if rng.random() < 0.05 else "\n"
    with open(path, "wb") as f:
        if kind < 0.10:
            return False                              # empty file
        f.write(company_name(rng))
        if kind < 0.13:
            return False                              # name only
        body = eol + eol.join(report_lines(rng)) + rng.choice(["", eol, eol * 3 + "  "])
        f.write(body.encode())
    return True


def write_data_set(rng, work):
    """config/index.txt and data/; returns about how many companies load."""
    os.makedirs(os.path.join(work, "config"))
    if rng.random() < 0.05:                           # no index file, or a directory
        if rng.random() < 0.3:
            os.mkdir(os.path.join(work, "config", "index.txt"))
        return 0
    names, usable = [], 0
    count = 0 if rng.random() < 0.08 else rng.randint(1, rng.choice([8, 30]))
    for i in range(count):
        if names and rng.random() < 0.05:
            names.append(rng.choice(names))           # the same file twice
            continue
        name = rng.choice(["f%d.txt", "f%d.txt", "sub/f%d.txt", "ü%d.dat"]) % i
        if rng.random() < 0.04:
            name = "fehlt%d" % i                      # never written
        else:
            usable += write_data_file(rng, os.path.join(work, "data", name))
        names.append(name)
    seps = ["\n"] * 5 + [" ", "\t", "\r\n", "\n\n"]
    text = "".join(n + rng.choice(seps) for n in names)
    with open(os.path.join(work, "config", "index.txt"), "wb") as f:
        f.write(text.rstrip("\n").encode() + rng.choice([b"", b"\n", b"\n\n  "]))
    return usable


# ----------------------------------------------------------------- sessions

BAD_NUMBERS = ["0", "-1", "-2147483648", "2147483647", "2147483648", "-2147483649",
               "99999999999999999999", "abc", "x7", "-", "+", "3x", "0x1", "1e3"]
JUNK = ["x", "A", "Z", "N", "Q", "F", "ä", "123", "-5", "%s%n", "\x01\x02", "\x00", "€", "x" * 5000,
        "?", "*", "j", "J"]
LONG = {"n": ["neu", "n" * 3000], "l": ["loeschen"], "i": ["insert"], "s": ["sortieren"],
        "w": ["waehrung", "ww"], "f": ["firma", "ff"], "q": ["quit", "qq"]}


def answer(rng, hi):
    """A typed number: (word, value) where value is None when out of range."""
    if hi >= 1 and rng.random() < 0.75:
        v = rng.randint(1, hi)
        return str(v), v
    return rng.choice(BAD_NUMBERS), None


def session(rng, companies, view=0, shown=1):
    """Words of a random session; tracks roughly which view is open."""
    words = []
    for _ in range(rng.randint(0, 40)):
        cmd = rng.choice("nnnllissswwfff") if rng.random() < 0.85 else None
        if cmd is None:
            words.append(rng.choice(JUNK))
            continue
        if rng.random() < 0.08:
            cmd = rng.choice(LONG[cmd])               # only the first letter counts
        catalogue = 10 if view == 0 else 9
        words.append(cmd)
        c = cmd[0]
        if c == "n":
            w, v = answer(rng, catalogue)
            words.append(w)
            shown += v is not None
        elif c == "l" and shown > 0:
            w, v = answer(rng, shown)
            words.append(w)
            shown -= v is not None
        elif c == "i":
            w, v = answer(rng, catalogue)
            words.append(w)
            if v is not None:
                w, v = answer(rng, shown)
                words.append(w)
                shown += v is not None
        elif c == "s":
            w, v = answer(rng, shown)
            words.append(w)
            if v is not None:
                words += rng.sample(["x", "J", "ja", "N", "1"], rng.randint(0, 2))
                words.append(rng.choice("jn"))
        elif c == "f" and view == 0:
            w, v = answer(rng, companies)
            words.append(w)
            view, shown = (1 if v is not None else 0), 1
        elif c == "f":
            view, shown = 0, 1
    if rng.random() < 0.6:
        words.append(rng.choice(["q", "q", "q", "quit"]) if view == 0 else "q")
        words += rng.sample(JUNK, rng.randint(0, 2))  # typed after the end
    text = "".join(w + rng.choice(["\n"] * 6 + [" ", "\t", "\r\n"]) for w in words)
    data = text.encode()
    if rng.random() < 0.3:                            # input ends anywhere
        data = data[:rng.randint(0, len(data))]
    return data


def damage(rng, path):
    """Replaces save.dat by a damaged version, now and then by a directory."""
    with open(path, "rb") as f:
        old = f.read()
    lines = old.split(b"\n")
    k, pos, n = rng.randrange(len(lines)), rng.randrange(len(old) + 1), rng.randint(20, 200)
    odd = rng.choice([b"-1", b"2", b"99999999999", b"abc", b"", b"1e3", b"+1", b"0x10"])
    count = rng.choice([b"2000000000", b"-5", b"4294967295", b"2147483648"])
    columns = b"".join(b"%d\n" % rng.randrange(10) for _ in range(n))
    data = rng.choice([
        old[:rng.randint(0, 20)], b"", old + b"garbage\n", old + b"\x00",
        b"\n".join(lines[:k] + [odd] + lines[k + 1:]),              # one odd value
        b"\n".join(lines[:k] + lines[k + 1:]),                      # one line missing
        old[:pos] + bytes([rng.randrange(256)]) + old[pos + 1:],    # one byte changed
        b"0\n0\n5\n3\n%s\n0\n0\n1\n" % count,                     # absurd column count
        b"0\n0\n5\n3\n%d\n%s%d\n1\n" % (n, columns, rng.randrange(n)),  # many columns
        bytes(rng.randrange(256) for _ in range(rng.randint(1, 64)))])
    os.remove(path)
    if rng.random() < 0.03:
        os.mkdir(path)
    else:
        with open(path, "wb") as f:
            f.write(data)


# ------------------------------------------------------------------- checks

HTML_HEAD = b"<html>\n<head>\n<title>\n"
HTML_TAIL = b"</table>\n</body>\n</html>"
PARENT = {b"html": None, b"head": b"html", b"title": b"head", b"body": b"html",
          b"table": b"body", b"tr": b"table", b"th": b"tr", b"td": b"tr"}
TAG = re.compile(rb'<(/?)([a-z]+)( align="right")?>')
ENTITY = re.compile(rb"&(?:amp|lt|gt|quot|#[0-9]+|#x[0-9a-fA-F]+);")


def last_table(out):
    """(heading line, row count, sort line) of the last table on stdout, or
    None if none was shown; heading and sort line are None without columns."""
    k = out.rfind(b"Tabelle test")
    if k < 0:
        return None
    rest = out[k + len(b"Tabelle test"):]
    rest = rest[re.match(rb"(?:I[0-9.,]+\n(?:J[0-9.,]+\n)*)*", rest).end():]
    lines = rest.split(b"\n")
    if not lines[0].strip():
        return None, 0, None
    rows = 0
    while rows + 1 < len(lines) and lines[rows + 1]:
        rows += 1
    if rows + 2 >= len(lines) or not lines[rows + 2].startswith(b"Sortiert nach Spalte: ["):
        raise Failure("stdout: no sort line after the last table")
    return lines[0], rows, lines[rows + 2]


def check_company_rows(out, table):
    """A company table shows one row per company read ("Push_back")."""
    company_menu = b"f - Firmendaten abrufen" in out[out.rfind(b"Tabelle test"):]
    if company_menu and table[0] is not None and table[1] != out.count(b"Push_back\n"):
        raise Failure("company table with %d rows for %d companies" % (
            table[1], out.count(b"Push_back\n")))


def parse_html(data):
    """The rows of tabelle.html as lists of (tag, text); checks the page."""
    if not data.startswith(HTML_HEAD) or not data.endswith(HTML_TAIL):
        raise Failure("tabelle.html: wrong start or end: %r ... %r" % (data[:30], data[-30:]))
    if re.search(rb"[\x80-\xff]", data):
        raise Failure("tabelle.html: raw non-ASCII byte")
    if b"&" in ENTITY.sub(b"", data):
        raise Failure("tabelle.html: '&' that starts no entity")
    stack, rows = [], []
    for piece in re.split(rb"(<[^<>]*>)", data):
        m = TAG.fullmatch(piece)
        if piece.startswith(b"<") and (not m or m.group(2) not in PARENT):
            raise Failure("tabelle.html: unknown tag %r" % piece[:40])
        if not m:
            if b"<" in piece or b">" in piece:
                raise Failure("tabelle.html: stray '<' or '>' in %r" % piece[:40])
            if piece.strip() and (not stack or stack[-1] not in (b"title", b"th", b"td")):
                raise Failure("tabelle.html: text outside a cell: %r" % piece[:40])
            if stack and stack[-1] in (b"th", b"td"):
                rows[-1][-1][1] += piece
            continue
        closing, tag = m.group(1), m.group(2)
        if closing:
            if not stack or stack.pop() != tag:
                raise Failure("tabelle.html: unbalanced </%s>" % tag.decode())
        else:
            if (stack[-1] if stack else None) != PARENT[tag]:
                raise Failure("tabelle.html: <%s> in the wrong place" % tag.decode())
            stack.append(tag)
            if tag == b"tr":
                rows.append([])
            elif tag in (b"th", b"td"):
                rows[-1].append([tag, b""])
    if stack:
        raise Failure("tabelle.html: unclosed <%s>" % stack[-1].decode())
    return rows


def check_html(work, table):
    """The page must hold the table `table` (from last_table) that stdout shows."""
    with open(os.path.join(work, "tabelle.html"), "rb") as f:
        rows = parse_html(f.read())
    if not rows or any(t != b"th" for t, _ in rows[0]):
        raise Failure("tabelle.html: first row is no heading row")
    titles = [html.unescape(x.decode()).encode() for _, x in rows[0]]
    heading, n, sort = table
    if any(t != b"td" for row in rows[1:] for t, _ in row):
        raise Failure("tabelle.html: more than one heading row")
    if heading is None and titles:
        raise Failure("tabelle.html: headings although stdout shows no column")
    if heading is not None and not re.fullmatch(
            b"".join(b"  +" + re.escape(t) for t in titles), heading):
        raise Failure("tabelle.html: headings %r do not match stdout %r" % (titles, heading))
    if len(rows) - 1 != n:
        raise Failure("tabelle.html: %d body rows, stdout shows %d" % (len(rows) - 1, n))
    if any(len(r) != len(titles) for r in rows[1:]):
        raise Failure("tabelle.html: a row without one cell per heading")
    # what a restart restores, in euro
    return [t.replace(b"[USD]", b"[EUR]") for t in titles + [sort or b""]], n


def check_svg(work):
    """diagramm.svg must be a well-formed SVG image, whatever the names hold."""
    try:
        root = ET.parse(os.path.join(work, "diagramm.svg")).getroot()
    except (OSError, ET.ParseError) as e:
        raise Failure("diagramm.svg: %s" % e) from None
    if root.tag != "{http://www.w3.org/2000/svg}svg":
        raise Failure("diagramm.svg: root element %s" % root.tag)


def run(binary, root, tag, data):
    """Runs the program in root/work; returns stdout. Keeps in/out/err in root."""
    work = os.path.join(root, "work")
    with open(os.path.join(root, tag + ".in"), "wb") as f:
        f.write(data)
    with open(os.path.join(root, tag + ".out"), "wb") as out, \
            open(os.path.join(root, tag + ".err"), "wb") as err:
        try:
            p = subprocess.run([binary], cwd=work, input=data, stdout=out, stderr=err,
                               timeout=TIMEOUT, preexec_fn=lambda: resource.setrlimit(
                                   resource.RLIMIT_FSIZE, (MAX_OUTPUT, MAX_OUTPUT)))
        except subprocess.TimeoutExpired:
            raise Failure("%s: did not end within %d s" % (tag, TIMEOUT)) from None
    with open(os.path.join(root, tag + ".out"), "rb") as f:
        stdout = f.read()
    with open(os.path.join(root, tag + ".err"), "rb") as f:
        stderr = f.read()
    if SANITIZER.search(stderr):
        first = SANITIZER.search(stderr).start()
        raise Failure("%s: sanitizer report:\n%s" % (
            tag, stderr[max(0, first - 200):first + 1500].decode(errors="replace")))
    if p.returncode != 0:
        how = "signal %d" % -p.returncode if p.returncode < 0 else "status %d" % p.returncode
        raise Failure("%s: ended with %s, stderr ends: %r" % (tag, how, stderr[-300:]))
    return stdout


def play(binary, root, seed):
    """One run: data set, one or two sessions, then loading what was saved."""
    rng = random.Random(seed)
    work = os.path.join(root, "work")
    companies = write_data_set(rng, work)
    save = os.path.join(work, "save.dat")
    shown = None        # what the last page written shows (see check_html)
    damaged = False
    for i in range(2 if rng.random() < 0.45 else 1):
        data = session(rng, companies)
        if i == 1:
            if rng.random() < 0.5 and os.path.isfile(save):
                damage(rng, save)
                damaged = True
            first = rng.choice([b"j\n"] * 6 + [b"n\n", b"ja\n", b"J\n", b""])
            data = first + data if first else b""
        out = run(binary, root, "run%d" % (i + 1), data)
        table = last_table(out)
        if table is not None:
            shown = check_html(work, table)
            check_svg(work)
            check_company_rows(out, table)
            damaged = False
    if not os.path.isfile(save) or damaged:
        return
    out = run(binary, root, "laden", b"j\nq\n")
    if b"Ein Speicherstand existiert." not in out:
        raise Failure("laden: no question about the saved view")
    if b"beschaedigt" in out:
        raise Failure("laden: the saved view was rejected as damaged")
    table = last_table(out)
    if table is None:
        raise Failure("laden: no table shown after loading")
    restored = check_html(work, table)
    check_company_rows(out, table)
    if shown is not None and restored != shown:
        raise Failure("laden: restored %r, saved %r (headings + sort line, rows)" % (
            restored, shown))


def one_run(args):
    binary, seed, keep = args
    root = tempfile.mkdtemp(prefix="quorvell_stress_%d_" % seed)
    os.mkdir(os.path.join(root, "work"))
    try:
        play(binary, root, seed)
    except Failure as e:
        if not keep:
            shutil.rmtree(root)
            root = None
        return seed, str(e), root
    shutil.rmtree(root)
    return seed, None, None


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("binary")
    ap.add_argument("--runs", type=int, default=200)
    ap.add_argument("--seed", type=int, default=None)
    ap.add_argument("--keep", action="store_true",
                    help="keep the directory of every failing run")
    ap.add_argument("--jobs", type=int, default=2)
    a = ap.parse_args()
    binary = os.path.abspath(a.binary)
    base = a.seed if a.seed is not None else random.randrange(10**6)
    print("seeds %d to %d" % (base, base + a.runs - 1), flush=True)
    os.environ.setdefault("ASAN_OPTIONS", "detect_leaks=1")
    passed = failed = 0
    jobs = [(binary, base + i, a.keep) for i in range(a.runs)]
    with multiprocessing.Pool(max(1, a.jobs)) as pool:
        for seed, reason, root in pool.imap(one_run, jobs):
            if reason is None:
                passed += 1
                continue
            failed += 1
            print("FAIL seed %d: %s" % (seed, reason))
            if root:
                print("  kept: " + root)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
