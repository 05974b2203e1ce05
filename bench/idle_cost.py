#!/usr/bin/env python3
"""Idle cost: the real program holding one static page in a 30-second dwell; the CPU
used by its whole process tree (the program and the browser's helpers) over 20 s in
the middle of the dwell, read from /proc, as a share of one core."""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from benchlib import (PageServer, Row, cpu_total, note, start_program, stop_program, tree_cpu_seconds, wait_until,
                      write_playlist)

SETTLE = 5
WINDOW = 20


def measure():
    server = PageServer()
    with tempfile.TemporaryDirectory() as folder:
        playlist = os.path.join(folder, "idle.txt")
        write_playlist(playlist, [server.url("/idle.html")])
        program = start_program(["/f=" + playlist, "/t=30"])
        try:
            if not wait_until(lambda: server.requests, 60):
                raise SystemExit("idle_cost: the page was never asked for")
            requested = server.requests[0][0]
            # The page loads and paints in the first moments; the idle time is after.
            time.sleep(max(0.0, requested + SETTLE - time.monotonic()))
            before, started = tree_cpu_seconds(program.pid), time.monotonic()
            time.sleep(WINDOW)
            after, ended = tree_cpu_seconds(program.pid), time.monotonic()
            if len(server.requests) != 1 or ended - requested > 30:
                raise SystemExit("idle_cost: the window left the dwell")
        finally:
            stop_program(program)
    server.close()
    share = (cpu_total(after) - cpu_total(before)) / (ended - started) * 100
    for pid, (seconds, kind) in sorted(after.items()):
        used = seconds - before.get(pid, (0.0, kind))[0]
        note("idle: pid %d %-10s %.2f s of CPU in %.0f s" % (pid, kind, used, ended - started))
    return share


def rows():
    share = measure()
    return [Row("idle cost", "%.2f%% of one core" % share, "at most 1% of one core", share <= 1.0)]


if __name__ == "__main__":
    from benchlib import print_rows
    print_rows(rows())
