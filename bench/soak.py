#!/usr/bin/env python3
"""A soak: the real program with /t=1 over a looping playlist of local pages (the
example pages, which run a clock and load a style sheet, and two plain ones), left
running. Every minute: the passes completed (the server's count of requests for the
last entry), the resident memory of the process tree, the number of helper
processes. At the end, a verdict against the memory target: growth of at most 10%
from the first minute in which 200 pages had been shown (the long-run benchmark's
starting point) to the last.

    bench/soak.py [MINUTES]          (make soak MINUTES=60; Ctrl-C ends it early)
"""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from benchlib import (ROOT, PageServer, helper_count, load_average, start_program, stop_program, tree_rss_kib,
                      wait_until, write_playlist)

GROWTH_TARGET = 10
BASELINE_PAGES = 200


def main():
    minutes = int(sys.argv[1]) if len(sys.argv) > 1 else 60
    server = PageServer(folder=os.path.join(ROOT, "examples", "pages"))
    entries = ["/clock.html", "/dashboard.html", "/notice.html", "/plain1.html", "/plain2.html"]

    def requests_for(path):
        return sum(1 for _, asked in server.requests if asked.split("?")[0] == path)

    with tempfile.TemporaryDirectory() as folder:
        playlist = os.path.join(folder, "soak.txt")
        write_playlist(playlist, [server.url(path) for path in entries])
        program = start_program(["/f=" + playlist, "/t=1"])
        print("soak: %d minutes, /t=1 over %d pages, program pid %d, load average %s" % (
            minutes, len(entries), program.pid, load_average()), flush=True)
        samples = []
        status = None
        try:
            if not wait_until(lambda: server.requests, 60):
                raise SystemExit("soak: the first page was never asked for")
            started = time.monotonic()
            for minute in range(1, minutes + 1):
                time.sleep(max(0.0, started + minute * 60 - time.monotonic()))
                if program.poll() is not None:
                    print("soak: the program ended by itself with status %d" % program.returncode, flush=True)
                    break
                resident = tree_rss_kib(program.pid)
                passes = requests_for(entries[-1])
                pages = len(server.requests)
                helpers = helper_count(program.pid)
                samples.append((minute, passes, pages, resident, helpers))
                print("minute %3d: %5d passes, %6d pages, %7.1f MiB in %d processes (%d helpers), %+5.1f%% on minute 1" % (
                    minute, passes, pages, resident / 1024, helpers + 1, helpers,
                    (resident / samples[0][3] - 1) * 100), flush=True)
        except KeyboardInterrupt:
            print("soak: ended early", flush=True)
        finally:
            if program.poll() is None:
                status = stop_program(program)
    server.close()

    met, lines = verdict(samples, status)
    for line in lines:
        print(line)
    return 0 if met else 1


def verdict(samples, status):
    """Whether the soak met its targets, and the closing lines that say so. samples are
    (minute, passes, pages, resident KiB, helpers), one a minute; status is the exit
    status on SIGTERM (None if the program ended by itself)."""
    if not samples:
        return False, ["verdict: no minute was completed: MISSED"]
    baseline = next((s for s in samples if s[2] >= BASELINE_PAGES), samples[0])
    last = samples[-1]
    growth = (last[3] / baseline[3] - 1) * 100
    peak = max(s[3] for s in samples)
    stalled = [s[0] for previous, s in zip(samples, samples[1:]) if s[1] <= previous[1]]
    # Compared in whole KiB, so growth of exactly the target is not lost to rounding.
    within = (last[3] - baseline[3]) * 100 <= GROWTH_TARGET * baseline[3]
    met = within and not stalled and status == 0
    return met, [
        "passes per minute: %s; helpers: %s; exit status on SIGTERM: %s" % (
            " ".join(str(s[1] - p[1]) for p, s in zip([(0, 0)] + samples, samples)),
            " ".join(sorted({str(s[4]) for s in samples})), status),
        "verdict: %.1f MiB at minute %d vs %.1f MiB at minute %d (%d pages shown by then): %+.1f%%, peak %.1f MiB; "
        "target growth at most %.0f%%%s: %s" % (
            last[3] / 1024, last[0], baseline[3] / 1024, baseline[0], baseline[2], growth, peak / 1024,
            GROWTH_TARGET, "; no pass completed in minute %s" % ", ".join(map(str, stalled)) if stalled else "",
            "MET" if met else "MISSED"),
    ]

if __name__ == "__main__":
    sys.exit(main())
