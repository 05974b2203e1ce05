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

    def test_resident_memory_adds_up_over_the_tree(self):
        idle = self.start("import subprocess, sys, time\n"
                          "subprocess.Popen([sys.executable, '-c', 'import time; time.sleep(60)']); time.sleep(60)")
        busy = self.start("import subprocess, sys, time\n"
                          "subprocess.Popen([sys.executable, '-c', 'b = bytes(80 << 20) + b\\'x\\'; import time; time.sleep(60)'])\n"
                          "time.sleep(60)")
        for parent in (idle, busy):
            self.assertTrue(benchlib.wait_until(lambda: benchlib.helper_count(parent.pid) == 1, 10))
        self.assertTrue(benchlib.wait_until(
            lambda: benchlib.tree_rss_kib(busy.pid) - benchlib.tree_rss_kib(idle.pid) > 70 * 1024, 10))

    def test_wakes_of_the_main_thread_are_counted(self):
        # One process wakes a hundred times a second, the other sleeps: the count tells them apart.
        waking = self.start("import time\nwhile True: time.sleep(0.01)")
        sleeping = self.start("import time; time.sleep(60)")
        time.sleep(0.3)
        before = {p.pid: rotation_cost.thread_switches(p.pid) for p in (waking, sleeping)}
        time.sleep(1)
        woke = {p.pid: rotation_cost.thread_switches(p.pid) - before[p.pid] for p in (waking, sleeping)}
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
