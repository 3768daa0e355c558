"""Self-tests of the fault-injecting update host (tests/update_host.py).

Run from the repository root:  python3 -m unittest discover -s tests -p 'test_*.py'
Every host here listens on 127.0.0.1 on a port the system picks.
"""

import json
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from update_host import UpdateHost  # noqa: E402

DATA = bytes((i * 7 + i // 251) & 0xFF for i in range(50000))
PATH = "/update/AshgroveSetup.exe"
SIZE = len(DATA)


class Response:
    def __init__(self, raw, end):
        head, _, self.body = raw.partition(b"\r\n\r\n")
        lines = head.decode("latin-1").split("\r\n") if head else []
        self.status = int(lines[0].split()[1]) if lines else None
        self.headers = {}
        for line in lines[1:]:
            name, _, value = line.partition(":")
            self.headers[name.strip().lower()] = value.strip()
        self.end = end  # how the body ended: "eof", "reset" or "timeout"


def fetch(port, path=PATH, rng=None, method="GET", timeout=5.0):
    """One HTTP/1.0 request the way the client sends it; reads to the end."""
    text = "%s %s HTTP/1.0\r\nHost: 127.0.0.1\r\nUser-Agent: Plover2\r\n" % (method, path)
    if rng is not None:
        text += "Range: %s\r\n" % rng
    raw, end = b"", "eof"
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
            s.sendall((text + "\r\n").encode("latin-1"))
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    break
                raw += chunk
    except (ConnectionResetError, BrokenPipeError):
        end = "reset"
    except socket.timeout:
        end = "timeout"
    return Response(raw, end)


class HostCase(unittest.TestCase):
    def host(self, fault=None, files=None, **kwargs):
        host = UpdateHost(0, {PATH: DATA} if files is None else files, fault, **kwargs)
        host.start()
        self.addCleanup(host.stop)
        return host


class RangedAnswers(HostCase):
    def test_ranges_the_client_and_browsers_send(self):
        host = self.host()
        table = [
            # Range header, status, first byte, last byte (inclusive)
            (None, 200, 0, SIZE - 1),
            ("bytes=0-", 206, 0, SIZE - 1),
            ("bytes=4096-", 206, 4096, SIZE - 1),
            ("bytes=100-199", 206, 100, 199),
            ("bytes=49990-99999999", 206, 49990, SIZE - 1),
            ("bytes=-10", 206, SIZE - 10, SIZE - 1),
            ("bytes=%d-%d" % (SIZE - 1, SIZE - 1), 206, SIZE - 1, SIZE - 1),
            ("items=0-5", 200, 0, SIZE - 1),  # not understood: the whole file
            ("bytes=0-5,10-20", 200, 0, SIZE - 1),
        ]
        for rng, status, first, last in table:
            with self.subTest(rng=rng):
                r = fetch(host.port, rng=rng)
                self.assertEqual(r.status, status)
                self.assertEqual(r.body, DATA[first:last + 1])
                self.assertEqual(r.headers["content-length"], str(last - first + 1))
                if status == 206:
                    self.assertEqual(r.headers["content-range"],
                                     "bytes %d-%d/%d" % (first, last, SIZE))
                else:
                    self.assertNotIn("content-range", r.headers)

    def test_past_the_end_is_416_with_the_size(self):
        host = self.host()
        for rng in ("bytes=%d-" % SIZE, "bytes=999999-1000000", "bytes=-0"):
            with self.subTest(rng=rng):
                r = fetch(host.port, rng=rng)
                self.assertEqual(r.status, 416)
                self.assertEqual(r.headers["content-range"], "bytes */%d" % SIZE)
                self.assertEqual(r.body, b"")

    def test_unknown_path_head_and_other_verbs(self):
        host = self.host()
        self.assertEqual(fetch(host.port, "/update/other.xml").status, 404)
        head = fetch(host.port, rng="bytes=10-", method="HEAD")
        self.assertEqual((head.status, head.headers["content-length"], head.body),
                         (206, str(SIZE - 10), b""))
        self.assertEqual(fetch(host.port, method="DELETE").status, 405)

    def test_requests_are_recorded_in_order_with_their_headers(self):
        host = self.host()
        fetch(host.port, "/update/update.xml?x=1")
        fetch(host.port, rng="bytes=5-")
        first, second = host.requests
        self.assertEqual(first["line"], "GET /update/update.xml?x=1 HTTP/1.0")
        self.assertEqual((first["method"], first["path"], first["version"]),
                         ("GET", "/update/update.xml?x=1", "HTTP/1.0"))
        self.assertIsNone(first["range"])
        self.assertEqual(second["headers"], [["Host", "127.0.0.1"], ["User-Agent", "Plover2"],
                                             ["Range", "bytes=5-"]])
        self.assertEqual(second["range"], "bytes=5-")
        self.assertIsNone(second["fault"])

    def test_a_request_without_a_blank_line_is_dropped_after_the_timeout(self):
        host = self.host(connection_timeout=0.3)
        with socket.create_connection(("127.0.0.1", host.port), timeout=3) as s:
            s.sendall(b"GET / HTTP/1.0\r\n")
            started = time.monotonic()
            self.assertEqual(s.recv(100), b"")
            self.assertLess(time.monotonic() - started, 2)
        self.assertEqual(host.requests, [])


class LengthFaults(HostCase):
    """Faults that break the headers; each body ends with the connection."""

    def test_header_faults(self):
        tail = DATA[100:]
        cr_tail = "bytes 100-%d/%d" % (SIZE - 1, SIZE)
        table = [
            # fault, options, Range, status, Content-Length, Content-Range, body
            ("no-length", {}, "bytes=100-", 200, None, None, DATA),
            ("no-length", {}, None, 200, None, None, DATA),
            ("content-range-only", {}, "bytes=100-", 206, None, cr_tail, tail),
            ("content-range-only", {}, None, 206, None, "bytes 0-%d/%d" % (SIZE - 1, SIZE), DATA),
            ("huge-length", {}, "bytes=100-", 206, "2147483648", cr_tail, tail),
            ("huge-length", {"length": "4294967396"}, None, 200, "4294967396", None, DATA),
            ("garbage-length", {}, "bytes=100-", 206, "abc", cr_tail, tail),
            ("garbage-length", {"length": "-5"}, None, 200, "-5", None, DATA),
        ]
        for fault, options, rng, status, length, crange, body in table:
            with self.subTest(fault=fault, options=options, rng=rng):
                host = self.host(fault, **options)
                r = fetch(host.port, rng=rng)
                self.assertEqual(r.status, status)
                self.assertEqual(r.headers.get("content-length"), length)
                self.assertEqual(r.headers.get("content-range"), crange)
                self.assertEqual(r.body, body)
                self.assertEqual(r.end, "eof")
                self.assertEqual(host.requests[0]["fault"], fault)

    def test_404_even_for_a_served_path_then_normal_after_times(self):
        host = self.host("404", times=1)
        self.assertEqual(fetch(host.port).status, 404)
        again = fetch(host.port)
        self.assertEqual((again.status, again.body), (200, DATA))
        self.assertEqual([r["fault"] for r in host.requests], ["404", None])

    def test_without_times_every_request_gets_the_fault(self):
        host = self.host("no-length")
        for _ in range(3):
            self.assertNotIn("content-length", fetch(host.port).headers)

    def test_fault_path_leaves_other_paths_alone(self):
        files = {PATH: DATA, "/update/update.xml": b"<config/>"}
        host = self.host("404", files=files, fault_path=PATH)
        self.assertEqual(fetch(host.port, "/update/update.xml").body, b"<config/>")
        self.assertEqual(fetch(host.port).status, 404)

    def test_a_416_does_not_use_up_the_fault(self):
        host = self.host("no-length", times=1)
        self.assertEqual(fetch(host.port, rng="bytes=%d-" % SIZE).status, 416)
        self.assertNotIn("content-length", fetch(host.port, rng="bytes=0-").headers)

    def test_unknown_fault_is_refused(self):
        with self.assertRaises(ValueError):
            UpdateHost(0, {}, "slow")


class BodyFaults(HostCase):
    """Faults that cut the body short after `after` bytes."""

    def test_close_after_cuts_once_then_the_resumed_request_is_whole(self):
        host = self.host("close-after", after=1000)
        cut = fetch(host.port, rng="bytes=0-")
        self.assertEqual((cut.status, cut.headers["content-length"]), (206, str(SIZE)))
        self.assertEqual((cut.body, cut.end), (DATA[:1000], "eof"))
        resumed = fetch(host.port, rng="bytes=1000-")
        self.assertEqual(resumed.body, DATA[1000:])

    def test_close_after_repeats_for_times_requests(self):
        host = self.host("close-after", after=10, times=2)
        bodies = [fetch(host.port, rng="bytes=0-").body for _ in range(3)]
        self.assertEqual(bodies, [DATA[:10], DATA[:10], DATA])

    def test_close_after_more_than_the_body_sends_it_all(self):
        host = self.host("close-after", after=10 ** 9)
        self.assertEqual(fetch(host.port, rng="bytes=49000-").body, DATA[49000:])

    def test_reset_after_some_bytes(self):
        host = self.host("reset", after=2000, times=1)
        r = fetch(host.port, rng="bytes=0-")
        self.assertEqual(r.end, "reset")
        self.assertLessEqual(len(r.body), 2000)
        self.assertEqual(r.body, DATA[:len(r.body)])
        self.assertEqual(fetch(host.port).body, DATA)

    def test_stall_goes_quiet_then_sends_the_rest(self):
        host = self.host("stall", after=500, stall=1.0)
        with socket.create_connection(("127.0.0.1", host.port), timeout=3) as s:
            s.sendall(b"GET %s HTTP/1.0\r\nRange: bytes=0-\r\n\r\n" % PATH.encode())
            raw = b""
            while b"\r\n\r\n" not in raw or len(raw.partition(b"\r\n\r\n")[2]) < 500:
                raw += s.recv(65536)
            s.settimeout(0.5)
            with self.assertRaises(socket.timeout):
                s.recv(65536)
            s.settimeout(5)
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    break
                raw += chunk
        self.assertEqual(raw.partition(b"\r\n\r\n")[2], DATA)

    def test_stop_ends_a_stall_at_once(self):
        host = self.host("stall", after=0, stall=60)
        with socket.create_connection(("127.0.0.1", host.port), timeout=3) as s:
            s.sendall(b"GET %s HTTP/1.0\r\n\r\n" % PATH.encode())
            s.recv(65536)
            started = time.monotonic()
            host.stop()
            self.assertLess(time.monotonic() - started, 3)


class Refusing(HostCase):
    def test_refuse_without_times_never_listens(self):
        host = self.host("refuse")
        with self.assertRaises(ConnectionRefusedError):
            socket.create_connection(("127.0.0.1", host.port), timeout=2)
        self.assertEqual(host.requests, [])

    def test_refuse_with_times_drops_the_first_connections_unread(self):
        host = self.host("refuse", times=2)
        for _ in range(2):
            dropped = fetch(host.port)
            self.assertIsNone(dropped.status)
            self.assertIn(dropped.end, ("eof", "reset"))
        self.assertEqual(fetch(host.port).body, DATA)
        self.assertEqual((host.refused, len(host.requests)), (2, 1))


class Lifetime(HostCase):
    def test_stops_by_itself_after_its_seconds(self):
        host = self.host(seconds=0.5)
        self.assertEqual(fetch(host.port).status, 200)
        self.assertTrue(host.wait(5))
        with self.assertRaises(ConnectionRefusedError):
            socket.create_connection(("127.0.0.1", host.port), timeout=2)

    def test_a_refusing_host_stops_by_itself_too(self):
        host = self.host("refuse", seconds=0.3)
        self.assertTrue(host.wait(5))


class CommandLine(unittest.TestCase):
    def start(self, *args):
        proc = subprocess.Popen([sys.executable, os.path.join(HERE, "update_host.py")] + list(args),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.addCleanup(proc.wait, 10)
        self.addCleanup(proc.stdout.close)
        self.addCleanup(proc.stderr.close)
        return proc

    def test_serves_files_reports_requests_and_stops_on_sigterm(self):
        with tempfile.NamedTemporaryFile(delete=False) as f:
            f.write(DATA)
        self.addCleanup(os.unlink, f.name)
        proc = self.start("--port", "0", "--file", "%s=%s" % (PATH, f.name),
                          "--fault", "close-after", "--after", "64", "--seconds", "30")
        word, port = proc.stdout.readline().split()
        self.assertEqual(word, "ready")
        self.assertEqual(fetch(int(port), rng="bytes=0-").body, DATA[:64])
        self.assertEqual(fetch(int(port), rng="bytes=64-").body, DATA[64:])
        kind, _, text = proc.stdout.readline().partition(" ")
        self.assertEqual(kind, "request")
        record = json.loads(text)
        self.assertEqual((record["line"], record["range"], record["fault"]),
                         ("GET %s HTTP/1.0" % PATH, "bytes=0-", "close-after"))
        proc.send_signal(signal.SIGTERM)
        self.assertEqual(proc.wait(10), 0)

    def test_stops_by_itself(self):
        proc = self.start("--seconds", "0.5")
        self.assertTrue(proc.stdout.readline().startswith("ready "))
        self.assertEqual(proc.wait(10), 0)

    def test_a_log_file_takes_the_lines_and_deleting_it_stops_the_host(self):
        log = os.path.join(tempfile.mkdtemp(), "host.log")
        proc = self.start("--log", log, "--seconds", "30")
        port = None
        for _ in range(100):
            lines = open(log).read().split("\n") if os.path.exists(log) else []
            if lines and lines[0].startswith("ready "):
                port = int(lines[0].split()[1])
                break
            time.sleep(0.05)
        self.assertIsNotNone(port)
        self.assertEqual(fetch(port, rng="bytes=0-").status, 404)
        for _ in range(100):
            if "request " in open(log).read():
                break
            time.sleep(0.05)
        self.assertIn('"line": "GET ', open(log).read())
        os.unlink(log)
        self.assertEqual(proc.wait(10), 0)
        self.assertEqual(proc.stdout.read(), "")

    def test_a_malformed_file_argument_is_an_error(self):
        proc = self.start("--file", "no-equals-sign", "--seconds", "5")
        self.assertEqual(proc.wait(10), 2)
        self.assertIn("/PATH=LOCALFILE", proc.stderr.read())


if __name__ == "__main__":
    unittest.main()
