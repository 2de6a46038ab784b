#!/usr/bin/env python3
"""The demo's replay page opened from a file URL in headless Chromium and checked with the browser's own
JavaScript over the DevTools protocol: it plays from the start at the speeds it offers, it pauses, the keys
step by lap and sector; at a sector's start each car marker stands where its ghost file puts the car at the
page's race time (within a pixel; a run's race time starts where it crosses A's start line) and the
difference shown is `lumaro-ghost compare --json`'s there (within 0.001 s); A's line is coloured by B's pace in
the picture's palette; a click on the map or on a trace seeks to where A passes there; the wheel zooms about
the pointer, keeps the markers on their runs, and the reset gives the whole map back; nothing is logged as an
error and nothing but the page is requested; the screenshot is not blank.
Then a ghost whose names hold markup and bytes that are not UTF-8: its page runs no script but its own and
shows the names as `lumaro-ghost info` prints them.

The page's clock is the test's: animation frames are queued, and the test runs them at times it chooses.

Arguments: LUMARO_HOST LUMARO_GHOST SHOWCASE_SCENARIO PNG_CHECKER SCREENSHOT_OUT. Exits 77 (skipped) when
Chromium is not installed."""
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import devtools_pipe  # noqa: E402

host, ghost_tool, scenario, checker, screenshot_out = sys.argv[1:6]
chromium = devtools_pipe.find_chromium()
if not chromium:
    print("Chromium is not installed (Debian package chromium): the replay page is not opened in a browser")
    sys.exit(77)

VIRTUAL_CLOCK = """(() => {
  let queue = [];
  let now = 0;
  window.requestAnimationFrame = (callback) => queue.push(callback);
  window.runFramesAt = (ms) => { now = ms; const due = queue; queue = []; due.forEach((f) => f(now)); };
})();"""

STATE = """JSON.stringify((() => {
  const box = (e) => { const r = e.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; };
  const map = document.getElementById("map").getBoundingClientRect();
  const now = document.querySelector("td.now");
  return {
    time: Number(document.getElementById("scrub").value),
    where: document.getElementById("where").textContent,
    play: document.getElementById("play").textContent,
    view: document.getElementById("map-box").dataset.view.split(" ").map(Number),
    map: [map.left, map.top],
    markers: Object.fromEntries([...document.querySelectorAll(".marker")].map((m) => [m.dataset.run, box(m)])),
    delta: Object.fromEntries([...document.querySelectorAll("#delta-readout span")]
        .map((s) => [s.dataset.run, s.textContent.slice(2)])),
    now: now ? [now.parentElement.rowIndex, now.cellIndex] : null,
  };
})())"""

KEYS = {"space": (" ", "Space", 32, " "), "left": ("ArrowLeft", "ArrowLeft", 37, None),
        "right": ("ArrowRight", "ArrowRight", 39, None), "up": ("ArrowUp", "ArrowUp", 38, None),
        "down": ("ArrowDown", "ArrowDown", 40, None), "home": ("Home", "Home", 36, None),
        "end": ("End", "End", 35, None)}

failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)


def frames_of(path):
    """(seconds from the first frame, x, y) of every frame line, as the import reads a clean file."""
    with open(path, "rb") as f:
        lines = f.read().decode().splitlines()[1:]
    fields = [line.split(",") for line in lines]
    first = int(fields[0][0])
    return [((int(f[0]) - first) / 1000, float(f[1]), float(f[2])) for f in fields]


def position_at(frames, t):
    before = max((f for f in frames if f[0] <= t), key=lambda f: f[0])
    after = min((f for f in frames if f[0] > t), key=lambda f: f[0], default=before)
    share = 0 if after is before else (t - before[0]) / (after[0] - before[0])
    return before[1] + share * (after[1] - before[1]), before[2] + share * (after[2] - before[2])


def start_of(frames, line):
    """The run time at which a run crosses the start line, across the way A sets off through the rearmost of
    the runs' first frames: a recording begins on it or up to a tick past it, so from its first two frames'
    pace."""
    (x0, y0), (hx, hy) = line
    along = [(x - x0) * hx + (y - y0) * hy for _, x, y in frames[:2]]
    return frames[0][0] - along[0] / ((along[1] - along[0]) / (frames[1][0] - frames[0][0]))


def seconds(text):
    return float(text.replace("\u2212", "-").replace(" s", ""))


def tool(*arguments):
    return subprocess.run([ghost_tool, *arguments], check=True, capture_output=True).stdout


work = tempfile.mkdtemp(prefix="lumaro-replay-")
subprocess.run([host, "--root", f"{work}/root", scenario], check=True, stdout=subprocess.DEVNULL)
ghosts = f"{work}/root/tessaro/data/Ghosts"
runs = {"A": f"{ghosts}/My-PB.ghost", "B": f"{ghosts}/My-PB-2.ghost"}
tool("html", runs["A"], runs["B"], "-o", f"{work}/replay.html")
# Three runs, the third A again: whose pace colours A's line is the reader's choice.
tool("html", runs["A"], runs["B"], runs["A"], "-o", f"{work}/three.html")
comparison = json.loads(tool("compare", "--json", runs["A"], runs["B"]))
frames = {letter: frames_of(path) for letter, path in runs.items()}
away = next(f for f in frames["A"] if (f[1] - frames["A"][0][1]) ** 2 + (f[2] - frames["A"][0][2]) ** 2 >= 50 ** 2)
heading = (away[1] - frames["A"][0][1], away[2] - frames["A"][0][2])
hx, hy = (h / (heading[0] ** 2 + heading[1] ** 2) ** 0.5 for h in heading)
along = {letter: (run[0][1] - frames["A"][0][1]) * hx + (run[0][2] - frames["A"][0][2]) * hy
         for letter, run in frames.items()}
back = min(along.values())
line = ((frames["A"][0][1] + back * hx, frames["A"][0][2] + back * hy), (hx, hy))
start = {letter: start_of(run, line) for letter, run in frames.items()}
check(abs(max(start.values())) < 1e-9 and min(start.values()) >= -0.1,
      f"each run sets off on the line or a moment past it, the rearmost on it: {start}")

hostile = f'{work}/h"<b>x<!--.ghost'
with open(hostile, "wb") as f:
    f.write(b'</script><script>window.ran=1</script><!--,"><img src=x onerror=window.ran=2>\xff\xc3(\x1b[1m'
            b'<script>\xe2\x80\xaeevil,40,1-Lap,1.1\r\n0,0.00,0.00,0.00,0,0,0\r\n20,100.00,0.00,0.00,0,0,0\r\n40,100.00,100.00,0.00,0,0,0\r\n')
tool("html", hostile, "-o", f"{work}/hostile.html")
info = {line[:13].strip().decode(): line[13:].decode("utf-8", "replace") for line in tool("info", hostile).splitlines()}

browser = devtools_pipe.Browser(chromium, width=1280, height=720)
try:
    browser.page("Page.addScriptToEvaluateOnNewDocument", source=VIRTUAL_CLOCK)

    def state():
        return json.loads(browser.evaluate(STATE))

    def press(*keys, shift=False):
        for key in keys:
            browser.press(*KEYS[key][:3], shift=shift, text=KEYS[key][3])

    def click(x, y, **modifiers):
        for kind in ("mousePressed", "mouseReleased"):
            browser.page("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1, **modifiers)

    def on_screen(s, letter, t):
        """Where a run's car is at race time t on the page's map, as its ghost file puts it."""
        min_x, min_y, scale, left, top = s["view"]
        wx, wy = position_at(frames[letter], t + start[letter])
        return s["map"][0] + left + (wx - min_x) * scale, s["map"][1] + top + (wy - min_y) * scale

    def markers_on_their_runs(what):
        s = state()
        min_x, min_y, scale, left, top = s["view"]
        for letter, (x, y) in s["markers"].items():
            wx, wy = position_at(frames[letter], s["time"] + start[letter])
            off = max(abs(s["map"][0] + left + (wx - min_x) * scale - x), abs(s["map"][1] + top + (wy - min_y) * scale - y))
            check(off <= 1.0, f"{what}: marker {letter} is {off:.2f} px from its run at {s['time']:.3f} s")

    url = f"file://{work}/replay.html"
    browser.open(url)
    fit = browser.evaluate("(() => { const box = document.getElementById('table-box');"
                           " return [box.scrollWidth, box.clientWidth]; })()")
    check(fit[0] <= fit[1], f"the lap and sector table fits 1280 px without a sideways scroll: {fit}")
    browser.evaluate("runFramesAt(0)")
    browser.evaluate("runFramesAt(1000)")
    s = state()
    check(abs(s["time"] - 1.0) < 1e-9 and s["play"] == "Pause", f"plays from the start in real time: {s['time']} s, {s['play']}")
    markers_on_their_runs("playing")
    press("up", "up", "up")
    browser.evaluate("runFramesAt(1500)")
    check(abs(state()["time"] - 5.0) < 1e-9, f"8x after three steps up: {state()['time']} s")
    press("down", "down", "down", "down", "down", "down")
    browser.evaluate("runFramesAt(2500)")
    check(abs(state()["time"] - 5.25) < 1e-9, f"1/4x at the slowest, six steps down: {state()['time']} s")
    press("space")
    browser.evaluate("runFramesAt(3500)")
    s = state()
    check(abs(s["time"] - 5.25) < 1e-9 and s["play"] == "Play", f"paused: {s['time']} s, {s['play']}")

    laps, sectors = comparison["laps"], comparison["sectors"]
    press("home")
    press("right", shift=True)
    s = state()
    check(s["where"] == "Lap 2 \u00B7 sector 1" and abs(s["time"] - laps[0]["a_s"]) < 0.001,
          f"shift+right: {s['where']} at {s['time']} s, A's first lap {laps[0]['a_s']} s")
    check(abs(seconds(s["delta"]["B"]) - laps[0]["delta_s"]) < 0.001,
          f"at lap 2 the cursor shows {s['delta']['B']}, compare --json {laps[0]['delta_s']}")
    press("right", "right", "right")
    s = state()
    expected = laps[0]["delta_s"] + sum(row["delta_s"] for row in sectors[10:13])
    check(s["where"] == "Lap 2 \u00B7 sector 4" and s["now"] == [2, 7],
          f"three sectors on: {s['where']}, the marked cell at row and column {s['now']}")
    check(abs(seconds(s["delta"]["B"]) - expected) < 0.001,
          f"at the start of lap 2's fourth sector the cursor shows {s['delta']['B']}, compare --json {expected:.6f}")
    markers_on_their_runs("at the start of lap 2's fourth sector")
    press("left")
    check(state()["where"] == "Lap 2 \u00B7 sector 3", f"left: {state()['where']}")

    # The map coloured by B's pace against A, in the picture's palette: level grey and B's loss in lap 2.
    PACE_PIXELS = """(() => {
      const canvas = document.getElementById("map");
      const pixels = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
      const palette = JSON.parse(document.getElementById("replay-data").textContent).pace.colours
          .map((h) => [1, 3, 5].map((i) => parseInt(h.slice(i, i + 2), 16)));
      const counts = palette.map(() => 0);
      for (let i = 0; i < pixels.length; i += 4) {
        palette.forEach((p, k) => {
          if (Math.abs(pixels[i] - p[0]) + Math.abs(pixels[i + 1] - p[1]) + Math.abs(pixels[i + 2] - p[2]) < 6) counts[k]++;
        });
      }
      return [document.getElementById("map-box").dataset.coloured, counts];
    })()"""
    coloured = browser.evaluate(PACE_PIXELS)
    check(coloured[0] == "B" and sum(coloured[1][:4]) > 500 and coloured[1][5] + coloured[1][6] > 30,
          f"A's line coloured by B's pace: {coloured}")
    best = browser.evaluate("document.querySelector('tr.best').textContent")
    check(f"theoretical best {comparison['theoretical_best_s']:.3f}" in best, f"the table's last row: {best}")
    # A click on the map goes to where A passes there on this lap; a click on a trace to that distance.
    s = state()
    target = s["time"] + 3.0
    click(*on_screen(s, "A", target))
    check(abs(state()["time"] - target) < 0.05, f"a click on the map 3 s on: {state()['time']:.3f} s, {target:.3f} s")
    plot = browser.evaluate("(() => { const r = document.getElementById('delta').getBoundingClientRect();"
                            " return [r.left, r.top, r.width, r.height]; })()")
    click(plot[0] + 48 + (plot[2] - 56) / 3, plot[1] + plot[3] / 2)
    check(abs(state()["time"] - laps[0]["a_s"]) < 0.05,
          f"a click a third along the trace: {state()['time']:.3f} s, A's first lap {laps[0]['a_s']} s")
    # The wheel zooms about the pointer: the point of the map under it stays; the reset gives the whole map.
    s = state()
    x, y = on_screen(s, "A", s["time"] + 1.0)
    browser.page("Input.dispatchMouseEvent", type="mouseWheel", x=x, y=y, deltaX=0, deltaY=-500)
    zoomed = state()
    after = on_screen(zoomed, "A", s["time"] + 1.0)
    check(abs(zoomed["view"][2] / s["view"][2] - 2.718) < 0.01 and abs(after[0] - x) < 1 and abs(after[1] - y) < 1,
          f"zoomed {zoomed['view'][2] / s['view'][2]:.3f} times about the pointer, which moved to {after}")
    markers_on_their_runs("zoomed in")
    browser.evaluate("document.getElementById('reset-view').click()")
    check(state()["view"] == s["view"], f"the reset gives the whole map back: {state()['view']}, {s['view']}")
    browser.screenshot(screenshot_out)
    browser.screenshot(f"{work}/half.png", scale=0.5)
    drawing = subprocess.run([sys.executable, checker, f"{work}/half.png"], capture_output=True, text=True)
    check(drawing.returncode == 0, "the screenshot holds a drawing: " + (drawing.stdout + drawing.stderr).strip())
    press("end")
    s = state()
    finish = max(run[-1][0] - start[letter] for letter, run in frames.items())
    check(s["where"] == "Finished" and abs(s["time"] - finish) < 1e-9, f"end: {s['where']} at {s['time']} s")
    total = comparison["total_s"]
    shown = ("\u2212" if total < 0 else "+") + f"{abs(total):.3f} s"
    check(s["delta"]["B"] == shown, f"at the finish the cursor shows {s['delta']['B']}, compare --json {total} ({shown})")
    check(browser.complaints() == [], f"nothing logged: {browser.complaints()}")
    check(browser.requests() == [url], f"nothing requested but the page: {browser.requests()}")

    browser.open(f"file://{work}/three.html")
    browser.evaluate("(() => { const c = document.getElementById('pace-run'); c.value = '2';"
                     " c.dispatchEvent(new Event('change')); })()")
    coloured = browser.evaluate(PACE_PIXELS)
    check(coloured[0] == "C" and sum(coloured[1][:4]) > 500 and coloured[1][5] + coloured[1][6] == 0,
          f"A's line coloured by C's pace, as chosen: C is A again, level everywhere: {coloured}")

    url = f"file://{work}/hostile.html"
    browser.open(url)
    check(browser.complaints() == [], f"the hostile ghost's page logs nothing: {browser.complaints()}")
    check(browser.requests() == [url], f"and requests nothing but itself: {browser.requests()}")
    ran = browser.evaluate("[window.ran, document.scripts.length, document.querySelectorAll('img, iframe, object').length]")
    check(ran == [None, 2, 0], f"no script ran but its own, no element came from the file: {ran}")
    shown = browser.evaluate("document.querySelector('#runs li').textContent")
    wanted = (f'Ah"<b>x<!--.ghost  {info["player"]} \u00B7 {info["map"]} \u00B7 1 lap \u00B7 {info["run time"].split()[0]}'
              " (laps as equal shares: no lap line found)")  # its path never comes back over its start
    check(shown == wanted, f"the names shown as info prints them: {shown!r}, {wanted!r}")
    check(browser.evaluate("document.title") == "Lumaro replay: " + info["map"], "the title holds the map's name")
    # A right-to-left override in the player's name turns that name around, and nothing after it.
    edges = browser.evaluate("""(() => {
      const item = document.querySelector('#runs li');
      const edgesOf = (text) => {
        const walker = document.createTreeWalker(item, NodeFilter.SHOW_TEXT);
        for (let node = walker.nextNode(); node; node = walker.nextNode()) {
          const at = node.data.indexOf(text);
          if (at < 0) continue;
          const range = document.createRange();
          range.setStart(node, at);
          range.setEnd(node, at + text.length);
          const box = range.getBoundingClientRect();
          return [box.left, box.right];
        }
      };
      return [edgesOf('evil'), edgesOf('1 lap'), edgesOf('00:00:040')];
    })()""")
    check(edges[0][1] <= edges[1][0] <= edges[2][0], f"player, laps and run time shown in their order: {edges}")
finally:
    browser.close()
    subprocess.run(["rm", "-rf", work])

print(f"{len(failures)} failed" if failures else f"The replay passed in {chromium}; screenshot {screenshot_out}")
sys.exit(1 if failures else 0)
