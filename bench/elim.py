#!/usr/bin/env python3
"""Readers/writers (the GSPN book) with the instantaneous elimination, gen -z: builds in
Release, generates each K in the new mode and prints states, transitions, wall seconds and
peak memory with the published tangible counts checked. For K <= 23 it also runs the
default mode and checks that both write the same files byte for byte; beyond that it
checks that the default mode stops with its fixed message.

    python3 bench/elim.py                    # K = 5, 20, 23, 24, 35, 40
    python3 bench/elim.py --k 5 40 --repeat 3
"""
import argparse
import filecmp
import os
import subprocess
import sys
import tempfile
import time

PUBLISHED = {5: 201, 20: 30101, 35: 266701, 40: 451001}
DEPTH_MESSAGE = "Error:  Maximum number of zero time transition recursive firings exceeded(23)"
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def run(cmd, cwd):
    """Runs cmd; returns (status, wall seconds, peak resident MB, stderr)."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    err = proc.stderr.read()
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - start
    return os.waitstatus_to_exitcode(status), wall, usage.ru_maxrss / 1024.0, err.decode()


def count_arm(path):
    """States from the header; transitions from the line count (see bench/run.py)."""
    with open(path, "rb") as f:
        f.readline()
        states = int(f.readline())
        f.seek(0)
        lines = sum(chunk.count(b"\n") for chunk in iter(lambda: f.read(1 << 24), b""))
    return states, (lines - 3 - 2 * states) // 2


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--k", type=int, nargs="+", default=[5, 20, 23, 24, 35, 40])
    ap.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    ap.add_argument("--repeat", type=int, default=1, help="runs per K; the fastest is reported")
    args = ap.parse_args()

    subprocess.check_call(["cmake", "-S", ROOT, "-B", args.build, "-DCMAKE_BUILD_TYPE=Release",
                           "-DBUILD_TESTING=OFF"], stdout=subprocess.DEVNULL)
    subprocess.check_call(["cmake", "--build", args.build, "-j2", "--target",
                           "gen_readers_writers"], stdout=subprocess.DEVNULL)
    program = os.path.join(args.build, "bench", "gen_readers_writers")

    header = "%3s %9s %12s %8s %8s %9s %s" % ("K", "states", "transitions", "wall s", "peak MB",
                                            "published", "default mode")
    print(header)
    print("-" * len(header))
    failed = False
    with tempfile.TemporaryDirectory() as tmp:
        for k in args.k:
            experiment = "-B%d" % (k - 1)
            best = None
            for _ in range(args.repeat):
                status, wall, peak, err = run([program, "-P./", "-Nz", experiment, "-z"], tmp)
                if status != 0:
                    sys.exit("K=%d -z failed:\n%s" % (k, err))
                if best is None or wall < best[0]:
                    best = (wall, peak)
            states, transitions = count_arm(os.path.join(tmp, "z.arm"))
            published = PUBLISHED.get(k)
            match = "-" if published is None else ("yes" if published == states else "NO")
            status, _, _, err = run([program, "-P./", "-Nd", experiment], tmp)
            if k <= 23:
                same = status == 0 and all(
                    filecmp.cmp(os.path.join(tmp, "z" + s), os.path.join(tmp, "d" + s),
                                shallow=False) for s in (".arm", ".var", ".pvtype"))
                default = "same bytes" if same else "DIFFERENT"
            else:
                same = status == 1 and err.startswith(DEPTH_MESSAGE)
                default = "stops at depth 23" if same else "UNEXPECTED: status %d" % status
            failed = failed or match == "NO" or not same
            print("%3d %9d %12d %8.2f %8.0f %9s %s" % (k, states, transitions, best[0], best[1],
                                                      match, default))
    if failed:
        sys.exit(1)


if __name__ == "__main__":
    main()
