"""The login screen as a player meets it: start-up, dragging, the picture
buttons, the login panels, popups from the login page, the address prompts
and layouts that lack what start-up needs."""

import os
import subprocess
import sys
import tempfile
import time
import unittest

from harness import (BUILD, ROOT, WINEPREFIX, WS_EX_APPWINDOW, WS_EX_LAYERED, Client,
                     ClientTestCase, drag, wait_for, xdotool)

LOGIN_W, LOGIN_H = 1105, 600
WM_SYSCOMMAND, SC_CLOSE, SC_RESTORE = 0x0112, 0xF060, 0xF120


def login_stack(client):
    """(background, login, top) top-level windows, found by their owner chain."""
    tops = client.top_windows()
    frame = next((w for w in tops if w["class"].startswith("AfxFrame")), None)
    if not frame:
        return None
    background = next((w for w in tops if w["owner"] == frame["hwnd"]), None)
    login = background and next((w for w in tops if w["owner"] == background["hwnd"]), None)
    top = login and next((w for w in tops if w["owner"] == login["hwnd"]), None)
    return (background, login, top) if top else None


def visible_stack(client):
    stack = login_stack(client)
    return stack if stack and all(w["visible"] for w in stack) else None


def message_boxes(client):
    """The framework's message boxes: dialogs captioned with the application's title."""
    return [w for w in client.top_windows(class_name="#32770", visible=True)
            if w["title"] == "Plover2"]


def box_text(client, box):
    statics = [w for w in client.children(box["hwnd"]) if w["id"] == 0xFFFF]
    return statics[0]["title"] if statics else None


class StartUp(ClientTestCase):
    def test_three_windows_stacked_centred_with_the_background_picture(self):
        with Client(automation=False) as client:
            background, login, top = wait_for(lambda: visible_stack(client), timeout=30,
                                              what="the login screen")
            time.sleep(0.5)
            background, login, top = login_stack(client)
            for window in (background, login, top):
                self.assertEqual((window["width"], window["height"]), (LOGIN_W, LOGIN_H))
            # The upper windows sit at the background's client origin.
            for window in (login, top):
                self.assertEqual((window["x"], window["y"]),
                                 (background["client_x"], background["client_y"]))
            # Centred on the work area (the whole virtual screen here).
            screen, path = self.shot("login-start")
            self.assertAlmostEqual(background["x"] + LOGIN_W / 2, screen.width / 2, delta=2)
            self.assertAlmostEqual(background["y"] + LOGIN_H / 2, screen.height / 2, delta=2)
            # Only the background has a taskbar entry; all three are layered.
            self.assertTrue(background["exstyle"] & WS_EX_APPWINDOW)
            for window in (login, top):
                self.assertFalse(window["exstyle"] & WS_EX_APPWINDOW)
            for window in (background, login, top):
                self.assertTrue(window["exstyle"] & WS_EX_LAYERED)
            self.assertEqual(background["title"], "Ashgrove")
            self.assert_background_picture_shows(screen, background)

    def assert_background_picture_shows(self, screen, background):
        x0, y0 = background["x"], background["y"]
        # The colour-keyed dialog surface (light grey) must be invisible: away
        # from the panel and buttons the dark skin shows.
        for dx, dy in ((150, 300), (1050, 560), (200, 560)):
            r, g, b = screen.pixel(x0 + dx, y0 + dy)
            self.assertLess(max(r, g, b), 150, "key colour or desktop at %d,%d" % (dx, dy))
        # The picture's transparent corner blends with the desktop (black).
        self.assertEqual(screen.pixel(x0, y0), (0, 0, 0))
        # Minimise and close buttons are drawn at their places.
        lit = [screen.pixel(x0 + 942 + dx, y0 + 67 + dy) for dx in range(-6, 7)
               for dy in range(-6, 7)]
        self.assertTrue(any(max(p) > 150 for p in lit), "no button glyph drawn")


class Dragging(ClientTestCase):
    def test_drag_on_the_background_moves_the_stack(self):
        with Client(automation=False) as client:
            background, _, _ = wait_for(lambda: visible_stack(client), timeout=30)
            time.sleep(0.3)
            drag((background["x"] + 150, background["y"] + 300), (-60, 40))
            moved, login, top = login_stack(client)
            self.assertEqual((moved["x"], moved["y"]), (background["x"] - 60, background["y"] + 40))
            for window in (login, top):
                self.assertEqual((window["x"], window["y"]), (moved["client_x"], moved["client_y"]))

    def test_drag_past_the_left_edge_gives_negative_coordinates(self):
        with Client(automation=False) as client:
            background, _, _ = wait_for(lambda: visible_stack(client), timeout=30)
            time.sleep(0.3)
            # Grab below the panel, far enough right for the pointer to stay on screen.
            drag((background["x"] + 600, background["y"] + 560), (-background["x"] - 200, 0))
            moved, login, top = login_stack(client)
            self.assertLess(moved["x"], 0)
            self.assertLess(login["x"], 0)
            self.assertEqual(top["x"], login["x"])


class PictureButtons(ClientTestCase):
    def click(self, x, y):
        xdotool("mousemove", x, y)
        time.sleep(0.1)
        xdotool("click", 1)
        time.sleep(0.4)

    def click_until(self, client, point, outcome, what, attempts=3):
        """Clicks until `outcome` holds. A click that lands while a freshly
        shown stack is still being mapped can be lost on a loaded machine;
        the outcome, not the first click, is what the test is about."""
        for attempt in range(attempts):
            self.click(*point)
            try:
                return wait_for(outcome, timeout=4, what=what)
            except AssertionError:
                if attempt == attempts - 1:
                    raise

    def test_minimise_takes_the_stack_and_restore_brings_it_back(self):
        with Client(automation=False) as client:
            background, _, _ = wait_for(lambda: visible_stack(client), timeout=30)
            time.sleep(0.3)
            minimised = self.click_until(
                client, (background["client_x"] + 942, background["client_y"] + 67),
                lambda: (lambda s: s if s[0]["iconic"] else None)(login_stack(client)),
                "the minimised background")
            restore(client, minimised[0]["hwnd"])
            restored = wait_for(lambda: (lambda s: s if s and not s[0]["iconic"] else None)(
                visible_stack(client)), what="the restored stack")
            self.assertEqual((restored[1]["x"], restored[1]["y"]),
                             (restored[0]["client_x"], restored[0]["client_y"]))
            if minimised[1]["visible"] or minimised[2]["visible"]:
                # Windows hides owned windows with their minimised owner; Wine 8
                # leaves them on screen. The client relies on the platform here.
                self.skipTest("platform gap: Wine kept the owned login and top windows visible "
                              "while the background was minimised")

    def test_close_button_asks_the_game_window_which_ends_the_program(self):
        with Client(automation=False) as client:
            background, _, _ = wait_for(lambda: visible_stack(client), timeout=30)
            time.sleep(0.3)
            self.click(background["client_x"] + 972, background["client_y"] + 80)
            confirm_quit(client)
            self.assertEqual(client.wait_exit(), 0)

    def test_taskbar_close_goes_to_the_game_window(self):
        with Client(automation=False) as client:
            background, _, _ = wait_for(lambda: visible_stack(client), timeout=30)
            post(client, background["hwnd"], WM_SYSCOMMAND, SC_CLOSE, 0)
            confirm_quit(client)
            self.assertEqual(client.wait_exit(), 0)


def confirm_quit(client):
    """The game window's close question; OK is its default button."""
    box = wait_for(lambda: next((w for w in client.top_windows(class_name="#32770", visible=True)
                                 if w["title"] == "Ashgrove微端"), None),
                   what="the quit confirmation")
    statics = [w for w in client.children(box["hwnd"]) if w["id"] == 0xFFFF]
    assert statics and statics[0]["title"] == "你确定要退出微端?", statics
    xdotool("key", "Return")


def post(client, hwnd, message, wparam, lparam):
    subprocess.run(["wine", client_tool(), "post", str(hwnd), str(message), str(wparam),
                    str(lparam)], env=client.env, check=True, capture_output=True, timeout=60)


def restore(client, hwnd):
    # What the taskbar button does for a minimised window.
    post(client, hwnd, WM_SYSCOMMAND, SC_RESTORE, 0)


def client_tool():
    from harness import PROBE
    return PROBE


class AddressPrompts(ClientTestCase):
    def prompt(self, client, caption):
        return wait_for(lambda: next((w for w in client.top_windows(class_name="#32770",
                                                                    visible=True)
                                      if w["title"] == caption), None), timeout=30,
                        what="the prompt %r" % caption)

    def test_login_prompt_comes_first_and_refuses_an_empty_address(self):
        with Client(variant="prompt-login", automation=False) as client:
            prompt = self.prompt(client, "登陆链接输入框")
            self.assertIsNone(visible_stack(client), "no login window before the prompt")
            xdotool("key", "Return")
            box = wait_for(lambda: next(iter(message_boxes(client)), None))
            self.assertEqual(box_text(client, box), "不能为空")
            self.shot("prompt-empty")
            xdotool("key", "Return")
            wait_for(lambda: not message_boxes(client))
            self.assertTrue(client.window(prompt["hwnd"])["visible"], "the prompt stays open")
            xdotool("type", " ")
            xdotool("key", "Return")
            wait_for(lambda: visible_stack(client), timeout=30, what="the login screen")

    def test_cancelling_a_prompt_ends_the_process_at_once(self):
        for variant, caption in (("prompt-login", "登陆链接输入框"),
                                 ("prompt-logout", "注销cookie链接输入框")):
            with self.subTest(variant=variant):
                with Client(variant=variant, automation=False) as client:
                    self.prompt(client, caption)
                    xdotool("key", "Escape")
                    self.assertEqual(client.wait_exit(), 0)

    def test_both_prompts_in_order_then_the_login_screen(self):
        with Client(variant="prompt-both", automation=False) as client:
            self.prompt(client, "登陆链接输入框")
            xdotool("type", "http://127.0.0.1/login")
            xdotool("key", "Return")
            self.prompt(client, "注销cookie链接输入框")
            xdotool("type", "http://127.0.0.1/logout")
            xdotool("key", "Return")
            wait_for(lambda: visible_stack(client), timeout=30, what="the login screen")


class IncompleteLayouts(ClientTestCase):
    def test_missing_parts_are_named_and_the_client_ends_cleanly(self):
        cases = (("no-game", "界面布局中没有游戏，微端无法启动。"),
                 ("empty", "界面布局中没有游戏，微端无法启动。"),
                 ("no-login", "界面布局缺少登录页面（login），微端无法启动。"),
                 ("no-logout", "界面布局缺少注销页面（logout），微端无法启动。"))
        for variant, text in cases:
            with self.subTest(variant=variant):
                with Client(variant=variant, automation=False) as client:
                    box = wait_for(lambda: next(iter(message_boxes(client)), None), timeout=30,
                                   what="the message")
                    self.assertEqual(box_text(client, box), text)
                    xdotool("key", "Return")
                    self.assertEqual(client.wait_exit(), 0)


def urls_loaded(engine, browser):
    _, records = engine.records()
    return [r.fields[0] for r in records if r.kind == "load-url" and r.browser == browser]


class LoginPanels(ClientTestCase):
    def test_only_panels_with_bit_0_get_a_browser_and_ids_count_from_5000(self):
        with Client(variant="flags") as client:
            _, login, _ = wait_for(lambda: visible_stack(client), timeout=30)
            # One snapshot, so the window and its panels are seen in one place
            # even while the stack still settles on the screen.
            snapshot = client.windows()
            login = next(w for w in snapshot if w["hwnd"] == login["hwnd"])
            hosts = [w for w in snapshot
                     if w["parent"] == login["hwnd"] and w["class"] == "MiniBrowser"]
            self.assertEqual(sorted(h["id"] for h in hosts), [5000, 5001])
            tops = {(h["y"] - login["client_y"]) for h in hosts}
            self.assertEqual(tops, {99, 380}, "flag 1 and flag 3 panels, not flag 2")
            engine = client.automation
            browsers = engine.wait_for_browsers(2)
            # The hidden game window's view may have its browser by now too;
            # it shows the blank page until a game opens.
            loaded = sorted(u for b in browsers for u in urls_loaded(engine, b)
                            if u != "about:blank")
            self.assertEqual(loaded, ["http://127.0.0.1/login", "http://127.0.0.1/notice"])

    def test_the_panel_loads_its_address_once_when_the_browser_arrives(self):
        with Client() as client:
            engine = client.automation
            browser = engine.wait_for_browsers(1)[0]
            engine.wait_for_record("load-url", browser)
            time.sleep(0.5)
            self.assertEqual(urls_loaded(engine, browser), ["http://127.0.0.1/login"])

    def test_a_prompted_single_space_is_used_as_the_address(self):
        with Client(variant="prompt-login") as client:
            wait_for(lambda: any(w["title"] == "登陆链接输入框"
                                 for w in client.top_windows(class_name="#32770", visible=True)),
                     timeout=30)
            xdotool("type", " ")
            xdotool("key", "Return")
            engine = client.automation
            browser = engine.wait_for_browsers(1, timeout=20)[0]
            engine.wait_for_record("load-url", browser)
            self.assertEqual(urls_loaded(engine, browser), [" "])


def game_frame_shown(client):
    frames = client.top_windows()
    frame = next((w for w in frames if w["class"].startswith("AfxFrame")), None)
    stack = login_stack(client)
    return frame if frame and frame["visible"] and stack and not stack[0]["visible"] else None


class GameRequests(ClientTestCase):
    def start(self, client):
        engine = client.automation
        browser = engine.wait_for_browsers(1, timeout=20)[0]
        engine.finish_load(browser, 1, 200, "http://127.0.0.1/login")
        engine.wait_for_record("load-url", browser)
        return engine, browser

    def test_open_game_window_from_the_page_switches_to_the_game_window(self):
        with Client() as client:
            engine, browser = self.start(client)
            engine.call_function(browser, 0, "OpenGameWindow", "S1", "http://127.0.0.1/game")
            frame = wait_for(lambda: game_frame_shown(client), what="the game window")
            self.assertTrue(frame["zoomed"])

    def test_popups_follow_the_login_page_policy(self):
        cases = (
            ("http://127.0.0.1/oauth/authorize", "_game", "opened"),
            ("http://127.0.0.1/OAUTH/x", "", "opened"),
            ("http://127.0.0.1/external", "_blank", "canceled"),
            ("/page.html", "", "canceled"),
        )
        with Client() as client:
            engine, browser = self.start(client)
            for url, frame_name, outcome in cases:
                with self.subTest(url=url):
                    since, _ = engine.records()
                    engine.request_popup(browser, 0, url, frame_name)
                    record = engine.wait_for_record("popup", browser, since=since)
                    self.assertEqual(record.fields[2], outcome)
            # The shell opens the absolute URL with the desktop's browser. The
            # host-less text "127.0.0.1/page.html" is no URL to the shell, so it
            # falls back to iexplore.exe, which under Wine is Wine's own.
            try:
                urls = wait_for(lambda: client.external_urls(), what="the external opening")
                self.assertEqual(urls, ["http://127.0.0.1/external"])
            finally:
                # Wine's own browser window would cover the screen for later tests.
                time.sleep(1)
                subprocess.run(["wine", "taskkill", "/f", "/im", "iexplore.exe"], env=client.env,
                               capture_output=True, timeout=60)

    def test_a_game_target_asks_the_page_for_the_link_title_and_opens_the_game(self):
        with Client() as client:
            engine, browser = self.start(client)
            engine.focus_element(browser, 0, True, "S1 灰烬林地")
            since, _ = engine.records()
            engine.request_popup(browser, 0, "http://127.0.0.1/game", "main_game_2")
            popup = engine.wait_for_record("popup", browser, since=since)
            self.assertEqual(popup.fields[2], "canceled")
            asked = engine.wait_for_record("to-render", browser, since=since)
            self.assertEqual(asked.fields, ["PopGameWindow", "http://127.0.0.1/game",
                                            "main_game_2"])
            answer = engine.wait_for_record("to-browser", browser, since=since)
            self.assertEqual(answer.fields, ["PopGameWindow", "http://127.0.0.1/game",
                                             "S1 灰烬林地", "main_game_2"])
            wait_for(lambda: game_frame_shown(client), what="the game window")
            self.assertEqual(client.external_urls(), [])


class Connectivity(ClientTestCase):
    def test_without_a_network_the_failure_is_shown_once(self):
        if os.environ.get("PLOVER_NO_NETWORK"):
            return self.check_without_network()
        # Wine answers the connectivity question from its wineserver's view of
        # the network, so the whole Wine session runs in a network namespace
        # without interfaces, on a hard-linked copy of the prefix (one
        # wineserver per prefix).
        with tempfile.TemporaryDirectory(dir=BUILD) as scratch:
            prefix = os.path.join(scratch, "prefix")
            subprocess.run(["cp", "-al", WINEPREFIX, prefix], check=True)
            env = dict(os.environ, WINEPREFIX=prefix, PLOVER_NO_NETWORK="1")
            env.pop("DISPLAY", None)
            inner = subprocess.run(
                ["unshare", "--net", os.path.join(ROOT, "tools", "with-display"), sys.executable,
                 "-m", "unittest", "test_login_screen.Connectivity"],
                env=env, cwd=os.path.dirname(os.path.abspath(__file__)), capture_output=True,
                timeout=180)
            self.assertEqual(inner.returncode, 0, inner.stderr.decode("utf-8", "replace"))

    def check_without_network(self):
        with Client(automation=False) as client:
            box = wait_for(lambda: next(iter(message_boxes(client)), None), timeout=30,
                           what="the connectivity message")
            self.assertEqual(box_text(client, box), "网络连接失败")
            self.assertEqual(box["title"], "Plover2")
            xdotool("key", "Return")
            time.sleep(3)
            self.assertEqual(message_boxes(client), [], "the check runs once")
            self.assertTrue(visible_stack(client), "the login screen stays")


class SubProcess(ClientTestCase):
    def test_an_engine_sub_process_shows_nothing_and_ends_with_zero(self):
        with Client(args=["--type=gpu-process"], automation=False, backend=None) as client:
            self.assertEqual(client.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
