#!/usr/bin/env python3
"""The board's page (`board -o`) in headless Chromium, driven over the DevTools protocol as the replay page is, on
generated runs of known pace (two groups, a tie, a run short of its laps, a jump, a file no page lists): ranks
and gaps as `board --json` gives them (and with the runs with a finding hidden, as `--plausible-only` does);
sorting by a heading's click, Enter and space, both ways; a run's line drawn on the map and taken off; a click
to a replay against the group's best whose cars stand where their files put them and whose difference at the
finish is the board's gap; no table wider than its group at 1,280 px, nothing logged, nothing requested but the
page. A ghost whose names hold markup, `</script>`, quotes, a right-to-left override and bytes that are not
UTF-8 runs nothing and shows as `info` prints it. The page's animation frames run at times the test chooses.

Arguments: LUMARO_GHOST PNG_CHECKER SCREENSHOT_OUT. Exits 77 (skipped) when Chromium is not installed."""
import json
import math
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import devtools_pipe  # noqa: E402
from ghost_lines import frame_line, header_line  # noqa: E402

ghost_tool, checker, screenshot_out = sys.argv[1:4]
chromium = devtools_pipe.find_chromium()
if not chromium:
    print("Chromium is not installed (Debian package chromium): the board's page is not opened in a browser")
    sys.exit(77)

VIRTUAL_CLOCK = """(() => {
  let queue = [];
  window.requestAnimationFrame = (callback) => queue.push(callback);
  window.runFramesAt = (ms) => { const due = queue; queue = []; due.forEach((f) => f(ms)); };
})();"""

failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)


def track(u, offset=0.0):
    """A lap's shape, u from 0 to 2 pi: a bent oval, with a line offset sideways by `offset` units."""
    x, y = 1400 * math.cos(u) + 200 * math.cos(2 * u), 800 * math.sin(u) - 150 * math.sin(2 * u)
    dx, dy = -1400 * math.sin(u) - 400 * math.sin(2 * u), 800 * math.cos(u) - 300 * math.cos(2 * u)
    norm = math.hypot(dx, dy)
    return x + offset * dy / norm, y - offset * dx / norm


def drive(laps, lap_seconds, pace, line, frame_ms=8, drive_laps=None, jump=None, shift=0.0):
    """Frames (ms, x, y) of a run over `laps` laps of the track, a lap taking about lap_seconds: faster where
    `pace` (a function of u) is above 1, its line `line(u)` units aside. jump: the lap share at which one frame
    stands 600 units off."""
    frames, u, ms = [], 0.0, 0
    end = 2 * math.pi * (drive_laps or laps)
    while True:
        x, y = track(u, line(u))
        if jump is not None and abs(u - 2 * math.pi * jump) < 2 * math.pi / lap_seconds * frame_ms / 1000 / 2:
            x += 600
        frames.append((ms, x + shift, y))
        if u >= end:
            return frames
        u += 2 * math.pi / lap_seconds * pace(u) * frame_ms / 1000
        ms += frame_ms


def write(path, header, frames):
    with open(path, "wb") as f:
        f.write((header if isinstance(header, bytes) else header.encode()) +
                "".join(frame_line(ms, x, y, 17.0, 0, 0, 0) for ms, x, y in frames).encode())


def tool(*arguments):
    return subprocess.run([ghost_tool, *arguments], check=True, capture_output=True).stdout


work = tempfile.mkdtemp(prefix="lumaro-board-")
folder = f"{work}/Ghosts"
os.mkdir(folder)
steady = lambda u: 1.0  # noqa: E731
runs = {
    # Quicker out of the bends, or on a wider line, or slower in the second half: each holds some sectors.
    "Ann": drive(3, 20.0, lambda u: 1 + 0.05 * math.sin(u), lambda u: 0.0),
    "Bob": drive(3, 19.8, lambda u: 1 - 0.04 * math.sin(2 * u), lambda u: 30 * math.sin(2 * u)),
    "Cat": drive(3, 20.4, lambda u: 1 + 0.06 * math.cos(u), lambda u: -25 * math.cos(u)),
    "Dan": drive(3, 20.0, lambda u: 1 + 0.05 * math.sin(u), lambda u: 0.0, shift=0.01),  # level with Ann
    "Eve": drive(3, 19.0, steady, lambda u: 10.0, jump=1.5),  # the quickest, with a jump half way round lap 2
    "Fay": drive(3, 21.0, steady, lambda u: -10.0, drive_laps=2),  # stops after two of its three laps
}
for player, frames in runs.items():
    write(f"{folder}/{player}.ghost", header_line("Bent Oval", player, frames[-1][0], 3), frames)
write(f"{folder}/Kit.ghost", header_line("Bent Oval", "Kit", runs["Ann"][-1][0], 3), runs["Ann"])  # Ann's, shared
for player, seconds in (("Gus", 30.0), ("Hal", 30.6)):
    frames = drive(1, seconds, steady, lambda u: 0.0)
    write(f"{folder}/{player}-Loop.ghost", header_line("Loop", player, frames[-1][0], 1), frames)
with open(f"{folder}/broken.ghost", "wb") as f:
    f.write(b"Loop,Ivy,abc,1-Lap,1.1\r\n0,0,0,0,0,0,0\r\n")
# Named as a file, so no folder rule keeps its name off the board.
hostile = f'{work}/h"<b>x<!--.ghost'
write(hostile, b'</script><script>window.ran=1</script><!--,"><img src=x onerror=window.ran=2>\xff\xc3(\x1b[1m'
      b'<script>\xe2\x80\xaeevil,20000,1-Lap,1.1\r\n', drive(1, 20.0, steady, lambda u: 0.0))
info = {line[:13].strip().decode(): line[13:].decode("utf-8", "replace") for line in tool("info", hostile).splitlines()}

tool("board", folder, "-o", f"{work}/board.html")
tool("board", hostile, "-o", f"{work}/hostile.html")
board = json.loads(tool("board", folder, "--json"))
plausible = json.loads(tool("board", folder, "--json", "--plausible-only"))
groups = {group["map"]: group for group in board["groups"]}


def signed(seconds):
    return "0.000 s" if abs(seconds) < 0.0005 else ("\u2212" if seconds < 0 else "+") + f"{abs(seconds):.3f} s"


def ranked_rows(group):
    """What the ranked table shows of each run, from the JSON: rank (= when tied, ? with a finding), player,
    the gaps to the best and to the one ahead, between the times as shown (to the millisecond)."""
    rows, runs = [], group["runs"]
    def gap(ahead, run):
        return signed((round(run["time_s"] * 1000) - round(ahead["time_s"] * 1000)) / 1000)
    for i, run in enumerate(runs):
        rank = "-" if run["rank"] is None else ("=" if run["tied"] else "") + str(run["rank"])
        rows.append([rank + ("?" if run["findings"] else ""), run["player"],
                     "" if run["gap_to_best_s"] is None or i == 0 else gap(runs[0], run),
                     "" if run["gap_to_ahead_s"] is None else gap(runs[i - 1], run)])
    return rows


SHOWN = """JSON.stringify([...document.querySelectorAll('#group-%d table.ranking tbody tr')].filter((r) => !r.hidden)
  .map((r) => [1, 2, 4, 5].map((c) => r.cells[c].textContent)))"""

browser = devtools_pipe.Browser(chromium, width=1280, height=900)
try:
    browser.page("Page.addScriptToEvaluateOnNewDocument", source=VIRTUAL_CLOCK)

    def shown(group):
        return json.loads(browser.evaluate(SHOWN % group))

    def click_at(selector, index=0):
        box = browser.evaluate(f"(() => {{ const e = document.querySelectorAll({json.dumps(selector)})[{index}];"
                               " e.scrollIntoView({ block: 'center' }); const r = e.getBoundingClientRect();"
                               " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
        for kind in ("mousePressed", "mouseReleased"):
            browser.page("Input.dispatchMouseEvent", type=kind, x=box[0], y=box[1], button="left", clickCount=1)

    url = f"file://{work}/board.html"
    browser.open(url)
    order = [g["map"] for g in board["groups"]]
    oval = order.index("Bent Oval") + 1
    check(shown(oval) == ranked_rows(groups["Bent Oval"]),
          f"the ranks and gaps are board --json's: {shown(oval)}, {ranked_rows(groups['Bent Oval'])}")
    check([r[0] for r in shown(oval)] == ["1?", "2", "=3", "=3", "5", "-"],
          f"the quickest run has a finding, Ann and Dan are level, Fay is not ranked: {[r[0] for r in shown(oval)]}")
    # Sorting: by a click on a heading, both ways; by Enter and by space on a heading's button.
    def column(c):
        return browser.evaluate(f"[...document.querySelectorAll('#group-{oval} table.ranking tbody tr')]"
                                f".map((r) => r.cells[{c}].textContent)")

    race = round(groups["Bent Oval"]["runs"][1]["time_s"] * 1000)  # rounded to the millisecond, as the terminal
    check(column(3)[1::4] == [f"00:{race // 1000:02d}:{race % 1000:03d}", "completes 2 of 3 laps"],
          f"race times as the tool writes them: {column(3)}, {race}")

    def sorted_by():
        return browser.evaluate(f"[...document.querySelectorAll('#group-{oval} table.ranking th')]"
                                ".map((th) => th.getAttribute('aria-sort'))")

    click_at(f"#group-{oval} table.ranking th button", 2)
    players = column(2)
    check(players == sorted(players) and sorted_by()[2] == "ascending", f"sorted by player: {players}")
    click_at(f"#group-{oval} table.ranking th button", 2)
    check(column(2) == sorted(players, reverse=True) and sorted_by()[2] == "descending",
          f"and the other way: {column(2)}")
    lap3 = 8  # Line, Rank, Player, Time, To best, To ahead, Lap 1, Lap 2, Lap 3
    browser.evaluate(f"document.querySelectorAll('#group-{oval} table.ranking th button')[{lap3}].focus()")
    browser.press("Enter", "Enter", 13, text="\r")
    laps = column(lap3)
    filled = [float(t) for t in laps if t]
    check(filled == sorted(filled) and laps[-1] == "" and sorted_by()[lap3] == "ascending",
          f"Enter sorts by lap 3, the run without one last: {laps}")
    browser.press(" ", "Space", 32, text=" ")
    laps = column(lap3)
    filled = [float(t) for t in laps if t]
    check(filled == sorted(filled, reverse=True) and laps[-1] == "" and sorted_by()[lap3] == "descending",
          f"space the other way: {laps}")
    click_at(f"#group-{oval} table.ranking th button", 1)
    check([r[1] for r in shown(oval)] == [r[1] for r in ranked_rows(groups["Bent Oval"])], "back in rank order")

    # The runs with a finding hidden: the others ranked among themselves, as --plausible-only ranks them.
    browser.evaluate("document.getElementById('hide-questionable').click()")
    wanted = {g["map"]: ranked_rows(g) for g in plausible["groups"]}
    check(shown(oval) == wanted["Bent Oval"], f"hidden: {shown(oval)}, --plausible-only: {wanted['Bent Oval']}")
    check(browser.evaluate(f"[...document.querySelectorAll('#group-{oval} .findings li')].every((li) => li.hidden)"),
          "and their findings with them")
    browser.evaluate("document.getElementById('hide-questionable').click()")
    check(shown(oval) == ranked_rows(groups["Bent Oval"]), "shown again: ranked as before")
    finding = browser.evaluate(f"document.querySelector('#group-{oval} .findings li').textContent")
    eve = next(r for r in groups["Bent Oval"]["runs"] if r["player"] == "Eve")
    check(finding == f"Eve (Eve.ghost): {eve['findings'][0]['text']}" and eve["findings"][0]["kind"] == "jump"
          and eve["findings"][0]["lap"] == 2, f"the finding listed with its lap, place and size: {finding}")

    # Lines on the map: the best's at first; a run's toggled on in another colour, and off again.
    LINES = f"document.querySelector('#group-{oval} .group-map').dataset.lines"
    check(browser.evaluate(LINES) == "0", f"the best's line is drawn at first: {browser.evaluate(LINES)!r}")
    COLOUR_PIXELS = """(() => {  // read from a copy: the map's own canvas is not made for reading back
      const canvas = document.querySelector('#group-%d .group-map canvas'), copy = document.createElement('canvas');
      [copy.width, copy.height] = [canvas.width, canvas.height];
      const context = copy.getContext('2d', { willReadFrequently: true });
      context.drawImage(canvas, 0, 0);
      const colour = JSON.parse(document.getElementById('board-data').textContent).runColours[%d];
      const rgb = [1, 3, 5].map((i) => parseInt(colour.slice(i, i + 2), 16));
      return context.getImageData(0, 0, copy.width, copy.height).data.filter((v, i, all) => i %% 4 === 0
        && Math.abs(v - rgb[0]) + Math.abs(all[i + 1] - rgb[1]) + Math.abs(all[i + 2] - rgb[2]) < 30).length;
    })()"""
    check(browser.evaluate(COLOUR_PIXELS % (oval, 1)) == 0, "no line in the second colour yet")
    ann = [r["player"] for r in groups["Bent Oval"]["runs"]].index("Ann")
    toggle = f"#group-{oval} table.ranking tbody tr[data-run='{ann}'] input"
    click_at(toggle)
    check(browser.evaluate(LINES) == f"0 {ann}" and browser.evaluate(COLOUR_PIXELS % (oval, 1)) > 200,
          f"Ann's line drawn in the second colour: {browser.evaluate(LINES)!r}, "
          f"{browser.evaluate(COLOUR_PIXELS % (oval, 1))} pixels")
    check(browser.evaluate("document.getElementById('replay-dialog').open") is False, "the toggle opens no replay")
    click_at(toggle)
    check(browser.evaluate(LINES) == "0" and browser.evaluate(COLOUR_PIXELS % (oval, 1)) == 0,
          "and taken off again")

    # A click on Ann's row: her replay against the best (Eve), whose cars move where the files put them.
    FITS = """[...document.querySelectorAll('.group')].every((group) => [...group.querySelectorAll('table')]
      .every((t) => (group.scrollIntoView(), t.getBoundingClientRect().right <= group.getBoundingClientRect().right)))"""
    check(browser.evaluate(FITS), "no table is wider than its group at 1,280 pixels")
    files = browser.evaluate(f"document.querySelector('#group-{oval} tr[data-run=\"{ann}\"] td.file').textContent")
    check(files == "Ann.ghost, Kit.ghost", f"Ann's run listed once, with the other file that holds it: {files}")
    click_at(f"#group-{oval} table.ranking tbody tr[data-run='{ann}'] td.file")
    check(browser.evaluate("document.getElementById('replay-dialog').open") is True, "a click opens the replay")
    best = 0
    check(browser.evaluate("document.getElementById('replay-dialog').dataset.runs") == f"{best} {ann}",
          "of Ann against the best")
    browser.evaluate("runFramesAt(0)")
    browser.evaluate("runFramesAt(2000)")
    MARKERS = """JSON.stringify((() => {
      const map = document.getElementById('map').getBoundingClientRect();
      const view = document.getElementById('map-box').dataset.view.split(' ').map(Number);
      const at = (m) => { const r = m.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; };
      return { time: Number(document.getElementById('scrub').value), map: [map.left, map.top], view,
        markers: Object.fromEntries([...document.querySelectorAll('.marker')].map((m) => [m.dataset.run, at(m)])) };
    })())"""
    state = json.loads(browser.evaluate(MARKERS))
    check(abs(state["time"] - 2.0) < 1e-9, f"the replay plays: {state['time']} s after two seconds")
    starts = browser.evaluate(f"JSON.parse(document.getElementById('board-data').textContent).groups[{oval - 1}]"
                              ".runs.map((run) => run.start)")
    for letter, index, player in (("A", best, "Eve"), ("B", ann, "Ann")):
        frames, t = runs[player], state["time"] + starts[index]  # its race time from its first frame
        i = max(k for k, f in enumerate(frames) if f[0] / 1000 <= t)
        share = (t * 1000 - frames[i][0]) / (frames[i + 1][0] - frames[i][0])
        wx, wy = (frames[i][c] + share * (frames[i + 1][c] - frames[i][c]) for c in (1, 2))
        min_x, min_y, scale, left, top = state["view"]
        x, y = state["map"][0] + left + (wx - min_x) * scale, state["map"][1] + top + (wy - min_y) * scale
        off = max(abs(x - state["markers"][letter][0]), abs(y - state["markers"][letter][1]))
        check(off <= 1.0, f"car {letter} ({player}) is {off:.2f} px from where its file puts it at {t:.3f} s")
    browser.press("End", "End", 35)
    readout = browser.evaluate("document.querySelector('#delta-readout span').textContent")
    gap = next(r for r in groups["Bent Oval"]["runs"] if r["player"] == "Ann")["gap_to_best_s"]
    check(readout == "B " + signed(gap), f"at the finish the difference is the board's gap: {readout}, {gap}")
    width = browser.evaluate("[document.getElementById('replay-dialog').scrollWidth,"
                             " document.getElementById('replay-dialog').clientWidth]")
    check(width[0] <= width[1], f"the replay fits 1,280 pixels: {width}")
    browser.press("Escape", "Escape", 27)
    check(browser.evaluate_until("[document.getElementById('replay-dialog').open,"
                                 " document.getElementById('replay-place').childElementCount]", [False, 0])
          == [False, 0], "Escape closes the replay")
    browser.evaluate("runFramesAt(9000)")  # the stopped player asks for no frame and throws nothing
    # The best's own row replays it against the next run ranked.
    click_at(f"#group-{oval} table.ranking tbody tr[data-run='{best}'] td.file")
    second = [r["player"] for r in groups["Bent Oval"]["runs"]].index("Bob")
    pair = browser.evaluate("document.getElementById('replay-dialog').dataset.runs")
    check(pair == f"{best} {second}", f"the best against the next: {pair}")
    # Closed and opened again at once: the close that follows a moment later leaves the new replay be.
    browser.evaluate("document.getElementById('replay-close').click();"
                     f"document.querySelector('#group-{oval} table.ranking tbody tr[data-run=\"{ann}\"] td.file').click()")
    reopened = browser.evaluate("[document.getElementById('replay-dialog').open,"
                                " document.getElementById('replay-place').childElementCount > 0]")
    check(reopened == [True, True], f"a replay closed and another opened at once: {reopened}")
    browser.evaluate("document.getElementById('replay-close').click()")

    unread = browser.evaluate("document.getElementById('unread-list').textContent")
    check("broken.ghost: " in unread and "abc" in unread, f"the file on no board listed with its reason: {unread}")
    check(browser.complaints() == [], f"nothing logged: {browser.complaints()}")
    check(browser.requests() == [url], f"nothing requested but the page: {browser.requests()}")
    # The picture of the board: three lines on the first group's map.
    browser.evaluate("window.scrollTo(0, 0)")
    for index in (1, ann):
        click_at(f"#group-{oval} table.ranking tbody tr[data-run='{index}'] input")
    browser.evaluate("window.scrollTo(0, 0)")
    browser.screenshot(screenshot_out)
    browser.screenshot(f"{work}/half.png", scale=0.5)
    drawing = subprocess.run([sys.executable, checker, f"{work}/half.png"], capture_output=True, text=True)
    check(drawing.returncode == 0, "the screenshot holds a drawing: " + (drawing.stdout + drawing.stderr).strip())

    # The hostile ghost's board: its names only ever text, shown as info prints them, in the table and replay.
    url = f"file://{work}/hostile.html"
    browser.open(url)
    ran = browser.evaluate("[window.ran, document.scripts.length, document.querySelectorAll('img, iframe, object').length]")
    check(ran == [None, 3, 0], f"no script ran but the page's own, no element came from the file: {ran}")
    names = browser.evaluate("[document.title, document.querySelector('.group h2').textContent,"
                             " document.querySelector('table.ranking tbody td.name').textContent,"
                             " document.querySelector('table.ranking tbody td.file').textContent]")
    check(names == ["Lumaro board: " + info["map"], info["map"] + ", 1 lap", info["player"], 'h"<b>x<!--.ghost'],
          f"the names as info prints them: {names}, {[info['map'], info['player']]}")
    check(browser.evaluate(FITS), "long names fit 1,280 pixels")
    click_at("table.ranking tbody td.file")
    browser.evaluate("runFramesAt(10000)")
    browser.evaluate("runFramesAt(10500)")
    replayed = browser.evaluate("[document.querySelector('#runs li bdi').textContent, document.getElementById('scrub').value]")
    check(replayed == [info["player"], "0.5"], f"and in its replay, which plays: {replayed}")
    check(browser.complaints() == [], f"the hostile ghost's board logs nothing: {browser.complaints()}")
    check(browser.requests() == [url], f"and requests nothing but itself: {browser.requests()}")
finally:
    browser.close()
    subprocess.run(["rm", "-rf", work])

print(f"{len(failures)} failed" if failures else f"The board passed in {chromium}; screenshot {screenshot_out}")
sys.exit(1 if failures else 0)
