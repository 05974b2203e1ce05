#!/usr/bin/env python3
"""The cost of showing one heavy live dashboard on a wall screen: the program full screen
on a private Xvfb screen (1280x1024, software GL) under a window manager, its playlist one
entry, pages/dashboard.html (six charts of a few hundred points, four on canvases and two
in SVG, redrawn every second), beside the minimal program on the same engine showing the
same page full screen (minimal_rotation.cpp), the floor. The dwell is longer than a run,
so the page is never loaded again. For each, from SETTLE s after the page was asked for,
over 40 s: the CPU used by the whole process tree, read from /proc, and the redraws of the
page (each redraw asks the server for /tick, so a page drawn twice over shows as two a
second). The programs take turns within a round; each round gives a ratio against the
minimal program of the same round. With a build that preloads, the program is taken with
and without preloading: with one entry, the page to come is that page again. Then two
dashboards take turns with preloading, and their redraws tell whether the page that left
the screen went on drawing beside it.

    bench/dashboard_cost.py [--rounds N] [--seconds S]"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib
from benchlib import (PageServer, Row, bench_program, cpu_total, median, note, start_program, stop_program,
                      tree_cpu_seconds, wait_until, write_playlist)

PAGE = "/dashboard.html"
DWELL = 600
SETTLE = 8
WINDOW = 40
ROUNDS = 5
SCREEN = "1280x1024"
TWO_DWELL = 40
# How long before its turn the program asks for the next page.
PREPARE_LEAD = 15


def redraws(server, since, until):
    return sum(1 for moment, path in server.requests if path.startswith("/tick") and since <= moment < until)


def window_sizes(pid, display):
    """The sizes of the visible windows of a process, as xdotool prints them ("1280x1024")."""
    environment = dict(os.environ, DISPLAY=display)
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], env=environment,
                           capture_output=True, text=True).stdout.split()
    sizes = []
    for window in found:
        answer = subprocess.run(["xdotool", "getwindowgeometry", window], env=environment, capture_output=True,
                                text=True).stdout
        sizes += [line.split()[-1] for line in answer.splitlines() if "Geometry:" in line]
    return sizes


def measure(command, server, display, seconds):
    """Share of a core, redraws a second, the share of the program's own process, and whether
    the page was asked for again during the window."""
    asked_before = len(server.requests)
    process = start_program(command[1:], platform="xcb", binary=command[0], display=display)
    try:
        if not wait_until(lambda: any(path.startswith(PAGE) for _, path in server.requests[asked_before:]), 60):
            raise SystemExit("dashboard_cost: %s never asked for the page" % command[0])
        time.sleep(SETTLE)
        # A window that fell out of full screen would make a cheaper floor than the screen's.
        if SCREEN not in window_sizes(process.pid, display):
            raise SystemExit("dashboard_cost: %s is not full screen: %s" % (
                command[0], window_sizes(process.pid, display)))
        before, started = tree_cpu_seconds(process.pid), time.monotonic()
        loads_before = sum(1 for _, path in server.requests if path.startswith(PAGE))
        time.sleep(seconds)
        after, ended = tree_cpu_seconds(process.pid), time.monotonic()
        loaded_again = sum(1 for _, path in server.requests if path.startswith(PAGE)) > loads_before
    finally:
        stop_program(process)
    elapsed = ended - started
    share = (cpu_total(after) - cpu_total(before)) / elapsed * 100
    # The program's own process holds Qt's drawing and the engine's GPU thread; its helpers
    # are the engine's zygote and the renderers forked from it.
    own = (after[process.pid][0] - before[process.pid][0]) / elapsed * 100
    return share, redraws(server, started, ended) / elapsed, own, loaded_again


def commands(playlist, url):
    """Every program of a round by name, and the program each is compared with."""
    chosen = {"minimal full screen": ([bench_program("minimal_rotation"), "--full-screen", str(DWELL), url], None)}
    program = [benchlib.BINARY, "--full-screen"]
    rotation = ["/f=" + playlist, "/t=%d" % DWELL]
    if benchlib.accepts_option("--preload"):
        chosen["full screen, preloading"] = (program + ["--preload"] + rotation, "minimal full screen")
        chosen["full screen, without preloading"] = (program + ["--no-preload"] + rotation, "minimal full screen")
    else:
        chosen["full screen"] = (program + rotation, "minimal full screen")
    return chosen


def measure_rounds(rounds, seconds):
    server = PageServer(folder=os.path.join(os.path.dirname(os.path.abspath(__file__)), "pages"))
    screen = benchlib.VirtualScreen(size=SCREEN + "x24", window_manager=True)
    figures = {}
    try:
        with tempfile.TemporaryDirectory() as folder:
            playlist = os.path.join(folder, "dashboard.txt")
            write_playlist(playlist, [server.url(PAGE)])
            chosen = commands(playlist, server.url(PAGE))
            names = list(chosen)
            for round_number in range(rounds):
                # Each round starts one program later, so none is always first after a pause.
                order = names[round_number % len(names):] + names[:round_number % len(names)]
                for name in order:
                    share, rate, own, loaded_again = measure(chosen[name][0], server, screen.display, seconds)
                    load = os.getloadavg()[0]
                    if loaded_again:
                        raise SystemExit("dashboard_cost: %s loaded the page again within its dwell" % name)
                    figures.setdefault(name, []).append((share, rate, own, load))
                    note("dashboard round %d %-32s %5.1f%% of a core (%.1f%% its own process), %.2f redraws/s "
                         "over %.0f s (load %s)" % (round_number + 1, name, share, own, rate, seconds,
                                                    benchlib.load_average()))
            return figures, {name: reference for name, (_, reference) in chosen.items()}
    finally:
        screen.close()
        server.close()


def two_dashboards_row(seconds=WINDOW):
    """Two live dashboards taking turns every TWO_DWELL s with preloading. The next is drawn
    beside the one on the screen from PREPARE_LEAD s before its turn; were the one that left
    the screen to stop, the page redraws would come to one a second plus the share of the
    dwell spent preparing. Two a second: the page that left goes on drawing for nobody."""
    server = PageServer(folder=os.path.join(os.path.dirname(os.path.abspath(__file__)), "pages"))
    screen = benchlib.VirtualScreen(size=SCREEN + "x24", window_manager=True)
    try:
        with tempfile.TemporaryDirectory() as folder:
            playlist = os.path.join(folder, "two.txt")
            write_playlist(playlist, [server.url(PAGE + "?one"), server.url(PAGE + "?two")])
            process = start_program(["--full-screen", "--preload", "/f=" + playlist, "/t=%d" % TWO_DWELL],
                                    platform="xcb", display=screen.display)
            try:
                wait_until(lambda: server.requests, 60)
                time.sleep(TWO_DWELL + SETTLE)
                started = time.monotonic()
                time.sleep(max(seconds, TWO_DWELL))
                rate = redraws(server, started, time.monotonic()) / (time.monotonic() - started)
            finally:
                stop_program(process)
    finally:
        screen.close()
        server.close()
    bound = 1 + PREPARE_LEAD / TWO_DWELL
    return Row("page redraws, two live dashboards taking turns every %d s full screen with preloading" % TWO_DWELL,
               "%.2f a second" % rate, "at most %.2f (one page, and the next for %d s of each %d)" % (
                   bound * 1.05, PREPARE_LEAD, TWO_DWELL), rate <= bound * 1.05)


def spread(values, form="%.2f", unit=""):
    return (form + unit + " (" + form + "-" + form + ")") % (median(values), min(values), max(values))


def rows(rounds=ROUNDS, seconds=WINDOW):
    figures, references = measure_rounds(rounds, seconds)
    measured = []
    for name, values in figures.items():
        shares = [v[0] for v in values]
        loads = [v[3] for v in values]
        figure = "%s of a core, %.1f%% in its own process, the rest in its helpers; %.1f redraws/s; " \
                 "%d rounds of %.0f s, load average %.1f-%.1f" % (
                     spread(shares, "%.1f", "%%"), median([v[2] for v in values]), median([v[1] for v in values]),
                     len(values), seconds, min(loads), max(loads))
        reference = references[name]
        what = "CPU showing a live dashboard (6 charts redrawn each second) on Xvfb, one entry, %s" % name
        if reference is None:
            measured.append(Row(what, figure, "none: the floor", None))
            continue
        ratios = [share / figures[reference][i][0] for i, share in enumerate(shares)]
        figure += "; vs %s per round: %s" % (reference, spread(ratios))
        measured.append(Row(what, figure, "CPU at most 1.10x", median(ratios) <= 1.10))
    if benchlib.accepts_option("--preload"):
        measured.append(two_dashboards_row(seconds))
    return measured


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rounds", type=int, default=ROUNDS)
    parser.add_argument("--seconds", type=float, default=WINDOW, help="the measured window of each run")
    chosen = parser.parse_args()
    benchlib.print_rows(rows(chosen.rounds, chosen.seconds))
