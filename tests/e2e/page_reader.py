"""A second DevTools connection to the Chromium the client started.

The client's Chromium backend drives a headless Chromium over the DevTools
protocol. Chromium takes more than one client, so a test can look into the
same pages the client shows: where an element is (to click it with real
input) and what a page says. It reads and never steers: only the /json HTTP
endpoints and Runtime.evaluate on a page's own endpoint, nothing that
creates, closes, activates or attaches to targets, so the client's own
connection sees no difference.

The browser announces itself in DevToolsActivePort in its profile folder
(first line the port, second the browser endpoint's path). The client keeps
that folder at ``<TEMP>\\cache_vantor\\chromium-profile``; see client_profile_dir.

Usage:

    with PageReader.from_profile(client_profile_dir()) as reader:
        page = reader.wait_for_page("/login")
        reader.wait_for(page, "!!document.querySelector('#play')")
        x, y = reader.element_centre(page, "#play")

Coordinates are CSS pixels of the page's viewport; the screen position adds
the origin of the view window's client area.
"""

import base64
import getpass
import glob
import hashlib
import http.client
import json
import os
import socket
import struct
import time
from dataclasses import dataclass
from typing import Callable, Dict, List, NamedTuple, Optional, Tuple, Union

import harness

__all__ = ["InspectorError", "Page", "PageReader", "Rect", "ScriptError", "WebSocket",
           "WebSocketError", "client_profile_dir"]

PORT_FILE = "DevToolsActivePort"


class InspectorError(Exception):
    """The browser did not answer, or refused a request."""


class ScriptError(InspectorError):
    """A page's script threw; the message is the exception as the page said it."""


class WebSocketError(InspectorError):
    """The WebSocket handshake failed, or the peer broke the protocol or closed."""


def client_profile_dir(wineprefix: str = harness.WINEPREFIX) -> str:
    """The Unix path of the client's Chromium profile in a Wine prefix.

    Wine's TEMP is C:\\users\\<user>\\Temp, the user being the Unix one who
    made the prefix; a prefix made by someone else has just one user folder
    besides Public."""
    users = os.path.join(wineprefix, "drive_c", "users")
    own = os.path.join(users, getpass.getuser())
    others = [d for d in sorted(glob.glob(os.path.join(users, "*")))
              if os.path.basename(d) != "Public" and os.path.isdir(d)]
    user = own if os.path.isdir(own) or not others else others[0]
    return os.path.join(user, "Temp", "cache_vantor", "chromium-profile")


# ---- WebSocket (RFC 6455), client side, text messages ------------------------------

_ACCEPT_GUID = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11"
_CONTINUATION, _TEXT, _CLOSE, _PING, _PONG = 0x0, 0x1, 0x8, 0x9, 0xA


def _masked(key: bytes, data: bytes) -> bytes:
    stream = (key * (len(data) // 4 + 1))[:len(data)]
    return (int.from_bytes(data, "big") ^ int.from_bytes(stream, "big")).to_bytes(len(data), "big")


class WebSocket:
    """One client connection carrying text messages."""

    def __init__(self, sock: socket.socket):
        self._socket = sock
        self._buffer = bytearray()
        self._deadline: Optional[float] = None

    @classmethod
    def connect(cls, host: str, port: int, path: str, timeout: float = 10.0) -> "WebSocket":
        connection = cls(socket.create_connection((host, port), timeout=timeout))
        try:
            connection.handshake("%s:%d" % (host, port), path)
        except BaseException:
            connection._socket.close()
            raise
        return connection

    def handshake(self, host: str, path: str) -> None:
        # No Origin header: Chromium refuses WebSocket clients that send one
        # it was not told to allow.
        key = base64.b64encode(os.urandom(16)).decode("ascii")
        self._socket.sendall((
            "GET %s HTTP/1.1\r\nHost: %s\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
            "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n" % (path, host, key)
        ).encode("ascii"))
        while b"\r\n\r\n" not in self._buffer:
            self._fill()
        end = self._buffer.index(b"\r\n\r\n")
        lines = self._take(end + 4)[:end].decode("latin-1").split("\r\n")
        if lines[0].split(" ")[1:2] != ["101"]:
            raise WebSocketError("%s refused the WebSocket: %s" % (path, lines[0]))
        headers = {name.strip().lower(): value.strip()
                   for name, _, value in (line.partition(":") for line in lines[1:])}
        accept = base64.b64encode(hashlib.sha1((key + _ACCEPT_GUID).encode()).digest()).decode()
        if headers.get("sec-websocket-accept") != accept:
            raise WebSocketError("%s answered the handshake with a wrong Sec-WebSocket-Accept"
                                 % path)

    def send_text(self, text: str) -> None:
        self._send(_TEXT, text.encode("utf-8"))

    def receive_text(self, timeout: Optional[float] = None) -> str:
        """The next text message, its fragments joined; pings are answered on the way."""
        self._deadline = None if timeout is None else time.monotonic() + timeout
        parts, kind = [], None
        while True:
            final, opcode, payload = self._frame()
            if opcode == _PING:
                self._send(_PONG, payload)
            elif opcode == _CLOSE:
                self._send(_CLOSE, payload[:2])
                self._socket.close()
                raise WebSocketError("the browser closed the connection")
            elif opcode == _PONG:
                pass
            elif (opcode == _CONTINUATION) != (kind is not None):
                raise WebSocketError("a fragment out of place (opcode %d)" % opcode)
            else:
                kind = opcode if kind is None else kind
                parts.append(payload)
                if final:
                    break
        if kind != _TEXT:
            raise WebSocketError("a message that is not text (opcode %d)" % kind)
        return b"".join(parts).decode("utf-8")

    def close(self) -> None:
        """Says goodbye and waits a moment for the browser's answer."""
        if self._socket.fileno() < 0:
            return
        try:
            self._send(_CLOSE, struct.pack("!H", 1000))
            self._deadline = time.monotonic() + 1.0
            while self._frame()[1] != _CLOSE:
                pass
        except (OSError, WebSocketError):
            pass  # going anyway
        finally:
            self._socket.close()

    def _send(self, opcode: int, payload: bytes) -> None:
        # A client masks every frame it sends (RFC 6455, 5.3).
        size = len(payload)
        if size < 126:
            head = struct.pack("!BB", 0x80 | opcode, 0x80 | size)
        elif size < 1 << 16:
            head = struct.pack("!BBH", 0x80 | opcode, 0x80 | 126, size)
        else:
            head = struct.pack("!BBQ", 0x80 | opcode, 0x80 | 127, size)
        key = os.urandom(4)
        self._socket.sendall(head + key + _masked(key, payload))

    def _frame(self) -> Tuple[bool, int, bytes]:
        first, second = self._take(2)
        if second & 0x80:
            raise WebSocketError("the browser masked a frame")
        size = second & 0x7F
        if size == 126:
            size = struct.unpack("!H", self._take(2))[0]
        elif size == 127:
            size = struct.unpack("!Q", self._take(8))[0]
        return bool(first & 0x80), first & 0x0F, self._take(size)

    def _take(self, count: int) -> bytes:
        while len(self._buffer) < count:
            self._fill()
        data = bytes(self._buffer[:count])
        del self._buffer[:count]
        return data

    def _fill(self) -> None:
        if self._deadline is not None:
            left = self._deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("no answer in time")
            self._socket.settimeout(left)
        chunk = self._socket.recv(1 << 16)
        if not chunk:
            raise WebSocketError("the connection ended")
        self._buffer += chunk


# ---- Pages ---------------------------------------------------------------------------

@dataclass(frozen=True)
class Page:
    id: str
    url: str
    title: str
    websocket_url: str


class Rect(NamedTuple):
    """An element's border box in CSS pixels of the viewport."""

    x: float
    y: float
    width: float
    height: float

    @property
    def centre(self) -> Tuple[float, float]:
        return self.x + self.width / 2, self.y + self.height / 2


_RECT_SCRIPT = """(() => {
    const element = document.querySelector(%s);
    if (!element) return null;
    const box = element.getBoundingClientRect();
    return [box.x, box.y, box.width, box.height];
})()"""
_TEXT_SCRIPT = "(() => { const e = document.querySelector(%s); return e ? e.innerText : null; })()"


def _read_port_file(path: str) -> Optional[str]:
    try:
        with open(path, encoding="ascii") as f:
            return f.read()
    except (OSError, UnicodeDecodeError):
        return None


def _exception_text(details: dict) -> str:
    # "description" carries the message and the stack; "text" alone is
    # often just "Uncaught".
    thrown = details.get("exception") or {}
    return thrown.get("description") or str(thrown.get("value", "")) or details.get("text", "?")


class PageReader:
    """Reads the pages of one Chromium through its DevTools port."""

    def __init__(self, port: int, host: str = "127.0.0.1"):
        self.host, self.port = host, port
        self._connections: Dict[str, WebSocket] = {}
        self._next_id = 0

    @classmethod
    def from_profile(cls, profile_dir: str, timeout: float = 20.0) -> "PageReader":
        """Waits until the browser using profile_dir has written its port
        file and answers on that port."""
        path = os.path.join(profile_dir, PORT_FILE)
        return harness.wait_for(lambda: cls._announced(path), timeout=timeout, interval=0.1,
                                what=lambda: "a Chromium answering on the port in %s (it says %r)"
                                % (path, _read_port_file(path)))

    @classmethod
    def _announced(cls, path: str) -> Optional["PageReader"]:
        lines = (_read_port_file(path) or "").split("\n")
        # Both lines, or the file is still being written.
        if len(lines) < 2 or not lines[0].isdigit() or not lines[1].startswith("/devtools/"):
            return None
        reader = cls(int(lines[0]))
        try:
            version = reader._get_json("/json/version", timeout=2.0)
        except (OSError, ValueError, InspectorError):
            return None
        # A file left by an earlier browser may name a port someone else took since.
        if not version.get("webSocketDebuggerUrl", "").endswith(lines[1]):
            return None
        return reader

    def close(self) -> None:
        for connection in self._connections.values():
            connection.close()
        self._connections.clear()

    def __enter__(self) -> "PageReader":
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    # ---- Targets ----------------------------------------------------------------------

    def _get_json(self, path: str, timeout: float = 10.0):
        # http.client rather than urllib: no proxy from the environment in the way.
        connection = http.client.HTTPConnection(self.host, self.port, timeout=timeout)
        try:
            connection.request("GET", path)
            response = connection.getresponse()
            body = response.read()
        finally:
            connection.close()
        if response.status != 200:
            raise InspectorError("GET %s: HTTP %d" % (path, response.status))
        return json.loads(body)

    def pages(self) -> List[Page]:
        """The tabs, in the browser's order (newest first)."""
        return [Page(t["id"], t["url"], t.get("title", ""), t.get("webSocketDebuggerUrl", ""))
                for t in self._get_json("/json/list") if t.get("type") == "page"]

    def wait_for_page(self, match: Union[str, Callable[[str], bool]],
                      timeout: float = 10.0) -> Page:
        """The first page whose address contains match, or satisfies it when
        it is a function of the address. The address listed is the one being
        loaded: until it commits, scripts still see the document before."""
        wanted = match if callable(match) else (lambda url: match in url)
        seen = []

        def find():
            seen[:] = self.pages()
            return next((p for p in seen if wanted(p.url)), None)

        return harness.wait_for(find, timeout=timeout, what=lambda: "a page matching %r (pages: %s)"
                                % (match, [p.url for p in seen] or "none"))

    # ---- Scripts ----------------------------------------------------------------------

    def evaluate(self, page: Page, expression: str, timeout: float = 10.0):
        """The expression's value (a promise's once settled), as JSON gives it."""
        result = self._call(page, "Runtime.evaluate", {
            "expression": expression, "returnByValue": True, "awaitPromise": True}, timeout)
        if "exceptionDetails" in result:
            thrown = _exception_text(result["exceptionDetails"])
            raise ScriptError("%s threw: %s" % (page.url, thrown))
        return result["result"].get("value")

    def wait_for(self, page: Page, expression: str, timeout: float = 10.0):
        """The expression's first truthy value. A script that throws fails at
        once; an evaluation lost to a navigation is tried again."""
        last, deadline = [], time.monotonic() + timeout

        def attempt():
            try:
                value = self.evaluate(page, expression, max(deadline - time.monotonic(), 0.1))
            except ScriptError:
                raise
            except InspectorError as error:
                value = error
            last[:] = [value]
            return None if isinstance(value, InspectorError) else value

        return harness.wait_for(attempt, timeout=timeout,
                                what=lambda: "%s to be true on %s (last: %r)"
                                % (expression, page.url, last[0] if last else None))

    def element_rect(self, page: Page, selector: str) -> Optional[Rect]:
        """The first element matching the CSS selector: its box, or None."""
        box = self.evaluate(page, _RECT_SCRIPT % json.dumps(selector))
        return Rect(*box) if box else None

    def element_centre(self, page: Page, selector: str) -> Optional[Tuple[float, float]]:
        rect = self.element_rect(page, selector)
        return rect.centre if rect else None

    def text(self, page: Page, selector: str) -> Optional[str]:
        """The first matching element's innerText, or None."""
        return self.evaluate(page, _TEXT_SCRIPT % json.dumps(selector))

    def _call(self, page: Page, method: str, params: dict, timeout: float) -> dict:
        self._next_id += 1
        ask = self._next_id
        try:
            connection = self._connection(page, timeout)
            connection.send_text(json.dumps({"id": ask, "method": method, "params": params}))
            deadline = time.monotonic() + timeout
            answer = {}
            # Only answers come: this connection enables no domain, so no events.
            while answer.get("id") != ask:
                answer = json.loads(connection.receive_text(deadline - time.monotonic()))
        except (OSError, WebSocketError) as error:
            # A half-read frame leaves nothing to go on with: the next call connects again.
            self._drop(page)
            raise InspectorError("%s on %s: %s" % (method, page.url, error)) from error
        if "error" in answer:
            refusal = answer["error"].get("message")
            raise InspectorError("%s on %s: %s" % (method, page.url, refusal))
        return answer["result"]

    def _connection(self, page: Page, timeout: float) -> WebSocket:
        if page.id not in self._connections:
            self._connections[page.id] = WebSocket.connect(
                self.host, self.port, "/devtools/page/%s" % page.id, timeout)
        return self._connections[page.id]

    def _drop(self, page: Page) -> None:
        connection = self._connections.pop(page.id, None)
        if connection:
            connection.close()
