#!/usr/bin/env python3
"""Writes the model file of a cyclic polling system with N stations, hand-unrolled
(docs/examples/polling writes it once for every N, with replicas or activity
families; this file keeps the benchmark's one atomic model of plain places):

    python3 bench/polling.py 15 > polling15.san

One server visits the stations in turn. Walking to a station takes an exponential
time of rate `poll`; it serves the job waiting there (rate `service`), or walks on
to the next station when there is none. Each station holds one job at most, and
jobs arrive at each empty station at rate `arrival`. Per position of the server
three combinations of its own status and the buffer of the station it is at are
possible and the other N - 1 buffers are free: N 3 2^(N-1) states, 737,280 at
N = 15. With poll = 200 against arrival = 1/N the chain is stiff: the server runs
round the ring thousands of times per arrival.
"""
import sys


def model(n):
    lines = [
        "// A cyclic polling system of %d stations; written by bench/polling.py." % n,
        "global double poll, arrival, service",
        "",
        "study {",
        "    poll = 200",
        "    arrival = %r" % (1.0 / n),
        "    service = 1",
        "}",
        "",
        "atomic polling {",
        "    place at, serving, " + ", ".join("b%d" % i for i in range(n)),
    ]
    for i in range(n):
        lines.append("    timed arrive%d { exponential arrival; input gate b%d == 0 { b%d = 1; } }"
                     % (i, i, i))
    # The server reaches station `at`: it starts serving a waiting job, or walks on.
    reach = " else ".join("if (at == %d) { if (b%d == 1) serving = 1; else at = %d; }"
                          % (i, i, (i + 1) % n) for i in range(n))
    lines.append("    timed walk { exponential poll; input gate serving == 0 { %s } }" % reach)
    done = " else ".join("if (at == %d) b%d = 0;" % (i, i) for i in range(n))
    lines.append("    timed serve { exponential service; input gate serving == 1 "
                 "{ %s serving = 0; at = (at + 1) %% %d; } }" % (done, n))
    lines += [
        "}",
        "",
        "reward waiting {",
        "    steady",
        "    rate " + " + ".join("polling.b%d" % i for i in range(n)),
        "}",
        "",
        "reward busy {",
        "    steady",
        "    rate polling.serving",
        "}",
    ]
    return "\n".join(lines) + "\n"


if __name__ == "__main__":
    sys.stdout.write(model(int(sys.argv[1]) if len(sys.argv) > 1 else 15))
