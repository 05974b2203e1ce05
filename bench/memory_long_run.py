#!/usr/bin/env python3
"""Memory over a long run: the real browser adapter (in bench/probe.cpp) navigating
2,000 pages of a loopback server, each as soon as the last completed; the resident
memory of its process tree after 200 loads and after 2,000."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from benchlib import PageServer, Row, bench_program, helper_count, median, note, start_program, tree_rss_kib

LOADS = 2000
CHECKPOINTS = list(range(200, LOADS + 1, 200))
SAMPLES = 5


def measure(loads=LOADS, checkpoints=CHECKPOINTS):
    server = PageServer()
    probe = start_program(["memory", server.url("/m"), str(loads)] + [str(c) for c in checkpoints],
                          binary=bench_program("veltrase_probe"), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                          text=True)
    resident = {}
    started = time.monotonic()
    try:
        for line in probe.stdout:
            words = line.split()
            if not words or words[0] != "loaded":
                continue
            done, failed = int(words[1]), int(words[3])
            # The probe waits here; the engine's own clean-up after the last load
            # settles, and a few readings make one figure.
            readings = []
            for _ in range(SAMPLES):
                time.sleep(0.5)
                readings.append(tree_rss_kib(probe.pid))
            resident[done] = median(readings)
            note("memory: %4d loads (%d failed) in %5.1f s: %7.1f MiB in %d processes" % (
                done, failed, time.monotonic() - started, resident[done] / 1024, helper_count(probe.pid) + 1))
            probe.stdin.write("\n")
            probe.stdin.flush()
            if done == loads:
                break
    finally:
        probe.stdin.close()
        probe.wait(timeout=30)
    requested = len(server.requests)
    server.close()
    if requested < loads:
        raise SystemExit("memory_long_run: the server saw %d requests for %d loads" % (requested, loads))
    return resident


def rows():
    resident = measure()
    early, late = resident[CHECKPOINTS[0]], resident[LOADS]
    growth = (late / early - 1) * 100
    return [Row("memory over %d loads" % LOADS,
                "%.0f MiB after %d, %.0f MiB after %d: %+.1f%%" % (early / 1024, CHECKPOINTS[0], late / 1024, LOADS, growth),
                "growth at most 10%", growth <= 10)]


if __name__ == "__main__":
    from benchlib import print_rows
    print_rows(rows())
