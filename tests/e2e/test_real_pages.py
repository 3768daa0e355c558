"""The player's journey on real pages: the client on its Chromium backend
with the demo portal, clicked and typed into with real input. What the pages
say is read through a second DevTools connection to the same Chromium."""

import subprocess
import time
import unittest

from harness import Client, ClientTestCase, wait_for, xdotool
from page_reader import PageReader, client_profile_dir
from test_updates import demo_portal

ENGINE_BROWSER = "AshgroveEngineBrowser"


def end_browser(profile):
    # Chromium may name its profile through another of the prefix's links.
    profile = "/".join(profile.split("/")[-2:])
    """A client ended from outside cannot close its Chromium, a Unix program
    Wine neither waits for nor kills: the test ends it, and waits until it is
    gone, as the next one cannot take its profile before."""
    subprocess.run(["pkill", "-f", profile], check=False)
    deadline = time.monotonic() + 10
    while subprocess.run(["pgrep", "-f", profile], capture_output=True).returncode == 0:
        if time.monotonic() > deadline:
            subprocess.run(["pkill", "-9", "-f", profile], check=False)
            deadline = time.monotonic() + 10
        time.sleep(0.1)


class RealPages(ClientTestCase):
    def setUp(self):
        self.profile = client_profile_dir()
        end_browser(self.profile)
        self.portal = demo_portal()
        self.addCleanup(self.portal.stop)
        self.client = Client(backend="chromium", automation=False)
        self.addCleanup(end_browser, self.profile)
        self.addCleanup(self.client.stop)
        self.client.start()
        self.reader = PageReader.from_profile(self.profile, timeout=30)
        self.addCleanup(self.reader.close)
        self.login = self.reader.wait_for_page("/login", timeout=30)
        self.reader.wait_for(self.login, "document.readyState === 'complete' && "
                                            "typeof window.OpenGameWindow === 'function'",
                                timeout=20)

    def requests(self):
        """The portal's request lines, without their times."""
        return [line.split("] ", 1)[-1] for line in self.portal.log().splitlines()]

    def login_view(self):
        """The engine browser window that shows the login page."""
        return wait_for(lambda: next((w for w in self.client.windows()
                                      if w["class"] == ENGINE_BROWSER and w["visible"]
                                      and w["width"] > 600), None), what="the login panel")

    def click(self, page, view, selector):
        x, y = self.reader.element_centre(page, selector)
        xdotool("mousemove", int(view["client_x"] + x), int(view["client_y"] + y))
        time.sleep(0.2)
        xdotool("click", 1)

    def game_frame(self):
        return wait_for(lambda: next((w for w in self.client.top_windows(visible=True)
                                      if w["class"].startswith("AfxFrame")), None),
                        timeout=20, what="the game window")

    def test_the_login_page_is_drawn_typed_into_and_enters_the_game(self):
        view = self.login_view()
        time.sleep(1)
        screen, _ = self.shot("real-login")
        # The portal's dark page, not the white of an empty panel.
        r, g, b = screen.pixel(view["x"] + 10, view["y"] + 10)
        self.assertLess(r + g + b, 300, "the login page is drawn in its panel")

        self.click(self.login, view, "input[name=name]")
        time.sleep(0.3)
        xdotool("type", "player1")
        self.assertEqual(self.reader.wait_for(
            self.login, "document.querySelector('input[name=name]').value"), "player1")

        self.click(self.login, view, "a.enter")
        frame = self.game_frame()
        self.assertTrue(frame["zoomed"])
        game = self.reader.wait_for_page("/game", timeout=20)
        self.reader.wait_for(game, "document.readyState === 'complete'")
        # The marker is set at the first load end, on the engine's IO thread;
        # a request after that carries it. Reloaded until one does, as the
        # setting may still be on its way on a busy machine.
        def marked():
            return any(line.startswith("GET /game ") and "plover=1=" in line
                       for line in self.requests())
        for _ in range(5):
            self.reader.evaluate(game, "location.reload()")
            try:
                wait_for(marked, timeout=4, what="the marker cookie at the game server")
                break
            except AssertionError:
                game = self.reader.wait_for_page("/game")
        self.assertTrue(marked(), "the marker cookie at the game server: %s" % self.requests())
        game = self.reader.wait_for_page("/game")
        self.assertIn("已收到", self.reader.wait_for(
            game, "document.readyState === 'complete' && document.body.innerText"))
        time.sleep(1)
        self.shot("real-game")

    def test_quick_start_opens_the_game_through_the_page_binding(self):
        self.click(self.login, self.login_view(), "#quick")
        self.game_frame()
        self.reader.wait_for_page("/game", timeout=20)

    def test_links_with_targets_go_outside_or_open_as_engine_popups(self):
        view = self.login_view()
        self.click(self.login, view, "a[href$='/external']")
        wait_for(lambda: "http://127.0.0.1/external" in self.client.external_urls(),
                 timeout=10, what="the external link at the external browser")
        self.click(self.login, view, "#oauth")
        popup = self.reader.wait_for_page("/oauth/authorize", timeout=20)
        self.assertIn("client=ashgrove", popup.url)
        # The engine's own popup window shows it.
        wait_for(lambda: any(w["class"] == ENGINE_BROWSER and w["parent"] == 0
                             for w in self.client.windows()), what="the popup window")


if __name__ == "__main__":
    unittest.main()
