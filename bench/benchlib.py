"""Shared pieces of the benchmarks: a loopback page server that records when each
page was asked for, and the program started headless the way a kiosk starts it."""
import http.server
import os
import platform as host
import signal
import socketserver
import subprocess
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BINARY = os.environ.get("VELTRASE", os.path.join(ROOT, "build", "veltrase"))
# The measurement programs are built beside the program, in its build folder.
BENCH_PROGRAMS = os.path.join(os.path.dirname(os.path.abspath(BINARY)), "bench")


def bench_program(name):
    return os.path.join(BENCH_PROGRAMS, name)


def serve_on_loopback(handler):
    """A server for the request handler on a free port of 127.0.0.1, each request on a
    thread of its own, serving in the background until shut down."""

    class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
        daemon_threads = True
        allow_reuse_address = True

    server = Server(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class PageServer:
    """Serves /pN.html pages on 127.0.0.1; requests holds (monotonic seconds, path).
    Given a folder, a path naming a file in it is answered with that file (its query,
    such as the no-cache stamp, left aside); only requests for HTML pages are recorded."""

    TYPES = {".html": "text/html", ".css": "text/css", ".js": "text/javascript", ".png": "image/png"}

    def __init__(self, folder=None):
        self.requests = []
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                if self.path.startswith("/favicon"):
                    self.send_error(404)
                    return
                name = self.path.split("?")[0].lstrip("/")
                kind = os.path.splitext(name)[1]
                if kind in ("", ".html"):
                    owner.requests.append((time.monotonic(), self.path))
                file = os.path.join(folder, name) if folder and name else None
                if file and os.path.isfile(file):
                    with open(file, "rb") as f:
                        body = f.read()
                else:
                    body = b"<!doctype html><title>%s</title><p>%s" % (self.path.encode(), self.path.encode())
                self.send_response(200)
                self.send_header("Content-Type", owner.TYPES.get(kind, "text/html"))
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.server = serve_on_loopback(Handler)
        self.port = self.server.server_address[1]

    def url(self, path):
        return "http://127.0.0.1:%d%s" % (self.port, path)

    def close(self):
        self.server.shutdown()


def write_playlist(path, urls):
    with open(path, "wb") as f:
        for url in urls:
            f.write(url.encode() + b"\r\n")


# The program keeps its browser profile under XDG_DATA_HOME; a bench run gets a folder of
# its own, so it neither reads nor changes the profile of the person running it, and never
# meets the lock of a Veltrase already running on the same desktop.
_DATA_HOME = tempfile.TemporaryDirectory(prefix="veltrase-bench-")


def program_environment(platform="offscreen", display=None):
    environment = dict(os.environ)
    environment["XDG_DATA_HOME"] = _DATA_HOME.name
    environment["QT_QPA_PLATFORM"] = platform
    if display:
        environment["DISPLAY"] = display
    if os.geteuid() == 0:
        environment["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    return environment


def start_program(arguments, platform="offscreen", binary=None, display=None, **options):
    options.setdefault("stdout", subprocess.DEVNULL)
    options.setdefault("stderr", subprocess.DEVNULL)
    return subprocess.Popen([binary or BINARY] + arguments, env=program_environment(platform, display), **options)


def accepts_option(option, binary=None):
    """Whether the program takes a command-line option (a build may predate it): asked
    with --help, which a known option leaves answered and an unknown one refused."""
    answer = subprocess.run([binary or BINARY, option, "--help"], env=program_environment(),
                            capture_output=True, text=True, timeout=30)
    return answer.returncode == 0 and "unknown option" not in answer.stderr


def stop_program(process):
    process.send_signal(signal.SIGTERM)
    return process.wait(timeout=10)


def wait_until(condition, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.02)
    return False


def median(values):
    ordered = sorted(values)
    middle = len(ordered) // 2
    return ordered[middle] if len(ordered) % 2 else (ordered[middle - 1] + ordered[middle]) / 2


# The process tree, read from /proc: the program and every helper it started.

def _stat_fields(pid):
    """The fields of /proc/PID/stat after the command name (which may hold spaces)."""
    with open("/proc/%d/stat" % pid, "rb") as f:
        line = f.read()
    return line[line.rindex(b")") + 2:].split()


def process_tree(pid):
    """The process and all its descendants that are alive now."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                fields = _stat_fields(int(entry))
            except (OSError, ValueError):
                continue
            if fields[0] != b"Z":
                children.setdefault(int(fields[1]), []).append(int(entry))
    tree, pending = [], [pid]
    while pending:
        current = pending.pop()
        tree.append(current)
        pending.extend(children.get(current, []))
    return tree


def helper_count(pid):
    return len(process_tree(pid)) - 1


def tree_rss_kib(pid):
    """Resident memory of the whole tree: each process's VmRSS, summed. Pages shared
    between processes count once per process, so the sum is an upper bound; it moves
    with what the processes hold, which is what a growth figure needs."""
    total = 0
    for member in process_tree(pid):
        try:
            with open("/proc/%d/status" % member) as f:
                for line in f:
                    if line.startswith("VmRSS:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def tree_pss_kib(pid):
    """Proportional memory of the whole tree: each page shared by several processes is
    split between them, so the sum counts it once: what the program costs the machine."""
    total = 0
    for member in process_tree(pid):
        try:
            with open("/proc/%d/smaps_rollup" % member) as f:
                total += sum(int(line.split()[1]) for line in f if line.startswith("Pss:"))
        except OSError:
            pass
    return total


TICKS = os.sysconf("SC_CLK_TCK")


def tree_cpu_seconds(pid):
    """CPU time used by the tree so far: each live process's own time plus what its
    ended and collected children used, so a helper that ends between two readings is
    still counted (by its parent) in the second."""
    per_process = {}
    for member in process_tree(pid):
        try:
            fields = _stat_fields(member)
            with open("/proc/%d/cmdline" % member, "rb") as f:
                arguments = f.read().split(b"\0")
        except (OSError, ValueError):
            continue
        # utime, stime, cutime, cstime are fields 14 to 17 of stat; 3 is the first here.
        ticks = sum(int(value) for value in fields[11:15])
        kind = next((a.decode()[7:] for a in arguments if a.startswith(b"--type=")), "program")
        per_process[member] = (ticks / TICKS, kind)
    return per_process


def cpu_total(reading):
    return sum(seconds for seconds, _ in reading.values())


class VirtualScreen:
    """A private Xvfb display for the runs that need a real window system, with a window
    manager on it when asked (full screen and focus then behave as on a desktop)."""

    def __init__(self, size="1280x1024x24", window_manager=False):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", size, "-nolisten", "tcp"],
                                        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        self.window_manager = None
        if window_manager:
            environment = dict(os.environ, DISPLAY=self.display)
            self.window_manager = subprocess.Popen(["openbox"], env=environment, stdout=subprocess.DEVNULL,
                                                   stderr=subprocess.DEVNULL)
            # A window manager announces itself on the root window once it manages the screen.
            if not wait_until(lambda: b"_NET_SUPPORTING_WM_CHECK(WINDOW)" in subprocess.run(
                    ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=environment, capture_output=True).stdout, 20):
                self.close()
                raise RuntimeError("openbox did not take the screen")

    def close(self):
        for process in (self.window_manager, self.process):
            if process:
                process.terminate()
                process.wait(timeout=10)


def machine_description():
    """CPU, cores, memory, system and Qt versions, for the record beside the figures."""
    model = "unknown CPU"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        memory_kib = int(f.readline().split()[1])
    try:
        with open("/etc/debian_version") as f:
            debian = "Debian " + f.read().strip()
    except OSError:
        debian = host.platform()

    def package_version(*names):
        # The first name installed: Debian 13 renamed Qt's core library (64-bit time).
        for name in names:
            answer = subprocess.run(["dpkg-query", "-W", "-f", "${Status} ${Version}", name], capture_output=True,
                                    text=True)
            if answer.stdout.startswith("install ok installed "):
                return answer.stdout.split()[-1]
        return "?"

    return "%s, %d cores, %.1f GiB memory; %s, kernel %s; Qt %s, Qt WebEngine %s" % (
        model, os.cpu_count(), memory_kib / 1024 / 1024, debian, host.release(),
        package_version("libqt6core6", "libqt6core6t64"), package_version("libqt6webenginecore6"))


def load_average():
    return "%.2f %.2f %.2f" % os.getloadavg()


class Row:
    """One line of the results table: a figure beside its target (met None: a yardstick
    measured for comparison, with no target of its own)."""

    def __init__(self, what, figure, target, met, how=""):
        self.what, self.figure, self.target, self.met, self.how = what, figure, target, met, how

    def markdown(self):
        verdict = "" if self.met is None else "met" if self.met else "**missed**"
        return "| %s | %s | %s | %s |" % (self.what, self.figure, self.target, verdict)


TABLE_HEAD = "| what | figure | target | |\n|---|---|---|---|"


def print_rows(rows):
    print(TABLE_HEAD)
    for row in rows:
        print(row.markdown())


def note(text):
    """Details of a measurement, for whoever wants to know where a figure came from."""
    print("  " + text, file=__import__("sys").stderr, flush=True)
