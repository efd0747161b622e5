#!/usr/bin/env python3
"""Study driver benchmark: builds in Release and times `study` against the programs it
runs, in one invocation.

1. The repair study (docs/examples/repair) from a new folder: the first run, with the
   compilation of the model, and a rerun with nothing changed.
2. Kanban N = 1..5 and FMS N = 1..7, each as one study (`-B 0-4`, `-B 0-6` of the
   models' own studies), against the same gen and solve runs made one after another.
   The study's time is given with and without the compilation of the model (the
   line "compiled the model in ... s").

    python3 bench/study.py                  # all of it
    python3 bench/study.py --kanban 3 --fms 3
"""
import argparse
import os
import re
import shutil
import subprocess
import tempfile

from benchrun import run as timed

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))



def compiled(out):
    m = re.search(r"^compiled the model in ([\d.]+) s", out, re.M)
    return float(m.group(1)) if m else 0.0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--kanban", type=int, default=5, help="largest Kanban N")
    ap.add_argument("--fms", type=int, default=7, help="largest FMS N")
    ap.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    args = ap.parse_args()

    subprocess.check_call(["cmake", "-S", ROOT, "-B", args.build, "-DCMAKE_BUILD_TYPE=Release",
                           "-DBUILD_TESTING=OFF"], stdout=subprocess.DEVNULL)
    subprocess.check_call(["cmake", "--build", args.build, "-j2", "--target", "study"],
                          stdout=subprocess.DEVNULL)
    study = os.path.join(args.build, "study")
    solve = os.path.join(args.build, "solve")

    with tempfile.TemporaryDirectory() as tmp:
        shutil.copy(os.path.join(ROOT, "docs", "examples", "repair", "repair.san"), tmp)
        first, out = timed([study, "repair.san"], tmp)
        again, out2 = timed([study, "repair.san"], tmp)
        kept = out2.count("results of an earlier run kept")
        print("repair study, new folder: first run %.2f s (compilation %.2f s), rerun %.2f s "
              "(%d of 3 experiments kept)" % (first, compiled(out), again, kept))

    print()
    print("%-7s %-5s %9s %9s %9s %9s %7s %7s" % ("model", "N", "study s", "compile", "runs s",
                                              "by hand", "ratio", "ratio*"))
    for model, top in (("kanban", args.kanban), ("fms", args.fms)):
        if top < 1:
            continue
        with tempfile.TemporaryDirectory() as tmp:
            source = os.path.join(ROOT, "bench", "models", model + ".san")
            wall, out = timed([study, source, "-o", "s", "-B", "0-%d" % (top - 1)], tmp)
            compile_s = compiled(out)
            gen = os.path.join(tmp, "s", ".build", "gen")
            by_hand = 0.0
            for k in range(top):
                d = os.path.join(tmp, "hand%d" % k)
                os.mkdir(d)
                g, _ = timed([gen, "-P" + d + "/", "-N" + model, "-B%d" % k], tmp)
                s, _ = timed([solve, "-P" + d + "/", "-N" + model], tmp)
                by_hand += g + s
            print("%-7s 1..%-2d %9.2f %9.2f %9.2f %9.2f %7.2f %7.2f" % (
                model, top, wall, compile_s, wall - compile_s, by_hand, wall / by_hand,
                (wall - compile_s) / by_hand))
    print("\nratio: the study's wall time over the runs by hand; ratio*: without the "
          "compilation of the model")


if __name__ == "__main__":
    main()
