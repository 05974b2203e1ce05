#!/usr/bin/env python3
"""Screen hours on a real display: two full-screen runs on private Xvfb screens under a
window manager, each with --screen-hours that end a minute after the start and begin
again two minutes later. One powers the display with --screen-off-command and
--screen-on-command (which write to a file), the other with the X server's display
power management. Checks that the commands ran, that the X display was powered down
and up (or, on an X server without display power management, such as Xvfb, that the
program said so), that both screens were black while dark, that no page was asked for
while dark, and that the run went on afterwards. Takes about five minutes.

    bench/screen_hours_run.py [SHOT_FOLDER]     (screenshots of the dark screens go there)"""
import ctypes
import datetime
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib
from benchlib import PageServer, note, start_program, stop_program, wait_until, write_playlist

DPMS_OFF = 3


def hours_from_now():
    """On since a minute ago until the next minute, off for two, then on again."""
    now = datetime.datetime.now().replace(second=0, microsecond=0)
    at = lambda minutes: (now + datetime.timedelta(minutes=minutes)).strftime("%H:%M")
    return "%s-%s; %s-%s" % (at(-1), at(1), at(3), at(30))


def display_power_level(display):
    """The X server's display power level (0 on, 3 off), or None without the extension
    (Debian's Xvfb has none)."""
    xlib, xext = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXext.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    connection = xlib.XOpenDisplay(display.encode())
    try:
        base, error = ctypes.c_int(), ctypes.c_int()
        if not xext.DPMSQueryExtension(ctypes.c_void_p(connection), ctypes.byref(base), ctypes.byref(error)):
            return None
        level, enabled = ctypes.c_ushort(), ctypes.c_ubyte()
        if not xext.DPMSInfo(ctypes.c_void_p(connection), ctypes.byref(level), ctypes.byref(enabled)):
            return None
        return level.value
    finally:
        xlib.XCloseDisplay(ctypes.c_void_p(connection))


def brightest_share(display, shot):
    """Takes a screenshot of the display and returns its mean brightness from 0 to 1."""
    subprocess.run(["import", "-display", display, "-window", "root", shot], check=True)
    mean = subprocess.run(["convert", shot, "-colorspace", "Gray", "-format", "%[fx:mean]", "info:"],
                          capture_output=True, text=True, check=True).stdout
    return float(mean)


def main():
    shots = sys.argv[1] if len(sys.argv) > 1 else tempfile.mkdtemp(prefix="veltrase-hours-")
    hours = hours_from_now()
    note("screen hours %s, screenshots in %s" % (hours, shots))
    screens = [benchlib.VirtualScreen(window_manager=True) for _ in range(2)]
    servers = [PageServer(), PageServer()]
    folder = tempfile.mkdtemp(prefix="veltrase-hours-")
    said = os.path.join(folder, "power.txt")
    errors = [os.path.join(folder, "errors%d.txt" % number) for number in range(2)]
    programs = []
    failures = []
    try:
        for number, (screen, server) in enumerate(zip(screens, servers)):
            playlist = os.path.join(folder, "list%d.txt" % number)
            write_playlist(playlist, [server.url("/p%d.html" % i) for i in range(3)])
            options = ["--full-screen", "--keep-screen-on", "--screen-hours=" + hours]
            if number == 0:
                options += ["--screen-off-command=echo off >> " + said, "--screen-on-command=echo on >> " + said]
            programs.append(start_program(options + ["/f=" + playlist, "/t=2"], platform="xcb",
                                          display=screen.display, stderr=open(errors[number], "w")))
        power = lambda: open(said).read().split() if os.path.exists(said) else []
        if not wait_until(lambda: power() == ["off"], 200):
            raise SystemExit("screen_hours_run: the off command never ran (said %s)" % power())
        dark_at = time.monotonic()
        # Both screens look at the clock on their own minute: give the second its minute.
        has_power_management = display_power_level(screens[1].display) is not None
        told = lambda: "cannot be powered down" in open(errors[1]).read()
        if has_power_management and not wait_until(lambda: display_power_level(screens[1].display) == DPMS_OFF, 65):
            failures.append("the X display was not powered down (level %s)" % display_power_level(screens[1].display))
        if not has_power_management and not wait_until(told, 65):
            failures.append("without display power management, the program did not say so")
        time.sleep(3)
        for number, screen in enumerate(screens):
            shot = os.path.join(shots, "dark-%d.png" % number)
            brightness = brightest_share(screen.display, shot)
            note("screen %d dark: mean brightness %.4f (%s)" % (number, brightness, shot))
            if brightness > 0.01:
                failures.append("screen %d is not dark (mean brightness %.3f)" % (number, brightness))
        if not wait_until(lambda: power() == ["off", "on"], 200):
            raise SystemExit("screen_hours_run: the on command never ran (said %s)" % power())
        light_at = time.monotonic()
        asked_while_dark = [path for moment, path in servers[0].requests if dark_at + 1 < moment < light_at]
        if asked_while_dark:
            failures.append("pages asked for while dark: %s" % asked_while_dark)
        asked_before = len(servers[0].requests)
        if not wait_until(lambda: len(servers[0].requests) > asked_before, 10):
            failures.append("the run did not go on once light")
        if has_power_management and not wait_until(lambda: display_power_level(screens[1].display) == 0, 65):
            failures.append("the X display was not powered up again")
        time.sleep(3)
        brightness = brightest_share(screens[0].display, os.path.join(shots, "light-0.png"))
        note("screen 0 light again: mean brightness %.4f; dark for %.0f s; X display power management: %s" % (
            brightness, light_at - dark_at, "yes" if has_power_management else "none, said so"))
        for number in range(2):
            note("screen %d said: %s" % (number, open(errors[number]).read().strip() or "nothing"))
        if brightness < 0.05:
            failures.append("screen 0 is still dark once light")
    finally:
        for program in programs:
            stop_program(program)
        for thing in screens + servers:
            thing.close()
    print("\n".join(failures) if failures else "screen hours: every check passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
