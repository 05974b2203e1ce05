#!/usr/bin/env python3
"""Checks of the measuring instruments themselves, so that a figure in the table is
the program's and not a slip of the tools. `make bench` runs these first; they run
alone too: python3 -m unittest -v bench/test_bench_tools.py"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib
import big_playlist
import memory_long_run
import rotation_cost
import soak
import switch_frames


def spawn(script):
    return subprocess.Popen([sys.executable, "-c", script])


class ProcessTree(unittest.TestCase):
    def tearDown(self):
        for process in getattr(self, "started", []):
            process.kill()
            process.wait()

    def start(self, script):
        self.started = getattr(self, "started", []) + [spawn(script)]
        return self.started[-1]

    def test_tree_holds_grandchildren_and_not_strangers(self):
        parent = self.start("import subprocess, sys, time\n"
                            "kids = [subprocess.Popen([sys.executable, '-c', 'import time; time.sleep(60)']) for _ in range(2)]\n"
                            "time.sleep(60)")
        stranger = self.start("import time; time.sleep(60)")
        self.assertTrue(benchlib.wait_until(lambda: benchlib.helper_count(parent.pid) == 2, 10))
        tree = benchlib.process_tree(parent.pid)
        self.assertEqual(tree[0], parent.pid)
        self.assertNotIn(stranger.pid, tree)

    def test_cpu_of_a_helper_that_ended_between_readings_still_counts(self):
        # The helper burns CPU, ends and is collected; its time must move to its parent.
        parent = self.start("import subprocess, sys, time\n"
                            "time.sleep(0.5)\n"
                            "subprocess.run([sys.executable, '-c', 'import time\\nend = time.process_time() + 0.6\\n"
                            "while time.process_time() < end: pass'])\n"
                            "time.sleep(60)")
        before = benchlib.cpu_total(benchlib.tree_cpu_seconds(parent.pid))
        self.assertTrue(benchlib.wait_until(lambda: benchlib.helper_count(parent.pid) == 1, 10))
        self.assertTrue(benchlib.wait_until(lambda: benchlib.helper_count(parent.pid) == 0, 20))
        after = benchlib.cpu_total(benchlib.tree_cpu_seconds(parent.pid))
        self.assertGreaterEqual(after - before, 0.5)

    def test_memory_adds_up_over_the_tree(self):
        idle = self.start("import subprocess, sys, time\n"
                          "subprocess.Popen([sys.executable, '-c', 'import time; time.sleep(60)']); time.sleep(60)")
        busy = self.start("import subprocess, sys, time\n"
                          "subprocess.Popen([sys.executable, '-c', 'b = bytes(80 << 20) + b\\'x\\'; import time; time.sleep(60)'])\n"
                          "time.sleep(60)")
        for parent in (idle, busy):
            self.assertTrue(benchlib.wait_until(lambda: benchlib.helper_count(parent.pid) == 1, 10))
        for reading in (benchlib.tree_rss_kib, benchlib.tree_pss_kib):
            with self.subTest(reading.__name__):
                self.assertTrue(benchlib.wait_until(lambda: reading(busy.pid) - reading(idle.pid) > 70 * 1024, 10))

    def test_wakes_of_the_main_thread_are_counted(self):
        # One process wakes a hundred times a second, the other sleeps: the count tells them apart.
        waking = self.start("import time\nwhile True: time.sleep(0.01)")
        sleeping = self.start("import time; time.sleep(60)")
        time.sleep(0.3)
        before = {p.pid: rotation_cost.thread_wakes(p.pid) for p in (waking, sleeping)}
        time.sleep(1)
        woke = {p.pid: rotation_cost.thread_wakes(p.pid) - before[p.pid] for p in (waking, sleeping)}
        self.assertGreater(woke[waking.pid], 60)
        self.assertLess(woke[sleeping.pid], 5)


class Server(unittest.TestCase):
    def test_pages_files_and_what_is_recorded(self):
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "clock.html"), "wb") as f:
                f.write(b"<p>tick")
            with open(os.path.join(folder, "style.css"), "wb") as f:
                f.write(b"p {}")
            server = benchlib.PageServer(folder=folder)
            try:
                cases = [
                    # path asked for, body expected, content type, recorded as a page
                    ("/clock.html?202612062041", b"<p>tick", "text/html", True),
                    ("/style.css", b"p {}", "text/css", False),
                    ("/p7.html", b"<!doctype html><title>/p7.html</title><p>/p7.html", "text/html", True),
                ]
                for path, body, kind, recorded in cases:
                    with self.subTest(path=path):
                        before = len(server.requests)
                        with urllib.request.urlopen(server.url(path)) as answer:
                            content = answer.read()
                            self.assertEqual(answer.headers["Content-Type"], kind)
                        self.assertEqual(content, body)
                        self.assertEqual(len(server.requests) - before, 1 if recorded else 0)
            finally:
                server.close()


class SwitchFrames(unittest.TestCase):
    """The classification of sampled frames and the walk along the rotation."""

    WHITE, GREY = (255, 255, 255), (128, 128, 128)

    def frame(self, background, picture=None, blocks=None, picture_share=1.0):
        points = switch_frames.sample_points()
        on_picture = [i for i, (part, _, _) in enumerate(points) if part == "picture"]
        drawn = set(on_picture[:round(len(on_picture) * picture_share)])
        colours = []
        for i, (part, _, _) in enumerate(points):
            wanted = {"picture": picture if i in drawn else None, "blocks": blocks}.get(part)
            colours.append(wanted or background)
        return colours, [part for part, _, _ in points]

    def test_each_frame_is_told_apart(self):
        _, background, picture, blocks = switch_frames.PAGES["a2"]
        near_background = tuple(c + 10 for c in background)
        cases = [
            ("whole page", self.frame(background, picture, blocks), "a2"),
            ("colours within the tolerance", self.frame(near_background, picture, blocks), "a2"),
            ("white", self.frame(self.WHITE), "white"),
            ("the card", self.frame(switch_frames.CARD), "card"),
            ("picture not drawn", self.frame(background, None, blocks), "no picture"),
            ("background only", self.frame(background), "background only"),
            ("half the picture", self.frame(background, picture, blocks, 0.5), "part picture"),
            ("one point of the picture missing", self.frame(background, picture, blocks, 35 / 36), "part picture"),
            ("another page's picture", self.frame(background, switch_frames.PAGES["a1"][2], blocks), "no picture"),
            ("a grey screen", self.frame(self.GREY), "other"),
        ]
        for what, (colours, parts), label in cases:
            with self.subTest(what):
                self.assertEqual(switch_frames.classify(colours, parts), label)

    def test_switches_count_frames_neither_old_nor_new(self):
        def frames(*labels):
            return [(10 + i * 0.02, label) for i, label in enumerate(labels)]

        entries = ["a1", "refused", "a2"]
        cases = [
            # what, frames, frames neither per switch, what the worst switch showed instead
            ("clean switches", frames("other", "a1", "a1", "card", "card", "a2"), [0, 0], {}),
            ("white then the page without its picture",
             frames("a1", "white", "white", "no picture", "card", "a2"), [3, 0], {"white": 40, "no picture": 20}),
            ("the old page back after a blank frame counts the blank only",
             frames("a1", "white", "a1", "card", "other", "a2"), [1, 1], {"white": 20}),
            ("a page shown before comes back for a moment",
             frames("a2", "a1", "card", "a1", "white", "a2"), [0, 2], {"earlier page": 20, "white": 20}),
            ("a switch never completed is not reported", frames("a1", "white", "card", "white"), [1], {"white": 20}),
            ("the rotation loops", frames("a1", "card", "a2", "white", "a1", "card"), [0, 0, 1, 0], {"white": 20}),
        ]
        for what, seen, neither, worst in cases:
            with self.subTest(what):
                startup, records = switch_frames.switches(seen, entries, dwell=0.02)
                self.assertEqual([r["frames"] for r in records], neither)
                shown = max(records, key=lambda r: r["frames"])["neither"]
                self.assertEqual({k: round(v) for k, v in shown.items()}, worst)
        startup, records = switch_frames.switches(frames("other", "white", "a1", "white", "card"), entries, dwell=0.02)
        self.assertEqual((startup["shown"], {k: round(v) for k, v in startup["neither"].items()}),
                         (10.04, {"other": 20, "white": 20}))
        self.assertAlmostEqual(records[0]["late"], 0.02)


@unittest.skipUnless(shutil.which("Xvfb") and shutil.which("display") and
                     os.path.exists(benchlib.bench_program("screen_sampler")),
                     "needs Xvfb, imagemagick and the bench programs (make bench builds them)")
class ScreenSampler(unittest.TestCase):
    def test_samples_what_the_screen_shows_at_the_rate_asked(self):
        screen = benchlib.VirtualScreen()
        try:
            environment = dict(os.environ, DISPLAY=screen.display)
            with tempfile.TemporaryDirectory() as folder:
                # The root window's background: a colour on the left half, another on the right.
                picture = os.path.join(folder, "root.png")
                subprocess.run(["convert", "-size", "640x1024", "xc:#123456", "xc:#abcdef", "+append", picture],
                               check=True)
                # (display says 1 even when the root took the picture; the samples tell.)
                subprocess.run(["display", "-window", "root", picture], env=environment, timeout=30)
            answer = subprocess.run([benchlib.bench_program("screen_sampler"), "60", "1", "10,10", "1000,900"],
                                    env=environment, capture_output=True, text=True, timeout=30, check=True)
        finally:
            screen.close()
        lines = [line.split() for line in answer.stdout.splitlines()]
        self.assertGreaterEqual(len(lines), 50)
        self.assertEqual({tuple(words[1:]) for words in lines}, {("123456", "abcdef")})
        times = [float(words[0]) for words in lines]
        self.assertLess(max(b - a for a, b in zip(times, times[1:])), 0.05)
        self.assertLess(abs(times[-1] - time.monotonic()), 5)


class SoakVerdict(unittest.TestCase):
    MIB = 1024

    def test_verdicts(self):
        def minutes(*resident_mib, passes_per_minute=50, pages_per_minute=250, helpers=3):
            return [(m, m * passes_per_minute, m * pages_per_minute, r * self.MIB, helpers)
                    for m, r in enumerate(resident_mib, start=1)]

        stalled = minutes(300, 300, 300, 300)
        stalled[2] = (3, stalled[1][1], stalled[2][2], 300 * self.MIB, 3)
        cases = [
            # what, samples, exit status, met, words in the verdict
            ("flat memory", minutes(300, 301, 300, 302), 0, True, "+0.7%"),
            ("growth just within", minutes(300, 300, 300, 330), 0, True, "+10.0%"),
            ("growth past the target", minutes(300, 310, 320, 331), 0, False, "MISSED"),
            # The baseline is minute 5, not the cold first minutes.
            ("warm-up not counted", minutes(250, 280, 290, 300, 300, 310), 0, True, "at minute 5"),
            ("a minute without a pass", stalled, 0, False, "no pass completed in minute 3"),
            ("passes slowing down", minutes(300, 300, 300, 300)[:3] + [(4, 170, 1000, 300 * self.MIB, 3)], 0, False,
             "passes not steady in minute 4"),
            ("did not end cleanly", minutes(300, 300), None, False, "MISSED"),
            ("nothing measured", [], 0, False, "no minute"),
        ]
        for what, samples, status, met, words in cases:
            with self.subTest(what):
                answer, lines = soak.verdict(samples, status)
                self.assertEqual(answer, met)
                self.assertIn(words, lines[-1])


@unittest.skipUnless(shutil.which("Xvfb") and os.path.exists(benchlib.bench_program("first_paint")),
                     "needs Xvfb and the bench programs (make bench builds them)")
class FirstPaint(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.screen = benchlib.VirtualScreen()

    @classmethod
    def tearDownClass(cls):
        cls.screen.close()

    def watch(self, *command):
        return subprocess.run([benchlib.bench_program("first_paint"), "10", "--"] + list(command),
                              env=benchlib.program_environment("xcb", self.screen.display),
                              capture_output=True, text=True, timeout=60)

    def test_a_window_is_seen_mapped_then_painted_at_its_size(self):
        answer = self.watch(benchlib.bench_program("minimal_window"))
        self.assertEqual(answer.returncode, 0, answer.stderr)
        words = answer.stdout.split()
        mapped, painted = float(words[1]), float(words[3])
        self.assertTrue(0 < mapped <= painted < 10000, answer.stdout)
        self.assertEqual(words[5:8:2], ["704", "494"])

    def test_a_program_without_a_window_is_reported_not_timed(self):
        started = time.monotonic()
        answer = self.watch("sleep", "30")
        self.assertEqual(answer.returncode, 1)
        self.assertIn("no window was mapped", answer.stderr)
        self.assertLess(time.monotonic() - started, 20)


@unittest.skipUnless(all(os.path.exists(benchlib.bench_program(name))
                         for name in ("veltrase_probe", "veltrase_window_probe", "playlist_load_save")),
                     "needs the bench programs (make bench builds them)")
class Probes(unittest.TestCase):
    """The drivers and the programs they drive agree on what they say to each other."""

    def test_memory_is_read_at_each_checkpoint_and_the_last_load(self):
        resident = memory_long_run.measure(loads=3, checkpoints=[2])
        self.assertEqual(sorted(resident), [2, 3])
        self.assertTrue(all(kib > 50 * 1024 for kib in resident.values()), resident)

    def test_both_starts_reach_the_server(self):
        started = big_playlist.start_to_first_request(entries=2)
        self.assertEqual(sorted(started), ["cold", "warm"])
        self.assertTrue(all(0 < ms < 60000 for ms in started.values()), started)

    def test_open_and_save_figures_are_found_in_the_playlist_timing(self):
        figures = big_playlist.load_and_save(repeats=1)
        self.assertEqual(sorted(figures), ["Open", "Save"])


if __name__ == "__main__":
    unittest.main()
