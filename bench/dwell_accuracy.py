#!/usr/bin/env python3
"""Dwell accuracy: the real program with /t=S over N pages on a loopback server; the
gaps between consecutive requests the server saw, against the interval. Then a list
whose entries carry times of their own (/t= on the entry's line), in the window on a
private Xvfb screen under a window manager: each entry's gap against its own time.

    bench/dwell_accuracy.py [SECONDS PAGES | entries]"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib
from benchlib import PageServer, Row, median, note, start_program, stop_program, wait_until, write_playlist

# Each entry's own time; the list's interval (/t=1) for the one without.
ENTRY_SECONDS = [2, 5, 3, None]
ENTRY_PASSES = 2


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


def measure_entries():
    """Per entry, the gaps from its request to the next one, against its own time, as
    fractions off: over ENTRY_PASSES passes in the designed window on Xvfb."""
    server = PageServer()
    screen = benchlib.VirtualScreen(window_manager=True)
    count = len(ENTRY_SECONDS)
    try:
        with tempfile.TemporaryDirectory() as folder:
            playlist = os.path.join(folder, "entries.txt")
            write_playlist(playlist, [server.url("/e%d.html" % i) + (" /t=%d" % seconds if seconds else "")
                                      for i, seconds in enumerate(ENTRY_SECONDS)])
            program = start_program(["/f=" + playlist, "/t=1"], platform="xcb", display=screen.display)
            try:
                wanted = count * ENTRY_PASSES + 1
                if not wait_until(lambda: len(server.requests) >= wanted, sum(s or 1 for s in ENTRY_SECONDS) * 3 + 60):
                    raise SystemExit("dwell_accuracy: only %d requests arrived" % len(server.requests))
            finally:
                stop_program(program)
    finally:
        screen.close()
        server.close()
    requests = server.requests[:count * ENTRY_PASSES + 1]
    offs = []
    for (earlier, path), (later, _) in zip(requests, requests[1:]):
        seconds = ENTRY_SECONDS[int(path.split("/e")[1].split(".")[0])] or 1
        offs.append(((later - earlier) / seconds - 1, seconds, later - earlier))
    return offs


def entry_rows():
    offs = measure_entries()
    for off, seconds, gap in offs:
        note("entry with /t=%d shown %.3f s (%+.1f%%)" % (seconds, gap, off * 100))
    worst = max(offs, key=lambda item: abs(item[0]))
    return [Row("entries' own times (/t=2, 5, 3 and the list's 1), Xvfb",
                "worst %+.1f%% (/t=%d: %.3f s) over %d entries shown" % (worst[0] * 100, worst[1], worst[2], len(offs)),
                "each within 3%", all(abs(off) <= 0.03 for off, _, _ in offs))]


def rows():
    result = entry_rows()
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
    if sys.argv[1:] == ["entries"]:
        benchlib.print_rows(entry_rows())
        return
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
