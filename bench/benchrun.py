"""What the benchmark scripts share: running a built program and timing it."""
import subprocess
import sys
import time


def run(cmd, cwd):
    """Runs cmd in cwd; returns (wall seconds, stdout). A failure ends the script with
    the program's output."""
    start = time.monotonic()
    proc = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    wall = time.monotonic() - start
    if proc.returncode != 0:
        sys.exit("failed: %s\n%s%s" % (" ".join(cmd), proc.stdout.decode(errors="replace"),
                                         proc.stderr.decode(errors="replace")))
    return wall, proc.stdout.decode()
