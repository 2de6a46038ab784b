#!/usr/bin/env python3
"""The replay page's size and how soon it plays, for long runs: two runs of about FRAMES frames each (three laps,
the second a little faster) are written as ghost files, lumaro-ghost html writes their page, and headless
Chromium opens it from its file URL; the page marks its first moving frame ("replay-first-move"), whose time
from the start of navigation is the figure. Prints the page's size, the time to write it and the time to
play, for each of REPEAT openings (a fresh profile each).

    bench/replay_page.py [--frames N] [--repeat R] [--build build/dev]
"""
import argparse
import json
import math
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "ghost"))
import devtools_pipe  # noqa: E402
from ghost_lines import FRAME_SPACING_MS, frame_line, header_line  # noqa: E402

parser = argparse.ArgumentParser()
parser.add_argument("--frames", type=int, default=1_000_000)
parser.add_argument("--repeat", type=int, default=3)
parser.add_argument("--build", default="build/dev")
options = parser.parse_args()

# Three laps of a circle at 2000 units a second, a frame every tick of the stand-in host's scenarios (8 ms): each
# frame moves about 16 units, the most the page's compact points hold in two characters a coordinate. B is
# 1% faster. (The stand-in host's Speedway would need a 2,700-second lap for a million frames: 15 units a
# second, far slower than any player and lighter on the page.)
def write_run(path, player, pace):
    count = int(options.frames * pace)
    radius = options.frames * FRAME_SPACING_MS / 1000 * 2000 / 3 / (2 * math.pi)
    with open(path, "w", newline="") as f:
        f.write(header_line("Ring", player, (count - 1) * FRAME_SPACING_MS, 3))
        for i in range(count):
            angle = 6 * math.pi * i / (count - 1)
            f.write(frame_line(i * FRAME_SPACING_MS, radius * math.cos(angle), radius * math.sin(angle), 17.0, 0, 0, 0))


work = tempfile.mkdtemp(prefix="lumaro-replay-bench-")
ghosts = [f"{work}/long-a.ghost", f"{work}/long-b.ghost"]
write_run(ghosts[0], "Ann", 1.0)
write_run(ghosts[1], "Bea", 0.99)
frames = [sum(1 for _ in open(g, "rb")) - 1 for g in ghosts]
started = time.monotonic()
subprocess.run([f"{options.build}/bin/lumaro-ghost", "html", *ghosts, "-o", f"{work}/replay.html"], check=True)
written = time.monotonic() - started
size = os.path.getsize(f"{work}/replay.html")
print(f"runs of {frames[0]:,} and {frames[1]:,} frames ({sum(os.path.getsize(g) for g in ghosts) / 1e6:.1f} MB of "
      f"ghost files): page {size / 1e6:.2f} MB, written in {written:.2f} s")

chromium = devtools_pipe.find_chromium()
for attempt in range(options.repeat):
    browser = devtools_pipe.Browser(chromium, timeout=120)
    try:
        browser.open(f"file://{work}/replay.html")
        deadline = time.monotonic() + 60
        mark = None
        while mark is None and time.monotonic() < deadline:
            mark = browser.evaluate(
                "(performance.getEntriesByName('replay-first-move')[0] || {}).startTime ?? null")
            time.sleep(0.05)
        load = browser.evaluate("performance.getEntriesByType('navigation')[0].loadEventEnd")
        print(f"opening {attempt + 1}: load event at {load / 1000:.2f} s, first moving frame at "
              f"{mark / 1000:.2f} s" if mark is not None else f"opening {attempt + 1}: never played")
        print("  complaints:", json.dumps(browser.complaints()))
    finally:
        browser.close()
subprocess.run(["rm", "-rf", work])
