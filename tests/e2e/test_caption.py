"""The game window's self-drawn caption under real mouse input: where each
button reacts, what it shows while hovered, pressed or maximised, how the
frame is dragged and sized, and what the tabs, the reload button and the
menu do to the panels."""

import subprocess
import time
import unittest

from harness import Client, ClientTestCase, ROOT, drag, wait_for, xdotool
from test_game_window import dialog_with_caption, open_game

WM_NCPAINT = 0x0085
QUESTION = "Ashgrove微端"
# The restored frame is placed here for the geometry cases, so window
# coordinates are known: a 1024-wide window as the caption layout is drawn for.
ORIGIN = (100, 60)
SIZE = (1024, 768)


def picture(number):
    """One of the shipped pictures as (width, height, RGBA rows)."""
    path = "%s/src/res/images/%d.png" % (ROOT, number)
    size = subprocess.run(["/usr/bin/identify", "-format", "%w %h", path], check=True,
                          capture_output=True, text=True).stdout.split()
    rgba = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "rgba:-"], check=True,
                          capture_output=True).stdout
    return int(size[0]), int(size[1]), rgba


def look(screen, x0, y0, candidates):
    """Which of the candidate pictures the screen shows with its corner at
    (x0, y0): each is blended over the caption colour just left of it and
    compared with the screen pixel by pixel."""
    pictures = {number: picture(number) for number in candidates}
    height = next(iter(pictures.values()))[1]
    behind = screen.pixel(x0 - 1, y0 + height // 2)

    def mismatch(number):
        width, height, rgba = pictures[number]
        total = 0
        for y in range(height):
            for x in range(width):
                offset = (y * width + x) * 4
                alpha = rgba[offset + 3] / 255
                shown = screen.pixel(x0 + x, y0 + y)
                total += sum(abs(s - (alpha * c + (1 - alpha) * b))
                             for s, c, b in zip(shown, rgba[offset:offset + 3], behind))
        return total

    return min(candidates, key=mismatch)


def restore_at(client, frame):
    """Restores the maximised frame with its revert button and places it at
    ORIGIN with SIZE, as a player would leave it."""
    xdotool("mousemove", frame["x"] + frame["width"] - 44 + 9, frame["y"] + 14)
    time.sleep(0.2)
    xdotool("click", 1)
    wait_for(lambda: not client.window(frame["hwnd"])["zoomed"], what="the restored frame")
    client.probe("move", frame["hwnd"], ORIGIN[0], ORIGIN[1], SIZE[0], SIZE[1])
    return wait_for(lambda: (lambda w: w if (w["x"], w["width"]) == (ORIGIN[0], SIZE[0])
                             else None)(client.window(frame["hwnd"])), what="the placed frame")


def at(x, y):
    """Screen point of window point (x, y) of the placed frame."""
    return ORIGIN[0] + x, ORIGIN[1] + y


def press(x, y):
    xdotool("mousemove", *at(x, y))
    time.sleep(0.15)
    xdotool("mousedown", 1)
    time.sleep(0.15)


def release(x, y):
    xdotool("mousemove", *at(x, y))
    time.sleep(0.15)
    xdotool("mouseup", 1)
    time.sleep(0.4)


def drag_frame(client, frame, start, delta, attempts=3):
    """Drags and returns the frame as it is then. A drag that left the frame
    untouched (on a loaded machine the press can land before the frame takes
    input) is tried again; what a drag does is the test's matter, not
    whether the first press was seen."""
    def place(w):
        return (w["x"], w["y"], w["width"], w["height"])
    before = place(client.window(frame["hwnd"]))
    for _ in range(attempts):
        drag(start, delta)
        now = client.window(frame["hwnd"])
        if place(now) != before:
            break
    return now


def cancel_question(client):
    xdotool("key", "Escape")
    wait_for(lambda: not dialog_with_caption(client, QUESTION), what="the question to close")


class CaptionButtonGeometry(ClientTestCase):
    """The close button of a 1024-wide frame sits at x 1000-1018, y 5-23."""

    def test_close_reacts_exactly_on_its_rectangle(self):
        cases = [((1000, 5), True), ((1018, 23), True), ((1009, 14), True),
                 ((999, 14), False), ((1019, 14), False), ((1009, 4), False), ((1009, 24), False)]
        with Client() as client:
            _, frame = open_game(client)
            restore_at(client, frame)
            for point, reacts in cases:
                with self.subTest(point=point):
                    press(*point)
                    release(*point)
                    asked = dialog_with_caption(client, QUESTION) is not None
                    if asked:
                        cancel_question(client)
                    self.assertEqual(asked, reacts)
                    # Whatever the press did, the frame stays where it was.
                    client.probe("move", frame["hwnd"], ORIGIN[0], ORIGIN[1], SIZE[0], SIZE[1])

    def test_press_beside_the_close_button_drags_the_frame(self):
        with Client() as client:
            _, frame = open_game(client)
            restore_at(client, frame)
            moved = drag_frame(client, frame, at(999, 14), (60, 40))
            self.assertEqual((moved["x"], moved["y"]), (ORIGIN[0] + 60, ORIGIN[1] + 40))
            self.assertEqual((moved["width"], moved["height"]), SIZE)

    def test_press_and_release_apart_do_nothing(self):
        # Close pressed, released on the revert button; close pressed,
        # released on the bare caption; minimise pressed, released on close.
        cases = [((1009, 14), (989, 14)), ((1009, 14), (700, 14)), ((969, 14), (1009, 14))]
        with Client() as client:
            _, frame = open_game(client)
            restore_at(client, frame)
            for pressed, released in cases:
                with self.subTest(pressed=pressed, released=released):
                    press(*pressed)
                    release(*released)
                    self.assertIsNone(dialog_with_caption(client, QUESTION))
                    now = client.window(frame["hwnd"])
                    self.assertFalse(now["iconic"] or now["zoomed"])
                    self.assertEqual((now["x"], now["y"], now["width"]), (*ORIGIN, SIZE[0]))

    def test_minimise_button_minimises(self):
        with Client() as client:
            _, frame = open_game(client)
            restore_at(client, frame)
            press(969, 14)
            release(969, 14)
            wait_for(lambda: client.window(frame["hwnd"])["iconic"], what="the minimised frame")


class FrameEdges(ClientTestCase):
    def test_frame_cannot_be_sized_below_its_minimum(self):
        with Client() as client:
            _, frame = open_game(client)
            restore_at(client, frame)
            sized = drag_frame(client, frame, at(SIZE[0] - 2, SIZE[1] - 2), (-300, -250))
            self.assertEqual((sized["width"], sized["height"]), (1000, 700))
            self.assertEqual((sized["x"], sized["y"]), ORIGIN)

    def test_top_edge_drags_and_never_sizes(self):
        with Client() as client:
            _, frame = open_game(client)
            restore_at(client, frame)
            moved = drag_frame(client, frame, at(500, 1), (0, 50))
            self.assertEqual((moved["x"], moved["y"]), (ORIGIN[0], ORIGIN[1] + 50))
            self.assertEqual((moved["width"], moved["height"]), SIZE)


class CaptionLooks(ClientTestCase):
    """Each button shows the picture that matches the mouse at paint time."""

    def repaint(self, client, frame):
        client.probe("post", frame["hwnd"], WM_NCPAINT, 1, 0)
        time.sleep(0.4)

    def test_hover_and_pressed_pictures_of_the_close_button(self):
        with Client() as client:
            _, frame = open_game(client)
            restore_at(client, frame)
            close = at(1000, 5)
            looks = {}
            xdotool("mousemove", *at(700, 14))
            self.repaint(client, frame)
            looks["away"] = look(self.shot("caption-normal")[0], *close, [1030, 1031, 1032])
            xdotool("mousemove", *at(1009, 14))
            self.repaint(client, frame)
            looks["hover"] = look(self.shot("caption-hover")[0], *close, [1030, 1031, 1032])
            press(1009, 14)
            self.repaint(client, frame)
            looks["pressed"] = look(self.shot("caption-pressed")[0], *close, [1030, 1031, 1032])
            release(1040, 300)
            self.assertEqual(looks, {"away": 1030, "hover": 1032, "pressed": 1031})

    def test_revert_button_shows_the_picture_three_below_while_maximised(self):
        with Client() as client:
            _, frame = open_game(client)
            xdotool("mousemove", 600, 500)
            self.repaint(client, frame)
            right = frame["x"] + frame["width"]
            maximised = look(self.shot("revert-maximised")[0], right - 44, frame["y"] + 5,
                             [1050, 1053])
            restore_at(client, frame)
            xdotool("mousemove", 600, 500)
            self.repaint(client, frame)
            restored = look(self.shot("revert-restored")[0], *at(980, 5), [1050, 1053])
            self.assertEqual((maximised, restored), (1050, 1053))


class PanelsAndReload(ClientTestCase):
    """The panels variant carries the homepage and bbs tabs and the reload
    button at x 200, 230 and 260 of the caption."""

    def click_caption(self, frame, x):
        xdotool("mousemove", frame["x"] + x + 9, frame["y"] + 14)
        time.sleep(0.2)
        xdotool("click", 1)
        time.sleep(0.5)

    def panels(self, client):
        """The MDI children in z-order, the active one first."""
        mdi = next(w for w in client.windows() if w["class"] == "MDIClient")
        return client.children(mdi["hwnd"])

    def loads_since(self, engine, since):
        """Addresses loaded since then, past the blank page every new view starts with."""
        _, records = engine.records(since)
        return [(r.browser, r.fields[0]) for r in records
                if r.kind == "load-url" and r.fields[0] != "about:blank"]

    def active_tabs(self, client, frame):
        """Which of the homepage and bbs tabs show their pressed picture."""
        client.probe("post", frame["hwnd"], WM_NCPAINT, 1, 0)
        time.sleep(0.4)
        screen = self.shot("panel-tabs")[0]
        return tuple(look(screen, frame["x"] + x, frame["y"] + 5, [1060, 1061]) == 1061
                     for x in (200, 230))

    def test_tabs_create_each_panel_once_then_only_activate_it(self):
        with Client(variant="panels") as client:
            engine, frame = open_game(client)
            xdotool("mousemove", 600, 500)
            game = wait_for(lambda: self.panels(client), what="the game panel")[0]["hwnd"]
            since, _ = engine.records()
            created = {"game": game}
            for x, name in ((200, "homepage"), (230, "bbs")):
                self.click_caption(frame, x)
                top = wait_for(lambda: (lambda p: p[0] if p[0]["hwnd"] not in created.values()
                                        else None)(self.panels(client)), what=name)
                created[name] = top["hwnd"]
            loads = self.loads_since(engine, since)
            self.assertEqual([url for _, url in loads],
                             ["http://127.0.0.1/game", "http://127.0.0.1/bbs"])
            self.assertEqual(len({browser for browser, _ in loads}), 2, "two new browsers")

            since, _ = engine.records()
            for x, name, tabs in ((8, "game", (False, False)), (200, "homepage", (True, False)),
                                  (230, "bbs", (False, True))):
                with self.subTest(panel=name):
                    self.click_caption(frame, x)
                    wait_for(lambda: self.panels(client)[0]["hwnd"] == created[name], what=name)
                    xdotool("mousemove", 600, 500)
                    self.assertEqual(self.active_tabs(client, frame), tabs)
            self.assertEqual(self.loads_since(engine, since), [], "activation loads nothing")
            self.assertEqual(len(self.panels(client)), 3)
            self.assertEqual(client.window(frame["hwnd"])["title"], "Ashgrove")

    def test_a_panel_whose_browser_comes_late_still_loads_its_address(self):
        with Client(variant="panels") as client:
            engine, frame = open_game(client)
            since, _ = engine.records()
            self.assertTrue(engine.delay_browsers(1500))
            self.click_caption(frame, 230)
            record = engine.wait_for_record(
                "load-url", match=lambda r: r.fields[0] == "http://127.0.0.1/bbs", since=since)
            created = engine.wait_for_record("browser-created", record.browser, since=since)
            self.assertLess(created.sequence, record.sequence)

    def test_reload_button_menu_and_f5_load_the_game_address_into_the_active_panel(self):
        with Client(variant="panels") as client:
            engine, frame = open_game(client)
            self.click_caption(frame, 230)
            bbs = engine.wait_for_record(
                "load-url", match=lambda r: r.fields[0] == "http://127.0.0.1/bbs").browser

            since, _ = engine.records()
            self.click_caption(frame, 260)
            engine.wait_for_record("reload-ignore-cache", bbs, since=since)
            self.assertIn((bbs, "http://127.0.0.1/game"), self.loads_since(engine, since))

            since, _ = engine.records()
            cursor = (frame["x"] + frame["width"] - 84 + 9, frame["y"] + 14)
            xdotool("mousemove", *cursor)
            time.sleep(0.2)
            xdotool("click", 1)
            menu = wait_for(lambda: next(iter(client.top_windows(class_name="#32768",
                                                                 visible=True)), None),
                            what="the caption menu")
            # Right-aligned to the cursor moved by (10, 16).
            self.assertEqual((menu["x"] + menu["width"], menu["y"]),
                             (cursor[0] + 10, cursor[1] + 16))
            self.shot("caption-menu")
            xdotool("mousemove", menu["x"] + menu["width"] // 2, menu["y"] + menu["height"] // 6)
            time.sleep(0.2)
            xdotool("click", 1)
            engine.wait_for_record("reload-ignore-cache", bbs, since=since)
            self.assertIn((bbs, "http://127.0.0.1/game"), self.loads_since(engine, since))

            # The browser window holds the keyboard after a load; F5 reaches the
            # frame's accelerators once the player comes back to the frame from
            # another window, which gives the frame the focus.
            holder = client.holder()
            try:
                xdotool("mousemove", 1160, 960)
                xdotool("click", 1)
                time.sleep(0.3)
                since, _ = engine.records()
                self.click_caption(frame, 600)
                xdotool("key", "F5")
            finally:
                client.end_holder(holder)
            engine.wait_for_record("reload-ignore-cache", bbs, since=since)
            self.assertIn((bbs, "http://127.0.0.1/game"), self.loads_since(engine, since))


if __name__ == "__main__":
    unittest.main()
