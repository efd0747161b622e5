#!/usr/bin/env python3
"""Benchmark harness: builds in Release, runs gen_kanban, gen_fms, the same models compiled
from their model files (gen_kanban_san, gen_fms_san) and the hand-written Kanban floor over
a range of N, and prints one table with the published counts checked. The compiled
models' output files must equal the hand-written models' byte for byte; the table gives
the compiled model's time over the hand-written one's.

    python3 bench/run.py                 # Kanban N=1..5, FMS N=1..7
    python3 bench/run.py --kanban 6 --fms 8
    python3 bench/run.py --repeat 1       # one run each instead of the fastest of three
"""
import argparse
import filecmp
import os
import subprocess
import sys
import tempfile
import time

PUBLISHED = {
    "kanban": {1: (160, 616), 2: (4600, 28120), 3: (58400, 446400), 4: (454475, 3979850),
               5: (2546432, 24460016), 6: (11261376, 115708992)},
    "fms": {1: (54, 155), 2: (810, 3699), 3: (6520, 37394), 4: (35910, 237120),
            5: (152712, 1111482), 6: (537768, 4205670), 7: (1639440, 13552968),
            8: (4459455, 38533968)},
}

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
        sys.exit("failed: %s\n%s" % (" ".join(cmd), err.decode(errors="replace")))
    return wall, usage.ru_maxrss / 1024.0, out.decode()


def count_arm(path):
    """States from the header; transitions from the line count (3 header lines, then per
    state its number and a 0 line, and two lines per destination)."""
    with open(path, "rb") as f:
        f.readline()
        states = int(f.readline())
        f.seek(0)
        lines = 0
        while True:
            chunk = f.read(1 << 24)
            if not chunk:
                break
            lines += chunk.count(b"\n")
    return states, (lines - 3 - 2 * states) // 2


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--kanban", type=int, default=5, help="largest Kanban N (6 on request)")
    ap.add_argument("--fms", type=int, default=7, help="largest FMS N (8 on request)")
    ap.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    ap.add_argument("--repeat", type=int, default=3,
                    help="runs of each program per N; the fastest is reported (the machine's "
                         "noise only ever adds time)")
    args = ap.parse_args()

    subprocess.check_call(["cmake", "-S", ROOT, "-B", args.build, "-DCMAKE_BUILD_TYPE=Release",
                           "-DBUILD_TESTING=OFF"], stdout=subprocess.DEVNULL)
    subprocess.check_call(["cmake", "--build", args.build, "-j2", "--target", "gen_kanban",
                           "gen_fms", "gen_kanban_san", "gen_fms_san", "kanban_floor"], stdout=subprocess.DEVNULL)
    bindir = os.path.join(args.build, "bench")

    header = "%-7s %2s %11s %12s %8s %8s %11s %11s %5s %8s %s" % (
        "model", "N", "states", "transitions", "wall s", "peak MB", "states/s", "trans/s",
        "match", "vs floor", "compiled/hand (same bytes)")
    print(header)
    print("-" * len(header))
    for model, top in (("kanban", args.kanban), ("fms", args.fms)):
        for n in range(1, top + 1):
            floor = None
            fastest = None
            compiled = None
            for _ in range(max(1, args.repeat)):
                # The programs take turns, so that all see the same machine.
                if model == "kanban":
                    fw, fm, fout = run([os.path.join(bindir, "kanban_floor"), str(n)], ROOT)
                    if floor is None or fw < floor[0]:
                        floor = (fw, fm, fout.split())
                with tempfile.TemporaryDirectory() as hand, tempfile.TemporaryDirectory() as san:
                    wall, mem, _ = run([os.path.join(bindir, "gen_" + model), "-P" + hand + "/",
                                        "-N" + model, "-B%d" % (n - 1)], hand)
                    counts = count_arm(os.path.join(hand, model + ".arm"))
                    cwall, _, _ = run([os.path.join(bindir, "gen_" + model + "_san"),
                                       "-P" + san + "/", "-N" + model, "-B%d" % (n - 1)], san)
                    names = sorted(os.listdir(hand))
                    same = names == sorted(os.listdir(san)) and all(
                        filecmp.cmp(os.path.join(hand, f), os.path.join(san, f), shallow=False)
                        for f in names)
                    if not same:
                        sys.exit("gen_%s_san N=%d: output differs from gen_%s" % (model, n, model))
                if fastest is None or wall < fastest[0]:
                    fastest = (wall, mem, counts)
                if compiled is None or cwall < compiled:
                    compiled = cwall
            if floor is not None:
                fw, fm, fs = floor
                print("%-7s %2d %11s %12s %8.2f %8.0f %11.0f %11.0f %5s" % (
                    "floor", n, fs[1], fs[3], fw, fm, int(fs[1]) / fw, int(fs[3]) / fw,
                    "yes" if (int(fs[1]), int(fs[3])) == PUBLISHED[model][n] else "NO"))
                floor = fw
            wall, mem, (states, trans) = fastest
            match = "yes" if (states, trans) == PUBLISHED[model][n] else "NO"
            ratio = "%.2fx" % (wall / floor) if floor else ""
            print("%-7s %2d %11d %12d %8.2f %8.0f %11.0f %11.0f %5s %8s %.3f" % (
                "gen_" + model[:3], n, states, trans, wall, mem, states / wall, trans / wall,
                match, ratio, compiled / wall))
            sys.stdout.flush()


if __name__ == "__main__":
    main()
