#!/usr/bin/env python3
"""Start-up benchmark: time from process start to the three login windows
visible, and the client's peak memory then, beside a minimal Win32 program
showing one window under the same Wine (the floor). Run under
tools/with-display after `make build`:

    tools/with-display python3 bench/startup.py [runs]
"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import PROBE, WINDOWS, client_exe, wine_env  # noqa: E402


def visible_windows(env, exe_name):
    out = subprocess.run(["wine", PROBE, exe_name], env=env, capture_output=True).stdout
    return out.decode("utf-8", "replace").count('"visible": true')


def peak_rss_kib(pid):
    """Peak resident size of the process and its descendants (VmHWM), KiB."""
    total = 0
    for candidate in [pid] + descendants(pid):
        try:
            with open("/proc/%d/status" % candidate) as status:
                for line in status:
                    if line.startswith("VmHWM:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def descendants(pid):
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as stat:
                    if int(stat.read().rsplit(")", 1)[1].split()[1]) == pid:
                        found.append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    return found + [d for child in found for d in descendants(child)]


def measure(exe, args, exe_name, want_visible):
    env = wine_env()
    start = time.monotonic()
    process = subprocess.Popen(["wine", exe] + args, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        while visible_windows(env, exe_name) < want_visible:
            if time.monotonic() - start > 60:
                raise RuntimeError("%s showed no window" % exe)
            time.sleep(0.02)
        elapsed = time.monotonic() - start
        memory = peak_rss_kib(process.pid)
    finally:
        process.terminate()
        process.wait()
    return elapsed, memory


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    floor_exe = os.path.join(WINDOWS, "bench", "MinimalWindow.exe")
    rows = []
    for _ in range(runs):
        rows.append((measure(floor_exe, [], "MinimalWindow.exe", 1),
                     measure(client_exe(), ["--engine-backend=test"], "Plover2.exe", 3)))
    floor_time = statistics.median(r[0][0] for r in rows)
    client_time = statistics.median(r[1][0] for r in rows)
    floor_mem = statistics.median(r[0][1] for r in rows)
    client_mem = statistics.median(r[1][1] for r in rows)
    print("start-up to visible (median of %d): floor %.3f s, client %.3f s, ratio %.2f"
          % (runs, floor_time, client_time, client_time / floor_time))
    print("peak memory then: floor %d KiB, client %d KiB (with its render process), ratio %.2f"
          % (floor_mem, client_mem, client_mem / max(floor_mem, 1)))


if __name__ == "__main__":
    main()
