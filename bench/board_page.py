#!/usr/bin/env python3
"""The board's page for a pile of shared ghosts: MAPS maps of RUNS runs each (200 ghosts by default), every run
three laps of a circle of its map's size at 120 frames a second, each a little slower than the last (the pile
bench/BoardBench.cpp times the terminal board on). lumaro-ghost board writes the page of the whole folder;
headless Chromium opens it from its file URL (a fresh profile each time) and, once it has loaded, a run of the
last group is clicked: the replay's first moving frame ("replay-first-move", marked by the replay's player) is
the figure, timed from the click ("board-click", marked in the page just before it) and from the start of
navigation. Prints the page's size, the time to write it, and for each of REPEAT openings the load event, the
click and the first moving frame.

    bench/board_page.py [--maps M] [--runs R] [--repeat N] [--build build/dev]
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
from ghost_lines import frame_line, header_line  # noqa: E402

parser = argparse.ArgumentParser()
parser.add_argument("--maps", type=int, default=5)
parser.add_argument("--runs", type=int, default=40)
parser.add_argument("--repeat", type=int, default=3)
parser.add_argument("--build", default="build/dev")
options = parser.parse_args()

LAPS, FRAMES_PER_SECOND, LAP_SECONDS = 3, 120, 20.0


def write_run(path, map_index, run):
    """Three laps of a circle of radius 2000 + 500 x map, a lap taking 20 s + 10 ms x run."""
    radius, lap_seconds = 2000.0 + 500.0 * map_index, LAP_SECONDS + 0.01 * run
    count = int(lap_seconds * LAPS * FRAMES_PER_SECOND) + 1
    lines = []
    for i in range(count):
        seconds = i / FRAMES_PER_SECOND
        angle = 2 * math.pi * seconds / lap_seconds
        lines.append(frame_line(int(seconds * 1000), radius * math.cos(angle), radius * math.sin(angle), 17.0, 0, 0, 0))
    with open(path, "w", newline="") as f:
        f.write(header_line(f"Map{map_index}", f"Player{run}", int((count - 1) / FRAMES_PER_SECOND * 1000), LAPS))
        f.writelines(lines)


work = tempfile.mkdtemp(prefix="lumaro-board-bench-")
folder = f"{work}/pile"
os.mkdir(folder)
for map_index in range(options.maps):
    for run in range(options.runs):
        write_run(f"{folder}/Map{map_index}-Player{run}.ghost", map_index, run)
files = sorted(os.listdir(folder))
ghost_bytes = sum(os.path.getsize(f"{folder}/{name}") for name in files)
started = time.monotonic()
subprocess.run([f"{options.build}/bin/lumaro-ghost", "board", folder, "-o", f"{work}/board.html"], check=True)
written = time.monotonic() - started
size = os.path.getsize(f"{work}/board.html")
print(f"{len(files)} ghosts of {LAPS} laps at {FRAMES_PER_SECOND} frames a second on {options.maps} maps "
      f"({ghost_bytes / 1e6:.1f} MB of ghost files): page {size / 1e6:.2f} MB, written in {written:.2f} s")

CLICK = """(() => {
  const rows = document.querySelectorAll('.group:last-of-type table.ranking tbody tr');
  performance.mark('board-click');
  rows[rows.length - 1].querySelector('td.file').click();
  return document.getElementById('replay-dialog').open;
})()"""
MARKS = """JSON.stringify(['board-click', 'replay-first-move']
  .map((name) => (performance.getEntriesByName(name)[0] || {}).startTime ?? null))"""

chromium = devtools_pipe.find_chromium()
for attempt in range(options.repeat):
    browser = devtools_pipe.Browser(chromium, width=1280, height=900, timeout=120)
    try:
        browser.open(f"file://{work}/board.html")
        load = browser.evaluate("performance.getEntriesByType('navigation')[0].loadEventEnd")
        opened = browser.evaluate(CLICK)
        deadline = time.monotonic() + 60
        click, moved = json.loads(browser.evaluate(MARKS))
        while opened and moved is None and time.monotonic() < deadline:
            time.sleep(0.02)
            click, moved = json.loads(browser.evaluate(MARKS))
        if moved is None:
            print(f"opening {attempt + 1}: the replay never played")
        else:
            print(f"opening {attempt + 1}: load event at {load / 1000:.2f} s, clicked at {click / 1000:.2f} s, "
                  f"first moving frame {(moved - click) / 1000:.3f} s after the click "
                  f"({moved / 1000:.2f} s from navigation)")
        print("  complaints:", json.dumps(browser.complaints()))
    finally:
        browser.close()
subprocess.run(["rm", "-rf", work])
