#!/usr/bin/env python3
"""Big playlist: opening and saving 32,767 entries through the window's own handlers
(bench/playlist/playlist_load_save.cpp: read, decode, fill the list box and repaint;
read the list box, write, sync and rename), and Start to the first request with that
list (bench/probe.cpp built as veltrase_window_probe, in "start" mode, against a
loopback server: the engine is loaded from its plugin on the first Start, as in the
program)."""
import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from benchlib import (PageServer, Row, bench_program, note, program_environment, start_program, wait_until,
                      write_playlist)

ENTRIES = 32767


def load_and_save(repeats=7):
    answer = subprocess.run([bench_program("playlist_load_save"), str(repeats)], env=program_environment(),
                            capture_output=True, text=True, timeout=600)
    if answer.returncode != 0:
        raise SystemExit("big_playlist: playlist_load_save ended with %d" % answer.returncode)
    figures = {}
    for line in answer.stdout.splitlines():
        note("playlist: " + line)
        found = re.match(r"(Open|Save) .* median +([\d.]+) ms .* worst +([\d.]+) ms", line)
        if found:
            figures[found.group(1)] = (float(found.group(2)), float(found.group(3)))
    if sorted(figures) != ["Open", "Save"]:
        raise SystemExit("big_playlist: no Open and Save lines in what playlist_load_save printed")
    return figures


def start_to_first_request(entries=ENTRIES):
    server = PageServer()
    figures = {}
    with tempfile.TemporaryDirectory() as folder:
        playlist = os.path.join(folder, "big.txt")
        write_playlist(playlist, [server.url("/big%d.html" % i) for i in range(entries)])
        probe = start_program(["start", playlist], binary=bench_program("veltrase_window_probe"), stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, text=True)
        try:
            for line in probe.stdout:
                words = line.split()
                if words[:1] == ["entries"] and int(words[1]) != entries:
                    raise SystemExit("big_playlist: the window holds %s entries" % words[1])
                if words[:1] == ["start"]:
                    pressed, engine = float(words[1]), words[3]
                    if not wait_until(lambda: any(moment > pressed for moment, _ in server.requests), 60):
                        raise SystemExit("big_playlist: no request after Start")
                    first = next(moment for moment, _ in server.requests if moment > pressed)
                    figures[engine] = (first - pressed) * 1000
                    note("playlist: %d entries, Start to the first request, engine %s: %.1f ms" % (
                        entries, engine, figures[engine]))
                    probe.stdin.write("\n")
                    probe.stdin.flush()
                if words[:1] == ["done"]:
                    break
        finally:
            probe.stdin.close()
            probe.wait(timeout=30)
    server.close()
    return figures


def rows():
    figures = load_and_save()
    result = []
    for step, what in (("Open", "open"), ("Save", "save")):
        median_ms, worst_ms = figures[step]
        result.append(Row("big playlist, %s %d entries" % (what, ENTRIES),
                          "median %.0f ms, worst %.0f ms" % (median_ms, worst_ms), "under 100 ms", median_ms < 100))
    started = start_to_first_request()
    # The same with one entry: what the first Start costs whatever the list holds.
    alone = start_to_first_request(1)
    result.append(Row("big playlist, Start to the first request",
                      "%.0f ms" % started["warm"], "under 100 ms", started["warm"] < 100))
    result.append(Row("big playlist, the first Start after launch (starts the browser engine)",
                      "%.0f ms (%.0f ms with 1 entry)" % (started["cold"], alone["cold"]), "under 100 ms",
                      started["cold"] < 100))
    return result


if __name__ == "__main__":
    from benchlib import print_rows
    print_rows(rows())
