#!/usr/bin/env python3
"""check_architecture.py against planted twins: a copy of the tree's map and the homes it checks, clean (it must
pass) and then with one twin of each kind planted in it (it must fail, naming the planted line). The tree itself
is never written.

Usage: plant_architecture_twins.py TREE_ROOT
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_architecture.py")
HOMES = ("docs/architecture.md", "plugin/Lumaro.h", "plugin/HostNames.h", "host/GameNames.h")

# Each planted file with its text and the lines the check must print for it: a new file's text, a change to one
# of the copied files (the text it replaces and the text put in its place), or None for a copied file taken away.
PLANTS = [
    ("x/Split.cpp", 'const char* name = "lm_"\n    "lapNbr";\n',
     ["x/Split.cpp:1 spells cvar::lapCount"]),
    ("x/Escaped.cpp", 'const char* name = "lm_isrecordin\\147";\nconst char* hex = "lm_\\x6cog";\n',
     ["x/Escaped.cpp:1 spells cvar::isRecording", "x/Escaped.cpp:2 spells cvar::log"]),
    ("x/joined.js", 'const a = "lm_" +\n  "color";\nconst b = "lm_lap\\u004ebr";\n',
     ["x/joined.js:1 spells cvar::color", "x/joined.js:3 spells cvar::lapCount"]),
    ("x/statement.py", 'def f(parts):\n    """lm_play, in a docstring."""\n    x = 1\n    "lm_stop".join(parts)\n'
     '    return ("lm_"\n            "autorecord")\n',
     ["x/statement.py:4 spells command::stop", "x/statement.py:5 spells cvar::autoRecord"]),
    ("x/Laps.cpp", 'const char* a = "laps 1...6";\nconst char* b = "1 through 6";\nint c = std::clamp(laps, 1, 6);\n'
     'bool d = laps >= 1 && laps <= 6;\nbool e = laps < 1 || laps > 6;\n',
     ["x/Laps.cpp:%d spells fewestLaps to mostLaps" % line for line in range(1, 6)]),
    ("x/laps.py", "for laps in range(1, 7):\n    pass\n", ["x/laps.py:1 spells fewestLaps to mostLaps in code"]),
    ("x/Spliced.cpp", 'const char* name = "lm_lap\\\nNbr";\n', ["x/Spliced.cpp:1 spells cvar::lapCount"]),
    ("x/spliced.js", 'const name = "lm_lap\\\nNbr";\n', ["x/spliced.js:1 spells cvar::lapCount"]),
    ("x/added.py", 'def f():\n    x = 1\n    return "lm_" + "lapNbr", b"lm_isrecordin\\x67"\n',
     ["x/added.py:3 spells cvar::lapCount", "x/added.py:3 spells cvar::isRecording"]),
    ("x/adjacent.sh", '#!/bin/sh\necho "lm_""lapNbr"\n', ["x/adjacent.sh:2 spells cvar::lapCount"]),
    ("x/run", "#!/usr/bin/env bash\necho lm_lapNbr\n", ["x/run:2 spells cvar::lapCount"]),
    ("x/Chained.cpp", "bool a = 1 <= laps && laps <= 6;\n", ["x/Chained.cpp:1 spells fewestLaps to mostLaps in code"]),
    ("x/chained.py", "def f(laps):\n    return 1 <= laps <= 6\n",
     ["x/chained.py:2 spells fewestLaps to mostLaps in code"]),
    ("plugin/HostNames.h", ('inline constexpr std::string_view color = "lm_color";\n',
                            'inline constexpr std::string_view color = "lm_color";\ninline constexpr std::string_view '
                            'overlayWidth =\n    "lm_overlay_width";\ninline constexpr char trail[] = "lm_trail";\n'),
     ["the names table does not give `cvar::overlayWidth` as lm_overlay_width",
      "the names table does not give `cvar::trail` as lm_trail"]),
    ("plugin/Lumaro.h", ("  bool isChallenging = false;", "  bool racingWatched, isChallenging = false;"),
     ["plugin/Lumaro.h declares racingWatched"]),
    ("bench/host_names.py", None, ["the rule table names bench/host_names.py, which does not exist"]),
    ("host/GameNames.h", ("lapCounterNoRace = -1;", "lapCounterNoRace = -2;"),
     ["the names table does not give `kismet::lapCounterNoRace` as -2"]),
]
# The rule table with one rule given twice.
TWIN_ROW = "| the line limit, again (`ghostLineLimit`) | `library/ghostfile/GhostFormat.h` |\n"


def copy_homes(root, to):
    """The map, the homes it reads, and every file its rule table names."""
    with open(os.path.join(root, "docs/architecture.md"), encoding="utf-8") as f:
        named = set(re.findall(r"`([\w./]+/[\w.]+\.\w+)`", f.read()))
    for path in sorted(set(HOMES) | named):
        if os.path.isfile(os.path.join(root, path)):
            os.makedirs(os.path.dirname(os.path.join(to, path)), exist_ok=True)
            shutil.copyfile(os.path.join(root, path), os.path.join(to, path))


def check(tree):
    run = subprocess.run([sys.executable, CHECK, tree], capture_output=True, text=True, check=False)
    return run.returncode, run.stdout


def main():
    failures = []
    with tempfile.TemporaryDirectory() as tree:
        copy_homes(sys.argv[1], tree)
        code, out = check(tree)
        if code != 0:
            failures.append("the clean copy fails:\n" + out)
        for path, text, expected in PLANTS:
            planted = os.path.join(tree, path)
            kept = None
            if os.path.isfile(planted):
                with open(planted, encoding="utf-8") as f:
                    kept = f.read()
            os.makedirs(os.path.dirname(planted), exist_ok=True)
            if text is None:
                os.remove(planted)
            else:
                if isinstance(text, tuple):
                    if text[0] not in kept:
                        failures.append("%s holds no %r to plant in" % (path, text[0]))
                    text = kept.replace(text[0], text[1])
                with open(planted, "w", encoding="utf-8") as f:
                    f.write(text)
            code, out = check(tree)
            missed = [line for line in expected if not any(said.startswith(line) for said in out.splitlines())]
            if code != 1 or missed:
                failures.append("%s planted: exit %d, not said: %s\n%s" % (path, code, missed, out))
            if kept is None:
                os.remove(planted)
            else:
                with open(planted, "w", encoding="utf-8") as f:
                    f.write(kept)
        doc = os.path.join(tree, "docs/architecture.md")
        with open(doc, encoding="utf-8") as f:
            text = f.read()
        at = text.index("\n", text.index("| the line limit (")) + 1
        with open(doc, "w", encoding="utf-8") as f:
            f.write(text[:at] + TWIN_ROW + text[at:])
        code, out = check(tree)
        if code != 1 or "the rule table gives ghostLineLimit in rows" not in out:
            failures.append("a rule in two rows: exit %d\n%s" % (code, out))
    for failure in failures:
        print(failure)
    print("%d passed, %d failed" % (len(PLANTS) + 2 - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
