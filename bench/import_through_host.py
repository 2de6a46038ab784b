#!/usr/bin/env python3
"""The import as a player's: lumaro-host picks a ghost file of N frames by its name (lm_ghostfilepath, as
the settings page's list does), once with the file in the ghost folder and once without it. The import's
cost is the difference of the two processes' CPU time (user and kernel) and of their peak resident memory.
Beside it, in the same run: the literal reader and the read limit (the file read in 128 KiB blocks counting
line feeds) from lumaro-bench, on files of the same kind (random frames over the whole map), and `wc -l` on
the very file: its process's CPU time less that of `wc -l` on an empty file, so that, as for the import, the
program's own start and end are not counted. Rounds take turns, so a change of load on a shared machine falls
on all figures alike; each figure is the median over the rounds. A run prints one line a figure, with the
machine's load beside it; --repeat R makes R runs and then each figure's median and spread over them
(figure_lines.py).

    bench/import_through_host.py BUILD_BIN_DIR [--frames 100000 1000000] [--rounds 5] [--repeat 3]
"""
import argparse
import json
import os
import random
import statistics
import subprocess
import sys
import tempfile

from figure_lines import Figures
from ghost_lines import FRAME_SPACING_MS, frame_line, header_line

SIZE_NAMES = {10_000: "10k", 100_000: "100k", 1_000_000: "1M", 10_000_000: "10M"}
# The ghost folder under the game's folder, as docs/players.md names it (tessaro\data\Ghosts).
GHOST_FOLDER = ("tessaro", "data", "Ghosts")


def write_ghost(path, frames):
    """Random frames over the map, as lumaro-bench's sample runs have them."""
    draw = random.Random(frames)
    with open(path, "w", newline="") as out:
        out.write(header_line("Speedway", "Ann", FRAME_SPACING_MS * frames, 3))
        lines = []
        for i in range(frames):
            lines.append(frame_line(
                FRAME_SPACING_MS * i, draw.uniform(-20000, 20000), draw.uniform(-20000, 20000),
                draw.uniform(-1000, 1000),
                draw.randrange(65536) - 32768, draw.randrange(65536) - 32768, draw.randrange(65536) - 32768))
            if len(lines) == 100_000:
                out.write("".join(lines))
                lines = []
        out.write("".join(lines))


def cpu_seconds(command):
    """CPU seconds (user and kernel) of the process and of what it waited for, to the microsecond (wait4), and
    its exit status."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    return usage.ru_utime + usage.ru_stime, os.waitstatus_to_exitcode(status)


def run_measured(command):
    """CPU seconds (user and kernel) and peak resident KiB of the process, and its exit status. GNU time
    counts the peak: a child of this script would start with this script's own peak in its count. The CPU
    time is GNU time's and the process's together, from wait4 (GNU time's own counts in 10 ms steps); GNU
    time's own share is the same in every run, so it falls out of a difference of two runs."""
    with tempfile.NamedTemporaryFile(mode="r", suffix=".time") as report:
        cpu, status = cpu_seconds(["/usr/bin/time", "-f", "%M", "-o", report.name] + command)
        peak = report.read().split()[-1]
    return cpu, int(peak), status


def host_import(host, root, scenario):
    cpu, peak, status = run_measured([host, "--root", root, scenario])
    if status != 0:
        sys.exit("lumaro-host failed on " + scenario)
    return cpu, peak


def bench_figures(bench, sizes):
    """CPU ms per read of the literal reader and of the read limit, by size name."""
    pattern = "^import/(literal|readLimit)/(%s)$" % "|".join(sizes)
    large = ["--large"] if "10M" in sizes else []
    with tempfile.NamedTemporaryFile(suffix=".json") as report:
        subprocess.run([bench, "--benchmark_filter=" + pattern, "--benchmark_out=" + report.name,
                        "--benchmark_out_format=json"] + large, stdout=subprocess.DEVNULL, check=True)
        entries = json.load(report)["benchmarks"]
    figures = {}
    for entry in entries:
        assert entry["time_unit"] == "ms"
        figures[entry["name"]] = entry["cpu_time"]
    return figures


def measure(arguments, host, bench, sizes, figures):
    """One run: every figure of every size, each the median over the rounds."""
    figures.start_run()
    with tempfile.TemporaryDirectory(prefix="lumaro-import-") as scratch:
        roots, scenarios = {}, {}
        for frames, size in zip(arguments.frames, sizes):
            for with_file in (True, False):
                key = (size, with_file)
                roots[key] = os.path.join(scratch, "root-%s-%s" % (size, "with" if with_file else "without"))
                ghosts = os.path.join(roots[key], *GHOST_FOLDER)
                os.makedirs(ghosts)
                name = "run-%s.ghost" % size
                if with_file:
                    write_ghost(os.path.join(ghosts, name), frames)
                # What the plugin says of the pick, as docs/players.md gives its messages.
                expected = ("Imported %s." if with_file else "No Ghost found %s.") % name
                scenarios[key] = os.path.join(scratch, "%s-%s.scenario" % key)
                with open(scenarios[key], "w") as out:
                    out.write('map speedway\nconsole lm_ghostfilepath "%s"\nexpect console "%s"\n' % (name, expected))

        empty = os.path.join(scratch, "empty.ghost")
        open(empty, "w").close()
        samples = {}
        for _ in range(arguments.rounds):
            for key in roots:
                samples.setdefault(key, []).append(host_import(host, roots[key], scenarios[key]))
            for size in sizes:
                ghost = os.path.join(roots[(size, True)], *GHOST_FOLDER, "run-%s.ghost" % size)
                samples.setdefault((size, "wc"), []).append(cpu_seconds(["wc", "-l", ghost])[0])
            samples.setdefault("wc empty", []).append(cpu_seconds(["wc", "-l", empty])[0])
            for name, ms in bench_figures(bench, sizes).items():
                samples.setdefault(name, []).append(ms / 1e3)

    lines = []
    for frames, size in zip(arguments.frames, sizes):
        median = lambda key, i=0: statistics.median(s[i] if isinstance(s, tuple) else s for s in samples[key])
        imported = median((size, True)) - median((size, False))
        peak_kib = median((size, True), 1) - median((size, False), 1)
        literal = median("import/literal/" + size)
        limit = median("import/readLimit/" + size)
        wc = median((size, "wc")) - median("wc empty")
        ratio = lambda a, b: a / b if b > 0 else float("nan")
        lines += [("import %s, CPU ms" % size, imported * 1e3, ""),
                  ("literal reader %s, CPU ms" % size, literal * 1e3, ""),
                  ("read limit %s, CPU ms" % size, limit * 1e3, ""),
                  ("wc -l %s (its start taken out), CPU ms" % size, wc * 1e3, ""),
                  ("import %s, times faster than the literal reader" % size, ratio(literal, imported), "(>= 10)"),
                  ("import %s, times wc -l" % size, ratio(imported, wc), "(<= 4)"),
                  ("import %s, times the read limit" % size, ratio(imported, limit), ""),
                  ("import %s, peak memory B a frame" % size, peak_kib * 1024 / frames, "(<= 30)")]
    figures.end_run(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bin")
    parser.add_argument("--frames", type=int, nargs="+", default=[100_000, 1_000_000])
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--repeat", type=int, default=1)
    arguments = parser.parse_args()
    host = os.path.join(arguments.bin, "lumaro-host")
    bench = os.path.join(arguments.bin, "lumaro-bench")
    sizes = [SIZE_NAMES[n] for n in arguments.frames]
    figures = Figures(arguments.repeat)
    for _ in range(arguments.repeat):
        measure(arguments, host, bench, sizes, figures)
    figures.print_spread()


if __name__ == "__main__":
    main()
