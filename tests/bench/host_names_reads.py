#!/usr/bin/env python3
"""bench/host_names.py against what the plugin shows and writes: each value the benchmarks read from the C++
homes, as the rule gives it (a joined text, a literal split over lines, a composed file name, the tick, the
settling time, a ghost file's lines and the page's entries).

Usage: host_names_reads.py TREE_ROOT
"""
import os
import sys

sys.path.insert(0, os.path.join(sys.argv[1], "bench"))
import host_names  # noqa: E402

CASES = [
    ("message noMapName", lambda: host_names.message("noMapName"), "No MapName SeqVar found."),
    ("message noKismet", lambda: host_names.message("noKismet"),
     "No Kismet found for this map, are you in a workshop map that supports Lumaro?"),
    ("settings page", lambda: host_names.SETTINGS_PAGE, ("tessaro", "plugins", "settings", "Lumaro.set")),
    ("frame spacing", lambda: host_names.FRAME_SPACING_MS, 8),
    ("settling seconds", lambda: host_names.STAMP_SETTLING_SECONDS, 5.0),
    ("header line", lambda: host_names.header_line("Speedway", "Ann", 83456, 3), "Speedway,Ann,83456,3-Lap,1.1\r\n"),
    ("frame line", lambda: host_names.frame_line(16, -999.0, 16384.0, 0.0, -12345, 2345, 17),
     "16,-999.00,16384.00,0.00,-12345,2345,17\r\n"),
    ("page entries", lambda: host_names.page_entries(b"3-Lap in 01:23.456 by Ann(a.ghost)@a.ghost&x(b.ghost)@b.ghost"),
     2),
]


def main():
    failures = 0
    for label, read, expected in CASES:
        try:
            got = read()
        except Exception as error:  # noqa: BLE001 - a reader that cannot read says so
            got = error
        if got != expected:
            failures += 1
            print("%s: %r, not %r" % (label, got, expected))
    print("%d passed, %d failed" % (len(CASES) - failures, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
