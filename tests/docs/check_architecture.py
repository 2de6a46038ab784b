#!/usr/bin/env python3
"""docs/architecture.md's tables against the tree, read as they are when the test runs.

The member table ("One class, many rooms") must name every member function plugin/Lumaro.h declares: by its
name, or by a pattern such as `find*Variable`. Every file named in "Where each shared rule lives" must exist.
The names table ("The names the host knows") must give every name constant of the names' homes
(plugin/HostNames.h, host/GameNames.h) with its text, and no .cpp or .h outside those homes (tests and docs
aside) may spell one of those names as a string literal of its own: the literal that is the name, or a console
line that starts with it. Prints what is missing and exits 1; exits 0 when the tables hold.

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


NAME_HOMES = ("plugin/HostNames.h", "host/GameNames.h")
# The namespaces of the names the host, the map and the console know; no other source may spell these.
SPELT_ONCE = ("command", "cvar", "kismet", "event", "hostCommand")
NOT_SCANNED = ("tests", "docs", "build", ".git")


def name_constants(root):
    """Each `inline constexpr TYPE NAME = VALUE;` of the names' homes, as (innermost namespace, NAME, VALUE),
    a string's value without its quotes."""
    constants = []
    for home in NAME_HOMES:
        with open(os.path.join(root, home), encoding="utf-8") as f:
            namespaces = [""]
            for line in f:
                opened = re.match(r"namespace ([\w:]+) \{", line)
                if opened:
                    namespaces.append(opened.group(1).split("::")[-1])
                elif line.startswith("}  // namespace"):
                    namespaces.pop()
                found = re.match(r'inline constexpr [\w:]+ (\w+) = "?([^";]*)"?;', line)
                if found:
                    constants.append((namespaces[-1], found.group(1), found.group(2)))
    return constants


def constant_name(namespace, name):
    """How the names table gives a constant: `cvar::lapCount`, or `mostLaps` outside a namespace of names."""
    return namespace + "::" + name if namespace in SPELT_ONCE else name


def string_literals(text):
    """The string literals of a C++ source as (line, text), comments and character literals skipped; a raw
    string's text as it stands, an ordinary one with its escapes unread."""
    found = []
    token = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:[^\'\\\n]|\\.)*\'|(?<![\w])(?:u8|[uUL])?R"([^(\s]*)\(|"((?:[^"\\\n]|\\.)*)"',
                       re.S)
    at = 0
    while True:
        match = token.search(text, at)
        if not match:
            return found
        at = match.end()
        line = text.count("\n", 0, match.start()) + 1
        if match.group(2) is not None:
            found.append((line, match.group(2)))
        elif match.group(1) is not None:
            end = text.find(")" + match.group(1) + '"', at)
            found.append((line, text[at:end]))
            at = end + len(match.group(1)) + 2


def spelt_names(root, names):
    """Where a source outside the names' homes spells a name: a literal that is the name, or a console line
    (the name, a blank, its arguments)."""
    problems = []
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = sorted(d for d in subfolders if os.path.relpath(os.path.join(folder, d), root) not in NOT_SCANNED)
        for name in sorted(files):
            path = os.path.relpath(os.path.join(folder, name), root)
            if not name.endswith((".cpp", ".h")) or path in NAME_HOMES:
                continue
            with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                text = f.read()
            for line, literal in string_literals(text):
                for namespace, constant, spelt in names:
                    if namespace in SPELT_ONCE and (literal == spelt or literal.startswith(spelt + " ")):
                        problems.append("%s:%d spells %s (\"%s\"), whose home is %s" %
                                        (path, line, constant_name(namespace, constant), spelt, " or ".join(NAME_HOMES)))
    return problems


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

    constants = name_constants(root)
    rows = table_cells(section(doc, "The names the host knows"), 0)
    texts = table_cells(section(doc, "The names the host knows"), 1)
    for namespace, constant, value in constants:
        named = "`%s`" % constant_name(namespace, constant)
        if named not in rows or "`%s`" % value not in texts[rows.index(named)]:
            problems.append("the names table does not give %s as %s" % (named, value))
    problems += spelt_names(root, constants)

    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
