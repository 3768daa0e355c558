"""The page reader against a real headless Chromium, and its WebSocket
framing against frames made by hand (the ones Chromium never sends)."""

import getpass
import json
import os
import pathlib
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import unittest

from page_reader import (PageReader, Rect, ScriptError, WebSocket, WebSocketError,
                            client_profile_dir)

CHROMIUM = "/usr/bin/chromium"

FIXTURE = """<!doctype html>
<title>Inspector fixture</title>
<style>body { margin: 0 }</style>
<button id="play" style="position: absolute; left: 120px; top: 80px; width: 200px; height: 50px"
  >Play now</button>
"""


class DevToolsClient:
    """Stands in for the client's own connection: on the browser endpoint,
    it creates pages and attaches to them."""

    def __init__(self, port, path):
        self.socket = WebSocket.connect("127.0.0.1", port, path)
        self.next_id = 0

    def call(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        self.socket.send_text(json.dumps(message))
        while True:
            answer = json.loads(self.socket.receive_text(timeout=10))
            if answer.get("id") == self.next_id:
                return answer["result"]

    def open_page(self, url):
        """The new page's target id and the session attached to it."""
        target = self.call("Target.createTarget", url=url)["targetId"]
        session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        return target, session

    def close(self):
        self.socket.close()


class ChromiumPageTest(unittest.TestCase):
    """One Chromium for the class; its page is made by another connection,
    the way the client makes its pages."""

    @classmethod
    def setUpClass(cls):
        if not os.access(CHROMIUM, os.X_OK):
            raise unittest.SkipTest("no Chromium at %s" % CHROMIUM)
        # Class cleanups, unlike tearDownClass, also run when set-up fails half-way.
        cls.root = tempfile.mkdtemp(prefix="page-reader-")
        cls.addClassCleanup(shutil.rmtree, cls.root, ignore_errors=True)
        cls._start_chromium(os.path.join(cls.root, "profile"))
        cls.reader = PageReader.from_profile(os.path.join(cls.root, "profile"))
        cls.addClassCleanup(cls.reader.close)

        with open(os.path.join(cls.root, "profile", "DevToolsActivePort")) as f:
            cls.browser_path = f.read().split("\n")[1]
        cls.client = DevToolsClient(cls.reader.port, cls.browser_path)
        cls.addClassCleanup(cls.client.close)
        fixture = pathlib.Path(cls.root, "fixture.html")
        fixture.write_text(FIXTURE)
        cls.url = fixture.as_uri()
        cls.page, _, cls.session = cls.open_page(cls.url)

    @classmethod
    def open_page(cls, url):
        """A page the client side made, once its document has loaded: the
        page, its target id and the client's session on it."""
        target, session = cls.client.open_page(url)
        page = cls.reader.wait_for_page(lambda address: address == url)
        # The address listed is the one being loaded; an empty document
        # stands in until it commits.
        cls.reader.wait_for(page, "location.href == %s && document.readyState == 'complete'"
                               % json.dumps(url))
        return page, target, session

    @classmethod
    def _start_chromium(cls, profile):
        arguments = [CHROMIUM, "--headless=new", "--remote-debugging-port=0",
                     "--user-data-dir=" + profile, "--no-first-run", "--disable-gpu"]
        if os.geteuid() == 0:
            arguments.append("--no-sandbox")  # refused to root otherwise
        # Headless Chromium takes one address on its command line; others
        # come as targets.
        arguments.append("about:blank")
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(cls.root, "config"),
                   XDG_CACHE_HOME=os.path.join(cls.root, "cache"))
        log = open(os.path.join(cls.root, "chromium.log"), "wb")
        cls.addClassCleanup(log.close)
        chromium = subprocess.Popen(arguments, env=env, stdin=subprocess.DEVNULL, stdout=log,
                                    stderr=subprocess.STDOUT, start_new_session=True)
        cls.addClassCleanup(cls._end_chromium, chromium)

    @classmethod
    def _end_chromium(cls, chromium):
        # Its own session: the group is Chromium with the processes it forked.
        os.killpg(chromium.pid, signal.SIGKILL)
        chromium.wait(timeout=30)
        # Its crash handlers start sessions of their own; they name their
        # database under the temporary folder.
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    if cls.root.encode() in f.read():
                        os.kill(int(pid), signal.SIGKILL)
            except OSError:
                pass  # gone meanwhile

    def test_finding_the_browser(self):
        port = self.reader.port
        port_files = [
            ("half written", "%d\n" % port, False),
            # The port of an earlier run, which another browser took since.
            ("another browser's", "%d\n/devtools/browser/0000\n" % port, False),
            ("this browser's", "%d\n%s\n" % (port, self.browser_path), True),
        ]
        for name, contents, found in port_files:
            with self.subTest(name):
                profile = tempfile.mkdtemp(dir=self.root)
                with open(os.path.join(profile, "DevToolsActivePort"), "w") as f:
                    f.write(contents)
                if found:
                    self.assertEqual(port, PageReader.from_profile(profile, timeout=5).port)
                else:
                    self.assertRaises(AssertionError, PageReader.from_profile, profile,
                                      timeout=0.5)

        # A prefix made by the user running the tests, and one made by someone else.
        for users, chosen in ([getpass.getuser(), "Public", "aaron"], getpass.getuser()), (
                ["Public", "steam"], "steam"):
            with self.subTest(users=users):
                prefix = tempfile.mkdtemp(dir=self.root)
                for user in users:
                    os.makedirs(os.path.join(prefix, "drive_c", "users", user))
                self.assertEqual(os.path.join(prefix, "drive_c", "users", chosen, "Temp",
                                              "cache_vantor", "chromium-profile"),
                                 client_profile_dir(prefix))

    def test_evaluate_gives_values_as_json(self):
        cases = [
            ("1 + 2", 3),
            ("'ashgrove'.toUpperCase()", "ASHGROVE"),
            ("({servers: ['one', null], open: true})", {"servers": ["one", None], "open": True}),
            ("Promise.resolve(7)", 7),
            ("new Promise(done => setTimeout(() => done('late'), 50))", "late"),
            ("undefined", None),
            ("document.title", "Inspector fixture"),
        ]
        for expression, value in cases:
            with self.subTest(expression):
                self.assertEqual(value, self.reader.evaluate(self.page, expression))

    def test_a_throwing_script_says_what_it_threw(self):
        cases = [
            ("throw new Error('no servers')", "Error: no servers"),
            ("Promise.reject(new TypeError('gone'))", "TypeError: gone"),
            ("startGame()", "startGame is not defined"),
            ("1 +", "SyntaxError"),
            ("throw 'plain words'", "plain words"),
        ]
        for expression, said in cases:
            with self.subTest(expression):
                with self.assertRaises(ScriptError) as raised:
                    self.reader.evaluate(self.page, expression)
                self.assertIn(said, str(raised.exception))
        # Waiting does not turn a broken script into a timeout.
        with self.assertRaises(ScriptError):
            self.reader.wait_for(self.page, "document.body.missing.field", timeout=5)

    def test_element_rect_in_css_pixels(self):
        for selector in ("#play", 'button[id="play"]', "body > button"):
            with self.subTest(selector):
                self.assertEqual(Rect(120, 80, 200, 50),
                                 self.reader.element_rect(self.page, selector))
                self.assertEqual((220, 105), self.reader.element_centre(self.page, selector))
                self.assertEqual("Play now", self.reader.text(self.page, selector))
        self.assertIsNone(self.reader.element_rect(self.page, "#quit"))
        self.assertIsNone(self.reader.element_centre(self.page, "#quit"))
        self.assertIsNone(self.reader.text(self.page, "#quit"))

    def test_waits_that_time_out_say_what_they_saw(self):
        with self.assertRaises(AssertionError) as raised:
            self.reader.wait_for_page("http://portal.test/login", timeout=0.5)
        self.assertIn("portal.test/login", str(raised.exception))
        self.assertIn(self.url, str(raised.exception))
        with self.assertRaises(AssertionError) as raised:
            self.reader.wait_for(self.page, "document.title.length > 100", timeout=0.5)
        self.assertIn("last: False", str(raised.exception))

    def test_long_messages_arrive_whole(self):
        # Lengths in 7, 16 and 64 bits, both ways; two-byte characters
        # split across reads.
        for size in (20, 1000, 70000, 200000):
            with self.subTest(size=size):
                sent = "\u00e9" * size
                self.assertEqual(sent * 2, self.reader.evaluate(
                    self.page, "%s.repeat(2)" % json.dumps(sent, ensure_ascii=False)))

    def test_wait_for_outlasts_a_reload(self):
        page, target, _ = self.open_page(self.url + "?reload")
        self.addCleanup(self.client.call, "Target.closeTarget", targetId=target)
        # The first evaluation is cut short by the reload it starts.
        self.assertEqual("Inspector fixture", self.reader.wait_for(
            page, "location.hash ? document.title"
                  " : new Promise(() => { location.hash = 'again'; location.reload(); })"))

    def test_the_clients_own_session_is_left_alone(self):
        with PageReader(self.reader.port) as other:
            other.evaluate(self.page, "document.title")
        answer = self.client.call("Runtime.evaluate", self.session, expression="document.title",
                                  returnByValue=True)
        self.assertEqual("Inspector fixture", answer["result"]["value"])
        self.assertEqual("Inspector fixture", self.reader.evaluate(self.page, "document.title"))


CONTINUATION, TEXT, CLOSE, PING, PONG = 0x0, 0x1, 0x8, 0x9, 0xA


def server_frame(opcode, payload, final=True, mask=b""):
    payload = payload.encode() if isinstance(payload, str) else payload
    return struct.pack("!BB", final << 7 | opcode, bool(mask) << 7 | len(payload)) + mask + payload


def read_client_frame(peer):
    """One frame the client sent, unmasked: (opcode, payload)."""
    first, second = peer.recv(2)
    assert second & 0x80, "a client frame without a mask"
    key = peer.recv(4)
    payload = peer.recv(second & 0x7F)
    return first & 0x0F, bytes(b ^ key[i % 4] for i, b in enumerate(payload))


class WebSocketFramesTest(unittest.TestCase):
    def connected(self):
        """A WebSocket past its handshake, and the socket of its peer."""
        mine, peer = socket.socketpair()
        self.addCleanup(peer.close)
        self.addCleanup(mine.close)
        peer.settimeout(5)
        return WebSocket(mine), peer

    def test_messages(self):
        cases = [
            ("fragments are joined",
             [server_frame(TEXT, "Ash", final=False),
              server_frame(CONTINUATION, "gro", final=False), server_frame(CONTINUATION, "ve")],
             "Ashgrove", []),
            ("a ping between fragments is answered",
             [server_frame(TEXT, "a", final=False), server_frame(PING, "beat"),
              server_frame(CONTINUATION, "b")], "ab", [(PONG, b"beat")]),
            ("a close is answered and ends the connection",
             [server_frame(CLOSE, struct.pack("!H", 1001))], WebSocketError,
             [(CLOSE, struct.pack("!H", 1001))]),
            ("a continuation with no message begun", [server_frame(CONTINUATION, "x")],
             WebSocketError, []),
            ("a masked frame from the server", [server_frame(TEXT, "x", mask=b"\0\0\0\0")],
             WebSocketError, []),
        ]
        for name, frames, outcome, replies in cases:
            with self.subTest(name):
                websocket, peer = self.connected()
                peer.sendall(b"".join(frames))
                if isinstance(outcome, str):
                    self.assertEqual(outcome, websocket.receive_text(timeout=5))
                else:
                    self.assertRaises(outcome, websocket.receive_text, timeout=5)
                self.assertEqual(replies, [read_client_frame(peer) for _ in replies])

    def test_refused_handshakes(self):
        cases = [
            ("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n", "403 Forbidden"),
            ("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
             "Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n\r\n", "Sec-WebSocket-Accept"),
        ]
        for response, said in cases:
            with self.subTest(said):
                websocket, peer = self.connected()
                peer.sendall(response.encode("ascii"))
                with self.assertRaises(WebSocketError) as raised:
                    websocket.handshake("127.0.0.1:9", "/devtools/page/x")
                self.assertIn(said, str(raised.exception))


if __name__ == "__main__":
    unittest.main()
