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
import io
import os
import re
import sys
import tokenize


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
# The namespaces that hold the names' homes as a whole: a constant in one of them is named without it.
OUTER_NAMESPACES = ("", "names", "gameNames")


def name_constants(root):
    """Each `inline constexpr TYPE NAME = VALUE;` of the names' homes whose value is a string or a number, as
    (innermost namespace, NAME, VALUE), a string's value without its quotes."""
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
                found = re.match(r'inline constexpr [\w:]+ (\w+) = (?:"([^"]*)"|([\d.]+));', line)
                if found:
                    constants.append((namespaces[-1], found.group(1), found.group(2) or found.group(3)))
    return constants


def constant_name(namespace, name):
    """How the names table gives a constant: `cvar::lapCount`, `folder::data`, or `mostLaps` outside a
    namespace of its own."""
    return name if namespace in OUTER_NAMESPACES else namespace + "::" + name


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


def python_literals(text):
    """The string literals of a Python source as (line, text), its prefix and quotes taken off and its escapes
    unread; an f-string's text with its fields. A docstring (a string that is a statement of its own) is a
    comment, and left out."""
    found = []
    before = tokenize.NEWLINE
    try:
        for token in tokenize.generate_tokens(io.StringIO(text).readline):
            if token.type in (tokenize.COMMENT, tokenize.NL):
                continue
            starts_statement = before in (tokenize.NEWLINE, tokenize.INDENT, tokenize.DEDENT)
            before = token.type
            if token.type == tokenize.STRING and not starts_statement:
                body = re.match(r'(?is)[a-z]*("""|\'\'\'|"|\')(.*)\1$', token.string)
                found.append((token.start[0], body.group(2) if body else token.string))
    except (tokenize.TokenError, SyntaxError):
        pass
    return found


def names_in(literal, spelt):
    """Whether a literal holds a name as a word of its own: the whole literal, or a word of a longer text (a
    console line inside a help text, a scenario a benchmark writes), an escape such as \\n ending a word."""
    words = re.sub(r"\\.", " ", literal)
    word = r"(?<![\w./])" + re.escape(spelt) + r"(?![\w/]|\.\w)"
    return literal == spelt or re.search(word, words) is not None


# The limits and the version written, as a text spells them: the lap range ("1 to 6", "1-6", "1..6") and the
# version ("1.1") as a number of its own.
def numbers_in(literal, constants):
    values = {name: value for _, name, value in constants}
    found = []
    laps = r"(?<![\w.])%s\s*(?:to|-|\.\.|,)\s*%s(?![\w.])" % (values["fewestLaps"], values["mostLaps"])
    if re.search(laps, literal):
        found.append(("fewestLaps to mostLaps", values["fewestLaps"] + " to " + values["mostLaps"]))
    version = r"(?<![\w.])%s(?![\w.]|\.\d)" % re.escape(values["writtenGhostVersion"])
    if re.search(version, re.sub(r"\\.", " ", literal)):
        found.append(("writtenGhostVersion", values["writtenGhostVersion"]))
    return found


def spelt_names(root, names):
    """Where a source (C++ or Python) outside the names' homes spells a name: a literal that is the name or
    holds it as a word, or a literal that spells the lap limits or the version written as numbers."""
    problems = []
    homes = " or ".join(NAME_HOMES)
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = sorted(d for d in subfolders if os.path.relpath(os.path.join(folder, d), root) not in NOT_SCANNED)
        for name in sorted(files):
            path = os.path.relpath(os.path.join(folder, name), root)
            if not name.endswith((".cpp", ".h", ".py")) or path in NAME_HOMES:
                continue
            with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                text = f.read()
            literals = python_literals(text) if name.endswith(".py") else string_literals(text)
            for line, literal in literals:
                for namespace, constant, spelt in names:
                    if namespace in SPELT_ONCE and names_in(literal, spelt):
                        problems.append("%s:%d spells %s (\"%s\"), whose home is %s" %
                                        (path, line, constant_name(namespace, constant), spelt, homes))
                for constant, spelt in numbers_in(literal, names):
                    problems.append("%s:%d spells %s (\"%s\"), whose home is %s" % (path, line, constant, spelt, homes))
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
