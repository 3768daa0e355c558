"""The boss key under real key presses: the saved key of C:\\log\\hot.txt is
registered at start, hides and shows the game window and only it, does
nothing on the login screen, is released by the close question, and is
chosen anew in its dialog.

Wine hands a hot key to the client only while some Wine window has the
keyboard focus; once the game window is hidden, the probe's own holder
window takes the focus for the next press."""

import os
import time
import unittest

from harness import WINEPREFIX, Client, ClientTestCase, wait_for, xdotool
from test_game_window import dialog_with_caption, open_game

HOT_FILE = os.path.join(WINEPREFIX, "drive_c", "log", "hot.txt")
HKM_GETHOTKEY = 0x0402
HOLDER = (1160, 960)
NO_MODIFIER_MESSAGE = "至少使用 ctrl、shift、alt 其中之一的键 "


def saved(data):
    """Leaves `data` (bytes, or None for no file) as the boss-key file."""
    if data is None:
        if os.path.exists(HOT_FILE):
            os.remove(HOT_FILE)
        return
    os.makedirs(os.path.dirname(HOT_FILE), exist_ok=True)
    with open(HOT_FILE, "wb") as f:
        f.write(data)


def file_bytes():
    with open(HOT_FILE, "rb") as f:
        return f.read()


def press(keys):
    xdotool("key", keys)
    time.sleep(0.6)


class BossKeyCase(ClientTestCase):
    def setUp(self):
        self.addCleanup(saved, None)

    def focus_holder(self, client):
        holder = client.holder(*HOLDER)
        self.addCleanup(client.end_holder, holder)
        xdotool("mousemove", HOLDER[0] + 10, HOLDER[1] + 10)
        xdotool("click", 1)
        time.sleep(0.3)

    def frame_visible(self, client):
        frame = next(w for w in client.top_windows() if w["class"].startswith("AfxFrame"))
        return frame["visible"]

    def login_visible(self, client):
        return [w["visible"] for w in client.top_windows(class_name="#32770")
                if w["title"] == ""]


class SavedKey(BossKeyCase):
    def test_saved_key_hides_and_shows_only_the_game_window_and_not_the_login_screen(self):
        saved(b"1626\r\n")
        with Client() as client:
            engine = client.automation
            engine.wait_for_record("load-url", engine.wait_for_browsers(1, timeout=20)[0])
            time.sleep(0.5)
            self.focus_holder(client)
            press("ctrl+alt+z")
            self.assertFalse(self.frame_visible(client), "the login screen ignores the key")
            self.assertTrue(all(self.login_visible(client)))

            _, frame = open_game(client)
            press("ctrl+alt+z")
            wait_for(lambda: not self.frame_visible(client), what="the hidden game window")
            self.assertFalse(any(self.login_visible(client)), "the login screen stays hidden")
            self.shot("boss-hidden")
            xdotool("mousemove", HOLDER[0] + 10, HOLDER[1] + 10)
            xdotool("click", 1)
            press("ctrl+alt+z")
            wait_for(lambda: self.frame_visible(client), what="the game window again")
            self.assertFalse(any(self.login_visible(client)))
            self.assertEqual(file_bytes(), b"1626\r\n")

    def test_key_without_modifiers_registers_nothing_and_leaves_the_file(self):
        saved(b"90\n")
        with Client() as client:
            open_game(client)
            for keys in ("z", "ctrl+alt+z"):
                press(keys)
                self.assertTrue(self.frame_visible(client), keys)
            self.assertEqual(file_bytes(), b"90\n")

    def test_cancelled_close_question_leaves_the_key_released(self):
        saved(b"1626\r\n")
        with Client() as client:
            _, frame = open_game(client)
            xdotool("mousemove", frame["x"] + frame["width"] - 24 + 9, frame["y"] + 14)
            time.sleep(0.2)
            xdotool("click", 1)
            wait_for(lambda: dialog_with_caption(client, "Ashgrove微端"), what="the question")
            xdotool("key", "Escape")
            wait_for(lambda: not dialog_with_caption(client, "Ashgrove微端"))
            press("ctrl+alt+z")
            self.assertTrue(self.frame_visible(client))


class BossKeyDialog(BossKeyCase):
    def open_dialog(self, client, frame):
        xdotool("mousemove", frame["x"] + frame["width"] - 169 + 9, frame["y"] + 14)
        time.sleep(0.2)
        xdotool("click", 1)
        dialog = wait_for(lambda: next((w for w in client.top_windows(class_name="#32770",
                                                                      visible=True)
                                        if any(c["class"] == "msctls_hotkey32"
                                               for c in client.children(w["hwnd"]))), None),
                          what="the boss-key dialog")
        field = next(c for c in client.children(dialog["hwnd"]) if c["class"] == "msctls_hotkey32")
        ok = next(c for c in client.children(dialog["hwnd"]) if c["id"] == 1)
        return dialog, field, ok

    def test_dialog_shows_only_a_key_with_one_modifier(self):
        for line, shown in ((b"1626\r\n", 0), (b"602\r\n", 0x25A)):
            with self.subTest(line=line):
                saved(line)
                with Client() as client:
                    _, frame = open_game(client)
                    _, field, _ = self.open_dialog(client, frame)
                    self.assertEqual(client.send(field["hwnd"], HKM_GETHOTKEY), shown)

    def test_choosing_a_key_needs_a_modifier_then_replaces_the_old_one(self):
        saved(b"602\r\n")
        with Client() as client:
            _, frame = open_game(client)
            dialog, field, ok = self.open_dialog(client, frame)
            self.shot("boss-key-dialog")

            def choose(keys):
                xdotool("mousemove", field["x"] + 20, field["y"] + field["height"] // 2)
                xdotool("click", 1)
                time.sleep(0.2)
                xdotool("key", keys)
                time.sleep(0.2)
                xdotool("mousemove", ok["x"] + ok["width"] // 2, ok["y"] + ok["height"] // 2)
                xdotool("click", 1)

            choose("x")
            refusal = wait_for(lambda: dialog_with_caption(client, "Plover2"),
                               what="the refusal")
            self.assertIn(NO_MODIFIER_MESSAGE,
                          [c["title"] for c in client.children(refusal["hwnd"])])
            self.shot("boss-key-refusal")
            xdotool("key", "Return")
            wait_for(lambda: not dialog_with_caption(client, "Plover2"))
            self.assertTrue(client.window(dialog["hwnd"])["visible"], "the dialog stays open")
            self.assertEqual(file_bytes(), b"602\r\n")

            choose("shift+x")
            wait_for(lambda: client.window(dialog["hwnd"]) is None, what="the dialog to close")
            self.assertEqual(file_bytes(), b"344\r\n")  # 0x158: Shift and X
            press("ctrl+z")
            self.assertTrue(self.frame_visible(client), "the old key is released")
            press("shift+x")
            wait_for(lambda: not self.frame_visible(client), what="the new key to hide the frame")


if __name__ == "__main__":
    unittest.main()
