#!/usr/bin/env python3
"""Solver benchmark: builds in Release, generates the Kanban and FMS chains with gen,
then runs solve on them and prints the wall times and the values found.

For every N the model's variables are solved twice: all as steady-state variables
(type 3), and all as instant-of-time variables at the times of --times (type 0).

    python3 bench/solve.py                    # Kanban N=1..5, FMS N=1..5
    python3 bench/solve.py --kanban 3 --fms 0 # fewer
    python3 bench/solve.py --times 1,10,100   # other transient time points
"""
import argparse
import csv
import os
import re
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def run(cmd, cwd):
    """Runs cmd, returns (wall seconds, peak resident MB, stdout)."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    out = proc.stdout.read()
    err = proc.stderr.read()
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - start
    if status != 0:
        sys.exit("failed: %s\n%s%s" % (" ".join(cmd), out.decode(errors="replace"),
                                         err.decode(errors="replace")))
    return wall, usage.ru_maxrss / 1024.0, out.decode()


def names(pvtype):
    with open(pvtype) as f:
        return [line[5:].rstrip("\n") for line in f if line.startswith("Name:")]


def write_types(path, variables, kind, times):
    with open(path, "w") as f:
        f.write("Version:1\nNumPV:%d\n" % len(variables))
        for v in variables:
            f.write("Name:%s\nType:%d\nNumTimes:%d\n" % (v, kind, len(times)))
            for t in times:
                f.write("Start:%g\nStop:%g\n" % (t, t))


def phase(out, pattern):
    m = re.search(pattern, out, re.M)
    return m.group(1) if m else ""


def results(path):
    with open(path) as f:
        return list(csv.DictReader(f))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--kanban", type=int, default=5, help="largest Kanban N")
    ap.add_argument("--fms", type=int, default=5, help="largest FMS N")
    ap.add_argument("--times", default="1,10", help="transient time points, comma separated")
    ap.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    args = ap.parse_args()
    times = [float(t) for t in args.times.split(",") if t]

    subprocess.check_call(["cmake", "-S", ROOT, "-B", args.build, "-DCMAKE_BUILD_TYPE=Release",
                           "-DBUILD_TESTING=OFF"], stdout=subprocess.DEVNULL)
    subprocess.check_call(["cmake", "--build", args.build, "-j2", "--target", "gen_kanban",
                           "gen_fms", "solve"], stdout=subprocess.DEVNULL)
    solve = os.path.join(args.build, "solve")

    header = "%-7s %2s %9s %10s %6s | %6s %6s %6s %6s %6s %7s | %s" % (
        "model", "N", "states", "transitions", "gen s", "solve", "read", "struct", "steady",
        "peakMB", "resid", "steady-state values")
    print(header)
    print("-" * len(header))
    transient = []
    for model, top in (("kanban", args.kanban), ("fms", args.fms)):
        for n in range(1, top + 1):
            with tempfile.TemporaryDirectory() as tmp:
                gen = os.path.join(args.build, "bench", "gen_" + model)
                gw, _, _ = run([gen, "-P" + tmp + "/", "-N" + model, "-B%d" % (n - 1)], tmp)
                variables = names(os.path.join(tmp, model + ".pvtype"))
                pvtype = os.path.join(tmp, model + ".pvtype")

                write_types(pvtype, variables, 3, [])
                sw, sm, out = run([solve, "-P" + tmp + "/", "-N" + model], tmp)
                rows = results(os.path.join(tmp, model + ".csv"))
                states = phase(out, r"^chain: (\d+) states")
                trans = phase(out, r"^chain: \d+ states, (\d+) transitions")
                values = "  ".join("%s=%s" % (r["variable"], r["value"]) for r in rows)
                residual = max(float(r["residual"]) for r in rows) if rows else float("nan")
                print("%-7s %2d %9s %10s %6.2f | %6.2f %6s %6s %6s %6.0f %7.1e | %s" % (
                    model, n, states, trans, gw, sw,
                    phase(out, r"read in ([\d.]+) s"),
                    phase(out, r"^structure: .*\(([\d.]+) s\)"),
                    phase(out, r"^steady state: .*\(([\d.]+) s\)"), sm, residual, values))
                method = phase(out, r"^steady state: (.*) on \d+ states")
                sys.stdout.flush()

                if times:
                    write_types(pvtype, variables, 0, times)
                    tw, tm, out = run([solve, "-P" + tmp + "/", "-N" + model], tmp)
                    rows = results(os.path.join(tmp, model + ".csv"))
                    transient.append((model, n, tw, tm, phase(out, r"^transient: (.*) \("),
                                      method, rows))

    if transient:
        print()
        print("%-7s %2s %8s %6s  %s" % ("model", "N", "solve s", "peakMB", "transient pass"))
        for model, n, tw, tm, how, method, rows in transient:
            print("%-7s %2d %8.2f %6.0f  %s" % (model, n, tw, tm, how))
            for r in rows:
                print("%13s %-20s t=%-8s %-20s +- %s" % ("", r["variable"], r["time"],
                                                        r["value"], r["error_bound"]))
        print()
        print("steady-state methods: " + "; ".join(
            "%s %d: %s" % (m, n, how) for m, n, _, _, _, how, _ in transient))


if __name__ == "__main__":
    main()
