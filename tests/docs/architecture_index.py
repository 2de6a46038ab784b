#!/usr/bin/env python3
"""docs/architecture.md as an index of the tree: every path it names in backquotes (`race/RunLife.h`,
`tools/host/`, or a unit by its stem, `library/platform/FolderListing`) exists in the tree, and every member
its member table ("One class, many rooms") names is declared in plugin/Lumaro.h, in code rather than in a
comment (a pattern such as `find*Variable`, at least one). Prints what is missing and exits 1; exits 0 when
the index holds.

Usage: architecture_index.py TREE_ROOT
"""
import fnmatch
import glob
import os
import re
import sys


def read(root, path):
    with open(os.path.join(root, path), encoding="utf-8") as f:
        return f.read()


def main():
    root = sys.argv[1]
    doc = read(root, "docs/architecture.md")
    problems = []

    for named in sorted(set(re.findall(r"`([\w.-]+/[\w./-]*)`", doc))):
        path = os.path.join(root, named)
        if not os.path.exists(path) and not glob.glob(glob.escape(path) + ".*"):
            problems.append("docs/architecture.md names %s, which does not exist" % named)

    start = doc.index("\n## One class, many rooms\n")
    table = [line for line in doc[start:doc.index("\n## ", start + 1)].splitlines() if line.startswith("|")]
    code = [line.split("//")[0] for line in read(root, "plugin/Lumaro.h").splitlines()]
    words = set(re.findall(r"\w+", "\n".join(code)))
    for row in table[2:]:
        for member in re.findall(r"`([\w*]+)", row.split("|")[1]):
            if not fnmatch.filter(words, member):
                problems.append("the member table names %s, which plugin/Lumaro.h does not declare" % member)

    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
