"""The through-host scripts' report: one line a figure as each run ends, the machine's load beside it (the
one-minute load average when the run started and when it ended), and after repeated runs one line a figure
with its median and spread over the runs, in the order the figures came. Lines start with a word that tells
them apart, so a table can be taken from them with grep:

    figure  run 1/3  load  9.3-10.1  import 1M, CPU ms                          87.200  (target ...)
    spread  3 runs   load  8.8-10.4  import 1M, CPU ms                          87.200  median, 80.1-93.0
"""
import os
import statistics


def load_now():
    return os.getloadavg()[0]


class Figures:
    def __init__(self, runs):
        self.runs = runs
        self.values = {}  # figure name -> its value in each run so far
        self.loads = []
        self.run = 0
        self.load_at_start = 0.0

    def start_run(self):
        self.run += 1
        self.load_at_start = load_now()

    def end_run(self, figures):
        """figures: (name, value, note) in the order they are to be printed; note may be empty."""
        load_at_end = load_now()
        self.loads += [self.load_at_start, load_at_end]
        for name, value, note in figures:
            self.values.setdefault(name, []).append(value)
            print("figure  run %d/%d  load %5.1f-%-5.1f %-58s %10.3f  %s" %
                  (self.run, self.runs, self.load_at_start, load_at_end, name, value, note), flush=True)

    def print_spread(self):
        if self.run < 2:
            return
        for name, values in self.values.items():
            print("spread  %d runs   load %5.1f-%-5.1f %-58s %10.3f  median, %.3f-%.3f" %
                  (len(values), min(self.loads), max(self.loads), name, statistics.median(values), min(values),
                   max(values)))
