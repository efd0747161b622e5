#!/usr/bin/env python3
"""Steady-state benchmark: the hard chains side by side with an everyday one.

    python3 bench/steady.py                          # this tree's solve
    python3 bench/steady.py --baseline /path/solve   # and another build, in the same run

Builds gen_tandem, gen_polling, gen_kanban and solve in Release, generates
  tandem  capacity 255 (130,816 states; the empty system, the initial state, has a
          long-run probability of about 1e-690),
  polling 15 stations (737,280 states, 6.1 M transitions; polling at 200 against
          arrivals of 1/15),
  kanban  N = 5 (2.5 M states),
and runs solve on each (steady-state variables), printing the steady-state phase's
time, the method, the residual and the first value. With --baseline every chain is
solved by both programs, one after the other, and the ratio of the times is printed:
the machine's load of the moment weighs on both alike.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CHAINS = (("tandem", "gen_tandem", ["-B1"]), ("polling", "gen_polling", ["-B0"]),
          ("kanban", "gen_kanban", ["-B4"]))


def solve(program, folder, name):
    """Runs solve; returns (steady-state seconds, wall seconds, method, residual,
    first value, exit status)."""
    start = time.monotonic()
    proc = subprocess.run([program, "-P" + folder + "/", "-N" + name], capture_output=True,
                          text=True)
    wall = time.monotonic() - start
    m = re.search(r"^steady state: (.*) on \d+ states, residual (\S+) \(([\d.]+) s\)",
                  proc.stdout, re.M)
    value = ""
    rows = [l for l in proc.stdout.splitlines() if "steady-state" in l]
    if rows:
        value = rows[0].split()[3]
    if not m:
        return float("nan"), wall, "(none)", "", value, proc.returncode
    return float(m.group(3)), wall, m.group(1), m.group(2), value, proc.returncode


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    ap.add_argument("--baseline", help="another solve program to time beside this one")
    ap.add_argument("--only", help="comma-separated chains of " +
                    ",".join(c[0] for c in CHAINS))
    args = ap.parse_args()
    subprocess.check_call(["cmake", "-S", ROOT, "-B", args.build, "-DCMAKE_BUILD_TYPE=Release",
                           "-DBUILD_TESTING=OFF"], stdout=subprocess.DEVNULL)
    subprocess.check_call(["cmake", "--build", args.build, "-j2", "--target", "solve"] +
                          [c[1] for c in CHAINS], stdout=subprocess.DEVNULL)
    programs = [("this", os.path.join(args.build, "solve"))]
    if args.baseline:
        programs.append(("baseline", os.path.abspath(args.baseline)))
    only = set(args.only.split(",")) if args.only else None

    print("%-8s %-9s %8s %8s %6s %9s  %-16s %s" % ("chain", "solve", "steady s", "wall s",
                                                   "status", "residual", "first value",
                                                   "method"))
    for name, gen, options in CHAINS:
        if only and name not in only:
            continue
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.check_call([os.path.join(args.build, "bench", gen), "-P" + tmp + "/",
                                   "-N" + name] + options, stdout=subprocess.DEVNULL)
            times = {}
            for label, program in programs:
                steady, wall, method, residual, value, status = solve(program, tmp, name)
                times[label] = steady
                print("%-8s %-9s %8.2f %8.2f %6d %9s  %-16s %s" % (
                    name, label, steady, wall, status, residual, value, method))
                sys.stdout.flush()
            if args.baseline:
                print("%-8s ratio this/baseline of the steady-state times: %.2f" % (
                    name, times["this"] / times["baseline"]))


if __name__ == "__main__":
    main()
