#!/usr/bin/env python3
"""Memory of the program following a playlist at an address that turns hostile. The real
program (build/veltrase --follow /f=http://127.0.0.1:PORT/list.txt /t=1) reads a normal
list for a few passes; then the same address answers 200 MB of text without a length,
made as it is sent (the program must give up after 4 MiB, holding none of it); then a
gzip bomb, 1 GiB of text packed into about a megabyte. The program's own memory
(proportional and resident set size, from /proc) before and after each, its peak, and
what it said on standard error.

    bench/hostile_list_memory.py [--big-mb 200] [--bomb-mib 1024]
VELTRASE=PATH measures another build of the program."""
import argparse
import http.server
import os
import subprocess
import sys
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from benchlib import serve_on_loopback, start_program, stop_program, wait_until

LINE = b"http://127.0.0.1/some/page/of/the/list.html\r\n"


def gzip_bomb(mib):
    """A gzip member holding mib MiB of list lines, packed a MiB at a time."""
    chunk = LINE * (1024 * 1024 // len(LINE) + 1)
    chunk = chunk[:1024 * 1024]
    packer = zlib.compressobj(9, zlib.DEFLATED, 16 + zlib.MAX_WBITS)
    parts = [packer.compress(chunk) for _ in range(mib)]
    parts.append(packer.flush())
    return b"".join(parts)


class ListServer:
    """Serves /list.txt as the current mode says, and /a.html; counts the list's
    requests in each mode and the bytes each answer got out before the program hung up."""

    def __init__(self, big_bytes, bomb):
        self.mode = "normal"
        self.requests = {}
        self.sent = {}
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                if self.path.startswith("/a.html"):
                    return self.answer(b"<!doctype html><title>a</title><p>a", "text/html")
                if not self.path.startswith("/list.txt"):
                    return self.send_error(404)
                mode = owner.mode
                owner.requests[mode] = owner.requests.get(mode, 0) + 1
                if mode == "normal":
                    return self.answer(b"http://127.0.0.1:%d/a.html\r\n" % owner.port, "text/plain")
                if mode == "bomb":
                    return self.answer(bomb, "text/plain", {"Content-Encoding": "gzip"})
                # No length: the program can only count what it reads.
                self.send_response(200)
                self.send_header("Content-Type", "text/plain")
                self.end_headers()
                chunk = LINE * (1024 * 1024 // len(LINE))
                sent = 0
                try:
                    while sent < big_bytes:
                        self.wfile.write(chunk[:big_bytes - sent])
                        sent += min(len(chunk), big_bytes - sent)
                except OSError:
                    pass
                owner.sent.setdefault(mode, []).append(sent)

            def answer(self, body, kind, headers=None):
                self.send_response(200)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(body)))
                for name, value in (headers or {}).items():
                    self.send_header(name, value)
                self.end_headers()
                try:
                    self.wfile.write(body)
                except OSError:
                    pass

            def log_message(self, *args):
                pass

        self.server = serve_on_loopback(Handler)
        self.port = self.server.server_address[1]


def memory_kib(pid):
    """Proportional and resident set size, and the resident peak, of the process alone."""
    figures = {}
    with open("/proc/%d/smaps_rollup" % pid) as f:
        for line in f:
            name, _, rest = line.partition(":")
            if name in ("Pss", "Rss"):
                figures[name] = int(rest.split()[0])
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                figures["Peak"] = int(line.split()[1])
    return figures


def settled_memory(pid):
    """The median of five readings half a second apart: a page load moves it a little."""
    readings = []
    for _ in range(5):
        time.sleep(0.5)
        readings.append(memory_kib(pid))
    return {name: sorted(r[name] for r in readings)[2] for name in readings[0]}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--big-mb", type=int, default=200)
    parser.add_argument("--bomb-mib", type=int, default=1024)
    parser.add_argument("--control", action="store_true", help="the normal list throughout, to see the drift")
    options = parser.parse_args()

    started = time.monotonic()
    bomb = gzip_bomb(options.bomb_mib)
    print("gzip bomb: %d MiB packed into %.2f MiB (%.1f s to make)" % (
        options.bomb_mib, len(bomb) / 1048576, time.monotonic() - started))
    server = ListServer(options.big_mb * 1000 * 1000, bomb)
    errors = open(os.path.join(os.environ.get("TMPDIR", "/tmp"), "hostile_list_memory.%d.err" % os.getpid()), "w+")
    program = start_program(["--follow", "/f=http://127.0.0.1:%d/list.txt" % server.port, "/t=1"], stderr=errors)
    figures = []
    try:
        for mode, passes in (("normal", 10), ("big", 3), ("bomb", 3), ("normal again", 3)):
            server.mode = "normal" if options.control else mode.split()[0]
            seen = server.requests.get(server.mode, 0)
            if not wait_until(lambda: server.requests.get(server.mode, 0) >= seen + passes, 120):
                raise SystemExit("hostile_list_memory: the list was not read %d times in %s mode" % (passes, mode))
            figures.append((mode, settled_memory(program.pid)))
    finally:
        status = stop_program(program)

    print("program: %s, exit status %d after SIGTERM" % (program.args[0], status))
    print("%-14s %10s %10s %10s" % ("after", "PSS MiB", "RSS MiB", "peak MiB"))
    for mode, kib in figures:
        print("%-14s %10.1f %10.1f %10.1f" % (mode, kib["Pss"] / 1024, kib["Rss"] / 1024, kib["Peak"] / 1024))
    before = figures[0][1]
    for mode, kib in figures[1:]:
        print("%-14s PSS %+.1f%%, RSS %+.1f%% against the normal list" % (
            mode, 100 * (kib["Pss"] / before["Pss"] - 1), 100 * (kib["Rss"] / before["Rss"] - 1)))
    for mode, sent in server.sent.items():
        print("%s answers: %s MB sent of %d MB before the program hung up" % (
            mode, ", ".join("%.1f" % (bytes_ / 1e6) for bytes_ in sent), options.big_mb))
    errors.seek(0)
    said = [line.rstrip() for line in errors if line.startswith("veltrase:")]
    print("standard error (%d lines):" % len(said))
    for line in said:
        print("  " + line)
    errors.close()
    os.unlink(errors.name)
    worst = max(kib["Rss"] for _, kib in figures[1:])
    return 0 if worst <= before["Rss"] * 1.10 else 1


if __name__ == "__main__":
    sys.exit(main())
