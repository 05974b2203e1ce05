#!/usr/bin/env python3
"""Responsiveness: during a dwell of 30 s (slices of 300 ms), a click on Stop at a
random moment, to the six editing controls enabled again (bench/probe.cpp built as
veltrase_window_probe, in "stop" mode: the click is timed and sent from another
thread, as the window system's input would come, and the controls are seen enabled
as they change)."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from benchlib import PageServer, Row, bench_program, median, note, start_program

TRIALS = 8


def measure(trials=TRIALS):
    server = PageServer()
    probe = start_program(["stop", server.url("/dwell.html"), str(trials)], binary=bench_program("veltrase_window_probe"),
                          stdout=subprocess.PIPE, text=True)
    times = []
    for line in probe.stdout:
        words = line.split()
        if words[:1] == ["stop_ms"]:
            times.append(float(words[1]))
            note("stop: clicked %5.1f s into the dwell, controls enabled after %.2f ms" % (int(words[3]) / 1000,
                                                                                          times[-1]))
    status = probe.wait(timeout=60)
    server.close()
    if status != 0 or len(times) != trials:
        raise SystemExit("responsiveness: the probe ended with %d after %d trials" % (status, len(times)))
    return times


def rows():
    times = measure()
    return [Row("responsiveness, Stop to the six controls enabled",
                "median %.1f ms, worst %.1f ms over %d clicks" % (median(times), max(times), len(times)),
                "under 50 ms", max(times) < 50)]


if __name__ == "__main__":
    from benchlib import print_rows
    print_rows(rows())
