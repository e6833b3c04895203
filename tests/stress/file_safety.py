#!/usr/bin/env python3
"""Odd input files, failing standard output and two instances in one directory.

Usage: file_safety.py BINARY special-inputs|full-output|two-instances
                      [--rounds N] [--seconds S]

two-instances runs two long sessions side by side while sampling save.dat,
tabelle.html and diagramm.svg, N times ended by the end of input and N times by SIGHUP, and
prints how many samples were damaged.
"""

import argparse
import fcntl
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import threading
import time
import xml.etree.ElementTree as ET

TIMEOUT = 10         # seconds; a blocked or spinning program never ends
START_LIMIT = 1      # seconds for a run that meets special input files
SANITIZER = re.compile(rb"AddressSanitizer|LeakSanitizer|runtime error")
# What the program writes beside its input; anything else is a stray file.
WRITTEN = {"config", "data", "save.dat", "tabelle.html", "diagramm.svg"}


class Failure(Exception):
    pass


def data_set(root, count):
    """A working directory with `count` companies of varying size."""
    work = os.path.join(root, "work")
    os.makedirs(os.path.join(work, "data"))
    for i in range(count):
        with open(os.path.join(work, "data", "f%d" % i), "w") as f:
            f.write("Firma %d %s\n" % (i, "x" * (i * 7 % 23)))
            for k in range(1 + i % 6):
                f.write("31-12-%d %d %d 5000 900 1.0 1.%d\n" % (2020 - k, i + k, 37 * i - 500, k))
    write_index(work, ["f%d" % i for i in range(count)])
    return work


def write_index(work, names):
    os.makedirs(os.path.join(work, "config"), exist_ok=True)
    with open(os.path.join(work, "config", "index.txt"), "w") as f:
        f.write("\n".join(names) + "\n")


def run(binary, work, data, tag, **kw):
    """One run to its end; returns (status, stdout, stderr)."""
    kw.setdefault("stdout", subprocess.PIPE)
    try:
        p = subprocess.run([binary], cwd=work, input=data, stderr=subprocess.PIPE,
                           timeout=TIMEOUT, **kw)
    except subprocess.TimeoutExpired:
        raise Failure("%s: did not end within %d s" % (tag, TIMEOUT)) from None
    if SANITIZER.search(p.stderr):
        raise Failure("%s: sanitizer report:\n%s" % (tag, p.stderr.decode(errors="replace")))
    return p.returncode, p.stdout or b"", p.stderr


# ------------------------------------------------------------ special inputs

SKIP = "quorvell: data/%s %s, Firma uebersprungen\n"
NO_INDEX = "quorvell: config/index.txt %s, es werden keine Firmen geladen\n"
ODD, DIR = "ist keine gewoehnliche Datei", "ist ein Verzeichnis"


def odd_data_files(work):
    data = os.path.join(work, "data")
    os.mkfifo(os.path.join(data, "fifo"))
    os.symlink("/dev/zero", os.path.join(data, "null"))
    os.mkdir(os.path.join(data, "ordner"))
    with open(os.path.join(data, "gross"), "wb") as f:
        f.truncate((64 << 20) + 1)
    zero = os.path.relpath("/dev/zero", data)
    write_index(work, ["fifo", "f0", "null", zero, "ordner", "gross", "f1"])
    return [SKIP % ("fifo", ODD), SKIP % ("null", ODD), SKIP % (zero, ODD),
            SKIP % ("ordner", DIR), SKIP % ("gross", "ist groesser als 64 MiB")]


def odd_file(name, make, lines):
    def setup(work):
        path = os.path.join(work, name)
        if os.path.exists(path):
            os.remove(path)
        make(path)
        return lines
    return setup


def huge_save(path):
    """A save.dat that names 3,000,000 shown columns."""
    with open(path, "w") as f:
        f.write("0\n0\n5\n2\n3000000\n" + "0\n" * 3000000 + "0\n1\n")


def special_inputs(binary, root, _args):
    zero = lambda p: os.symlink("/dev/zero", p)
    cases = [  # what, setup giving the stderr lines, input, companies, stdout
        ("odd data files", odd_data_files, b"q\n", 2, b""),
        ("index a FIFO", odd_file("config/index.txt", os.mkfifo, [NO_INDEX % ODD]),
         b"q\n", 0, b""),
        ("index /dev/zero", odd_file("config/index.txt", zero, [NO_INDEX % ODD]),
         b"q\n", 0, b""),
        ("index a directory", odd_file("config/index.txt", os.mkdir, [NO_INDEX % DIR]),
         b"q\n", 0, b""),
        ("save.dat a FIFO", odd_file("save.dat", os.mkfifo, []), b"j\nq\n", 2,
         b"Der Speicherstand ist beschaedigt und wird ignoriert.\n"),
        ("save.dat of 3,000,000 columns", odd_file("save.dat", huge_save, []),
         b"j\nq\n", 2, b"Der Speicherstand ist beschaedigt und wird ignoriert.\n")]
    for n, (what, setup, data, companies, text) in enumerate(cases):
        work = data_set(os.path.join(root, str(n)), 2)
        lines = setup(work)
        start = time.monotonic()
        status, out, err = run(binary, work, data, what)
        took = time.monotonic() - start
        missing = [x for x in lines if x.encode() not in err]
        stray = set(os.listdir(work)) - WRITTEN
        if (missing or text not in out or status != 0 or took > START_LIMIT or
                out.count(b" eingelesen.\n") != companies or stray):
            raise Failure("%s: status %d after %.2f s, %d companies, lacking %r %r, "
                          "stray %r; stderr:\n%s" % (
                              what, status, took, out.count(b" eingelesen.\n"),
                              missing, text, sorted(stray), err.decode()))
        print("ok   %s (%.2f s)" % (what, took))


# --------------------------------------------------------------- full output

def full_output(binary, root, _args):
    work = data_set(root, 3)
    endless = os.path.join(root, "endless.in")
    with open(endless, "wb") as f:
        f.write(b"w\n" * 2000000)
    r, w = os.pipe()
    os.close(r)
    message = b"quorvell: Standardausgabe"
    with open("/dev/full", "wb") as full, open(endless, "rb") as words:
        results = [
            ("stdout on /dev/full", 1, message,
             run(binary, work, b"n 3\nq\n", "full", stdout=full)),
            ("closed pipe, SIGPIPE ignored, endless input", 1, message,
             run(binary, work, None, "pipe", stdin=words, stdout=w,
                 preexec_fn=lambda: signal.signal(signal.SIGPIPE, signal.SIG_IGN))),
            ("closed pipe, default SIGPIPE", -signal.SIGPIPE, b"",
             run(binary, work, b"w\n" * 20000, "pipe", stdout=w,
                 preexec_fn=lambda: signal.signal(signal.SIGPIPE, signal.SIG_DFL)))]
    os.close(w)
    for what, expected, start, (status, _, err) in results:
        stray = set(os.listdir(work)) - WRITTEN
        if status != expected or not err.startswith(start) or (start == b"" and err) or stray:
            raise Failure("%s: status %d, stderr %r, stray %r" % (
                what, status, err[:300], sorted(stray)))
        print("ok   %s: status %d %s" % (what, status, err.decode().strip()))


# ------------------------------------------------------------- two instances

# Company table: columns come and go, sorts and currency change. Detail view:
# two companies visited in turn. Each batch ends in the view it started in.
SESSIONS = [b"n 3\nn 4\ns 2 n\nn 9\nw\nl 1\nl 1\nl 1\nw\n",
            b"f 2\nn 3\nn 6\ns 3 n\nw\nf\nf 5\nn 4\nw\nf\n"]
HTML = re.compile(
    rb'<html>\n<head>\n<title>\nQuorvell, gebaut am #BUILD_DATE, SVN #SVN_REV \n'
    rb'</title>\n</head>\n<body>\n<table>\n<tr>((?:<th>[^<>\0]*</th>)*)</tr>\n'
    rb'((?:<tr>(?:<td align="right">[^<>\0]*</td>)*</tr>\n)*)</table>\n</body>\n</html>')


def save_whole(data):
    """save.dat as written: 7 + count numbers, one a line."""
    v = data[:-1].split(b"\n")
    return (data.endswith(b"\n") and all(re.fullmatch(rb"-?[0-9]+", x) for x in v) and
            len(v) >= 7 and len(v) == 7 + int(v[4]))


def html_whole(data):
    m = HTML.fullmatch(data)
    return m is not None and all(row.count(b"<td") == m.group(1).count(b"<th>")
                                 for row in m.group(2).split(b"\n")[:-1])


def svg_whole(data):
    try:
        return ET.fromstring(data).tag == "{http://www.w3.org/2000/svg}svg"
    except ET.ParseError:
        return False


def sample(work, counts):
    """Reads the files once and counts (samples, damaged) for each."""
    for name, whole in (("save.dat", save_whole), ("tabelle.html", html_whole),
                        ("diagramm.svg", svg_whole)):
        try:
            with open(os.path.join(work, name), "rb") as f:
                data = f.read()
        except FileNotFoundError:
            continue
        counts[name][0] += 1
        counts[name][1] += not whole(data)


def paced(fd, words, stop):
    """Writes `words` again and again, at most a few batches ahead of the
    program, until `stop` or the program is gone."""
    try:
        while not stop.is_set():
            queued = fcntl.ioctl(fd, termios.FIONREAD, b"\0" * 4)
            if struct.unpack("i", queued)[0] > 3 * len(words):
                time.sleep(0.0005)
            else:
                os.write(fd, words)
    except OSError:
        pass


def two_sessions(binary, work, seconds, hangup, counts):
    """Both sessions for `seconds` while sampling, then ended by the end of
    their input or by SIGHUP."""
    stop = threading.Event()
    procs = [subprocess.Popen([binary], cwd=work, stdin=subprocess.PIPE,
                              stdout=subprocess.DEVNULL) for _ in SESSIONS]
    feeders = [threading.Thread(target=paced, args=(p.stdin.fileno(), words, stop))
               for p, words in zip(procs, SESSIONS)]
    for f in feeders:
        f.start()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        sample(work, counts)
    for p in procs:
        if hangup:
            p.send_signal(signal.SIGHUP)
    stop.set()
    for f, p in zip(feeders, procs):
        f.join()
        p.stdin.close()
    while any(p.poll() is None for p in procs):
        sample(work, counts)
    if any(p.returncode != (-signal.SIGHUP if hangup else 0) for p in procs):
        raise Failure("an instance ended with %r" % [p.returncode for p in procs])


def two_instances(binary, root, args):
    bad = False
    for hangup in (False, True):
        counts = {n: [0, 0] for n in ("save.dat", "tabelle.html", "diagramm.svg")}
        final = {n: [0, 0] for n in counts}
        damage_message = stray = 0
        for r in range(args.rounds):
            work = data_set(os.path.join(root, "%d%s" % (r, "h" * hangup)), 40)
            two_sessions(binary, work, args.seconds, hangup, counts)
            sample(work, final)
            status, out, _ = run(binary, work, b"j\nq\n", "third run")
            if status != 0 or b"Ein Speicherstand existiert." not in out:
                raise Failure("third run: status %d, no saved view" % status)
            damage_message += b"beschaedigt" in out
            stray += bool(set(os.listdir(work)) - WRITTEN)
        print("%d runs, both %s:" % (args.rounds, "killed by SIGHUP" if hangup else "ended"))
        for name, (n, damaged) in counts.items():
            print("  %s: %d samples, %d damaged; damaged at the end in %d runs" % (
                name, n, damaged, final[name][1]))
        print("  third run: damage message in %d runs, stray files in %d" % (
            damage_message, stray))
        bad = (bad or damage_message or stray or counts["save.dat"][0] < 10 or
               any(counts[n][1] or final[n][1] for n in counts))
    if bad:
        raise Failure("a damaged or stray file, or too few samples (see above)")


CHECKS = {"special-inputs": special_inputs, "full-output": full_output,
          "two-instances": two_instances}


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("binary")
    ap.add_argument("check", choices=sorted(CHECKS))
    ap.add_argument("--rounds", type=int, default=2)
    ap.add_argument("--seconds", type=float, default=0.5)
    args = ap.parse_args()
    root = tempfile.mkdtemp(prefix="quorvell_files_")
    try:
        CHECKS[args.check](os.path.abspath(args.binary), root, args)
    except Failure as e:
        print("FAIL %s: %s\n  kept: %s" % (args.check, e, root))
        return 1
    shutil.rmtree(root)
    return 0


if __name__ == "__main__":
    sys.exit(main())
