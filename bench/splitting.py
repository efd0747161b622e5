#!/usr/bin/env python3
"""Importance-splitting benchmark: builds in Release, then, on the disk array of
bench/models/raid.san (data lost when three of ten disks are down at once),

  1. computes the exact probability of data loss by t = 1000 with gen and solve,
  2. estimates it by importance splitting on the number of failed disks (levels
     1, 2, 3) to a relative half-width (default 10%), with the wall time, the
     runs and the timed firings,
  3. times plain replication on the same model (a fixed count of replications,
     default 2,000,000) and projects, from its pace, the wall time plain
     replication would need for the half-width the splitting reached: for the
     probability p of an event, p(1 - p) z^2 / h^2 replications.

    python3 bench/splitting.py
    python3 bench/splitting.py --effort 20000 --relative 0.05 --threads 2
"""
import argparse
import csv
import os
import re
import subprocess
import tempfile

from benchrun import run

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))



def rows(path):
    with open(path) as f:
        return {r["variable"] + "@" + r["time"]: r for r in csv.DictReader(f)}


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    ap.add_argument("--effort", type=int, default=10000, help="paths per level (default 10000)")
    ap.add_argument("--relative", type=float, default=0.1,
                    help="target relative half-width (default 0.1)")
    ap.add_argument("--plain", type=int, default=2000000,
                    help="plain replications timed (default 2000000)")
    ap.add_argument("--threads", type=int, default=1)
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()

    subprocess.check_call(["cmake", "-S", ROOT, "-B", args.build, "-DCMAKE_BUILD_TYPE=Release",
                           "-DBUILD_TESTING=OFF"], stdout=subprocess.DEVNULL)
    subprocess.check_call(["cmake", "--build", args.build, "-j2", "--target", "gen_raid_san",
                           "gen_raid_san_sim", "solve"], stdout=subprocess.DEVNULL)
    bench = os.path.join(args.build, "bench")
    key = "data_loss@1000"
    with tempfile.TemporaryDirectory() as work:
        run([os.path.join(bench, "gen_raid_san"), "-P./", "-Nexact", "-B0"], work)
        run([os.path.join(args.build, "solve"), "-P./", "-Nexact", "-e1e-16"], work)
        exact = float(rows(os.path.join(work, "exact.csv"))[key]["value"])
        print("exact (gen + solve):  P(data lost by 1000) = %.6e" % exact)

        wall, out = run([os.path.join(bench, "gen_raid_san_sim"), "-Nsplit", "-Ifailed_disks",
                         "-e%d" % args.effort, "-r%g" % args.relative, "-n100000",
                         "-T%d" % args.threads, "-S%d" % args.seed], work)
        y = rows(os.path.join(work, "split.csv"))[key]
        p, h = float(y["value"]), float(y["error_bound"])
        m = re.search(r"importance splitting: (\d+) runs .*: (\d+) timed firings", out)
        print("splitting (%d paths per level, %d thread%s): %.6e +- %.3g (%.1f%% relative), "
              "%s, covers the exact value: %s" %
              (args.effort, args.threads, "" if args.threads == 1 else "s", p, h, 100 * h / p,
               "%s runs, %s timed firings, %.2f s" % (m.group(1), m.group(2), wall),
               "yes" if abs(p - exact) <= h else "NO"))
        for line in out.splitlines():
            if line.startswith("  to level"):
                print("   " + line)

        plain, out = run([os.path.join(bench, "gen_raid_san_sim"), "-Nplain", "-r0", "-a0",
                          "-n%d" % args.plain, "-T%d" % args.threads, "-S%d" % args.seed], work)
        z = 1.959963984540054
        need = exact * (1 - exact) * z * z / (h * h)
        projected = need / args.plain * plain
        print("plain replication: %d replications in %.2f s (%.3g per second); the same "
              "half-width needs about %.3g replications: %.3g s, %.3g times the splitting's "
              "wall time" % (args.plain, plain, args.plain / plain, need, projected,
                             projected / wall))


if __name__ == "__main__":
    main()
