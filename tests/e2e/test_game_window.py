"""The game window as the login page opens it: its own caption bar and
buttons, the marker cookie of its pages, and the close question."""

import time
import unittest

from harness import Client, ClientTestCase, wait_for, xdotool

CREAM = (224, 222, 182)


def open_game(client, caption="S1"):
    engine = client.automation
    browser = engine.wait_for_browsers(1, timeout=20)[0]
    engine.wait_for_record("load-url", browser)
    engine.call_function(browser, 0, "OpenGameWindow", caption, "http://127.0.0.1/game")
    frame = wait_for(lambda: next((w for w in client.top_windows(visible=True)
                                   if w["class"].startswith("AfxFrame")), None),
                     what="the game window")
    time.sleep(0.5)
    return engine, frame


def dialog_with_caption(client, caption):
    return next((w for w in client.top_windows(class_name="#32770", visible=True)
                 if w["title"] == caption), None)


class GameWindow(ClientTestCase):
    def test_maximised_with_its_own_caption_and_the_server_label(self):
        with Client() as client:
            _, frame = open_game(client)
            self.assertTrue(frame["zoomed"])
            self.assertEqual(frame["title"], "Ashgrove")
            # The client area starts below the 26-pixel strip the frame paints.
            self.assertEqual(frame["client_y"] - frame["y"], 26 + 3)
            xdotool("mousemove", 600, 500)
            time.sleep(0.3)
            screen, _ = self.shot("game-window")
            x0, y0 = max(frame["x"], 0), max(frame["y"], 0)
            # Dark caption bar, and the label " S1" in the layout's caption
            # colour right of the game tab's picture.
            self.assertLess(max(screen.pixel(x0 + 600, y0 + 12)), 90)
            label = [screen.pixel(x, y) for x in range(x0 + 32, x0 + 70)
                     for y in range(y0 + 8, y0 + 30)]
            near = [p for p in label if all(abs(a - b) < 40 for a, b in zip(p, CREAM))]
            self.assertGreater(len(near), 10, "no caption-coloured label pixels")

    def test_each_load_end_marks_the_page_host_on_the_io_thread(self):
        with Client() as client:
            engine, _ = open_game(client)
            cookie = engine.wait_for_record(
                "cookie", match=lambda r: r.fields[0] == "http://127.0.0.1/")
            self.assertEqual(cookie.fields[1:], ["plover=1", "", "127.0.0.1", "/", "0", "0", "0",
                                                 "io", "set"])

    def game_browser(self, engine):
        return engine.wait_for_record(
            "load-url", match=lambda r: r.fields[0] == "http://127.0.0.1/game").browser

    def test_marker_cookie_for_every_frame_and_none_for_a_blank_page(self):
        with Client() as client:
            engine, _ = open_game(client)
            game = self.game_browser(engine)
            cases = [("http://127.0.0.1:8080/game?x=1", 3, 3), ("about:blank", 2, 0)]
            for url, frames, cookies in cases:
                with self.subTest(url=url):
                    since, _ = engine.records()
                    engine.finish_load(game, frames, 200, url)
                    time.sleep(1.0)
                    _, records = engine.records(since)
                    found = [r.fields for r in records if r.kind == "cookie"]
                    self.assertEqual(len(found), cookies)
                    for fields in found:
                        self.assertEqual(fields, ["http://127.0.0.1:8080/", "plover=1", "",
                                                  "127.0.0.1", "/", "0", "0", "0", "io", "set"])

    def test_game_view_popups_go_to_the_external_browser_and_page_calls_do_nothing(self):
        with Client() as client:
            engine, frame = open_game(client)
            game = self.game_browser(engine)
            since, _ = engine.records()
            for url, name in (("http://127.0.0.1/oauth", "oauth"),
                              ("http://127.0.0.1/game?s=2", "_game")):
                engine.request_popup(game, 0, url, name)
                popup = engine.wait_for_record("popup", game, since=since,
                                               match=lambda r, u=url: r.fields[0] == u)
                self.assertEqual(popup.fields[2], "canceled")
            wait_for(lambda: len(client.external_urls()) == 2, what="two external openings")
            # Each opening is a browser process of its own; they may log in
            # either order.
            self.assertCountEqual(client.external_urls(),
                                  ["http://127.0.0.1/oauth", "http://127.0.0.1/game?s=2"])

            engine.call_function(game, 0, "OpenGameWindow", "S2", "http://127.0.0.1/game?s=2")
            time.sleep(1.0)
            _, records = engine.records(since)
            self.assertEqual([r for r in records if r.kind == "load-url"], [])
            self.assertEqual(len([w for w in client.windows() if w["parent"] and
                                  client.window(w["parent"])["class"] == "MDIClient"]), 1)

    def test_close_asks_first_and_cancel_keeps_the_window(self):
        with Client() as client:
            _, frame = open_game(client)
            right = frame["x"] + frame["width"]
            close_x, close_y = right - 24 + 9 - max(0, right - 1280), max(frame["y"], 0) + 5 + 9
            xdotool("mousemove", close_x, close_y)
            time.sleep(0.2)
            # On a loaded machine the first click on a freshly shown frame
            # can be lost; while the question is up a second one does nothing.
            for attempt in range(3):
                xdotool("click", 1)
                try:
                    box = wait_for(lambda: dialog_with_caption(client, "Ashgrove微端"),
                                   timeout=4, what="the quit question")
                    break
                except AssertionError:
                    if attempt == 2:
                        raise
            texts = [w["title"] for w in client.children(box["hwnd"])]
            self.assertIn("你确定要退出微端?", texts)
            self.shot("quit-question")
            xdotool("key", "Escape")
            wait_for(lambda: not dialog_with_caption(client, "Ashgrove微端"))
            self.assertIsNone(client.process.poll(), "Cancel keeps the client running")
            xdotool("click", 1)
            wait_for(lambda: dialog_with_caption(client, "Ashgrove微端"), what="the question again")
            xdotool("key", "Return")
            self.assertEqual(client.wait_exit(), 0)


class BackToTheLoginScreen(ClientTestCase):
    def choose_from_menu(self, client, frame, entry):
        """Opens the caption menu with a real click and clicks its entry (0-based)."""
        right = min(frame["x"] + frame["width"], 1280)
        xdotool("mousemove", right - 84 + 9, max(frame["y"], 0) + 5 + 9)
        time.sleep(0.2)
        xdotool("click", 1)
        menu = wait_for(lambda: next(iter(client.top_windows(class_name="#32768", visible=True)),
                                     None), what="the caption menu")
        row = menu["height"] / 3
        xdotool("mousemove", menu["x"] + menu["width"] // 2, int(menu["y"] + row * (entry + 0.5)))
        time.sleep(0.2)
        xdotool("click", 1)

    def confirm(self, client, text):
        box = wait_for(lambda: dialog_with_caption(client, "Ashgrove微端"), what=text)
        self.assertIn(text, [w["title"] for w in client.children(box["hwnd"])])
        xdotool("key", "Return")

    def login_shown(self, client):
        tops = client.top_windows()
        frame = next(w for w in tops if w["class"].startswith("AfxFrame"))
        dialogs = [w for w in tops if w["class"] == "#32770" and w["visible"]]
        return len(dialogs) == 3 and not frame["visible"]

    def test_each_question_asks_with_ok_cancel_and_a_question_icon_and_cancel_changes_nothing(
            self):
        SS_ICON = 0x3
        with Client() as client:
            engine, frame = open_game(client)
            for entry, text in ((1, "你确实要退出到切换账号页面?"), (2, "你确实要返回到服务器页面?")):
                with self.subTest(text=text):
                    since, _ = engine.records()
                    self.choose_from_menu(client, frame, entry)
                    box = wait_for(lambda: dialog_with_caption(client, "Ashgrove微端"), what=text)
                    controls = client.children(box["hwnd"])
                    self.assertIn(text, [c["title"] for c in controls])
                    buttons = sorted(c["title"] for c in controls if c["class"] == "Button")
                    self.assertEqual(buttons, ["Cancel", "OK"])
                    self.assertTrue(any(c["class"] == "Static" and c["style"] & 0x1F == SS_ICON
                                        for c in controls), "no icon")
                    self.shot("question-%d" % entry)
                    xdotool("key", "Escape")
                    wait_for(lambda: not dialog_with_caption(client, "Ashgrove微端"))
                    time.sleep(1.3)  # longer than the switch-account redraw pause
                    self.assertTrue(client.window(frame["hwnd"])["visible"])
                    self.assertFalse(self.login_shown(client))
                    _, records = engine.records(since)
                    self.assertEqual([r for r in records if r.kind.startswith(("load", "reload"))],
                                     [])

    def test_return_to_server_reloads_the_login_pages(self):
        with Client() as client:
            engine, frame = open_game(client)
            since, _ = engine.records()
            self.choose_from_menu(client, frame, 2)
            self.confirm(client, "你确实要返回到服务器页面?")
            wait_for(lambda: self.login_shown(client), what="the login screen")
            engine.wait_for_record("reload-ignore-cache", 1, since=since)

    def test_switch_account_loads_the_logout_page_then_rebuilds_the_panels(self):
        with Client() as client:
            engine, frame = open_game(client)
            since, _ = engine.records()
            self.choose_from_menu(client, frame, 1)
            self.confirm(client, "你确实要退出到切换账号页面?")
            logout = engine.wait_for_record(
                "load-url", match=lambda r: r.fields[0] == "http://127.0.0.1/logout", since=since)
            self.assertNotEqual(logout.browser, 1, "the game view loads the logout page")
            wait_for(lambda: self.login_shown(client), what="the login screen")
            login = next(w for w in client.top_windows(visible=True)
                         if w["class"] == "#32770" and w["title"] == ""
                         and any(c["class"] == "MiniBrowser" for c in client.children(w["hwnd"])))
            ids = [c["id"] for c in client.children(login["hwnd"]) if c["class"] == "MiniBrowser"]
            self.assertEqual(ids, [5001], "a freshly built panel")


if __name__ == "__main__":
    unittest.main()
