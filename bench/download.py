#!/usr/bin/env python3
"""Download throughput: a 256 MiB package from the loopback update host
through the client's download thread and the update flow's file writes,
beside (a) a bare WinInet loop under the same Wine reading the same file in
the same 4096-byte reads, the floor the read size sets, and (b) curl
fetching it from the same server. Prints both ratios, the client's CPU use
during the transfer and its peak memory. Run after `make build`:

    python3 bench/download.py [MiB]
"""

import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from harness import ROOT, WINDOWS, wine_env  # noqa: E402

PATH = "/update/AshgroveSetup.exe"


def start_host(package, log):
    host = subprocess.Popen([sys.executable, os.path.join(ROOT, "tests", "update_host.py"),
                             "--port", "0", "--seconds", "900", "--log", log,
                             "--file", "%s=%s" % (PATH, package)],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(600):
        if os.path.exists(log):
            with open(log) as f:
                first = f.readline()
            if first.startswith("ready "):
                return host, int(first.split()[1])
        time.sleep(0.05)
    raise SystemExit("the update host did not start")


def bench(*words):
    out = subprocess.run(["wine", os.path.join(WINDOWS, "bench", "DownloadBench.exe")] +
                         [str(w) for w in words], env=wine_env(), capture_output=True, text=True,
                         timeout=900).stdout
    line = next((l for l in out.splitlines() if "bytes=" in l), None)
    if not line:
        raise SystemExit("DownloadBench printed nothing: %r" % out)
    return {k: float(v) for k, v in re.findall(r"(\w+)=([\d.]+)", line)}


def curl(port):
    if not shutil.which("curl"):
        return None
    start = time.perf_counter()
    subprocess.run(["curl", "-s", "-o", "/dev/null", "-H", "Range: bytes=0-",
                    "http://127.0.0.1:%d%s" % (port, PATH)], check=True, timeout=900)
    return time.perf_counter() - start


def main():
    mib = int(sys.argv[1]) if len(sys.argv) > 1 else 256
    work = tempfile.mkdtemp(prefix="download-bench-")
    package = os.path.join(work, "package.bin")
    with open(package, "wb") as f:
        for _ in range(mib):
            f.write(os.urandom(1 << 20))
    output = os.path.join(work, "written.bin")
    host, port = start_host(package, os.path.join(work, "host.log"))
    try:
        bare = bench("bare", port, PATH)
        thread = bench("thread", port, PATH, "Z:" + output.replace("/", "\\"))
        curl_seconds = curl(port)
    finally:
        os.unlink(os.path.join(work, "host.log"))  # stops the host
        host.wait(timeout=30)
    with open(package, "rb") as a, open(output, "rb") as b:
        same = hashlib.sha256(a.read()).digest() == hashlib.sha256(b.read()).digest()
    size = mib * 1048576
    rate = lambda seconds: size / seconds / 1048576
    print("package: %d MiB, written file %s the served one" % (mib, "equals" if same else
                                                               "DIFFERS FROM"))
    print("client thread + writes: %6.2f s  %7.1f MiB/s  cpu %.2f s  peak memory %.1f MiB"
          % (thread["seconds"], rate(thread["seconds"]), thread["cpu"],
             thread["peak_working_set_mib"]))
    print("bare WinInet 4096-byte: %6.2f s  %7.1f MiB/s  cpu %.2f s  peak memory %.1f MiB"
          % (bare["seconds"], rate(bare["seconds"]), bare["cpu"], bare["peak_working_set_mib"]))
    print("ratio client / bare loop throughput: %.3f" % (bare["seconds"] / thread["seconds"]))
    if curl_seconds is not None:
        print("curl:                   %6.2f s  %7.1f MiB/s" % (curl_seconds, rate(curl_seconds)))
        print("ratio client / curl throughput:      %.3f" % (curl_seconds / thread["seconds"]))
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
