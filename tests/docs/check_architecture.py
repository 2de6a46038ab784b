#!/usr/bin/env python3
"""docs/architecture.md's tables against the tree, read as they are when the test runs.

The member table ("One class, many rooms") must name every member function plugin/Lumaro.h declares: by its
name, or by a pattern such as `find*Variable`. Every file named in "Where each shared rule lives" must exist.
Prints what is missing and exits 1; exits 0 when the tables hold.

Usage: check_architecture.py TREE_ROOT
"""
import fnmatch
import os
import re
import sys


def section(text, title):
    """The lines of the section under the heading `## title`, up to the next heading of that level."""
    start = text.index("\n## " + title + "\n")
    end = text.find("\n## ", start + 1)
    return text[start:end if end != -1 else len(text)].splitlines()


def table_cells(lines, column):
    """The text of one column of every row of the section's table, heading and rule rows left out."""
    rows = [line for line in lines if line.startswith("|")]
    return [row.split("|")[column + 1].strip() for row in rows[2:]]


def declared_members(header):
    """The member functions the class declares: a name followed by its parameter list, one declaration a
    statement, the comments and data members left out."""
    body = header[header.index("class Lumaro"):]
    body = re.sub(r"//[^\n]*", "", body)
    names = set()
    for statement in body.split(";"):
        found = re.search(r"(?:^|[\s*&:>])([A-Za-z_]\w*)\s*\(", statement)
        if found and "=" not in statement[:found.start()] and found.group(1) not in ("operator", "decltype"):
            names.add(found.group(1))
    return names


def main():
    root = sys.argv[1]
    with open(os.path.join(root, "docs", "architecture.md"), encoding="utf-8") as f:
        doc = f.read()
    with open(os.path.join(root, "plugin", "Lumaro.h"), encoding="utf-8") as f:
        header = f.read()
    problems = []

    listed = []
    for cell in table_cells(section(doc, "One class, many rooms"), 0):
        listed += re.findall(r"`([^`]+)`", cell)
    for member in sorted(declared_members(header)):
        if not any(fnmatch.fnmatchcase(member, pattern) for pattern in listed):
            problems.append("plugin/Lumaro.h declares %s, which the member table does not name" % member)

    for cell in table_cells(section(doc, "Where each shared rule lives"), 1):
        for named in re.findall(r"`([^`]+)`", cell):
            if "/" in named and re.search(r"\.(h|cpp)$", named) and not os.path.isfile(os.path.join(root, named)):
                problems.append("the rule table names %s, which does not exist" % named)

    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
