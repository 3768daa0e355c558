"""The update flow through the real client: the manifest fetched at start-up
from the update host on port 80, the package downloaded while the player is
on the login screen, the updater copy started after the close confirmation,
and the desktop shortcut written at every start.

The fake updater inside the demo package appends the command line it was
started with to $PLOVER_UPDATER_LOG; an empty log means nothing was started.
"""

import glob
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

from harness import ROOT, WINDOWS, WINEPREFIX, Client, ClientTestCase, client_exe, wait_for
from test_login_screen import WM_SYSCOMMAND, SC_CLOSE, confirm_quit, post, visible_stack

PACKAGE = os.path.join(WINDOWS, "tools", "fake-updater", "AshgroveSetup.exe")
UPDATE_HOST = os.path.join(ROOT, "tests", "update_host.py")
GAME = "Vantor Ashgrove"


def windows_path(unix_path):
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def temp_dir():
    """The prefix user's %TEMP%, where downloads land."""
    found = [d for d in glob.glob(os.path.join(WINEPREFIX, "drive_c", "users", "*", "Temp"))
             if os.path.basename(os.path.dirname(d)) != "Public"]
    assert found, "no user temporary folder in the Wine prefix"
    return found[0]


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class Server:
    """A loopback HTTP server on port 80 (the client's only update port),
    started as a program and stopped with the test."""

    def __init__(self, args):
        self.log_path = tempfile.NamedTemporaryFile(prefix="update-log-", delete=False).name
        self.process = subprocess.Popen(args + ["--log", self.log_path, "--seconds", "180"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                        stdin=subprocess.DEVNULL)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)
        self.process.stderr.close()

    def log(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def requested(self, path):
        return ("GET %s " % path) in self.log()


def demo_portal(version="1.0.1.0"):
    server = Server([sys.executable, os.path.join(ROOT, "tools", "demo-portal"), "--port", "80",
                     "--package", PACKAGE, "--version", version])
    line = server.process.stderr.readline().decode("utf-8", "replace")
    assert "listening" in line, "the demo portal did not start: %r" % line
    return server


def update_host(manifest_items, options=()):
    """tests/update_host.py on port 80 with a manifest announcing 1.0.1.0."""
    folder = tempfile.mkdtemp(prefix="update-host-")
    manifest = os.path.join(folder, "update.xml")
    with open(manifest, "w", encoding="utf-8") as f:
        f.write('<config><game major="65536" minor="65536">%s</game></config>' % manifest_items)
    server = Server([sys.executable, UPDATE_HOST, "--port", "80",
                     "--file", "/update/update.xml=" + manifest,
                     "--file", "/update/AshgroveSetup.exe=" + PACKAGE] + list(options))
    wait_for(lambda: server.log().startswith("ready "), timeout=10, what="the update host")
    return server


class UpdateFlow(ClientTestCase):
    def setUp(self):
        self.temp = temp_dir()
        for name in ("AshgroveSetup.exe", "updateAshgroveSetup.exe"):
            path = os.path.join(self.temp, name)
            if os.path.exists(path):
                os.unlink(path)
        self.updater_log = tempfile.NamedTemporaryFile(prefix="updater-", delete=False).name
        self.addCleanup(os.unlink, self.updater_log)

    def serve(self, server):
        self.addCleanup(server.stop)
        return server

    def client(self):
        client = Client(automation=False, env={"PLOVER_UPDATER_LOG": windows_path(self.updater_log)})
        self.addCleanup(client.stop)
        client.start()
        wait_for(lambda: visible_stack(client), timeout=30, what="the login screen")
        return client

    def quit(self, client):
        background = visible_stack(client)[0]
        post(client, background["hwnd"], WM_SYSCOMMAND, SC_CLOSE, 0)
        confirm_quit(client)
        self.assertEqual(client.wait_exit(), 0)

    def updater_lines(self):
        with open(self.updater_log, encoding="utf-8") as f:
            return [line.rstrip("\n") for line in f if line.strip()]

    def package_file(self):
        return os.path.join(self.temp, "AshgroveSetup.exe")

    def test_the_package_arrives_on_the_login_screen_and_the_updater_starts_at_exit(self):
        portal = self.serve(demo_portal())
        client = self.client()
        wait_for(lambda: portal.requested("/update/AshgroveSetup.exe"), timeout=30,
                 what="the package request")
        self.assertTrue(portal.requested("/update/update.xml"))
        self.assertNotIn("update2.xml", portal.log())
        self.assertIn("Range: bytes=0-", portal.log())
        wait_for(lambda: os.path.exists(self.package_file()) and
                 os.path.getsize(self.package_file()) == os.path.getsize(PACKAGE),
                 timeout=30, what="the complete package")
        self.assertEqual(sha256(self.package_file()), sha256(PACKAGE))
        self.assertTrue(visible_stack(client), "the login screen stays while the package comes")
        self.assertEqual(self.updater_lines(), [])

        self.quit(client)
        lines = wait_for(self.updater_lines, timeout=20, what="the updater's record")
        self.assertEqual(len(lines), 1)
        match = re.fullmatch(r' -u -p(\d+) "([^"]+)" "([^"]+)"', lines[0])
        self.assertIsNotNone(match, lines[0])
        pid, package, exe = match.groups()
        self.assertEqual(int(pid), client.pid)
        self.assertTrue(package.lower().endswith("\\temp\\ashgrovesetup.exe"), package)
        self.assertEqual(exe.lower(), windows_path(client_exe()).lower())
        self.assertTrue(os.path.exists(os.path.join(self.temp, "updateAshgroveSetup.exe")))

    def test_the_desktop_holds_a_shortcut_to_the_client(self):
        portal = self.serve(demo_portal(version="1.0.0.0"))
        client = self.client()
        probe = subprocess.run(["wine", os.path.join(WINDOWS, "tests", "e2e", "probe", "WinProbe.exe"),
                                "link", GAME + ".lnk"], env=client.env, capture_output=True,
                               timeout=60)
        import json
        link = json.loads(probe.stdout.decode("utf-8").splitlines()[-1])
        self.assertTrue(link["found"], link)
        self.assertEqual(link["target"].lower(), windows_path(client_exe()).lower())
        self.assertEqual(link["directory"].lower(), windows_path(os.getcwd()).lower())
        self.assertEqual((link["description"], link["show"]), (GAME, 1))
        self.assertIn("创建成功", client.log())
        # Up to date: the manifest is read, no package is fetched.
        wait_for(lambda: portal.requested("/update/update.xml"), timeout=30, what="the manifest")
        time.sleep(2)
        self.assertFalse(portal.requested("/update/AshgroveSetup.exe"))
        self.quit(client)
        time.sleep(1)
        self.assertEqual(self.updater_lines(), [])

    def test_quitting_before_the_package_is_complete_starts_nothing(self):
        host = self.serve(update_host('<item host="127.0.0.1" path="/update/" file="AshgroveSetup.exe"/>',
                                      ["--fault", "stall", "--after", "1000", "--stall", "60",
                                       "--fault-path", "/update/AshgroveSetup.exe"]))
        client = self.client()
        wait_for(lambda: host.requested("/update/AshgroveSetup.exe"), timeout=30,
                 what="the package request")
        self.quit(client)
        time.sleep(2)
        self.assertEqual(self.updater_lines(), [])
        self.assertFalse(os.path.exists(os.path.join(self.temp, "updateAshgroveSetup.exe")))

    def test_a_package_name_that_leaves_the_temporary_folder_is_refused(self):
        host = self.serve(update_host('<item host="127.0.0.1" path="/update/" file="../evil.exe"/>'))
        client = self.client()
        wait_for(lambda: "refused" in client.log(), timeout=30, what="the refusal")
        self.assertIn("update: refused to download /update/..%2Fevil.exe", client.log())
        self.assertNotIn("evil", host.log())
        self.quit(client)
        time.sleep(1)
        self.assertEqual(self.updater_lines(), [])

    def test_a_package_that_differs_from_its_digest_is_deleted_and_never_started(self):
        host = self.serve(update_host(
            '<item host="127.0.0.1" path="/update/" file="AshgroveSetup.exe" sha256="%s"/>' % ("0" * 64)))
        client = self.client()
        wait_for(lambda: "SHA-256" in client.log(), timeout=30, what="the digest mismatch")
        self.assertIn("has SHA-256 %s, not %s" % (sha256(PACKAGE), "0" * 64), client.log())
        self.assertFalse(os.path.exists(self.package_file()))
        self.quit(client)
        time.sleep(1)
        self.assertEqual(self.updater_lines(), [])


if __name__ == "__main__":
    unittest.main()
