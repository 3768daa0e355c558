#!/usr/bin/env python3
"""Game window benchmark: the cost of one DrawFrame at 1024 x 768 and at
1920 x 1080 beside a plain BitBlt of a window-sized bitmap (the floor), and
the time from the page's game request (OpenGameWindow) to the game window
mapped on the X screen. Run under tools/with-display after `make build`:

    tools/with-display python3 bench/drawframe.py [runs]
"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import WINDOWS, Client, client_exe, wine_env  # noqa: E402


def draw_frame():
    bench = os.path.join(WINDOWS, "bench", "DrawFrameBench.exe")
    exe = subprocess.run(["winepath", "-w", client_exe()], env=wine_env(), capture_output=True,
                         text=True, check=True).stdout.strip()
    out = subprocess.run(["wine", bench, exe, "200"], env=wine_env(), capture_output=True,
                         text=True, timeout=300)
    print(out.stdout.rstrip())


def mapped_titled_windows():
    """X windows on screen titled like the game; the login background
    carries the same title, so the game window is the new one."""
    return set(subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Ashgrove$"],
                              capture_output=True, text=True).stdout.split())


def game_request_to_visible(runs):
    times = []
    for _ in range(runs):
        with Client() as client:
            engine = client.automation
            browser = engine.wait_for_browsers(1, timeout=20)[0]
            engine.wait_for_record("load-url", browser)
            time.sleep(0.5)
            before = mapped_titled_windows()
            start = time.perf_counter()
            engine.call_function(browser, 0, "OpenGameWindow", "S1", "http://127.0.0.1/game")
            while not mapped_titled_windows() - before:
                if time.perf_counter() - start > 20:
                    raise SystemExit("the game window did not appear")
                time.sleep(0.002)
            times.append(time.perf_counter() - start)
    print("game request to game window visible: median %.3f s over %d runs (min %.3f)"
          % (statistics.median(times), runs, min(times)))


if __name__ == "__main__":
    draw_frame()
    game_request_to_visible(int(sys.argv[1]) if len(sys.argv) > 1 else 5)
