#!/usr/bin/env python3
"""What a wall screen shows while one page gives way to the next: the program full screen
with /t=4 on a private Xvfb screen (1280x1024) under a window manager, over pages that
answer after 800 ms, each with a big picture (2.6 MB) and 300 positioned blocks, on two
sites (127.0.0.1 and localhost), with a card in the rotation twice (an address nobody
answers and a script entry). The screen is sampled at 60 frames a second from outside
(screen_sampler.cpp) and every frame is classified: the whole old page, the whole new
one (picture drawn), or neither. Per switch: the frames that were neither, and when the
new page came against its time (the previous switch plus the dwell). Beside it, the
proportional memory (PSS) of the process tree. With a build that preloads, the run is
taken with preloading (the full-screen default) and without it (--no-preload).

    bench/switch_frames.py [--switches N] [--binary PATH] [OPTION ...]
        OPTION: a program option for one extra run, e.g. --no-preload"""
import argparse
import http.server
import os
import random
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib
from benchlib import Row, median, note

DWELL = 4
SWITCHES = 24
RATE = 60
ANSWER_DELAY = 0.8
WIDTH, HEIGHT = 1280, 1024
CARD = (0x20, 0x26, 0x2E)
TOLERANCE = 24

# Each page: its site and three colours of its own (background, picture, blocks), far
# apart from one another, from white and from the card, so one sample point says which
# page, and which part of it, is on screen.
PAGES = {
    "a1": ("127.0.0.1", (192, 0, 0), (0, 192, 96), (96, 0, 192)),
    "a2": ("127.0.0.1", (0, 96, 192), (192, 192, 0), (192, 0, 96)),
    "b1": ("localhost", (0, 192, 0), (192, 0, 192), (96, 192, 0)),
    "b2": ("localhost", (192, 96, 0), (0, 0, 192), (0, 192, 192)),
    "a3": ("127.0.0.1", (96, 0, 96), (96, 192, 192), (192, 96, 192)),
    "b3": ("localhost", (0, 96, 96), (192, 96, 96), (96, 96, 0)),
}
# The rotation: within a site, across sites, page to card and card to page, looping.
ENTRIES = ["a1", "a2", "b1", "refused", "b2", "a3", "script", "b3"]
CARDS = ("refused", "script")

# Where things are, in fractions of the screen: the picture's box, the blocks' grid.
PICTURE = (0.04, 0.06, 0.52, 0.84)
BLOCK_COLUMNS, BLOCK_ROWS = 15, 20
BLOCKS_LEFT, BLOCKS_TOP, BLOCK_STEP_X, BLOCK_STEP_Y, BLOCK_W, BLOCK_H = 0.60, 0.06, 0.024, 0.042, 0.016, 0.016


def sample_points():
    """Named sample points: 36 on the picture, 16 on the bare background, 8 on blocks."""
    left, top, width, height = PICTURE
    points = [("picture", left + width * (i + 0.5) / 6, top + height * (j + 0.5) / 6) for j in range(6) for i in range(6)]
    for fy in (0.1, 0.3, 0.5, 0.7, 0.9):
        points += [("background", 0.01, fy), ("background", 0.58, fy)]
    for fx in (0.2, 0.4, 0.8):
        points += [("background", fx, 0.03), ("background", fx, 0.95)]
    for column, row in ((0, 0), (14, 0), (7, 5), (3, 9), (11, 12), (0, 19), (14, 19), (7, 16)):
        points.append(("blocks", BLOCKS_LEFT + column * BLOCK_STEP_X + BLOCK_W / 2,
                       BLOCKS_TOP + row * BLOCK_STEP_Y + BLOCK_H / 2))
    return [(part, round(fx * WIDTH), round(fy * HEIGHT)) for part, fx, fy in points]


def near(colour, wanted):
    return all(abs(a - b) <= TOLERANCE for a, b in zip(colour, wanted))


def classify(colours, parts):
    """A frame's label: a page's name when the whole page is on screen, "card" for the
    program's card; otherwise what it is instead (white, a page's background only, a
    page without its picture, part of its picture, or other)."""
    if sum(near(c, CARD) for c in colours) >= 0.6 * len(colours):
        return "card"
    if all(min(c) >= 235 for c in colours):
        return "white"

    def share(name, part, index):
        values = [c for c, p in zip(colours, parts) if p == part]
        return sum(near(c, PAGES[name][index]) for c in values) / len(values)

    for name in PAGES:
        if share(name, "background", 1) < 1:
            continue
        picture, blocks = share(name, "picture", 2), share(name, "blocks", 3)
        if picture == 1 and blocks == 1:
            return name
        if picture == 0:
            return "no picture" if blocks == 1 else "background only"
        return "part picture"
    return "other"


def switches(frames, entries=ENTRIES, dwell=DWELL):
    """Walks the frames (time, label) along the rotation. Each entry's switch is its first
    whole frame; the frames between the old entry's first whole frame and that one which
    are not the old entry are neither old nor new. Returns the start-up (the frames before
    the first entry) and one record per switch."""

    def label(entry):
        return "card" if entry in CARDS else entry

    position = next((i for i, (_, seen) in enumerate(frames) if seen == label(entries[0])), None)
    if position is None:
        return None, []
    startup = {"shown": frames[position][0], "neither": kinds(range(position), frames)}
    records = []
    for k in range(1, 10 ** 6):
        old, new = entries[(k - 1) % len(entries)], entries[k % len(entries)]
        found = next((i for i in range(position + 1, len(frames)) if frames[i][1] == label(new)), None)
        if found is None:
            break
        between = [i for i in range(position + 1, found) if frames[i][1] != label(old)]
        records.append({"old": old, "new": new, "shown": frames[found][0],
                        "late": frames[found][0] - frames[position][0] - dwell,
                        "frames": len(between), "neither": kinds(between, frames)})
        position = found
    return startup, records


def kinds(indices, frames):
    """Milliseconds on screen of each kind of frame among the given ones."""
    spent = {}
    for i in indices:
        if i + 1 < len(frames):
            # A whole page here is one shown before, back on screen for a moment.
            what = "earlier page" if frames[i][1] in PAGES else frames[i][1]
            spent[what] = spent.get(what, 0) + (frames[i + 1][0] - frames[i][0]) * 1000
    return spent


def kind_of(record):
    old, new = record["old"], record["new"]
    if old in CARDS:
        return "card to page"
    if new in CARDS:
        return "page to card"
    return "within a site" if PAGES[old][0] == PAGES[new][0] else "across sites"


# The pages and their server.

def png(width, height, colour, pixels):
    """A palette PNG of random pixels from 16 shades close to the colour: the noise keeps
    it from compressing, so it is as heavy to fetch and decode as a photograph."""

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    shades = random.Random(str(colour))
    palette = bytes(max(0, min(255, c + shades.randint(-10, 10))) for _ in range(16) for c in colour)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 4, 3, 0, 0, 0)) +
            chunk(b"PLTE", palette) + chunk(b"IDAT", pixels) + chunk(b"IEND", b""))


def page_html(name):
    _, background, _, blocks = PAGES[name]
    hex_colour = "#%02x%02x%02x"
    left, top, width, height = (100 * v for v in PICTURE)
    cells = "".join('<i style="left:%.1fvw;top:%.1fvh">%d</i>' % (
        100 * (BLOCKS_LEFT + c * BLOCK_STEP_X), 100 * (BLOCKS_TOP + r * BLOCK_STEP_Y), r * BLOCK_COLUMNS + c)
        for r in range(BLOCK_ROWS) for c in range(BLOCK_COLUMNS))
    return ("<!doctype html><title>%s</title><style>html,body{margin:0;height:100%%;overflow:hidden;background:%s}"
            "img{position:absolute;left:%.0fvw;top:%.0fvh;width:%.0fvw;height:%.0fvh}"
            "i{position:absolute;width:%.1fvw;height:%.1fvh;background:%s;color:%s;font:1vh sans-serif}</style>"
            '<img src="/%s.png">%s' % (name, hex_colour % background, left, top, width, height, 100 * BLOCK_W,
                                       100 * BLOCK_H, hex_colour % blocks, hex_colour % blocks, name, cells)).encode()


class SlowPages:
    """Serves the pages after ANSWER_DELAY and their pictures at once, never to be kept in
    a cache; requests holds (monotonic seconds, page name) for each page asked for."""

    def __init__(self):
        pixels = zlib.compress(b"".join(b"\0" + os.urandom(1200) for _ in range(2170)), 1)
        bodies = {"/%s.html" % n: ("text/html", page_html(n)) for n in PAGES}
        bodies.update({"/%s.png" % n: ("image/png", png(2400, 2170, PAGES[n][2], pixels)) for n in PAGES})
        self.picture_bytes = len(bodies["/a1.png"][1])
        self.requests = []
        self.paths = []
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                # The path without its query (the program's no-cache stamp, when ticked).
                path = self.path.split("?")[0]
                kind, body = bodies.get(path, (None, None))
                owner.paths.append(self.path)
                if not body:
                    self.send_error(404)
                    return
                if kind == "text/html":
                    owner.requests.append((time.monotonic(), path[1:-5]))
                    time.sleep(ANSWER_DELAY)
                self.send_response(200)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Cache-Control", "no-store")
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.server = benchlib.serve_on_loopback(Handler)
        self.port = self.server.server_address[1]

    def close(self):
        self.server.shutdown()


def unused_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def playlist_urls(port):
    special = {"refused": "http://127.0.0.1:%d/down.html" % unused_port(), "script": "javascript:void(0)"}
    return [special.get(e) or "http://%s:%d/%s.html" % (PAGES[e][0], port, e) for e in ENTRIES]


# One run.

def run(screen, server, playlist, options, count, binary):
    points = sample_points()
    seconds = 8 + (count + 1) * DWELL
    samples = tempfile.TemporaryFile("w+")
    sampler = subprocess.Popen([benchlib.bench_program("screen_sampler"), str(RATE), str(seconds)] +
                               ["%d,%d" % (x, y) for _, x, y in points],
                               env=dict(os.environ, DISPLAY=screen.display), stdout=samples)
    launched = time.monotonic()
    program = benchlib.start_program(["--full-screen"] + options + ["/f=" + playlist, "/t=%d" % DWELL],
                                     platform="xcb", display=screen.display, binary=binary)
    memory = []
    try:
        # The memory of the later passes, once every entry has been shown at least once.
        while sampler.poll() is None:
            time.sleep(1)
            if time.monotonic() - launched > seconds / 2:
                memory.append(benchlib.tree_pss_kib(program.pid))
    finally:
        benchlib.stop_program(program)
    samples.seek(0)
    output = samples.read()
    parts = [part for part, _, _ in points]
    frames = []
    for line in output.splitlines():
        words = line.split()
        colours = [tuple(bytes.fromhex(w)) for w in words[1:]]
        frames.append((float(words[0]), classify(colours, parts)))
    startup, records = switches(frames)
    gaps = [b[0] - a[0] for a, b in zip(frames, frames[1:])]
    return {"launched": launched, "frames": frames, "startup": startup, "switches": records[:count],
            "rate": (len(frames) - 1) / (frames[-1][0] - frames[0][0]), "worst gap": max(gaps) * 1000,
            "pss": median(memory) if memory else 0}


def asked(record, requests):
    """Milliseconds from the request for the new page to its first frame."""
    times = [t for t, name in requests if name == record["new"] and t < record["shown"]]
    return (record["shown"] - times[-1]) * 1000 if times else None


def describe(result, requests, label):
    note("%s: %d frames at %.1f/s (longest gap %.0f ms), PSS %.0f MiB" % (
        label, len(result["frames"]), result["rate"], result["worst gap"], result["pss"] / 1024))
    startup = result["startup"]
    if startup:
        note("  start-up: first page at %.0f ms after launch; before it %s" % (
            (startup["shown"] - result["launched"]) * 1000, spent_text(startup["neither"])))
    for number, record in enumerate(result["switches"], start=1):
        since_asked = asked(record, requests)
        note("  %2d %-7s -> %-7s %-13s %3d frames neither (%s), %+5.0f ms against its time%s" % (
            number, record["old"], record["new"], kind_of(record), record["frames"], spent_text(record["neither"]),
            record["late"] * 1000, "" if since_asked is None else ", %.0f ms after it was asked for" % since_asked))


def spent_text(spent):
    return ", ".join("%s %.0f ms" % (k, v) for k, v in sorted(spent.items(), key=lambda kv: -kv[1])) or "nothing"


def summary(result):
    """Per kind of switch: the switches with frames neither old nor new and what they showed."""
    lines = []
    for kind in ("across sites", "within a site", "card to page", "page to card"):
        chosen = [r for r in result["switches"] if kind_of(r) == kind]
        if not chosen:
            continue
        spent = {}
        for record in chosen:
            for what, ms in record["neither"].items():
                spent.setdefault(what, []).append(ms)
        shown = "; ".join("%s %.0f-%.0f ms" % (what, min(v), max(v)) for what, v in sorted(spent.items()))
        lines.append("%s: %d of %d%s" % (kind, sum(1 for r in chosen if r["frames"]), len(chosen),
                                          " (%s)" % shown if shown else ""))
    startup = result["startup"]
    if startup and startup["neither"].get("white"):
        lines.append("start-up: white %.0f ms" % startup["neither"]["white"])
    return "; ".join(lines)


def rows(count=SWITCHES, binary=None, extra=None):
    binary = binary or benchlib.BINARY
    if not all(shutil.which(tool) for tool in ("Xvfb", "openbox")) or not os.path.exists(
            benchlib.bench_program("screen_sampler")):
        return [Row("switches in full screen", "not measured: needs Xvfb, openbox, and the xcb headers to build "
                    "screen_sampler", "0 frames neither old nor new", None)]
    preloads = benchlib.accepts_option("--preload", binary)
    runs = {"with preloading": ["--preload"], "without preloading": ["--no-preload"]} if preloads else {
        "without preloading (this build has none)": []}
    if extra:
        runs["with %s" % " ".join(extra)] = extra
    screen = benchlib.VirtualScreen(window_manager=True)
    server = SlowPages()
    results = {}
    try:
        with tempfile.TemporaryDirectory() as folder:
            playlist = os.path.join(folder, "wall.txt")
            benchlib.write_playlist(playlist, playlist_urls(server.port))
            for label, options in runs.items():
                results[label] = run(screen, server, playlist, options, count, binary)
                describe(results[label], server.requests, label)
    finally:
        server.close()
        screen.close()

    measured = []
    for label, result in results.items():
        records = result["switches"]
        if len(records) < count:
            measured.append(Row("switches in full screen, %s" % label, "only %d of %d switches seen" % (
                len(records), count), "0 frames neither old nor new", False))
            continue
        neither = sum(r["frames"] for r in records)
        late = [r["late"] * 1000 for r in records]
        # The targets are the preloading build's; without preloading the row is a yardstick.
        judged = label != "without preloading"
        measured.append(Row(
            "switches in full screen, /t=%d across two sites, %s" % (DWELL, label),
            "%d frames neither old nor new over %d switches, at %.0f frames/s; %s" % (
                neither, len(records), result["rate"], summary(result)),
            "0 frames neither old nor new", neither == 0 if judged else None))
        measured.append(Row(
            "switch against its time (previous switch + %d s), %s" % (DWELL, label),
            "median %+.0f ms, from %+.0f to %+.0f ms" % (median(late), min(late), max(late)),
            "within 50 ms", max(abs(v) for v in late) <= 50 if judged else None))
    with_preload, without = results.get("with preloading"), results.get("without preloading")
    if with_preload and without:
        extra_mib = (with_preload["pss"] - without["pss"]) / 1024
        measured.append(Row("memory in full screen (PSS of the process tree), with preloading",
                            "%.0f MiB vs %.0f MiB without: %+.0f MiB" % (
                                with_preload["pss"] / 1024, without["pss"] / 1024, extra_mib),
                            "at most 130 MiB more", extra_mib <= 130))
    else:
        for label, result in results.items():
            measured.append(Row("memory in full screen (PSS of the process tree), %s" % label,
                                "%.0f MiB" % (result["pss"] / 1024), "none: a yardstick", None))
    return measured


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--switches", type=int, default=SWITCHES)
    parser.add_argument("--binary", help="the program to measure (default: $VELTRASE or build/veltrase)")
    chosen, options = parser.parse_known_args()
    benchlib.print_rows(rows(chosen.switches, chosen.binary, options))
