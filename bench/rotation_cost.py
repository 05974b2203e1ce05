#!/usr/bin/env python3
"""The cost of rotating pages: the real program with /f= and /t=2 over a few pages,
headless as the other rows run it, beside a minimal program on the same browser engine
that shows the same pages for the same time with one timer (minimal_rotation.cpp). For
each, after the first pages, over 20 s: the CPU used by the whole process tree, read
from /proc, and how often the window's thread woke (its context switches). Runs taken
in turns, medians compared.

    bench/rotation_cost.py [NAME=BINARY ...]     builds side by side, e.g. before=/tmp/old/veltrase"""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from benchlib import (BINARY, PageServer, Row, bench_program, cpu_total, median, note, start_program, stop_program,
                      tree_cpu_seconds, wait_until, write_playlist)

INTERVAL = 2
PAGES = 5
SETTLE = 4
WINDOW = 20
RUNS = 5


def thread_switches(pid):
    """Times the process's main thread was switched out: each wake ends in one."""
    with open("/proc/%d/task/%d/status" % (pid, pid)) as f:
        return sum(int(line.split()[1]) for line in f if line.startswith(("voluntary_ctxt", "nonvoluntary_ctxt")))


def measure(command, server):
    process = start_program(command[1:], binary=command[0])
    try:
        if not wait_until(lambda: server.requests, 60):
            raise SystemExit("rotation_cost: %s never asked for a page" % command[0])
        time.sleep(SETTLE)
        before, switches, started = tree_cpu_seconds(process.pid), thread_switches(process.pid), time.monotonic()
        requested = len(server.requests)
        time.sleep(WINDOW)
        after, woke, ended = tree_cpu_seconds(process.pid), thread_switches(process.pid), time.monotonic()
        pages = len(server.requests) - requested
    finally:
        stop_program(process)
    seconds = ended - started
    return (cpu_total(after) - cpu_total(before)) / seconds * 100, (woke - switches) / seconds, pages


def measure_all(binaries):
    server = PageServer()
    results = {name: [] for name in list(binaries) + ["minimal"]}
    with tempfile.TemporaryDirectory() as folder:
        urls = [server.url("/r%d.html" % i) for i in range(PAGES)]
        playlist = os.path.join(folder, "rotation.txt")
        write_playlist(playlist, urls)
        commands = {name: [binary, "/f=" + playlist, "/t=%d" % INTERVAL] for name, binary in binaries.items()}
        commands["minimal"] = [bench_program("minimal_rotation"), str(INTERVAL)] + urls
        for run in range(RUNS):
            for name, command in commands.items():
                share, wakes, pages = measure(command, server)
                results[name].append((share, wakes))
                note("rotation run %d %-10s %5.1f%% of a core, main thread woke %5.1f/s, %d pages in %d s" % (
                    run + 1, name, share, wakes, pages, WINDOW))
    server.close()
    return {name: (median([s for s, _ in values]), median([w for _, w in values])) for name, values in results.items()}


def rows():
    medians = measure_all({"veltrase": BINARY})
    share, wakes = medians["veltrase"]
    yard_share, yard_wakes = medians["minimal"]
    ratio = share / yard_share
    return [Row("CPU while rotating, /t=2 over %d pages" % PAGES,
                "%.2f%% of a core vs %.2f%% for a minimal program on the same engine: ratio %.2f; "
                "window thread woke %.0f/s vs %.0f/s" % (share, yard_share, ratio, wakes, yard_wakes),
                "ratio at most 1.10", ratio <= 1.10)]


if __name__ == "__main__":
    if len(sys.argv) > 1:
        for name, (share, wakes) in measure_all(dict(a.split("=", 1) for a in sys.argv[1:])).items():
            print("%-10s %5.2f%% of a core, window thread woke %.0f/s" % (name, share, wakes))
    else:
        from benchlib import print_rows
        print_rows(rows())
