#!/usr/bin/env python3
"""docs/architecture.md's tables against the tree, read as they are when the test runs.

The member table ("One class, many rooms") must name every member function and data member plugin/Lumaro.h
declares: by its name, or by a pattern such as `find*Variable`. Every file named in "Where each shared rule
lives" must exist. The names table ("The names the host knows") must give every name constant of the names'
homes (plugin/HostNames.h, host/GameNames.h) with its text, however it is declared, and no source outside
those homes (.cpp, .cc, .h, .hpp, .py, .js, .sh, and a script without an ending by its first line; tests and
docs aside) may spell one of those names in a
string literal of its own (a shell script's line is one): the literal that is the name, or a word of a longer
one. The host's folders and the plugin's name, common words, count where a literal is the name or holds it as
a path's component ("tessaro/data"); the settings page's file ("Lumaro.set") anywhere. A literal is read as
its language reads it: escapes read (a backslash-newline splices the line), literals joined across lines (or
by a +; a shell's quoted words as the shell joins them) as one, Python's bytes as text, and of Python only the
docstrings left out. The lap limits may not stand as numbers in a literal ("1 to 6", "1-6", "1..6") nor as
bounds in code (clamp(laps, 1, 6), >= 1 ... <= 6, 1 <= laps <= 6, range(1, 7)), and no rule (a constant,
function or quoted text) may stand in the rule column of two rows of the rule table. Prints what is missing
and exits 1; exits 0 when the tables hold.

Usage: check_architecture.py TREE_ROOT
"""
import ast
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


def declared_data(header):
    """The data members the class declares: a statement with no parameter list before its initializer,
    access labels, type names and aliases left out."""
    body = header[header.index("class Lumaro"):]
    body = re.sub(r"//[^\n]*", "", body[body.index("{") + 1:])
    names = set()
    for statement in body.split(";"):
        statement = re.sub(r"\b(?:public|private|protected)\s*:", "", statement).strip()
        declaration = re.split(r"[={]", statement)[0]
        if not declaration or "(" in declaration or re.match(r"(?:using|friend|typedef|enum|struct|class)\b", declaration):
            continue
        # Each declarator of `bool a, b = false;`: template arguments, initializers and their lists taken out
        # first, so that only the commas between declarators are left.
        while re.search(r"<[^<>]*>|\([^()]*\)|\{[^{}]*\}", statement):
            statement = re.sub(r"<[^<>]*>|\([^()]*\)|\{[^{}]*\}", " ", statement)
        first, *others = [re.split(r"=", piece)[0] for piece in statement.split(",")]
        found = re.search(r"[\s*&>]([A-Za-z_]\w*)\s*(?:\[[^\]]*\])?\s*$", first)
        if found:
            names.add(found.group(1))
        for other in others:
            found = re.fullmatch(r"\s*[*&]*\s*([A-Za-z_]\w*)\s*(?:\[[^\]]*\])?\s*", other)
            if found:
                names.add(found.group(1))
    return names


NAME_HOMES = ("plugin/HostNames.h", "host/GameNames.h")
# The namespaces of the names the host, the map and the console know; no other source may spell these.
SPELT_ONCE = ("command", "cvar", "kismet", "event", "hostCommand")
# Names that are common words too: the host's folders, the plugin's name, the settings menu. Spelt by a literal
# that is the name, or holds it as a path's component.
SPELT_AS_PATH = {("folder", None), ("", "pluginName"), ("", "ghostFolderName"), ("", "settingsMenu")}
# The help texts, prose for a reader, may write the host's folders and the settings page's file out in full;
# the benchmarks' reader of the homes names the folders' constants, whose names are their texts.
HELP_PROSE = ("tools/host/Help.cpp", "tools/ghost/GhostTool.cpp", "bench/host_names.py")
SCANNED = (".cpp", ".cc", ".h", ".hpp", ".py", ".js", ".sh")
# A script without one of those endings is read by the interpreter its first line names.
INTERPRETERS = {"sh": ".sh", "bash": ".sh", "dash": ".sh", "python3": ".py", "python": ".py", "node": ".js"}
NOT_SCANNED = ("tests", "docs", "build", ".git")
# The namespaces that hold the names' homes as a whole: a constant in one of them is named without it.
OUTER_NAMESPACES = ("", "names", "gameNames")


def name_constants(root):
    """Each `inline constexpr TYPE NAME = VALUE;` (or `char NAME[] = VALUE;`) of the names' homes whose value is
    a string or a number, as (innermost namespace, NAME, VALUE), a string's value without its quotes; a
    declaration wrapped over several lines read as one."""
    constants = []
    for home in NAME_HOMES:
        with open(os.path.join(root, home), encoding="utf-8") as f:
            namespaces = [""]
            for line in statements_of(f.read()):
                opened = re.match(r"namespace ([\w:]+) \{", line)
                if opened:
                    namespaces.append(opened.group(1).split("::")[-1])
                elif line.startswith("}  // namespace"):
                    namespaces.pop()
                found = re.match(r'\s*(?:inline\s+|static\s+)*(?:constexpr|const)\s+(?:const\s+)?[\w:<>]+\s*\*?\s*'
                                 r'(?:const\s+)?(\w+)\s*(?:\[\s*\d*\s*\]\s*)?(?:=\s*|\{\s*|=\s*\{\s*)'
                                 r'(?:"([^"]*)"|(-?[\d.]+))\s*\}?;', line)
                if found:
                    constants.append((namespaces[-1], found.group(1), found.group(2) or found.group(3)))
    return constants


def statements_of(text):
    """A header's lines with a declaration that runs over several lines (`... =` and its value on the next, as
    clang-format wraps a long one) joined into one."""
    lines = []
    pending = ""
    for line in text.splitlines():
        if pending:
            pending += " " + line.strip()
        elif re.match(r"\s*(?:inline\s+|static\s+)*(?:constexpr|const)\b", line) and ";" not in line:
            pending = line
        else:
            lines.append(line)
        if pending and ";" in pending:
            lines.append(pending)
            pending = ""
    return lines + ([pending] if pending else [])


def constant_name(namespace, name):
    """How the names table gives a constant: `cvar::lapCount`, `folder::data`, or `mostLaps` outside a
    namespace of its own."""
    return name if namespace in OUTER_NAMESPACES else namespace + "::" + name


CPP_ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "a": "\a", "b": "\b", "f": "\f", "v": "\v", "0": "\0"}


def read_escapes(body):
    """An ordinary C++ or JavaScript literal's text with its escapes read (\\x4e as N, \\116 as N, \\u004e as
    N, \\n as a line feed), so that a name spelt through escapes is the name."""
    def one(match):
        escape = match.group(1)
        if escape == "\n":
            return ""  # a line spliced: the literal goes on on the next line
        if escape[0] in "xX":
            return chr(int(escape[1:], 16))
        if escape[0] in "uU":
            return chr(int(escape[1:].strip("{}"), 16))
        if escape[0] in "01234567" and len(escape) > 1 or escape[0] in "1234567":
            return chr(int(escape, 8))
        return CPP_ESCAPES.get(escape, escape)
    return re.sub(r"\\(x[0-9a-fA-F]+|u\{[0-9a-fA-F]+\}|u[0-9a-fA-F]{4}|U[0-9a-fA-F]{8}|[0-7]{1,3}|.)", one, body,
                  flags=re.S)


def joined(pieces, text):
    """The literals as the compiler sees them: each piece, and each run of pieces that only blanks, comments or a
    + stand between (adjacent literals joined, or a literal split across lines), as one text, its escapes read."""
    found = []
    run = []
    for start, end, line, body, raw in pieces:
        between = text[run[-1][1]:start] if run else ""
        if run and re.fullmatch(r"(?:\s|\+|//[^\n]*|/\*.*?\*/)*", between, re.S) and between.count("+") <= 1:
            run.append((start, end, line, body, raw))
        else:
            if len(run) > 1:
                found.append((run[0][2], "".join(piece[3] if piece[4] else read_escapes(piece[3]) for piece in run)))
            run = [(start, end, line, body, raw)]
        found.append((line, body))
        if not raw and read_escapes(body) != body:
            found.append((line, read_escapes(body)))
    if len(run) > 1:
        found.append((run[0][2], "".join(piece[3] if piece[4] else read_escapes(piece[3]) for piece in run)))
    return found


def string_literals(text):
    """The string literals of a C++ source as (line, text), comments and character literals skipped; a raw
    string's text as it stands, an ordinary one as written and with its escapes read, and literals the
    compiler joins (split across lines) joined too."""
    pieces = []
    text = re.sub(r"(?m)^\s*#\s*include[^\n]*", "", text)
    token = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:[^\'\\\n]|\\.)*\'|(?<![\w])(?:u8|[uUL])?R"([^(\s]*)\(|"((?:[^"\\\n]|\\.)*)"',
                       re.S)
    at = 0
    while True:
        match = token.search(text, at)
        if not match:
            return joined(pieces, text)
        at = match.end()
        line = text.count("\n", 0, match.start()) + 1
        if match.group(2) is not None:
            pieces.append((match.start(), match.end(), line, match.group(2), False))
        elif match.group(1) is not None:
            end = text.find(")" + match.group(1) + '"', at)
            pieces.append((match.start(), end + len(match.group(1)) + 2, line, text[at:end], True))
            at = end + len(match.group(1)) + 2


def script_literals(text):
    """The string literals of a JavaScript source ('...', "...", `...`) as (line, text), comments skipped; as
    written and with their escapes read, and literals joined by a + joined too."""
    pieces = []
    token = re.compile(r'//[^\n]*|/\*.*?\*/|(["\'`])((?:(?!\1)[^\\]|\\.)*)\1', re.S)
    for match in token.finditer(text):
        if match.group(1):
            pieces.append((match.start(), match.end(), text.count("\n", 0, match.start()) + 1, match.group(2), False))
    return joined(pieces, text)


def shell_lines(text):
    """Each line of a shell script that is no comment, as (line, text): the words of a command are the
    script's literals."""
    lines = [(number, line) for number, line in enumerate(text.splitlines(), 1) if not line.lstrip().startswith("#")]
    # Quoted words the shell joins ("lm_""lapNbr", lm_'lapNbr') as it joins them.
    return lines + [(number, re.sub(r"[\"']", "", line)) for number, line in lines if re.search(r"[\"']", line)]


def python_sum(node):
    """The text of literals joined by + ("lm_" + "lapNbr"), bytes read as text; None when a part is no literal."""
    if isinstance(node, ast.Constant) and isinstance(node.value, (str, bytes)):
        return node.value if isinstance(node.value, str) else node.value.decode("latin-1")
    if isinstance(node, ast.BinOp) and isinstance(node.op, ast.Add):
        left, right = python_sum(node.left), python_sum(node.right)
        return None if left is None or right is None else left + right
    return None


def python_literals(text):
    """The string literals of a Python source as (line, text): each token with its prefix and quotes taken off
    and its escapes unread (an f-string's text with its fields), and each string as Python reads it, escapes
    read and adjacent literals joined (split across lines). A docstring (the string that opens a module, class
    or function) is a comment, and left out; a string that opens any other statement is not."""
    found = []
    docstrings = set()
    try:
        tree = ast.parse(text)
    except (SyntaxError, ValueError):
        tree = None
    if tree is not None:
        for node in ast.walk(tree):
            body = getattr(node, "body", None)
            if isinstance(node, (ast.Module, ast.ClassDef, ast.FunctionDef, ast.AsyncFunctionDef)) and body and \
                    isinstance(body[0], ast.Expr) and isinstance(body[0].value, ast.Constant) and \
                    isinstance(body[0].value.value, str):
                docstrings.add((body[0].value.lineno, body[0].value.col_offset))
        for node in ast.walk(tree):
            if isinstance(node, ast.Constant) and isinstance(node.value, str) and \
                    (node.lineno, node.col_offset) not in docstrings:
                found.append((node.lineno, node.value))
            elif isinstance(node, ast.Constant) and isinstance(node.value, bytes):
                found.append((node.lineno, node.value.decode("latin-1")))
            elif isinstance(node, ast.BinOp) and isinstance(node.op, ast.Add):
                added = python_sum(node)
                if added is not None:
                    found.append((node.lineno, added))
    try:
        for token in tokenize.generate_tokens(io.StringIO(text).readline):
            if token.type == tokenize.STRING and token.start not in docstrings:
                body = re.match(r'(?is)[a-z]*("""|\'\'\'|"|\')(.*)\1$', token.string)
                found.append((token.start[0], body.group(2) if body else token.string))
    except (tokenize.TokenError, SyntaxError):
        pass
    return found


def names_in(literal, spelt):
    """Whether a literal holds a name as a word of its own: the whole literal, or a word of a longer text (a
    console line inside a help text, a scenario a benchmark writes), an escape such as \\n ending a word."""
    words = re.sub(r"\\.", " ", literal)
    word = r"(?<![\w])" + re.escape(spelt) + r"(?!\w)"
    return literal == spelt or re.search(word, words) is not None


def path_names_in(literal, spelt):
    """Whether a literal is the name, or holds it as a component of a path ("tessaro/data", "./Ghosts/")."""
    component = r"(?:(?<=[/\\])%s(?![\w.-])|(?<![\w.-])%s(?=[/\\]))" % (re.escape(spelt), re.escape(spelt))
    return literal == spelt or re.search(component, literal) is not None


# The limits and the version written, as a text spells them: the lap range ("1 to 6", "1-6", "1..6", "1...6",
# "1 through 6", "1 and 6", dashed) and the version ("1.1") as a number of its own.
def numbers_in(literal, constants):
    values = {name: value for _, name, value in constants}
    found = []
    laps = r"(?<![\w.])%s\s*(?:to|through|and|-|\u2013|\u2014|\.\.\.?|\u2026|,)\s*%s(?![\w.])" % (
        values["fewestLaps"], values["mostLaps"])
    if re.search(laps, literal):
        found.append(("fewestLaps to mostLaps", values["fewestLaps"] + " to " + values["mostLaps"]))
    version = r"(?<![\w.])%s(?![\w.]|\.\d)" % re.escape(values["writtenGhostVersion"])
    if re.search(version, re.sub(r"\\.", " ", literal)):
        found.append(("writtenGhostVersion", values["writtenGhostVersion"]))
    return found


def code_of(text, kind):
    """A source's code alone: its comments and literals blanked (lines kept), what numbers_in_code reads."""
    if kind == ".py":
        kept = []
        try:
            for token in tokenize.generate_tokens(io.StringIO(text).readline):
                blank = token.type in (tokenize.STRING, tokenize.COMMENT) or "\n" in token.string
                kept.append((token.start[0], " " if blank else token.string))
        except (tokenize.TokenError, SyntaxError):
            return ""
        lines = {}
        for line, word in kept:
            lines.setdefault(line, []).append(word)
        return "\n".join(" ".join(lines.get(line, [])) for line in range(1, text.count("\n") + 2))
    token = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:[^\'\\\n]|\\.)*\'|"(?:[^"\\\n]|\\.)*"|`(?:[^`\\]|\\.)*`', re.S)
    return token.sub(lambda match: re.sub(r"[^\n]", " ", match.group(0)), text)


def numbers_in_code(code, constants):
    """The lap limits written as numbers in code rather than named (a clamp's or a range's bounds "1, 6", a check
    ">= 1 ... <= 6", "< 1 || ... > 6" or chained "1 <= ... <= 6", Python's range(1, 7)), as (line, text)."""
    values = {name: value for _, name, value in constants}
    least, most = int(values["fewestLaps"]), int(values["mostLaps"])
    bounds = [r"(?<![\w.])%d\s*,\s*%d(?![\w.])" % (least, most),
              r">=\s*%d(?![\w.])[^;\n]*?<=\s*%d(?![\w.])" % (least, most),
              r"<\s*%d(?![\w.])[^;\n]*?>\s*%d(?![\w.])" % (least, most),
              r"(?<![\w.])%d\s*<=[^;\n]*?<=\s*%d(?![\w.])" % (least, most),
              r"(?<![\w.])%d\s*>=[^;\n]*?>=\s*%d(?![\w.])" % (most, least),
              r"\brange\s*\(\s*%d\s*,\s*%d\s*\)" % (least, most + 1)]
    found = []
    for number, line in enumerate(code.splitlines(), 1):
        if any(re.search(pattern, line) for pattern in bounds):
            found.append((number, line.strip()))
    return found


def script_kind(path):
    """The ending a script without one would have, by the interpreter its first line names (#!/bin/sh,
    #!/usr/bin/env bash), or None for no script."""
    with open(path, "rb") as f:
        first = f.readline(200)
    found = re.match(rb"#!\s*(\S+)(?:\s+(\S+))?", first)
    if not found:
        return None
    interpreter = os.path.basename(found.group(1).decode(errors="replace"))
    if interpreter == "env" and found.group(2):
        interpreter = found.group(2).decode(errors="replace")
    return INTERPRETERS.get(interpreter)


def spelt_names(root, names):
    """Where a source (C++ or Python) outside the names' homes spells a name: a literal that is the name or
    holds it as a word, or a literal that spells the lap limits or the version written as numbers."""
    problems = []
    homes = " or ".join(NAME_HOMES)
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = sorted(d for d in subfolders if os.path.relpath(os.path.join(folder, d), root) not in NOT_SCANNED)
        for name in sorted(files):
            path = os.path.relpath(os.path.join(folder, name), root)
            kind = os.path.splitext(name)[1]
            if path in NAME_HOMES or os.path.islink(os.path.join(root, path)):
                continue
            if kind not in SCANNED:
                kind = script_kind(os.path.join(root, path)) if not kind else None
                if kind is None:
                    continue
            with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                text = f.read()
            if kind == ".py":
                literals = python_literals(text)
            elif kind == ".js":
                literals = script_literals(text)
            elif kind == ".sh":
                literals = shell_lines(text)
            else:
                literals = string_literals(text)
            if kind != ".sh":
                for line, code in numbers_in_code(code_of(text, kind), names):
                    problems.append("%s:%d spells fewestLaps to mostLaps in code (%s), whose home is %s" %
                                    (path, line, code, homes))
            for line, literal in sorted(set(literals)):
                for namespace, constant, spelt in names:
                    if re.fullmatch(r"-?[\d.]+", spelt):
                        continue  # a number in a text is no name; the lap limits and version are read below
                    outer = "" if namespace in OUTER_NAMESPACES else namespace
                    as_path = path not in HELP_PROSE and ((outer, None) in SPELT_AS_PATH or (outer, constant) in SPELT_AS_PATH)
                    as_word = namespace in SPELT_ONCE or (constant == "settingsPageFile" and path not in HELP_PROSE)
                    if (as_word and names_in(literal, spelt)) or (as_path and path_names_in(literal, spelt)):
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
    for member in sorted(declared_members(header) | declared_data(header)):
        if not any(fnmatch.fnmatchcase(member, pattern) for pattern in listed):
            problems.append("plugin/Lumaro.h declares %s, which the member table does not name" % member)

    # A rule given in two rows of the rule table has two homes: the same named constant, function or quoted text
    # in the rule column of two rows.
    first_row = {}
    for row, cell in enumerate(table_cells(section(doc, "Where each shared rule lives"), 0), 1):
        for named in set(re.findall(r'`([^`]+)`|"([^"]+)"', cell)):
            named = named[0] or named[1]
            if named.startswith("lumaro-"):
                continue  # a tool that reads several rules, not a rule
            if named in first_row and first_row[named] != row:
                problems.append("the rule table gives %s in rows %d and %d: one rule, one row" %
                                (named, first_row[named], row))
            first_row.setdefault(named, row)

    for cell in table_cells(section(doc, "Where each shared rule lives"), 1):
        for named in re.findall(r"`([^`]+)`", cell):
            if "/" in named and re.search(r"\w\.\w+$", named) and " " not in named and \
                    not os.path.isfile(os.path.join(root, named)):
                problems.append("the rule table names %s, which does not exist" % named)

    constants = name_constants(root)
    rows = table_cells(section(doc, "The names the host knows"), 0)
    texts = table_cells(section(doc, "The names the host knows"), 1)
    for namespace, constant, value in constants:
        named = "`%s`" % constant_name(namespace, constant)
        if named not in rows or "`%s`" % value not in texts[rows.index(named)]:
            problems.append("the names table does not give %s as %s" % (named, value))
    values = {name: value for _, name, value in constants}
    # The settings page's file is joined from two names; its whole name is spelt nowhere else either.
    constants.append(("", "settingsPageFile", values["pluginName"] + values["settingsPageExtension"]))
    problems += spelt_names(root, constants)

    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
