#!/usr/bin/env python3
"""Dwell accuracy: the real program with /t=S over N pages on a loopback server; the
gaps between consecutive requests the server saw, against the interval."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from benchlib import PageServer, Row, median, note, start_program, stop_program, wait_until, write_playlist


def measure(seconds, pages):
    server = PageServer()
    with tempfile.TemporaryDirectory() as folder:
        playlist = os.path.join(folder, "pages.txt")
        write_playlist(playlist, [server.url("/p%d.html" % i) for i in range(pages)])
        program = start_program(["/f=" + playlist, "/t=%d" % seconds])
        try:
            # One extra request: the first page of the next pass closes the last gap.
            if not wait_until(lambda: len(server.requests) > pages, seconds * pages * 2 + 30):
                raise SystemExit("dwell_accuracy: only %d requests arrived" % len(server.requests))
        finally:
            stop_program(program)
    server.close()
    times = [moment for moment, _ in server.requests[:pages + 1]]
    gaps = [later - earlier for earlier, later in zip(times, times[1:])]
    return median(gaps), max(gaps), len(gaps)


def rows():
    result = []
    for seconds, pages in [(1, 20), (5, 5)]:
        middle, longest, count = measure(seconds, pages)
        note("dwell /t=%d over %d pages: %d gaps, median %.3f s, max %.3f s" % (seconds, pages, count, middle, longest))
        middle_off = (middle / seconds - 1) * 100
        longest_off = (longest / seconds - 1) * 100
        result.append(Row("dwell accuracy, /t=%d over %d" % (seconds, pages),
                          "median %+.1f%%, max %+.1f%%" % (middle_off, longest_off),
                          "median within 3%, max within 10%",
                          abs(middle_off) <= 3 and abs(longest_off) <= 10))
    return result


def main():
    runs = [(1, 20), (5, 5)]
    if len(sys.argv) == 3:
        runs = [(int(sys.argv[1]), int(sys.argv[2]))]
    print("| interval | gaps | median | max | median off | max off | target |")
    print("|---|---|---|---|---|---|---|")
    for seconds, pages in runs:
        middle, longest, count = measure(seconds, pages)
        print("| %d s | %d | %.3f s | %.3f s | %+.1f%% | %+.1f%% | median within 3%%, max within 10%% |" % (
            seconds, count, middle, longest, (middle / seconds - 1) * 100, (longest / seconds - 1) * 100))


if __name__ == "__main__":
    main()
