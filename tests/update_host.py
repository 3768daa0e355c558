#!/usr/bin/python3
"""An update host that misbehaves on purpose, for the download tests.

It serves a few files to ranged GET requests the way the demo portal does
(200 with Content-Length, 206 with Content-Range and Content-Length, 416 past
the end, 404 for anything else) and can break one kind of rule for the first
K matching requests, so the client's download thread meets each failure it
has to survive.

From Python tests:

    host = UpdateHost(files={"/update/update.xml": data}, fault="close-after",
                      after=100).start()
    ... host.port, host.requests ...
    host.stop()

From Windows tests (the CLI prints "ready <port>" once it listens, then one
"request {json}" line per request; with --log FILE those lines go to FILE
instead, for a Wine parent, which can neither read a Unix child's output nor
signal it, so the host also stops soon after FILE is deleted):

    python3 tests/update_host.py --port 0 --file /update/pkg.exe=build/pkg.exe \
        --fault reset --after 4096 --times 1 --seconds 60

Faults (N = after, K = times, S = stall seconds):

    refuse              without K: the port is bound but never listens, so
                        connections are refused; with K: the first K
                        connections are reset at once, nothing is read
    404                 404 Not Found for the path, even when it exists
    no-length           200 with the whole file, no Content-Length and no
                        Content-Range; the end of the body is the close
    content-range-only  206 with Content-Range, no Content-Length, then close
    close-after         the usual headers, N body bytes, then a clean close
                        (K defaults to 1, so the resumed request succeeds)
    stall               the usual headers, N body bytes, S seconds of silence,
                        then the rest of the body
    reset               the usual headers, N body bytes, then a TCP reset
    huge-length         Content-Length: 2147483648 (or --length) over the
                        real body, then close
    garbage-length      Content-Length: abc (or --length, e.g. -5) over the
                        real body, then close

Every response closes its connection. Every connection has a timeout, the
number of connections served at once is bounded, and the host stops by
itself after `seconds` (the CLI's --seconds, 300 unless told).
"""

import argparse
import json
import os
import signal
import socket
import struct
import sys
import threading
import time

_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(_ROOT, "tools", "portal"))
sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import byteranges  # noqa: E402  (shared with the demo portal)

FAULTS = (
    "refuse",
    "404",
    "no-length",
    "content-range-only",
    "close-after",
    "stall",
    "reset",
    "huge-length",
    "garbage-length",
)

_REASONS = {
    200: "OK",
    206: "Partial Content",
    400: "Bad Request",
    404: "Not Found",
    405: "Method Not Allowed",
    416: "Range Not Satisfiable",
}

_LOOPBACK = "127.0.0.1"
_MAX_HEAD = 65536
_MAX_CONNECTIONS = 64
# A reset right after the last write can overtake bytes the peer has not
# read yet; this pause lets them arrive first, so the reset lands mid-body.
_RESET_GRACE = 0.2


class UpdateHost:
    def __init__(self, port=0, files=None, fault=None, *, after=0, times=None,
                 stall=30.0, length=None, fault_path=None, seconds=None,
                 connection_timeout=10.0, on_request=None):
        if fault is not None and fault not in FAULTS:
            raise ValueError("unknown fault %r (known: %s)" % (fault, ", ".join(FAULTS)))
        if times is None and fault == "close-after":
            times = 1
        self._port = port
        self.files = dict(files or {})
        self.fault = fault
        self.after = max(0, int(after))
        self.times = times
        self.stall = float(stall)
        self.length = length
        self.fault_path = fault_path
        self.seconds = seconds
        self.connection_timeout = connection_timeout
        self.on_request = on_request

        self.port = None
        self.refused = 0  # connections reset by the "refuse" fault
        self._faults_used = 0
        self._requests = []
        self._lock = threading.Lock()
        self._stopping = threading.Event()
        self._loop_done = threading.Event()
        self._slots = threading.BoundedSemaphore(_MAX_CONNECTIONS)
        self._sock = None
        self._thread = None
        self._workers = set()

    # -- life cycle ---------------------------------------------------------

    def start(self):
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        sock.bind((_LOOPBACK, self._port))
        self.port = sock.getsockname()[1]
        self._sock = sock
        # Refusing for good: a bound socket that never listens makes the
        # kernel answer every connection attempt with a reset, while the port
        # stays ours.
        listening = not (self.fault == "refuse" and self.times is None)
        if listening:
            sock.listen(16)
            sock.settimeout(0.05)  # how soon the loop notices stop() or its time limit
        self._deadline = None if self.seconds is None else time.monotonic() + self.seconds
        self._thread = threading.Thread(
            target=self._accept_loop if listening else self._idle_loop,
            name="update-host", daemon=True)
        self._thread.start()
        return self

    def stop(self):
        self._stopping.set()
        if self._thread is not None:
            self._thread.join(5)
        with self._lock:
            workers = list(self._workers)
        for worker in workers:
            worker.join(5)

    def wait(self, timeout=None):
        """True once the host no longer takes connections (stop() or its time limit)."""
        if not self._loop_done.wait(timeout):
            return False
        self.stop()
        return True

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    @property
    def requests(self):
        with self._lock:
            return [dict(r) for r in self._requests]

    # -- accepting ----------------------------------------------------------

    def _time_left(self):
        return self._deadline is None or time.monotonic() < self._deadline

    def _idle_loop(self):
        try:
            while self._time_left() and not self._stopping.wait(0.05):
                pass
        finally:
            self._sock.close()
            self._loop_done.set()

    def _accept_loop(self):
        try:
            while self._time_left() and not self._stopping.is_set():
                try:
                    conn, _ = self._sock.accept()
                except socket.timeout:
                    continue
                except OSError:
                    break
                if self._refuse_now():
                    _reset(conn)
                    continue
                if not self._slots.acquire(blocking=False):
                    conn.close()
                    continue
                worker = threading.Thread(target=self._serve, args=(conn,), daemon=True)
                with self._lock:
                    self._workers.add(worker)
                worker.start()
        finally:
            self._sock.close()
            self._loop_done.set()

    def _refuse_now(self):
        if self.fault != "refuse":
            return False
        with self._lock:
            if self.times is not None and self.refused >= self.times:
                return False
            self.refused += 1
            return True

    # -- one connection -----------------------------------------------------

    def _serve(self, conn):
        keep_open = False
        try:
            conn.settimeout(self.connection_timeout)
            head = _read_head(conn)
            if head is not None:
                keep_open = self._answer(conn, head)
        except OSError:
            pass
        finally:
            if not keep_open:
                _close(conn, self._stopping)
            self._slots.release()
            with self._lock:
                self._workers.discard(threading.current_thread())

    def _answer(self, conn, head):
        """Send one response; True when the connection was already torn down."""
        lines = head.decode("latin-1").split("\r\n")
        parts = lines[0].split()
        headers = []
        for line in lines[1:]:
            if ":" in line:
                name, value = line.split(":", 1)
                headers.append([name.strip(), value.strip()])
        record = {
            "line": lines[0],
            "method": parts[0] if parts else "",
            "path": parts[1] if len(parts) > 1 else "",
            "version": parts[2] if len(parts) > 2 else "",
            "headers": headers,
            "range": _header(headers, "range"),
            "fault": None,
        }
        if len(parts) != 3:
            with self._lock:
                self._requests.append(record)
            _send(conn, 400, [], b"bad request\n")
            return False

        path = record["path"].split("?", 1)[0]
        data = self.files.get(path)
        chosen = None
        if data is not None and record["method"] in ("GET", "HEAD"):
            chosen = byteranges.parse_range(record["range"], len(data))
        has_body = data is not None and chosen != byteranges.UNSATISFIABLE
        with self._lock:
            if self._fault_applies(path, has_body):
                record["fault"] = self.fault
                self._faults_used += 1
            self._requests.append(record)
        if self.on_request is not None:
            self.on_request(record)

        fault = record["fault"]
        if data is None or fault == "404":
            _send(conn, 404, [], b"not found\n")
            return False
        if record["method"] not in ("GET", "HEAD"):
            _send(conn, 405, [("Allow", "GET, HEAD")], b"")
            return False
        size = len(data)
        if chosen == byteranges.UNSATISFIABLE:
            _send(conn, 416, [("Content-Range", "bytes */%d" % size)], b"")
            return False
        first, last = (0, size - 1) if chosen is None else chosen
        status = 200 if chosen is None else 206
        body = data[first:last + 1]
        ranged = [("Content-Range", byteranges.content_range(first, last, size))] if status == 206 else []
        head_only = record["method"] == "HEAD"
        payload = b"" if head_only else body

        if fault == "no-length":
            _send(conn, 200, [], b"" if head_only else data, length=None)
            return False
        if fault == "content-range-only":
            if status == 200:
                ranged = [("Content-Range", byteranges.content_range(0, size - 1, size))]
            _send(conn, 206, ranged, payload, length=None)
            return False
        if fault == "huge-length":
            _send(conn, status, ranged, payload, length=self.length or "2147483648")
            return False
        if fault == "garbage-length":
            _send(conn, status, ranged, payload, length=self.length or "abc")
            return False
        if fault in ("close-after", "stall", "reset") and not head_only:
            cut = min(self.after, len(body))
            _send(conn, status, ranged, body[:cut], length=str(len(body)))
            if fault == "close-after":
                return False
            if fault == "reset":
                time.sleep(_RESET_GRACE)
                _reset(conn)
                return True
            self._stopping.wait(self.stall)
            if not self._stopping.is_set():
                conn.sendall(body[cut:])
            return False
        _send(conn, status, ranged, payload, length=str(len(body)))
        return False

    def _fault_applies(self, path, has_body):
        if self.fault is None or self.fault == "refuse":
            return False
        if self.fault_path is not None and path != self.fault_path:
            return False
        if self.fault != "404" and not has_body:
            return False
        return self.times is None or self._faults_used < self.times


def _header(headers, name):
    for key, value in headers:
        if key.lower() == name:
            return value
    return None


def _read_head(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        if len(data) > _MAX_HEAD:
            return None
        chunk = conn.recv(4096)
        if not chunk:
            return None
        data += chunk
    return data.split(b"\r\n\r\n", 1)[0]


def _send(conn, status, headers, body, length=""):
    """One response. length "" means the body's size; None sends no length."""
    lines = ["HTTP/1.1 %d %s" % (status, _REASONS.get(status, "Status")),
             "Server: ashgrove-update-host",
             "Content-Type: application/octet-stream",
             "Accept-Ranges: bytes",
             "Connection: close"]
    lines += ["%s: %s" % h for h in headers]
    if length == "":
        length = str(len(body))
    if length is not None:
        lines.append("Content-Length: %s" % length)
    conn.sendall(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body)


def _close(conn, stopping):
    # Half-close, then give the peer up to two seconds to finish: closing with
    # its bytes unread would turn our clean end of data into a reset.
    try:
        conn.shutdown(socket.SHUT_WR)
        conn.settimeout(0.1)
        for _ in range(20):
            if stopping.is_set():
                break
            try:
                if not conn.recv(4096):
                    break
            except socket.timeout:
                continue
    except OSError:
        pass
    conn.close()


def _reset(conn):
    try:
        conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    except OSError:
        pass
    conn.close()


def main(argv=None):
    parser = argparse.ArgumentParser(
        description="Fault-injecting update host on 127.0.0.1 (see the module text).")
    parser.add_argument("--port", type=int, default=0, help="0 picks a free port")
    parser.add_argument("--file", action="append", default=[], metavar="/PATH=LOCALFILE",
                        help="serve LOCALFILE at /PATH (repeatable)")
    parser.add_argument("--fault", choices=FAULTS)
    parser.add_argument("--after", type=int, default=0, help="body bytes sent before the fault")
    parser.add_argument("--times", type=int, help="apply the fault to the first K requests only")
    parser.add_argument("--stall", type=float, default=30.0, help="seconds of silence for 'stall'")
    parser.add_argument("--length", help="Content-Length text for huge-length / garbage-length")
    parser.add_argument("--fault-path", help="apply the fault only to this path")
    parser.add_argument("--seconds", type=float, default=300.0, help="stop after this long")
    parser.add_argument("--log", help="write the ready and request lines to this file; "
                        "deleting it stops the host")
    args = parser.parse_args(argv)

    files = {}
    for pair in args.file:
        path, sep, local = pair.partition("=")
        if not sep or not path.startswith("/"):
            parser.error("--file wants /PATH=LOCALFILE, got %r" % pair)
        with open(local, "rb") as f:
            files[path] = f.read()

    out_lock = threading.Lock()
    out = open(args.log, "a", encoding="utf-8") if args.log else sys.stdout

    def say(line):
        with out_lock:
            print(line, file=out, flush=True)

    def report(record):
        say("request " + json.dumps(record, ensure_ascii=False))

    host = UpdateHost(args.port, files, args.fault, after=args.after, times=args.times,
                      stall=args.stall, length=args.length, fault_path=args.fault_path,
                      seconds=args.seconds, on_request=report)
    signalled = threading.Event()
    for sig in (signal.SIGTERM, signal.SIGINT):
        signal.signal(sig, lambda *_: signalled.set())
    host.start()
    say("ready %d" % host.port)
    while not signalled.is_set() and not host.wait(0.2):
        if args.log and not os.path.exists(args.log):
            break
    host.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
