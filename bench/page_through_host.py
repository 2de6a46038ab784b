#!/usr/bin/env python3
"""The settings page as a player meets it: lumaro-host runs a scenario in which the same status message
comes MESSAGES times ("No Ghost loaded.", from lm_play with no ghost), and each message makes the page again
(the automatic path, not the Refresh button). The ghost folder holds FILES ghost files of twenty frames, half
of them for the scenario's map and lap count; the same scenario over an empty ghost folder is subtracted, so
what is left is the page's cost for the files. Two cases: settled files (written more than the settling time
before the run, as in a player's folder) and fresh files (their times renewed just before each run, so every
page reads every file again; their modification time is set an hour ahead, so they stay so for the whole run).

Beside it, in the same rounds, the two floors as processes of their own (lumaro-page-bench --floor), each
also over the folder and over the empty folder, MESSAGES times: one listing and one fstatat per file (the
floor of a page whose files are all known), and one listing and one open, one 256-byte read and one close
per file (the floor of a page whose files are all new); each writes the page's bytes once per page.
The figures are the processes' CPU time (user and kernel, from wait4), medians over the rounds; rounds take
turns, so a change of load falls on all figures alike. A run prints one line a figure, with the machine's
load beside it; --repeat R makes R runs and then each figure's median and spread over them (figure_lines.py).

    bench/page_through_host.py BUILD_BIN_DIR [--files 1000] [--messages 200] [--rounds 7] [--repeat 3]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

from figure_lines import Figures
from ghost_lines import FRAME_SPACING_MS, frame_line, header_line

MAP_NAME = "Speedway"
LAPS = 3
# The ghost folder and the settings page's file under the game's folder, as docs/players.md names them
# (tessaro\data\Ghosts, tessaro\plugins\settings\Lumaro.set).
GHOST_FOLDER = ("tessaro", "data", "Ghosts")
SETTINGS_PAGE = ("tessaro", "plugins", "settings", "Lumaro.set")
# How long a file's times must lie behind before the page trusts its stamp and keeps the header it read: 5 s
# ("settled" in docs/architecture.md's words).
SETTLING_SECONDS = 5


def write_ghost_folder(folder, files):
    os.makedirs(folder)
    frames = "".join(frame_line(FRAME_SPACING_MS * i, -1000.0 + i, 16384.0, 0.0, -12345, 2345, 17) for i in range(20))
    for i in range(files):
        header = header_line(MAP_NAME if i % 2 == 0 else "Canyon", "Ann", 83456 + i, LAPS)
        with open(os.path.join(folder, "ghost-%05d.ghost" % i), "w", newline="") as out:
            out.write(header + frames)


def renew_times(folder):
    """Every file's change time set to now and its modification time an hour ahead: a file whose times are not
    yet settled is read again at every page, and these stay unsettled however long the run takes. The access
    time is set past the modification time, so reading a file does not write its access time (relatime)."""
    ahead = time.time() + 3600
    for name in os.listdir(folder):
        os.utime(os.path.join(folder, name), (ahead + 60, ahead))


def cpu_seconds(command):
    """The process's CPU time (user and kernel) in seconds."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit("failed: " + " ".join(command))
    return usage.ru_utime + usage.ru_stime


def measure(arguments, host, page_bench, figures):
    """One run: the pages and their floors, each the median over the rounds."""
    figures.start_run()
    with tempfile.TemporaryDirectory(prefix="lumaro-page-") as scratch:
        roots = {}
        for case in ("settled", "fresh", "empty"):
            roots[case] = os.path.join(scratch, case)
            ghosts = os.path.join(roots[case], *GHOST_FOLDER)
            if case == "empty":
                os.makedirs(ghosts)
            else:
                write_ghost_folder(ghosts, arguments.files)
        ghosts = {case: os.path.join(root, *GHOST_FOLDER) for case, root in roots.items()}
        page = {case: os.path.join(root, *SETTINGS_PAGE) for case, root in roots.items()}
        scenario = os.path.join(scratch, "messages.scenario")
        with open(scenario, "w") as out:
            # The lap count's variable and the preview's command, and what it says with no ghost loaded, as
            # docs/players.md gives them.
            out.write("map speedway\nconsole lm_lapNbr %d\n" % LAPS)
            out.write("console lm_play\n" * arguments.messages)
            out.write('expect console "No Ghost loaded."\n')
        time.sleep(SETTLING_SECONDS + 0.5)

        samples = {}
        def page_run(case):
            if case == "fresh":
                renew_times(ghosts[case])
            samples.setdefault(("page", case), []).append(cpu_seconds([host, "--root", roots[case], scenario]))

        def floor_run(kind, case):
            command = [page_bench, "--floor", kind, ghosts[case], page["settled"], str(arguments.messages)]
            samples.setdefault((kind, case), []).append(cpu_seconds(command))

        # Each page beside its floor, and the empty folder's runs between them.
        for _ in range(arguments.rounds):
            page_run("settled")
            floor_run("known", "settled")
            page_run("empty")
            floor_run("known", "empty")
            floor_run("new", "empty")
            page_run("fresh")
            floor_run("new", "settled")
        with open(page["settled"], "rb") as shown:
            # Each ghost's entry: its label ends in its file's name in brackets, then the label's separator.
            entries = shown.read().count(b".ghost)@")
        if entries != (arguments.files + 1) // 2:
            sys.exit("the page lists %d ghosts, not %d" % (entries, (arguments.files + 1) // 2))

    def per_page(key):
        """Milliseconds per page over the empty folder's, the median over the rounds, with the spread."""
        differences = [(a - b) * 1e3 / arguments.messages for a, b in zip(samples[key], samples[(key[0], "empty")])]
        return statistics.median(differences), min(differences), max(differences)

    def ratios(page_key, floor_key):
        values = sorted((a - b) / (c - d) for a, b, c, d in zip(samples[page_key], samples[("page", "empty")],
                                                                samples[floor_key], samples[(floor_key[0], "empty")]))
        return statistics.median(values), values[0], values[-1]

    lines = []
    for label, key in (("page, settled files", ("page", "settled")), ("page, fresh files", ("page", "fresh")),
                       ("floor: listing + fstatat a file", ("known", "settled")),
                       ("floor: listing + open/read 256 B/close a file", ("new", "settled"))):
        median, least, most = per_page(key)
        lines.append(("%s, CPU ms a page" % label, median, "rounds %.3f-%.3f" % (least, most)))
    for label, page_key, floor_key in (("settled page / listing + fstatat floor", ("page", "settled"), ("known", "settled")),
                                       ("fresh page / listing + open/read floor", ("page", "fresh"), ("new", "settled"))):
        median, least, most = ratios(page_key, floor_key)
        lines.append((label, median, "rounds %.2f-%.2f (<= 1.3)" % (least, most)))
    figures.end_run(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bin")
    parser.add_argument("--files", type=int, default=1000)
    parser.add_argument("--messages", type=int, default=200)
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--repeat", type=int, default=1)
    arguments = parser.parse_args()
    host = os.path.join(arguments.bin, "lumaro-host")
    page_bench = os.path.join(arguments.bin, "lumaro-page-bench")
    print("%d files, %d messages, %d rounds a run; CPU ms a page over an empty folder's; ratios within a round"
          % (arguments.files, arguments.messages, arguments.rounds))
    figures = Figures(arguments.repeat)
    for _ in range(arguments.repeat):
        measure(arguments, host, page_bench, figures)
    figures.print_spread()


if __name__ == "__main__":
    main()
