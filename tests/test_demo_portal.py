"""Self-tests of the demo portal (tools/demo-portal).

Run from the repository root:  python3 -m unittest discover -s tests -p 'test_*.py'
The portal runs in-process on 127.0.0.1 with a port the system picks; the
command-line tests start the script itself.
"""

import contextlib
import hashlib
import html.parser
import http.client
import importlib.util
import io
import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import xml.etree.ElementTree as ET
from importlib.machinery import SourceFileLoader

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SCRIPT = os.path.join(ROOT, "tools", "demo-portal")


def load_portal():
    loader = SourceFileLoader("demo_portal", SCRIPT)
    found = importlib.util.spec_from_loader("demo_portal", loader)
    module = importlib.util.module_from_spec(found)
    loader.exec_module(module)
    return module


portal = load_portal()
PACKAGE = bytes((i * 13) & 0xFF for i in range(30000))


class Page(html.parser.HTMLParser):
    """The parts of a page the client and the tests look at."""

    def __init__(self, text):
        super().__init__()
        self.links, self.forms, self.inputs, self.buttons = [], [], [], []
        self.scripts, self.text = [], []
        self._raw = None  # inside <script> or <style>
        self._open = {}   # "a" / "button" -> the element whose text is being read
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag in ("script", "style"):
            self._raw = tag
        elif tag in ("a", "button"):
            element = dict(attrs, text="")
            (self.links if tag == "a" else self.buttons).append(element)
            self._open[tag] = element
        elif tag == "form":
            self.forms.append(attrs)
        elif tag == "input":
            self.inputs.append(attrs)

    def handle_endtag(self, tag):
        if tag == self._raw:
            self._raw = None
        self._open.pop(tag, None)

    def handle_data(self, data):
        if self._raw == "script":
            self.scripts.append(data)
        if self._raw:
            return
        self.text.append(data)
        for element in self._open.values():
            element["text"] += data

    def link(self, text):
        found = [a for a in self.links if a["text"].strip() == text]
        assert len(found) == 1, "expected one link %r, got %r" % (text, found)
        return found[0]

    @property
    def script(self):
        return "\n".join(self.scripts)

    @property
    def visible(self):
        return "".join(self.text)


class PortalCase(unittest.TestCase):
    """A portal on a free loopback port, with a package in a temporary folder."""

    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.package = os.path.join(folder.name, "AshgroveSetup.exe")
        with open(self.package, "wb") as f:
            f.write(PACKAGE)
        self.log = io.StringIO()
        self.server = portal.PortalServer("127.0.0.1", 0, self.package, log=self.log)
        self.port = self.server.server_address[1]
        self.base = "http://127.0.0.1:%d" % self.port
        thread = threading.Thread(target=self.server.serve_forever,
                                  kwargs={"poll_interval": 0.05}, daemon=True)
        thread.start()
        self.addCleanup(self.server.server_close)
        self.addCleanup(self.server.shutdown)

    def request(self, path, method="GET", headers=None, body=None, conn=None):
        own = conn is None
        conn = conn or http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        try:
            conn.request(method, path, body=body, headers=headers or {})
            r = conn.getresponse()
            data = r.read()
            return r.status, {k.lower(): v for k, v in r.getheaders()}, data
        finally:
            if own:
                conn.close()

    def page(self, path, cookie=None):
        status, headers, body = self.request(path, headers={"Cookie": cookie} if cookie else {})
        self.assertEqual(status, 200)
        return Page(body.decode("utf-8"))

    def sign_in(self, name="阿灰"):
        body = "name=%s&password=secret" % portal.urllib.parse.quote(name)
        status, headers, _ = self.request(
            "/login", "POST", {"Content-Type": "application/x-www-form-urlencoded"}, body)
        self.assertEqual(status, 303)
        self.assertEqual(headers["location"], self.base + "/login")
        return headers["set-cookie"].split(";")[0]


class LoginPage(PortalCase):
    def test_the_ways_a_page_asks_for_the_game_at_the_shipped_address(self):
        shipped = portal.Portal("http://127.0.0.1", "127.0.0.1", self.package)
        page = Page(shipped.login_page(None, False))
        enter = page.link("进入游戏")
        self.assertEqual((enter["href"], enter["target"], enter["title"]),
                         ("http://127.0.0.1/game", "_game", "S1 灰烬林地"))
        self.assertIn('window.OpenGameWindow && OpenGameWindow("S1 灰烬林地", '
                      '"http://127.0.0.1/game")', page.script)
        quick = [b for b in page.buttons if b["text"].strip() == "快速开始"]
        self.assertEqual(len(quick), 1)
        self.assertIn('getElementById("%s")' % quick[0]["id"], page.script)
        self.assertIn('window.open("http://127.0.0.1/oauth/authorize?client=ashgrove", '
                      '"oauth_login", "width=480,height=560")', page.script)
        external = page.link("官方网站")
        self.assertEqual((external["href"], external["target"]),
                         ("http://127.0.0.1/external", "_blank"))

    def test_links_follow_the_port_the_portal_serves_on(self):
        page = self.page("/login")
        self.assertEqual(page.link("进入游戏")["href"], self.base + "/game")
        self.assertEqual(page.forms[0]["action"], self.base + "/login")
        self.assertEqual(page.forms[0]["method"], "post")
        self.assertEqual({i.get("name") for i in page.inputs} & {"name", "password"},
                         {"name", "password"})

    def test_sign_in_by_post_or_get_then_sign_out(self):
        cookie = self.sign_in("阿灰")
        self.assertTrue(cookie.startswith(portal.SESSION_COOKIE + "="))
        self.assertIn("欢迎回来，阿灰", self.page("/login", cookie).visible)
        self.assertIn("阿灰", self.page("/game", cookie).visible)
        self.assertIn("阿灰", self.page("/bbs", cookie).visible)

        status, headers, _ = self.request("/logout", headers={"Cookie": cookie})
        self.assertEqual((status, headers["location"]), (303, self.base + "/login?bye=1"))
        self.assertIn("Max-Age=0", headers["set-cookie"])
        # The old cookie is dead on the server too, not only in the browser.
        after = self.page("/login?bye=1", cookie).visible
        self.assertNotIn("欢迎回来", after)
        self.assertIn("您已安全退出", after)

        status, headers, _ = self.request("/login?name=bob&password=x")
        self.assertEqual(status, 303)
        self.assertIn("欢迎回来，bob",
                      self.page("/login", headers["set-cookie"].split(";")[0]).visible)

    def test_a_name_is_shown_as_text_not_markup(self):
        cookie = self.sign_in("<b>x</b>")
        _, _, body = self.request("/login", headers={"Cookie": cookie})
        self.assertNotIn(b"<b>x</b>", body)
        self.assertIn("&lt;b&gt;x&lt;/b&gt;".encode(), body)

    def test_a_forged_session_is_a_stranger(self):
        self.sign_in()
        self.assertNotIn("欢迎回来", self.page("/login", "vantor_session=forged").visible)

    def test_oauth_popup_signs_in(self):
        page = self.page("/oauth/authorize?client=ashgrove")
        self.assertEqual(page.forms[0]["action"], self.base + "/oauth/authorize")
        status, headers, body = self.request(
            "/oauth/authorize", "POST", {"Content-Type": "application/x-www-form-urlencoded"},
            "client=ashgrove&name=")
        self.assertEqual(status, 200)
        self.assertIn("授权成功", body.decode())
        cookie = headers["set-cookie"].split(";")[0]
        self.assertIn("欢迎回来", self.page("/login", cookie).visible)


class MarkerCookie(PortalCase):
    def test_what_counts_as_the_marker(self):
        table = [
            ("plover=1", True),
            ("plover=1=", True),
            ("a=b; plover=1", True),
            ("vantor_session=x;plover=1=;c=d", True),
            (" plover = 1 ", True),
            (None, False),
            ("", False),
            ("plover=2", False),
            ("plover=10", False),
            ("plover=", False),
            ("plover", False),
            ("xplover=1", False),
            ("plover=1=x", False),
            ("ploverx=1", False),
        ]
        for header, expected in table:
            with self.subTest(header=header):
                self.assertIs(portal.marker_received(header), expected)

    def test_the_game_page_says_it_and_shows_the_header(self):
        table = [
            ("plover=1", "标记 Cookie：已收到"),
            ("a=1; plover=1=", "标记 Cookie：已收到"),
            ("a=1", "标记 Cookie：未收到"),
            (None, "标记 Cookie：未收到"),
        ]
        for header, says in table:
            with self.subTest(header=header):
                text = self.page("/game", header).visible
                self.assertIn(says, text)
                other = ({"标记 Cookie：已收到", "标记 Cookie：未收到"} - {says}).pop()
                self.assertNotIn(other, text)
                if header:
                    self.assertIn(header, text)

    def test_the_raw_header_is_escaped(self):
        _, _, body = self.request("/game", headers={"Cookie": "x=<script>"})
        self.assertNotIn(b"x=<script>", body)
        self.assertIn(b"x=&lt;script&gt;", body)

    def test_each_load_is_counted_so_a_reload_shows(self):
        loads = [re.search(r"第 (\d+) 次载入", self.page("/game").visible).group(1)
                 for _ in range(2)]
        self.assertEqual(int(loads[1]), int(loads[0]) + 1)


class UpdateManifest(PortalCase):
    def manifest(self, path="/update/update.xml"):
        status, headers, body = self.request(path)
        self.assertEqual(status, 200)
        self.assertTrue(headers["content-type"].startswith("text/xml"))
        return body

    def test_both_manifests_announce_a_newer_version_and_the_package(self):
        digest = hashlib.sha256(PACKAGE).hexdigest()
        for path in portal.MANIFESTS:
            with self.subTest(path=path):
                body = self.manifest(path)
                self.assertTrue(body.startswith(b'<?xml version="1.0" encoding="UTF-8"?><config>'))
                game = ET.fromstring(body).find("game")
                self.assertEqual((game.get("major"), game.get("minor")), ("65536", "65536"))
                items = game.findall("item")
                self.assertEqual([i.attrib for i in items],
                                 [{"host": "127.0.0.1", "path": "/update/",
                                   "file": "AshgroveSetup.exe", "sha256": digest}])

    def test_a_manifest_resumes_at_the_asked_offset(self):
        whole = self.manifest()
        status, headers, tail = self.request("/update/update2.xml", headers={"Range": "bytes=40-"})
        self.assertEqual((status, tail), (206, whole[40:]))
        self.assertEqual(headers["content-range"], "bytes 40-%d/%d" % (len(whole) - 1, len(whole)))

    def test_a_rebuilt_package_gets_its_new_digest(self):
        self.manifest()
        with open(self.package, "wb") as f:
            f.write(b"rebuilt")
        os.utime(self.package, ns=(1, 1))
        item = ET.fromstring(self.manifest()).find("game/item")
        self.assertEqual(item.get("sha256"), hashlib.sha256(b"rebuilt").hexdigest())

    def test_without_a_package_no_items_and_one_warning(self):
        os.unlink(self.package)
        err = io.StringIO()
        with contextlib.redirect_stderr(err):
            bodies = [self.manifest(p) for p in portal.MANIFESTS]
        for body in bodies:
            game = ET.fromstring(body).find("game")
            self.assertEqual(game.get("major"), "65536")
            self.assertEqual(game.findall("item"), [])
        warnings = err.getvalue().splitlines()
        self.assertEqual(len(warnings), 1)
        self.assertIn(self.package, warnings[0])
        self.assertEqual(self.request("/update/AshgroveSetup.exe")[0], 404)

    def test_version_words(self):
        table = [("1.0.1.0", (65536, 65536)), ("1.2.3.4", (65538, 196612)),
                 ("1.0.0.0", (65536, 0))]
        for text, words in table:
            with self.subTest(text=text):
                self.assertEqual(portal.version_words(text), words)
        for bad in ("1.0.0", "1.0.0.65536", "a.b.c.d"):
            with self.subTest(bad=bad), self.assertRaises(ValueError):
                portal.version_words(bad)


class UpdatePackage(PortalCase):
    def test_ranged_requests(self):
        size = len(PACKAGE)
        table = [
            # Range header, status, first, last
            (None, 200, 0, size - 1),
            ("bytes=0-", 206, 0, size - 1),
            ("bytes=1000-", 206, 1000, size - 1),
            ("bytes=10-20", 206, 10, 20),
            ("bytes=29000-99999", 206, 29000, size - 1),
        ]
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        self.addCleanup(conn.close)
        for rng, status, first, last in table:
            with self.subTest(rng=rng):
                got, headers, body = self.request("/update/AshgroveSetup.exe",
                                                  headers={"Range": rng} if rng else {},
                                                  conn=conn)
                self.assertEqual(got, status)
                self.assertEqual(body, PACKAGE[first:last + 1])
                self.assertEqual(headers["content-length"], str(last - first + 1))
                self.assertEqual(headers.get("content-range"),
                                 "bytes %d-%d/%d" % (first, last, size) if status == 206 else None)

    def test_past_the_end_and_head(self):
        status, headers, body = self.request("/update/AshgroveSetup.exe",
                                             headers={"Range": "bytes=30000-"})
        self.assertEqual((status, headers["content-range"], body), (416, "bytes */30000", b""))
        status, headers, body = self.request("/update/AshgroveSetup.exe", "HEAD",
                                             headers={"Range": "bytes=100-"})
        self.assertEqual((status, headers["content-length"], body), (206, "29900", b""))

    def test_one_connection_carries_every_kind_of_reply(self):
        # Each reply must be framed by its length, or the next one is garbled.
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        self.addCleanup(conn.close)
        seen = [self.request(path, method, headers, conn=conn)[0]
                for path, method, headers in [
                    ("/", "GET", {}), ("/nowhere", "GET", {}), ("/login", "HEAD", {}),
                    ("/update/AshgroveSetup.exe", "GET", {"Range": "bytes=99999-"}),
                    ("/static/vantor.css", "GET", {}), ("/login", "GET", {})]]
        self.assertEqual(seen, [303, 404, 200, 416, 200, 200])


class PagesAndLog(PortalCase):
    def test_every_page_is_served(self):
        for path in ("/login", "/game", "/bbs", "/external", "/oauth/authorize?client=ashgrove",
                     "/static/vantor.css", "/static/game.js"):
            with self.subTest(path=path):
                self.assertEqual(self.request(path)[0], 200)

    def test_static_files_stay_in_their_folder(self):
        for path in ("/static/../demo-portal", "/static/%2e%2e/login.html", "/static/x.css"):
            with self.subTest(path=path):
                self.assertEqual(self.request(path)[0], 404)

    def test_an_oversized_form_is_refused_and_the_portal_goes_on(self):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        self.addCleanup(conn.close)
        conn.putrequest("POST", "/login")
        conn.putheader("Content-Length", "10000000")
        conn.endheaders()
        r = conn.getresponse()
        self.assertEqual((r.status, r.getheader("Connection")), (413, "close"))
        self.assertEqual(self.request("/login")[0], 200)

    def test_log_has_request_line_cookie_and_range(self):
        self.request("/game", headers={"Cookie": "plover=1"})
        self.request("/update/AshgroveSetup.exe", headers={"Range": "bytes=5-"})
        self.request("/bbs")
        lines = self.log.getvalue().splitlines()
        self.assertEqual(len(lines), 3)
        self.assertRegex(lines[0], r"^\[\d\d:\d\d:\d\d\] GET /game HTTP/1.1 \| Cookie: plover=1 \| 200$")
        self.assertTrue(lines[1].endswith("GET /update/AshgroveSetup.exe HTTP/1.1 | Range: bytes=5- | 206"))
        self.assertTrue(lines[2].endswith("GET /bbs HTTP/1.1 | 200"))


class CommandLine(unittest.TestCase):
    def start(self, *args):
        proc = subprocess.Popen([sys.executable, SCRIPT] + list(args), stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.addCleanup(proc.wait, 10)
        self.addCleanup(proc.stdout.close)
        self.addCleanup(proc.stderr.close)
        return proc

    def listening_port(self, proc):
        line = proc.stderr.readline()
        match = re.match(r"demo-portal: listening on http://127\.0\.0\.1:(\d+)/$", line)
        self.assertTrue(match, line)
        return int(match.group(1))

    def test_serves_logs_to_a_file_and_stops_on_sigterm(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        log = os.path.join(folder.name, "portal.log")
        proc = self.start("--port", "0", "--seconds", "30", "--log", log,
                          "--package", os.path.join(folder.name, "none.exe"))
        port = self.listening_port(proc)
        self.assertIn("no update package", proc.stderr.readline())
        conn = http.client.HTTPConnection("127.0.0.1", port, timeout=5)
        conn.request("GET", "/login", headers={"Cookie": "plover=1"})
        self.assertEqual(conn.getresponse().status, 200)
        conn.close()
        proc.send_signal(signal.SIGTERM)
        self.assertEqual(proc.wait(10), 0)
        with open(log, encoding="utf-8") as f:
            self.assertIn("GET /login HTTP/1.1 | Cookie: plover=1 | 200", f.read())

    def test_stops_by_itself_after_its_seconds(self):
        proc = self.start("--port", "0", "--seconds", "0.5")
        self.listening_port(proc)
        started = time.monotonic()
        self.assertEqual(proc.wait(10), 0)
        self.assertLess(time.monotonic() - started, 5)

    def test_refuses_to_listen_beyond_loopback(self):
        for bind in ("0.0.0.0", "192.168.1.10", "localhost"):
            with self.subTest(bind=bind):
                proc = self.start("--port", "0", "--seconds", "5", "--bind", bind)
                self.assertEqual(proc.wait(10), 2)


if __name__ == "__main__":
    unittest.main()
