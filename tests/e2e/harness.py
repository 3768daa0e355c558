"""End-to-end harness: the real client under Wine on the test run's X display.

It starts Plover2.exe (or a variant built from another layout) with the
engine's test backend and its automation channel, reads the client's windows
through WinProbe.exe, moves and clicks them with real X input (xdotool),
takes screenshots of the virtual screen and drives pages through the
automation channel. External browser openings land in a log file: the Wine
prefix's browser is tools/record-url, which appends to $PLOVER_URL_LOG.
"""

import json
import os
import socket
import subprocess
import tempfile
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.environ.get("PLOVER_BUILD", os.path.join(ROOT, "build"))
WINDOWS = os.environ.get("PLOVER_BUILD_WINDOWS", os.path.join(BUILD, "windows"))
WINEPREFIX = os.environ.get("WINEPREFIX", os.path.join(BUILD, "wineprefix"))
PROBE = os.path.join(WINDOWS, "tests", "e2e", "probe", "WinProbe.exe")

WS_EX_APPWINDOW = 0x00040000
WS_EX_LAYERED = 0x00080000


def client_exe(variant=None):
    name = "Plover2.exe" if not variant else "Plover2-%s.exe" % variant
    folder = os.path.join(WINDOWS, "src") if not variant else os.path.join(WINDOWS, "tests", "e2e")
    return os.path.join(folder, name)


def wine_env(extra=None):
    env = dict(os.environ)
    env.update({
        "WINEPREFIX": WINEPREFIX,
        "WINEDEBUG": "-all",
        "WINEARCH": "win64",
        "WINEDLLOVERRIDES": "mscoree,mshtml=",
        "HOME": os.path.join(BUILD, "winehome"),
    })
    env.update(extra or {})
    return env


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for(condition, timeout=10.0, interval=0.05, what="condition"):
    """condition's first truthy value. what names it in the failure; a
    function there is asked only then, so it can tell what was seen last."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for %s" % (what() if callable(what) else what))
        time.sleep(interval)


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=30)


def drag(start, delta, steps=10):
    """Presses at `start`, moves by `delta` in steps and releases. The
    system's move loop takes the pointer's place when it starts as its
    reference; on a loaded machine it starts late, so the pointer rests after
    the press until the loop has surely begun."""
    x, y = start
    xdotool("mousemove", x, y)
    time.sleep(0.15)
    xdotool("mousedown", 1)
    time.sleep(0.5)
    for step in range(1, steps + 1):
        xdotool("mousemove", x + delta[0] * step // steps, y + delta[1] * step // steps)
        time.sleep(0.03)
    xdotool("mouseup", 1)
    time.sleep(0.5)


def screenshot(path=None):
    """The virtual screen as (width, height, rgb bytes); also saved as PNG when asked."""
    ppm = subprocess.run(["/usr/bin/import", "-window", "root", "-depth", "8", "ppm:-"], check=True,
                         capture_output=True).stdout
    if path:
        subprocess.run(["/usr/bin/convert", "ppm:-", path], input=ppm, check=True)
    # P6 header: magic, width, height, maxval, each followed by white space.
    fields, rest = [], ppm
    while len(fields) < 4:
        rest = rest.lstrip()
        end = 0
        while rest[end:end + 1] not in (b" ", b"\n", b"\t", b"\r"):
            end += 1
        fields.append(rest[:end])
        rest = rest[end:]
    width, height = int(fields[1]), int(fields[2])
    return Screen(width, height, rest[1:])


class Screen:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.rgb[at:at + 3])


class Client:
    """One run of the client. Use as a context manager; it is ended on exit."""

    def __init__(self, variant=None, args=(), automation=True, env=None, backend="test",
                 wrapper=()):
        self.exe = client_exe(variant)
        self.port = free_port() if automation else None
        self.url_log = tempfile.NamedTemporaryFile(prefix="urls-", delete=False).name
        self.args = list(args)
        if backend:
            self.args.append("--engine-backend=%s" % backend)
        if automation:
            self.args.append("--engine-automation=%d" % self.port)
        self.env = wine_env(dict(env or {}, PLOVER_URL_LOG=self.url_log))
        self.wrapper = list(wrapper)
        self.process = None
        self.automation = None
        self.stdout_path = tempfile.NamedTemporaryFile(prefix="client-", delete=False).name

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        before = {p["pid"] for p in self.processes()}
        self.output = open(self.stdout_path, "wb")
        self.process = subprocess.Popen(self.wrapper + ["wine", self.exe] + self.args, env=self.env,
                                        stdout=self.output, stderr=subprocess.STDOUT,
                                        stdin=subprocess.DEVNULL)
        self.pid = wait_for(lambda: self._find_pid(before), timeout=20, what="the client process")
        if self.port:
            from engine_automation import EngineAutomation
            self.automation = wait_for(lambda: self._connect(EngineAutomation), timeout=20,
                                       what="the automation channel")

    def processes(self):
        out = subprocess.run(["wine", PROBE, "procs"], env=self.env, capture_output=True,
                             timeout=60).stdout
        return [json.loads(line) for line in out.decode("utf-8", "replace").splitlines()
                if line.startswith("{")]

    def _find_pid(self, before):
        """The Windows pid of the process started here: new, and not a child of another one."""
        if self.process.poll() is not None:
            return -1  # ended already (an engine sub-process, a refused start)
        name = os.path.basename(self.exe).lower()
        fresh = [p for p in self.processes() if p["exe"].lower() == name and p["pid"] not in before]
        pids = {p["pid"] for p in fresh}
        roots = [p["pid"] for p in fresh if p["parent"] not in pids]
        return roots[0] if roots else None

    def _connect(self, automation_class):
        if self.process.poll() is not None:
            raise AssertionError("client ended early: %s" % self.log())
        try:
            return automation_class(self.port)
        except OSError:
            return None

    def log(self):
        with open(self.stdout_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def external_urls(self):
        with open(self.url_log, encoding="utf-8") as f:
            return [line.rstrip("\n") for line in f if line.strip()]

    def wait_exit(self, timeout=20):
        return self.process.wait(timeout=timeout)

    def stop(self):
        if self.automation:
            self.automation.close()
            self.automation = None
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if getattr(self, "output", None):
            self.output.close()

    # ---- Windows ---------------------------------------------------------

    def windows(self):
        """Every window of this client's browser process."""
        out = self._probe_output([os.path.basename(self.exe)])
        found = [json.loads(line) for line in out.decode("utf-8", "replace").splitlines()
                 if line.startswith("{")]
        return [w for w in found if w["pid"] == self.pid]

    def _probe_output(self, words, attempts=2):
        """WinProbe's output. A probe that hangs is ended and run once more:
        seen once in a long run, a lone wine start that never got going; a
        client that really hangs fails the second run too."""
        for attempt in range(attempts):
            try:
                return subprocess.run(["wine", PROBE] + words, env=self.env, capture_output=True,
                                      check=True, timeout=30).stdout
            except subprocess.TimeoutExpired:
                if attempt == attempts - 1:
                    raise

    def top_windows(self, class_name=None, visible=None):
        found = [w for w in self.windows() if not w["parent"]]
        if class_name is not None:
            found = [w for w in found if w["class"] == class_name]
        if visible is not None:
            found = [w for w in found if w["visible"] == visible]
        return found

    def window(self, hwnd):
        for w in self.windows():
            if w["hwnd"] == hwnd:
                return w
        return None

    def children(self, hwnd):
        return [w for w in self.windows() if w["parent"] == hwnd]

    def holder(self, x=1150, y=950, seconds=60):
        """A small Wine window of the probe's own, not the client's, which a
        click gives the keyboard focus. Returns the process; end it with end_holder."""
        holder = subprocess.Popen(["wine", PROBE, "hold", str(seconds), str(x), str(y)],
                                  env=self.env, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
        holder.stdout.readline()  # its window exists
        return holder

    @staticmethod
    def end_holder(holder):
        holder.terminate()
        holder.wait(timeout=10)
        holder.stdout.close()

    def send(self, hwnd, message, wparam=0, lparam=0):
        """The result of a message sent to one of the client's windows."""
        out = subprocess.run(["wine", PROBE, "send", str(hwnd), str(message), str(wparam),
                              str(lparam)], env=self.env, capture_output=True, check=True,
                             timeout=60).stdout
        return int(out.split()[-1])

    def probe(self, *words):
        """Runs a WinProbe command (post, move) and tells whether it worked."""
        return subprocess.run(["wine", PROBE] + [str(w) for w in words], env=self.env,
                              capture_output=True, timeout=60).returncode == 0


class ClientTestCase(unittest.TestCase):
    """Saves a screenshot of a failing test's screen next to the build."""

    shots = os.path.join(BUILD, "e2e-screens")

    def shot(self, name):
        os.makedirs(self.shots, exist_ok=True)
        path = os.path.join(self.shots, "%s.png" % name)
        return screenshot(path), path
