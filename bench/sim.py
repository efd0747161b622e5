#!/usr/bin/env python3
"""Simulator benchmark: builds in Release, then measures

  1. the timed firings per second of one thread on Kanban N = 5 (the hand-written
     model, sim_kanban, and the compiled one, gen_kanban_san_sim),
  2. the time until the steady-state productivity of FMS N = 4 has a 95% half-width
     of at most 1% of its value: runs of 4, 8, 16, ... replications (a run of n
     replications is the first n of any longer run with the same seed) until one
     reaches it, with the wall time of that run, and
  3. the distance of the simulated values to the solver's exact ones, in units of
     the half-width, on Markov models: README's first model (repair, experiment 0),
     Kanban N = 2 and FMS N = 2, each simulated to its default targets.

    python3 bench/sim.py
    python3 bench/sim.py --replications 128 --threads 2
"""
import argparse
import csv
import os
import re
import subprocess
import sys
import tempfile

from benchrun import run

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))



def rows(path):
    with open(path) as f:
        return {r["variable"]: r for r in csv.DictReader(f)}


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    ap.add_argument("--replications", type=int, default=64,
                    help="replications of the Kanban speed runs (default 64)")
    ap.add_argument("--threads", type=int, default=1,
                    help="threads of the FMS runs (default 1)")
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()

    subprocess.check_call(["cmake", "-S", ROOT, "-B", args.build, "-DCMAKE_BUILD_TYPE=Release",
                           "-DBUILD_TESTING=OFF"], stdout=subprocess.DEVNULL)
    subprocess.check_call(["cmake", "--build", args.build, "-j2", "--target", "sim_kanban",
                           "gen_kanban_san_sim", "sim_fms", "gen_kanban", "gen_fms",
                           "gen_repair", "gen_repair_sim", "solve"], stdout=subprocess.DEVNULL)
    bench = os.path.join(args.build, "bench")

    with tempfile.TemporaryDirectory() as work:
        print("Kanban N = 5, one thread, %d replications:" % args.replications)
        for program in ("sim_kanban", "gen_kanban_san_sim"):
            _, out = run([os.path.join(bench, program), "-Nkanban", "-B4", "-T1",
                          "-n%d" % args.replications, "-r0", "-a0", "-S%d" % args.seed], work)
            m = re.search(r"\): (\d+) timed firings in ([\d.]+) s \(([\d.e+]+) per second\)", out)
            if not m:
                sys.exit("no speed line in:\n" + out)
            print("  %-20s %10s firings in %6s s: %.2f M firings/s" %
                  (program, m.group(1), m.group(2), float(m.group(3)) / 1e6))

        print("FMS N = 4, productivity to a 1%% half-width (%d thread%s):" %
              (args.threads, "" if args.threads == 1 else "s"))
        n = 4
        while True:
            wall, out = run([os.path.join(bench, "sim_fms"), "-Nfms", "-B3", "-T%d" % args.threads,
                             "-n%d" % n, "-r0", "-a0", "-S%d" % args.seed], work)
            p = rows(os.path.join(work, "fms.csv"))["productivity"]
            value, half = float(p["value"]), float(p["error_bound"])
            print("  %6d replications: %.6g +- %.3g (%.3f%%) in %.2f s" %
                  (n, value, half, 100 * half / value, wall))
            if half <= 0.01 * abs(value) or n >= 1 << 20:
                break
            n *= 2

        print("Simulated against exact (solve), default targets, %d thread%s:" %
              (args.threads, "" if args.threads == 1 else "s"))
        print("  %-8s %-20s %-6s %18s %18s %10s %9s" %
              ("model", "variable", "time", "exact", "simulated", "+-", "distance"))
        for model, gen, sim, experiment in (("repair", "gen_repair", "gen_repair_sim", 0),
                                            ("kanban", "gen_kanban", "sim_kanban", 1),
                                            ("fms", "gen_fms", "sim_fms", 1)):
            run([os.path.join(bench, gen), "-P./", "-Nexact", "-B%d" % experiment], work)
            run([os.path.join(args.build, "solve"), "-P./", "-Nexact"], work)
            exact = rows(os.path.join(work, "exact.csv"))
            # A run that misses its targets within -n exits 1: its figures still count.
            subprocess.run([os.path.join(bench, sim), "-Nsimulated", "-B%d" % experiment,
                            "-T%d" % args.threads, "-S%d" % args.seed], cwd=work,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            simulated = rows(os.path.join(work, "simulated.csv"))
            for name, x in exact.items():
                y = simulated[name]
                if not y["error_bound"]:  # "not observed enough": no interval to compare
                    print("  %-8s %-20s %-6s %18.10g %18s" %
                          (model, name, x["time"], float(x["value"]), y["value"]))
                    continue
                v, h, e = float(y["value"]), float(y["error_bound"]), float(x["value"])
                print("  %-8s %-20s %-6s %18.10g %18.10g %10.3g %+9.2f" %
                      (model, name, x["time"], e, v, h, (v - e) / h if h > 0 else float("nan")))


if __name__ == "__main__":
    main()
