#!/usr/bin/env python3
"""The live difference to the ghost agrees with lumaro-ghost: a scenario that records a run, challenges it
and exports both is run on the stand-in host; GhostDelta as written on the tick of each lap crossing of the
challenge is within 5 ms of `lumaro-ghost compare`'s running difference at that lap's end, and as written at
the finish within 1 ms of its total.

Usage: ghost_delta_agrees.py LUMARO_HOST LUMARO_GHOST SCENARIO WORK_FOLDER GHOST_A GHOST_B
(GHOST_A, the ghost raced, and GHOST_B, the challenge, are file names in the game's ghost folder)."""
import csv
import json
import re
import shutil
import subprocess
import sys
from pathlib import Path

host, ghost_tool, scenario, work, name_a, name_b = sys.argv[1:7]
work = Path(work)
shutil.rmtree(work, ignore_errors=True)
work.mkdir(parents=True)
trace = work / "kismet-writes.csv"
run = subprocess.run([host, "--root", str(work / "root"), "--trace", str(trace), scenario],
                     capture_output=True, text=True, check=True)

crossings, finish, racing = [], None, False
for line in run.stdout.splitlines():
    stamp = re.match(r"\[\s*([0-9.]+)\]", line)
    if not stamp:
        continue
    ms = round(float(stamp.group(1)) * 1000)
    if "Race started against a ghost." in line:
        racing = True
    elif racing and (lap := re.search(r"the car crosses the line, LapNb (\d+)", line)) and int(lap.group(1)) >= 1:
        crossings.append(ms)
    elif racing and "Race ended in" in line:
        finish = ms
        break

written = {}
with open(trace, newline="") as rows:
    for row in csv.DictReader(rows):
        if row["variable"] == "GhostDelta":
            written[int(row["time_ms"])] = float(row["value"])

ghosts = work / "root" / "tessaro" / "data" / "Ghosts"
compared = json.loads(subprocess.run([ghost_tool, "compare", "--json", str(ghosts / name_a), str(ghosts / name_b)],
                                     capture_output=True, text=True, check=True).stdout)
running, faults = 0.0, []
laps = compared["laps"]
if not crossings or len(crossings) != len(laps) or finish is None:
    sys.exit(f"crossings {crossings}, finish {finish}, compared laps {len(laps)}: the scenario did not race as meant")
for at, lap in zip(crossings, laps):
    running += lap["delta_s"]
    live = written.get(at)
    if live is None or abs(live - running) > 0.005:
        faults.append(f"lap {lap['lap']} at {at} ms: GhostDelta {live}, compare {running:+.4f}")
    print(f"lap {lap['lap']}: GhostDelta {live:+.4f}, compare {running:+.4f}")
final = written.get(finish)
if final is None or abs(final - compared["total_s"]) > 0.001:
    faults.append(f"finish at {finish} ms: GhostDelta {final}, compare total {compared['total_s']:+.4f}")
print(f"finish: GhostDelta {final:+.4f}, compare total {compared['total_s']:+.4f}")
if faults:
    sys.exit("\n".join(faults))
