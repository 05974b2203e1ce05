#!/usr/bin/env python3
"""Start-up: launch to the window shown, for the real program and for a minimal Qt
Widgets program that shows an empty 704 x 494 window, taken in turns on one private
Xvfb screen, several runs each, medians compared.

bench/first_paint watches the screen from outside, the same way for both programs:
the window is "shown" when its first frame is on the screen (see first_paint.cpp).
The program is timed as a user starts it (no arguments) and as a kiosk starts it
(/f= and /t=, which also starts the browser engine right after the window opens).
The minimal program is also timed in three variants that show what the browser engine's
needs cost any program at launch, though it never uses the engine: linked to the
engine's libraries; with Qt::AA_ShareOpenGLContexts set (the engine requires it
before the application object exists; Qt then creates a GL context at once); and with
that and a window drawn through GL from its first frame (a hidden QOpenGLWidget), which
a window needs for the engine's view to join it later without being replaced."""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from benchlib import (BINARY, PageServer, Row, VirtualScreen, bench_program, median, note, program_environment,
                      write_playlist)

RUNS = 7


def shown_ms(command, display):
    environment = program_environment("xcb", display)
    answer = subprocess.run([bench_program("first_paint"), "60", "--"] + command, env=environment,
                            capture_output=True, text=True, timeout=120)
    if answer.returncode != 0:
        raise SystemExit("startup: %s: %s" % (command[0], answer.stderr.strip()))
    words = answer.stdout.split()
    return float(words[1]), float(words[3]), "%sx%s" % (words[5], words[7])


def measure(runs=RUNS):
    server = PageServer()
    screen = VirtualScreen()
    with tempfile.TemporaryDirectory() as folder:
        playlist = os.path.join(folder, "start.txt")
        write_playlist(playlist, [server.url("/start.html")])
        commands = {
            "minimal": [bench_program("minimal_window")],
            "minimal + engine libraries": [bench_program("minimal_window_engine")],
            "minimal + shared GL contexts": [bench_program("minimal_window_shared_gl")],
            "minimal + GL surface": [bench_program("minimal_window_gl_surface")],
            "veltrase": [BINARY],
            "veltrase kiosk": [BINARY, "/f=" + playlist, "/t=5"],
        }
        painted = {name: [] for name in commands}
        try:
            # One launch of each first, so every counted run finds the libraries in memory.
            for command in commands.values():
                shown_ms(command, screen.display)
            for run in range(runs):
                # In turns, in an order that rotates, so a burst of load elsewhere falls on all alike.
                names = list(commands)
                names = names[run % len(names):] + names[:run % len(names)]
                for name in names:
                    mapped, first_frame, size = shown_ms(commands[name], screen.display)
                    painted[name].append(first_frame)
                    note("startup run %d %-28s mapped %6.1f ms, first frame %6.1f ms, %s" % (
                        run + 1, name, mapped, first_frame, size))
        finally:
            screen.close()
            server.close()
    return {name: median(values) for name, values in painted.items()}


def rows():
    if not (shutil.which("Xvfb") and os.path.exists(bench_program("first_paint"))):
        return [Row("start-up", "not measured: needs Xvfb, and the xcb headers to build first_paint",
                    "ratio at most 1.5", None)]
    medians = measure()
    note("startup medians: " + ", ".join("%s %.0f ms" % item for item in medians.items()))
    result = []
    yardstick = medians["minimal + shared GL contexts"]
    for name in ("veltrase", "veltrase kiosk"):
        ratio = medians[name] / medians["minimal"]
        result.append(Row("start-up, %s" % ("no arguments" if name == "veltrase" else "/f= /t= (engine starts too)"),
                          "%.0f ms vs %.0f ms: ratio %.2f; vs %.0f ms with shared GL contexts: ratio %.2f" % (
                              medians[name], medians["minimal"], ratio, yardstick, medians[name] / yardstick),
                          "ratio at most 1.5; with shared GL contexts at most 1.15",
                          ratio <= 1.5 and medians[name] / yardstick <= 1.15))
    for name, what in (("minimal + engine libraries", "linked to the engine's libraries"),
                       ("minimal + shared GL contexts", "with the shared GL contexts the engine needs"),
                       ("minimal + GL surface", "with those contexts, drawn through GL from its first frame")):
        result.append(Row("start-up, the minimal window %s" % what,
                          "%.0f ms vs %.0f ms: ratio %.2f" % (medians[name], medians["minimal"],
                                                              medians[name] / medians["minimal"]),
                          "none: a yardstick", None))
    return result


if __name__ == "__main__":
    from benchlib import print_rows
    print_rows(rows())
