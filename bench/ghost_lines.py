"""A ghost file's lines for the through-host scripts, as docs/ghost-format.md gives the format: the header line
MAP,PLAYER,RUNTIME,N-Lap,VERSION, then a line a frame (its time in milliseconds, the place to the hundredth, the
rotation), every line ending in CR LF.
"""

# The version the plugin writes into every exported file, as docs/ghost-format.md gives it.
VERSION = "1.1"
# The scripts' runs have a frame every tick of lumaro-host's scenarios: 8 ms, its --tick-ms default.
FRAME_SPACING_MS = 8


def header_line(map_name, player, run_ms, laps):
    return "%s,%s,%d,%d-Lap,%s\r\n" % (map_name, player, run_ms, laps, VERSION)


def frame_line(ms, x, y, z, pitch, yaw, roll):
    return "%d,%.2f,%.2f,%.2f,%d,%d,%d\r\n" % (ms, x, y, z, pitch, yaw, roll)
