#!/usr/bin/env python3
"""Start-up time, memory and redisplay time of quorvell on large data sets.

Usage: run.py BINARY [--sizes 10000,50000] [--reports 20] [--pairs 7]

For each size a data set is generated once into bench/out/<size>/ (not
committed). Then, with standard output going to a file:
  start     start, restore a saved view with all ten columns, show the table
            once, quit; its floor is `cat config/index.txt data/*` to
            /dev/null, run alternately with the program (paired runs, the
            ratio of each pair, their median)
  redisplay the same plus 50 redisplays of the whole table (each writes
            save.dat and tabelle.html too); the difference to `start`,
            divided by 50
Peak memory is the largest resident set of the program's start (from
wait4), set against the size of the input files. The targets the program is
held to are printed beside each figure; the growth of the start time from the
smaller to the larger size is taken from the best of the runs.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REDISPLAYS = 50


def generate(out, companies, reports):
    params = "%d companies, %d reports" % (companies, reports)
    stamp = os.path.join(out, "params")
    if os.path.exists(stamp) and open(stamp).read() == params:
        return
    subprocess.run(["rm", "-rf", out], check=True)
    subprocess.run([sys.executable, os.path.join(HERE, "gen_data.py"), out,
                    "--companies", str(companies), "--reports", str(reports)],
                   check=True)
    with open(stamp, "w") as f:
        f.write(params)


def input_bytes(out):
    total = os.path.getsize(os.path.join(out, "config", "index.txt"))
    data = os.path.join(out, "data")
    for name in os.listdir(data):
        total += os.path.getsize(os.path.join(data, name))
    return total


def timed(argv, cwd, stdin_data, stdout_name="stdout.txt"):
    """Runs argv; returns (wall seconds, peak RSS in bytes)."""
    with open(os.path.join(cwd, "stdin.txt"), "wb") as inp:
        inp.write(stdin_data)
    with open(os.path.join(cwd, "stdin.txt"), "rb") as inp, \
         open(os.path.join(cwd, stdout_name) if stdout_name else os.devnull,
              "wb") as out:
        t0 = time.perf_counter()
        proc = subprocess.Popen(argv, cwd=cwd, stdin=inp, stdout=out,
                                stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
        wall = time.perf_counter() - t0
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        sys.exit("%s exited with %d" % (argv[0], proc.returncode))
    return wall, usage.ru_maxrss * 1024


def run_program(binary, out, commands):
    with open(os.path.join(out, "save.dat"), "w") as f:
        f.write("0\n0\n5\n%d\n10\n0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n0\n1\n"
                % len(os.listdir(os.path.join(out, "data"))))
    return timed([binary], out, commands)


def measure(binary, out, pairs):
    # cat itself, given the file list the shell's data/* would give, so that
    # the floor is the reading and not the shell's sorting of the names.
    names = sorted(os.listdir(os.path.join(out, "data")))
    floor_cmd = ["cat", "config/index.txt"] + ["data/" + n for n in names]
    start = b"j\nq\n"
    again = b"j\n" + b"x\n" * REDISPLAYS + b"q\n"
    run_program(binary, out, start)  # warm the page cache
    walls, floors, ratios, rss, redisplay = [], [], [], [], []
    for _ in range(pairs):
        wall, peak = run_program(binary, out, start)
        floor, _ = timed(floor_cmd, out, b"", None)
        longer, _ = run_program(binary, out, again)
        walls.append(wall)
        floors.append(floor)
        ratios.append(wall / floor)
        rss.append(peak)
        redisplay.append((longer - wall) / REDISPLAYS)
    return {
        "wall": statistics.median(walls), "wall_min": min(walls),
        "wall_max": max(walls), "floor": statistics.median(floors),
        "ratio": statistics.median(ratios), "ratio_min": min(ratios),
        "ratio_max": max(ratios), "rss": max(rss),
        "redisplay": statistics.median(redisplay),
    }


def verdict(ok):
    return "ok" if ok else "MISSED"


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("binary")
    ap.add_argument("--sizes", default="10000,50000")
    ap.add_argument("--reports", type=int, default=20)
    ap.add_argument("--pairs", type=int, default=7)
    a = ap.parse_args()
    binary = os.path.abspath(a.binary)
    sizes = [int(s) for s in a.sizes.split(",")]
    results = {}
    for n in sizes:
        out = os.path.join(HERE, "out", str(n))
        generate(out, n, a.reports)
        r = measure(binary, out, a.pairs)
        r["input"] = input_bytes(out)
        results[n] = r

    print("quorvell, %d reports per company, %d cores, medians of %d paired "
          "runs" % (a.reports, os.cpu_count(), a.pairs))
    print("%-9s %-19s %8s %-17s %9s %8s %7s %12s" % (
        "companies", "start s (min-max)", "floor s", "ratio (min-max)",
        "peak MB", "input MB", "RSS/in", "redisplay s"))
    for n, r in results.items():
        print("%-9d %5.3f (%.3f-%.3f) %8.3f %5.2fx (%.2f-%.2f) %9.1f %8.1f "
              "%6.2fx %12.4f" % (
                  n, r["wall"], r["wall_min"], r["wall_max"], r["floor"],
                  r["ratio"], r["ratio_min"], r["ratio_max"], r["rss"] / 1e6,
                  r["input"] / 1e6, r["rss"] / r["input"], r["redisplay"]))
    print()
    print("targets:")
    small, large = min(sizes), max(sizes)
    s = results[small]
    print("  %d: start <= 1.3x floor: %.2fx %s; peak RSS <= 3x input: %.2fx %s;"
          " redisplay <= 0.02 s: %.4f s %s" % (
              small, s["ratio"], verdict(s["ratio"] <= 1.3),
              s["rss"] / s["input"], verdict(s["rss"] <= 3 * s["input"]),
              s["redisplay"], verdict(s["redisplay"] <= 0.02)))
    if large != small:
        b = results[large]
        # Time grows as the best runs grow: on a shared machine the medians
        # of two sizes, taken a minute apart, vary by more than the margin.
        grow_t = b["wall_min"] / s["wall_min"]
        grow_median = b["wall"] / s["wall"]
        grow_m = b["rss"] / s["rss"]
        limit = 5.5 * large / small / 5
        print("  %d: start <= 1.5x floor: %.2fx %s; peak RSS <= 3x input: "
              "%.2fx %s" % (large, b["ratio"], verdict(b["ratio"] <= 1.5),
                            b["rss"] / b["input"],
                            verdict(b["rss"] <= 3 * b["input"])))
        print("  %d over %d: time x%.2f (best runs; medians x%.2f), memory "
              "x%.2f (<= x%.1f) %s" % (
                  large, small, grow_t, grow_median, grow_m, limit,
                  verdict(grow_t <= limit and grow_m <= limit)))


if __name__ == "__main__":
    main()
