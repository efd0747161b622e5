#!/usr/bin/env python3
"""Hostile-input campaign against sanc, solve and the simulator, built with
AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize/).

Each program gets inputs made from sound ones: bytes flipped, inserted (NUL, 0xff,
line ends), deleted and duplicated, numbers replaced by extreme ones (1e400, 1e-400,
the limits of long, nan, -1), files truncated; the simulator gets extreme option
values. A run fails the campaign when it

- reports a sanitizer finding or aborts (a signal, status 134),
- does not end within the time limit (a hang),
- ends with a status other than 0 and 1,
- ends with status 0 on an input that is broken for certain (a truncated record, a
  letter inside a number).

    python3 bench/fuzz.py                  # about 3 minutes, seeded
    python3 bench/fuzz.py --runs 2000 --seed 7
"""
import argparse
import glob
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXTREMES = ["1e400", "-1e400", "1e-400", "1e308", "9223372036854775807",
            "9223372036854775808", "-9223372036854775809", "4294967295", "nan", "inf",
            "-1", "0", "1e23", "0.0000001", "99999999999999999999999"]
NUMBER = re.compile(rb"\d+(\.\d+)?([eE][-+]?\d+)?")
SANITIZER = re.compile(r"runtime error|AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer")


def mutate(data, rnd):
    """One random change of the bytes; returns (data, surely_broken)."""
    kind = rnd.randrange(7)
    if not data:
        return b"\0", True
    at = rnd.randrange(len(data))
    if kind == 0:  # flip a byte
        return data[:at] + bytes([rnd.randrange(256)]) + data[at + 1:], False
    if kind == 1:  # insert a hostile byte
        return data[:at] + rnd.choice([b"\0", b"\xff", b"\n", b"\r", b"\"", b"\\"]) + data[at:], False
    if kind == 2:  # delete a range
        return data[:at] + data[at + rnd.randrange(1, 40):], False
    if kind == 3:  # duplicate a line
        start = data.rfind(b"\n", 0, at) + 1
        end = data.find(b"\n", at)
        end = len(data) if end < 0 else end + 1
        return data[:end] + data[start:end] + data[end:], False
    if kind == 4:  # an extreme number in place of one
        numbers = list(NUMBER.finditer(data))
        if numbers:
            m = rnd.choice(numbers)
            return data[:m.start()] + rnd.choice(EXTREMES).encode() + data[m.end():], False
        return data, False
    if kind == 5:  # truncate
        return data[:at], False
    # a letter inside a number: never a number of any kind
    numbers = [m for m in NUMBER.finditer(data) if m.end() - m.start() > 1]
    if numbers:
        m = rnd.choice(numbers)
        cut = rnd.randrange(m.start() + 1, m.end())
        return data[:cut] + b"x" + data[cut:], True
    return data, False


class Campaign:
    def __init__(self, timeout):
        self.timeout = timeout
        self.counts = {}
        self.failures = []

    def run(self, program, cmd, cwd, broken):
        counts = self.counts.setdefault(program, {"runs": 0, "status 0": 0, "status 1": 0})
        counts["runs"] += 1
        try:
            proc = subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                  timeout=self.timeout)
        except subprocess.TimeoutExpired:
            self.failures.append((program, "hang", cmd, cwd))
            return
        err = proc.stderr.decode(errors="replace")
        if SANITIZER.search(err):
            self.failures.append((program, "sanitizer: " + SANITIZER.search(err).group(0), cmd, cwd))
        elif proc.returncode not in (0, 1):
            self.failures.append((program, "status %d" % proc.returncode, cmd, cwd))
        elif proc.returncode == 0 and broken:
            self.failures.append((program, "status 0 on broken input", cmd, cwd))
        key = "status %d" % proc.returncode
        counts[key] = counts.get(key, 0) + 1


def keep(case_dir, failures_dir, n):
    target = os.path.join(failures_dir, "case%d" % n)
    shutil.copytree(case_dir, target)
    return target


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=400, help="inputs per program")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--timeout", type=float, default=60.0)
    ap.add_argument("--build", default=os.path.join(ROOT, "build-sanitize"))
    ap.add_argument("--keep", default=os.path.join(ROOT, "fuzz-failures"),
                    help="where failing inputs are copied")
    args = ap.parse_args()
    rnd = random.Random(args.seed)

    subprocess.check_call(["cmake", "-S", ROOT, "-B", args.build, "-DGEN_SANITIZE=ON"],
                          stdout=subprocess.DEVNULL)
    subprocess.check_call(["cmake", "--build", args.build, "-j2", "--target", "sanc", "solve",
                           "simtest_repair", "simtest_two_state_sim"],
                          stdout=subprocess.DEVNULL)
    sanc = os.path.join(args.build, "compiler", "sanc")
    solve = os.path.join(args.build, "solve")
    # A chain whose every variable solve computes: status 0 when sound.
    gen = os.path.join(args.build, "testmodels", "simtest_repair")
    sim = os.path.join(args.build, "testmodels", "simtest_two_state_sim")
    env_note = "ASAN_OPTIONS=detect_leaks=0"
    os.environ["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=0"
    os.environ["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1"
    campaign = Campaign(args.timeout)
    seeds = sorted(glob.glob(os.path.join(ROOT, "**", "*.san"), recursive=True))
    seeds = [s for s in seeds if "/build" not in s]

    with tempfile.TemporaryDirectory() as tmp:
        # sanc: mutated model files.
        for n in range(args.runs):
            with open(rnd.choice(seeds), "rb") as f:
                data = f.read()
            broken = False
            for _ in range(rnd.randrange(1, 4)):
                data, b = mutate(data, rnd)
                broken = broken or b
            case = os.path.join(tmp, "sanc%d" % n)
            os.mkdir(case)
            with open(os.path.join(case, "m.san"), "wb") as f:
                f.write(data)
            before = len(campaign.failures)
            # A letter inside a number may still be a name or a comment: only the
            # crash, hang and status checks apply to sanc.
            campaign.run("sanc", [sanc, "m.san", "out"], case, False)
            if len(campaign.failures) > before:
                keep(case, args.keep, len(campaign.failures))
            shutil.rmtree(case)

        # solve: a sound chain from gen, then one of its files mutated.
        sound = os.path.join(tmp, "sound")
        os.mkdir(sound)
        subprocess.check_call([gen, "-P" + sound + "/", "-Nm", "-B0"], stdout=subprocess.DEVNULL)
        for n in range(args.runs):
            case = os.path.join(tmp, "solve%d" % n)
            shutil.copytree(sound, case)
            name = rnd.choice(["m.arm", "m.arm", "m.var", "m.pvtype"])
            with open(os.path.join(case, name), "rb") as f:
                data = f.read()
            data, broken = mutate(data, rnd)
            with open(os.path.join(case, name), "wb") as f:
                f.write(data)
            before = len(campaign.failures)
            campaign.run("solve", [solve, "-Nm"], case, broken and name != "m.pvtype")
            if len(campaign.failures) > before:
                keep(case, args.keep, len(campaign.failures))
            shutil.rmtree(case)

        # The simulator: extreme option values.
        options = ["-g", "-w", "-b", "-k", "-a", "-r", "-L", "-n", "-S", "-T"]
        for n in range(args.runs):
            case = os.path.join(tmp, "sim%d" % n)
            os.mkdir(case)
            # Few replications: under the sanitizers a replication is slow, and a
            # run without a target (-r0) makes them all.
            cmd = [sim, "-Nx", "-n32"]
            for _ in range(rnd.randrange(1, 3)):
                letter = rnd.choice(options)
                value = rnd.choice(EXTREMES + ["1e15", "1e-320", "", "0:1e308:5", "0:1:100000",
                                               "1e308:1e308:2", "x"])
                cmd.append(letter + value)
            before = len(campaign.failures)
            campaign.run("sim", cmd, case, False)
            if len(campaign.failures) > before:
                keep(case, args.keep, len(campaign.failures))
            shutil.rmtree(case)

    print("%-6s %6s %9s %9s" % ("program", "runs", "status 0", "status 1"))
    for program, c in campaign.counts.items():
        print("%-6s %6d %9d %9d" % (program, c["runs"], c.get("status 0", 0), c.get("status 1", 0)))
    print("\nfailures: %d (%s; inputs kept in %s)" % (len(campaign.failures), env_note, args.keep))
    for program, what, cmd, _ in campaign.failures[:40]:
        print("  %s: %s: %s" % (program, what, " ".join(cmd)))
    return 1 if campaign.failures else 0


if __name__ == "__main__":
    sys.exit(main())
