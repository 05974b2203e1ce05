#!/usr/bin/env python3
"""Launch to first request: the real program started with /f=<list> /t=5, the time
from starting the process to the first request on a loopback server, over several runs."""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from benchlib import PageServer, median, start_program, stop_program, wait_until, write_playlist


def launch_to_first_request(server, playlist):
    before = len(server.requests)
    started = time.monotonic()
    program = start_program(["/f=" + playlist, "/t=5"])
    try:
        if not wait_until(lambda: len(server.requests) > before, 60):
            raise SystemExit("first_request: no request within 60 s")
        return server.requests[before][0] - started
    finally:
        stop_program(program)


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 7
    server = PageServer()
    with tempfile.TemporaryDirectory() as folder:
        playlist = os.path.join(folder, "pages.txt")
        write_playlist(playlist, [server.url("/p%d.html" % i) for i in range(3)])
        times = [launch_to_first_request(server, playlist) for _ in range(runs)]
    server.close()
    print("| launch to first request | runs | median | min | max |")
    print("|---|---|---|---|---|")
    print("| offscreen, /t=5 | %d | %.3f s | %.3f s | %.3f s |" % (runs, median(times), min(times), max(times)))


if __name__ == "__main__":
    main()
