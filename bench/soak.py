#!/usr/bin/env python3
"""A soak: the real program with /t=2 over a looping playlist of local pages (the
example pages, which run a clock and load a style sheet, a live chart whose script
redraws its canvases every second as dashboards do, and two plain ones), left
running. Every minute: the passes completed (the server's count of requests for the
last entry), the resident memory of the process tree, the number of helper
processes. At the end, a verdict against the targets: memory growth of at most 10%
from minute 5 (once the engine and its caches have settled) to the last, and passes
per minute that hold steady (each minute after the first within a fifth, or one
pass, of the median).

    bench/soak.py [MINUTES]          (make soak MINUTES=60; Ctrl-C ends it early)
"""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from benchlib import (ROOT, PageServer, helper_count, load_average, median, start_program, stop_program,
                      tree_rss_kib, wait_until, write_playlist)

GROWTH_TARGET = 10
BASELINE_MINUTE = 5
STEADY_SHARE = 0.2
DWELL_SECONDS = 2


def main():
    minutes = int(sys.argv[1]) if len(sys.argv) > 1 else 60
    server = PageServer(folder=os.path.join(ROOT, "examples", "pages"))
    entries = ["/clock.html", "/dashboard.html", "/live-chart.html", "/notice.html", "/plain1.html", "/plain2.html"]

    def requests_for(path):
        return sum(1 for _, asked in server.requests if asked.split("?")[0] == path)

    with tempfile.TemporaryDirectory() as folder:
        playlist = os.path.join(folder, "soak.txt")
        write_playlist(playlist, [server.url(path) for path in entries])
        program = start_program(["/f=" + playlist, "/t=%d" % DWELL_SECONDS])
        print("soak: %d minutes, /t=%d over %d pages, program pid %d, load average %s" % (
            minutes, DWELL_SECONDS, len(entries), program.pid, load_average()), flush=True)
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
    baseline = next((s for s in samples if s[0] >= BASELINE_MINUTE), samples[0])
    last = samples[-1]
    growth = (last[3] / baseline[3] - 1) * 100
    peak = max(s[3] for s in samples)
    per_minute = [s[1] - p[1] for p, s in zip([(0, 0)] + samples, samples)]
    # The first minute starts the engine; the rest should each finish about as many passes.
    settled = list(zip([s[0] for s in samples], per_minute))[1:]
    typical = median([n for _, n in settled]) if settled else per_minute[0]
    unsteady = [m for m, n in settled if abs(n - typical) > max(1, STEADY_SHARE * typical)]
    stalled = [m for m, n in zip([s[0] for s in samples], per_minute) if n == 0]
    # Compared in whole KiB, so growth of exactly the target is not lost to rounding.
    within = (last[3] - baseline[3]) * 100 <= GROWTH_TARGET * baseline[3]
    met = within and not stalled and not unsteady and status == 0
    problems = ""
    if stalled:
        problems += "; no pass completed in minute %s" % ", ".join(map(str, stalled))
    if unsteady:
        problems += "; passes not steady in minute %s" % ", ".join(map(str, unsteady))
    return met, [
        "passes per minute: %s (median %g after the first); helpers: %s; exit status on SIGTERM: %s" % (
            " ".join(map(str, per_minute)), typical, " ".join(sorted({str(s[4]) for s in samples})), status),
        "verdict: %.1f MiB at minute %d vs %.1f MiB at minute %d: %+.1f%%, peak %.1f MiB; "
        "target growth at most %.0f%% and steady passes%s: %s" % (
            last[3] / 1024, last[0], baseline[3] / 1024, baseline[0], growth, peak / 1024,
            GROWTH_TARGET, problems, "MET" if met else "MISSED"),
    ]


if __name__ == "__main__":
    sys.exit(main())
