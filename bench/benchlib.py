"""Shared pieces of the benchmarks: a loopback page server that records when each
page was asked for, and the program started headless the way a kiosk starts it."""
import http.server
import os
import signal
import socketserver
import subprocess
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BINARY = os.environ.get("VELTRASE", os.path.join(ROOT, "build", "veltrase"))


class PageServer:
    """Serves /pN.html pages on 127.0.0.1; requests holds (monotonic seconds, path)."""

    def __init__(self):
        self.requests = []
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                if self.path.startswith("/favicon"):
                    self.send_error(404)
                    return
                owner.requests.append((time.monotonic(), self.path))
                body = b"<!doctype html><title>%s</title><p>%s" % (self.path.encode(), self.path.encode())
                self.send_response(200)
                self.send_header("Content-Type", "text/html")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
            daemon_threads = True
            allow_reuse_address = True

        self.server = Server(("127.0.0.1", 0), Handler)
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def url(self, path):
        return "http://127.0.0.1:%d%s" % (self.port, path)

    def close(self):
        self.server.shutdown()


def write_playlist(path, urls):
    with open(path, "wb") as f:
        for url in urls:
            f.write(url.encode() + b"\r\n")


def start_program(arguments, platform="offscreen"):
    environment = dict(os.environ)
    environment["QT_QPA_PLATFORM"] = platform
    if os.geteuid() == 0:
        environment["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    return subprocess.Popen([BINARY] + arguments, env=environment,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


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
