#!/usr/bin/env python3
"""The cost of rotating pages on a real display: the program with /f= and /t=2 over five
pages on a private Xvfb screen (1280x1024, software GL) under a window manager, in its
designed window and full screen, beside a minimal program on the same engine that shows
the same pages for the same time with one view and one timer (minimal_rotation.cpp), at
the same window size and full screen. For each, after the first pages, over 40 s: the CPU
used by the whole process tree, read from /proc, and how often the window's thread woke
(the times it went to sleep). The programs take turns within a round; each round gives a ratio
against the minimal program of the same round, so a build next door that loads the
machine for a while moves both sides of a ratio alike. With a build that preloads, full
screen is taken with and without preloading.

    bench/rotation_cost.py [--rounds N] [--seconds S] [--window-only] [NAME=BINARY[,OPTION...] ...]
        NAME=BINARY: other builds measured in the window beside the program, e.g.
        before=/tmp/old/veltrase (a ratio against the minimal window each)"""
import argparse
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib
from benchlib import (PageServer, Row, bench_program, cpu_total, median, note, start_program, stop_program,
                      tree_cpu_seconds, wait_until, write_playlist)

INTERVAL = 2
PAGES = 5
SETTLE = 4
WINDOW = 40
ROUNDS = 13


def thread_wakes(pid):
    """Times the process's main thread went to sleep: each wake ends in one. The times it
    was put aside while running (involuntary switches) are not wakes: they follow its CPU
    and what else the machine runs, which the CPU figure already tells."""
    with open("/proc/%d/task/%d/status" % (pid, pid)) as f:
        return sum(int(line.split()[1]) for line in f if line.startswith("voluntary_ctxt"))


def measure(command, server, display, seconds):
    process = start_program(command[1:], platform="xcb", binary=command[0], display=display)
    try:
        asked_before = len(server.requests)
        if not wait_until(lambda: len(server.requests) > asked_before, 60):
            raise SystemExit("rotation_cost: %s never asked for a page" % command[0])
        time.sleep(SETTLE)
        before, switches, started = tree_cpu_seconds(process.pid), thread_wakes(process.pid), time.monotonic()
        requested = len(server.requests)
        time.sleep(seconds)
        after, woke, ended = tree_cpu_seconds(process.pid), thread_wakes(process.pid), time.monotonic()
        pages = len(server.requests) - requested
    finally:
        stop_program(process)
    elapsed = ended - started
    return (cpu_total(after) - cpu_total(before)) / elapsed * 100, (woke - switches) / elapsed, pages


def commands(builds, playlist, urls, full_screen):
    """Every program of a round by name, and the minimal program each is compared with.
    A build is a binary, optionally followed by program options: "path,--option"."""
    minimal = [bench_program("minimal_rotation")]
    chosen = {"minimal window": (minimal + [str(INTERVAL)] + urls, None)}
    rotation = ["/f=" + playlist, "/t=%d" % INTERVAL]
    for name, build in builds.items():
        binary, *options = build.split(",")
        chosen[name] = ([binary] + options + rotation, "minimal window")
    if not full_screen:
        return chosen
    chosen["minimal full screen"] = (minimal + ["--full-screen", str(INTERVAL)] + urls, None)
    program = benchlib.BINARY
    if benchlib.accepts_option("--preload", program):
        chosen["full screen"] = ([program, "--full-screen", "--no-preload"] + rotation, "minimal full screen")
        chosen["full screen, preloading"] = ([program, "--full-screen", "--preload"] + rotation, "full screen")
    else:
        chosen["full screen"] = ([program, "--full-screen"] + rotation, "minimal full screen")
    return chosen


def measure_rounds(builds, rounds, seconds, full_screen=True):
    """Per-round ratios of CPU and of wake-ups, each program against its reference."""
    server = PageServer()
    screen = benchlib.VirtualScreen(window_manager=True)
    ratios = {}
    try:
        with tempfile.TemporaryDirectory() as folder:
            urls = [server.url("/r%d.html" % i) for i in range(PAGES)]
            playlist = os.path.join(folder, "rotation.txt")
            write_playlist(playlist, urls)
            chosen = commands(builds, playlist, urls, full_screen)
            names = list(chosen)
            for round_number in range(rounds):
                # Each round starts one program later, so none is always first after a pause.
                order = names[round_number % len(names):] + names[:round_number % len(names)]
                figures = {}
                for name in order:
                    share, wakes, pages = measure(chosen[name][0], server, screen.display, seconds)
                    figures[name] = (share, wakes)
                    note("rotation round %d %-24s %5.1f%% of a core, main thread woke %5.1f/s, %d pages in %.0f s "
                         "(load %s)" % (round_number + 1, name, share, wakes, pages, seconds, benchlib.load_average()))
                for name, (command, reference) in chosen.items():
                    if reference:
                        share, wakes = figures[name]
                        ratios.setdefault(name, []).append(
                            (share / figures[reference][0], wakes / figures[reference][1], share, wakes))
            return {name: (values, chosen[name][1]) for name, values in ratios.items()}
    finally:
        screen.close()
        server.close()


def spread(values):
    return "%.2f (%.2f-%.2f)" % (median(values), min(values), max(values))


def rows(rounds=ROUNDS, seconds=WINDOW, builds=None, full_screen=True):
    # The window shows pages without preloading unless asked; a build that has the option is told so.
    window = benchlib.BINARY + (",--no-preload" if benchlib.accepts_option("--preload") else "")
    builds = {"window": window, **(builds or {})}
    measured = []
    for name, (values, reference) in measure_rounds(builds, rounds, seconds, full_screen).items():
        cpu, wakes = [v[0] for v in values], [v[1] for v in values]
        preloading = name.endswith("preloading")
        limit = 1.3 if preloading else 1.10
        what = "CPU while rotating on Xvfb, /t=%d over %d pages, %s" % (INTERVAL, PAGES, name)
        figure = ("%.1f%% of a core; vs %s, per round (%d rounds of %.0f s): CPU %s, wake-ups %s" % (
            median([v[2] for v in values]), reference, len(values), seconds, spread(cpu), spread(wakes)))
        if preloading:
            target = "CPU at most 1.3x without preloading"
            met = median(cpu) <= limit
        else:
            target = "CPU at most 1.10x, wake-ups at most 1.2x"
            met = median(cpu) <= limit and median(wakes) <= 1.2
        measured.append(Row(what, figure, target, met))
    return measured


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rounds", type=int, default=ROUNDS)
    parser.add_argument("--seconds", type=float, default=WINDOW, help="the measured window of each run")
    parser.add_argument("--window-only", action="store_true", help="leave out the full-screen runs")
    parser.add_argument("builds", nargs="*", metavar="NAME=BINARY")
    chosen = parser.parse_args()
    benchlib.print_rows(rows(chosen.rounds, chosen.seconds, dict(b.split("=", 1) for b in chosen.builds),
                             not chosen.window_only))
