#!/usr/bin/env python3
"""Large-chain benchmark: builds in Release, then

  1. checks that gen -x (the extended state table) and gen -x -b (with the binary
     chain file beside the text one) write the very files of the default run, for
     Kanban N = 1..5 and FMS N = 1..7 (the compiled models), with the time of each,
  2. on Kanban N = 6: gen writing the text chain against gen writing only the
     binary one, and solve reading each, as ratios measured in one run,
  3. with --n7: Kanban N = 7 (41,644,800 states, beyond the default table) generated
     with -x -bonly and its throughput solved to solve's default residual of 1e-9,
     with the wall time and the peak memory of each step.

    python3 bench/storage.py
    python3 bench/storage.py --n7 --work /var/tmp    # needs about 5 GB of disk
"""
import argparse
import filecmp
import os
import re
import subprocess
import sys
import tempfile
import time

from benchrun import run

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FILES = (".arm", ".var", ".pvtype", ".rates")



def timed(cmd, cwd):
    """Runs cmd under /usr/bin/time; returns (wall seconds, peak resident MB, stdout)."""
    start = time.monotonic()
    proc = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, cwd=cwd,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    wall = time.monotonic() - start
    if proc.returncode != 0:
        sys.exit("failed: %s\n%s%s" % (" ".join(cmd), proc.stdout.decode(errors="replace"),
                                         proc.stderr.decode(errors="replace")))
    peak = int(proc.stderr.decode().strip().splitlines()[-1]) / 1024.0
    return wall, peak, proc.stdout.decode()


def read_seconds(out):
    """The seconds solve took to read the chain, from its "chain:" line."""
    m = re.search(r"read in ([\d.]+) s", out)
    return float(m.group(1)) if m else float("nan")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    ap.add_argument("--work", default=None, help="folder for the large files (default: a "
                                                  "temporary folder)")
    ap.add_argument("--n7", action="store_true", help="also Kanban N = 7")
    ap.add_argument("--skip-identity", action="store_true")
    args = ap.parse_args()

    subprocess.check_call(["cmake", "-S", ROOT, "-B", args.build, "-DCMAKE_BUILD_TYPE=Release",
                           "-DBUILD_TESTING=OFF"], stdout=subprocess.DEVNULL)
    subprocess.check_call(["cmake", "--build", args.build, "-j2", "--target", "gen_kanban_san",
                           "gen_fms_san", "solve"], stdout=subprocess.DEVNULL)
    bench = os.path.join(args.build, "bench")
    solve = os.path.join(args.build, "solve")

    if not args.skip_identity:
        print("default table against -x and -x -b (same files; wall time of each):")
        for model, top in (("kanban", 5), ("fms", 7)):
            program = os.path.join(bench, "gen_%s_san" % model)
            for n in range(1, top + 1):
                with tempfile.TemporaryDirectory(dir=args.work) as d:
                    walls = []
                    for name, extra in (("plain", []), ("x", ["-x"]), ("xb", ["-x", "-b"])):
                        wall, _ = run([program, "-P./", "-N" + name, "-B%d" % (n - 1)] + extra, d)
                        walls.append(wall)
                    ok = all(
                        filecmp.cmp(os.path.join(d, "plain" + s), os.path.join(d, o + s),
                                    shallow=False) for o in ("x", "xb") for s in FILES)
                    ok = ok and os.path.exists(os.path.join(d, "xb.armb"))
                    print("  %-6s N=%d  same files: %-3s  default %6.2f s  -x %6.2f s (%.2fx)  "
                          "-x -b %6.2f s" % (model, n, "yes" if ok else "NO", walls[0],
                                             walls[1], walls[1] / walls[0], walls[2]))
                    if not ok:
                        sys.exit("files differ")
                    sys.stdout.flush()

    program = os.path.join(bench, "gen_kanban_san")
    with tempfile.TemporaryDirectory(dir=args.work) as d:
        print("Kanban N = 6: text chain against binary chain")
        tw, tm, _ = timed([program, "-P./", "-Ntext", "-B5"], d)
        bw, bm, _ = timed([program, "-P./", "-Nbin", "-B5", "-bonly"], d)
        ts = os.path.getsize(os.path.join(d, "text.arm"))
        bs = os.path.getsize(os.path.join(d, "bin.armb"))
        print("  gen, text .arm:     %7.1f s, peak %6.0f MB, %6.0f MB file" % (tw, tm, ts / 2**20))
        print("  gen, binary .armb:  %7.1f s, peak %6.0f MB, %6.0f MB file  (%.2fx the time, "
              "%.2fx the size)" % (bw, bm, bs / 2**20, bw / tw, bs / ts))
        sw, sm, sout = timed([solve, "-P./", "-Ntext"], d)
        bsw, bsm, bout = timed([solve, "-P./", "-Nbin"], d)
        tr, br = read_seconds(sout), read_seconds(bout)
        print("  solve, text:        %7.1f s, peak %6.0f MB, reading the chain %6.2f s" %
              (sw, sm, tr))
        print("  solve, binary:      %7.1f s, peak %6.0f MB, reading the chain %6.2f s  (%.2fx "
              "the time, %.2fx the reading); same results: %s"
              % (bsw, bsm, br, bsw / sw, br / tr,
                 "yes" if filecmp.cmp(os.path.join(d, "text.csv"), os.path.join(d, "bin.csv"),
                                      shallow=False) else "NO"))
        sys.stdout.flush()

    if args.n7:
        with tempfile.TemporaryDirectory(dir=args.work) as d:
            print("Kanban N = 7, extended table, binary chain only:")
            gw, gm, out = timed([program, "-P./", "-Nk7", "-B5", "-Os:N:7", "-x", "-bonly"], d)
            states = [l for l in out.splitlines() if l.startswith("Generated:")]
            print("  gen:   %7.1f s, peak %6.0f MB, %s, .armb %.0f MB" % (
                gw, gm, states[-1] if states else "?",
                os.path.getsize(os.path.join(d, "k7.armb")) / 2**20))
            sys.stdout.flush()
            sw, sm, out = timed([solve, "-P./", "-Nk7"], d)
            print("  solve: %7.1f s, peak %6.0f MB" % (sw, sm))
            for line in out.splitlines():
                if not line.startswith(("results:", "plot:")):
                    print("    " + line)
            print("  in all: %.1f min" % ((gw + sw) / 60))


if __name__ == "__main__":
    main()
