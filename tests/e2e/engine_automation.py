"""Client of the engine's automation channel (test backend).

The client opens the channel only when started with
``--engine-automation=<port>`` (0 picks a free port; the process then says
"engine: automation channel on 127.0.0.1:<port>" on standard error). The
channel is a line protocol on 127.0.0.1:

* A request is one line: a command and its arguments separated by single
  spaces. Numbers are decimal, flags 0 or 1, and texts are "=" followed by
  the text's UTF-8 bytes, percent-encoded except for letters, digits and
  ``-._~:/?#@!$&'()*+,;=``. An unpaired surrogate travels as the three-byte
  form of its code unit (Python's "surrogatepass"), so any UTF-16 text
  survives. "=" alone is the empty text.
* Each request gets one line back: ``ok [values...]``, ``fail`` (the engine
  refused: no such browser, the engine does not run) or ``error =<message>``
  (a malformed request). ``records <from>`` answers ``ok <next> <count>``
  followed by <count> lines ``record <sequence> <browser> <kind> =<field>...``.

Commands (the operations of cef/CefTesting.h):

    hello | browsers | records <from>
    finish-load <b> <frames> <status> =<url>
    change-title <b> =<title> | change-status <b> =<text>
    change-address <b> <frame> =<url>
    change-loading-state <b> <loading> <can-go-back> <can-go-forward>
    load-error <b> <frame> <code> =<url> | console <b> =<text>
    call-function <b> <frame> =<name> <arg>...
        arg: undefined | null | true | false | int:<n> | double:<x> | =<text>
    focus-element <b> <frame> <element> <has-title> =<title>
    set-has-body <b> <frame> <flag> | query-body-attribute <b> <frame> =<name>
    request-popup <b> <frame> =<url> =<frame name>
    request-credentials <b> <proxy> =<host> <port> =<realm> =<scheme>
    start-download <b> =<url> =<name> <in-progress>,<complete>,<canceled>,<percent>,<speed>,<received>,<total>...
    context-menu <b> <flags> <entries> | before-unload <b>
    kill-render <b> | render-pid <b> | render-garbage <b> <kind>

Record kinds and their fields are listed in platform/cef/CefTesting.h.

Usage:

    with EngineAutomation(port) as engine:
        browser = engine.wait_for_browsers()[0]
        engine.finish_load(browser, 1, 200, "http://portal.test/login")
        engine.call_function(browser, 0, "OpenGameWindow", "Server 1", "http://game.test/")
        record = engine.wait_for_record("to-browser", browser)
"""

import socket
import time
import urllib.parse
from dataclasses import dataclass, field
from typing import Callable, List, Optional, Sequence, Tuple

__all__ = ["AutomationError", "Download", "EngineAutomation", "Record", "UNDEFINED"]

# Bytes that travel as they are; everything else is percent-encoded.
_PLAIN = "-._~:/?#@!$&'()*+,;="


class AutomationError(Exception):
    """The engine called a request malformed, or the channel failed."""


class _Undefined:
    def __repr__(self) -> str:
        return "UNDEFINED"


# A script argument that is undefined (None stands for null).
UNDEFINED = _Undefined()


@dataclass
class Record:
    sequence: int
    browser: int
    kind: str
    fields: List[str] = field(default_factory=list)


@dataclass
class Download:
    """One progress step of a simulated download."""

    in_progress: bool = True
    complete: bool = False
    canceled: bool = False
    percent: int = -1
    speed: int = 0
    received: int = 0
    total: int = 0

    def token(self) -> str:
        values = (self.in_progress, self.complete, self.canceled, self.percent, self.speed,
                  self.received, self.total)
        return ",".join(str(int(v)) for v in values)


def encode_text(text: str) -> str:
    data = text.encode("utf-8", "surrogatepass")
    return "=" + urllib.parse.quote_from_bytes(data, safe=_PLAIN)


def decode_text(token: str) -> str:
    if not token.startswith("="):
        raise AutomationError(f"not a text: {token!r}")
    return urllib.parse.unquote_to_bytes(token[1:]).decode("utf-8", "surrogatepass")


def _script_arg(value) -> str:
    if value is UNDEFINED:
        return "undefined"
    if value is None:
        return "null"
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, int):
        return f"int:{value}"
    if isinstance(value, float):
        return f"double:{value!r}"
    return encode_text(str(value))


class EngineAutomation:
    """One connection to a client's automation channel."""

    def __init__(self, port: int, host: str = "127.0.0.1", timeout: float = 10.0):
        self._socket = socket.create_connection((host, port), timeout=timeout)
        self._buffer = b""

    def close(self) -> None:
        self._socket.close()

    def __enter__(self) -> "EngineAutomation":
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    # ---- The line protocol ------------------------------------------------

    def _line(self) -> str:
        while b"\n" not in self._buffer:
            chunk = self._socket.recv(65536)
            if not chunk:
                raise AutomationError("the engine closed the channel")
            self._buffer += chunk
        line, self._buffer = self._buffer.split(b"\n", 1)
        return line.decode("ascii")

    def request(self, *words: str) -> Optional[List[str]]:
        """Sends one request; its answer's values, or None for "fail"."""
        self._socket.sendall((" ".join(words) + "\n").encode("ascii"))
        answer = self._line().split(" ")
        if answer[0] == "ok":
            return answer[1:]
        if answer[0] == "fail":
            return None
        message = decode_text(answer[1]) if len(answer) > 1 else "?"
        raise AutomationError(f"{words[0]}: {message}")

    def _do(self, *words) -> bool:
        return self.request(*(str(w) for w in words)) is not None

    # ---- Observing ----------------------------------------------------------

    def hello(self) -> List[str]:
        return self.request("hello")

    def browsers(self) -> List[int]:
        return [int(i) for i in self.request("browsers")]

    def records(self, since: int = 0) -> Tuple[int, List[Record]]:
        """Records from sequence `since`, and the sequence to ask for next."""
        next_sequence, count = (int(v) for v in self.request("records", str(since)))
        records = []
        for _ in range(count):
            words = self._line().split(" ")
            records.append(Record(int(words[1]), int(words[2]), words[3],
                                  [decode_text(w) for w in words[4:]]))
        return next_sequence, records

    def wait_for_record(self, kind: str, browser: Optional[int] = None,
                        match: Optional[Callable[[Record], bool]] = None,
                        since: int = 0, timeout: float = 10.0) -> Record:
        deadline = time.monotonic() + timeout
        while True:
            _, records = self.records(since)
            for record in records:
                if record.kind == kind and browser in (None, record.browser) and (
                        match is None or match(record)):
                    return record
            if time.monotonic() > deadline:
                raise AutomationError(f"no {kind} record within {timeout} s")
            time.sleep(0.05)

    def wait_for_browsers(self, count: int = 1, timeout: float = 10.0) -> List[int]:
        deadline = time.monotonic() + timeout
        while True:
            ids = self.browsers()
            if len(ids) >= count:
                return ids
            if time.monotonic() > deadline:
                raise AutomationError(f"fewer than {count} browsers within {timeout} s")
            time.sleep(0.05)

    # ---- Driving the page ---------------------------------------------------

    def finish_load(self, browser: int, frames: int, status: int, url: str = "") -> bool:
        return self._do("finish-load", browser, frames, status, encode_text(url))

    def change_title(self, browser: int, title: str) -> bool:
        return self._do("change-title", browser, encode_text(title))

    def change_address(self, browser: int, frame: int, url: str) -> bool:
        return self._do("change-address", browser, frame, encode_text(url))

    def change_loading_state(self, browser: int, loading: bool, can_go_back: bool = False,
                             can_go_forward: bool = False) -> bool:
        return self._do("change-loading-state", browser, int(loading), int(can_go_back),
                        int(can_go_forward))

    def change_status(self, browser: int, text: str) -> bool:
        return self._do("change-status", browser, encode_text(text))

    def load_error(self, browser: int, frame: int, code: int, url: str) -> bool:
        return self._do("load-error", browser, frame, code, encode_text(url))

    def console(self, browser: int, text: str) -> bool:
        return self._do("console", browser, encode_text(text))

    def call_function(self, browser: int, frame: int, name: str, *args) -> bool:
        return self._do("call-function", browser, frame, encode_text(name),
                        *(_script_arg(a) for a in args))

    def focus_element(self, browser: int, frame: int, element: bool = True,
                      title: Optional[str] = None) -> bool:
        return self._do("focus-element", browser, frame, int(element), int(title is not None),
                        encode_text(title or ""))

    def set_has_body(self, browser: int, frame: int, has_body: bool) -> bool:
        return self._do("set-has-body", browser, frame, int(has_body))

    def query_body_attribute(self, browser: int, frame: int, name: str) -> bool:
        return self._do("query-body-attribute", browser, frame, encode_text(name))

    def request_popup(self, browser: int, frame: int, url: str, frame_name: str = "") -> bool:
        return self._do("request-popup", browser, frame, encode_text(url), encode_text(frame_name))

    def request_credentials(self, browser: int, host: str, port: int, realm: str = "",
                            scheme: str = "basic", proxy: bool = False) -> bool:
        return self._do("request-credentials", browser, int(proxy), encode_text(host), port,
                        encode_text(realm), encode_text(scheme))

    def start_download(self, browser: int, url: str, suggested_name: str,
                       steps: Sequence[Download] = (Download(),)) -> bool:
        return self._do("start-download", browser, encode_text(url), encode_text(suggested_name),
                        *(s.token() for s in steps))

    def context_menu(self, browser: int, type_flags: int, entries: int) -> bool:
        return self._do("context-menu", browser, type_flags, entries)

    def before_unload(self, browser: int) -> bool:
        return self._do("before-unload", browser)

    def delay_browsers(self, milliseconds: int) -> bool:
        """Browsers asked for from now on arrive this much later."""
        return self._do("delay-browsers", milliseconds)

    # ---- The render process -------------------------------------------------

    def kill_render(self, browser: int) -> bool:
        return self._do("kill-render", browser)

    def render_pid(self, browser: int) -> int:
        return int(self.request("render-pid", str(browser))[0])

    def render_garbage(self, browser: int, kind: int) -> bool:
        """kind: 1 oversized frame, 2 unknown message type, 3 bad payload."""
        return self._do("render-garbage", browser, kind)


if __name__ == "__main__":
    import sys

    if len(sys.argv) < 2:
        sys.exit("usage: engine_automation.py <port> [command [arguments...]]")
    with EngineAutomation(int(sys.argv[1])) as engine:
        if len(sys.argv) == 2:
            print(engine.hello(), engine.browsers())
            for record in engine.records()[1]:
                print(record)
        else:
            print(engine.request(*sys.argv[2:]))
