"""The names the host knows, the lap limits, the ghost file's shape and the version it is written with, the tick
frames are spaced by, the settling time of a file's stamp, the page's list bytes and the status texts the
plugin shows, read from their homes in the tree (plugin/HostNames.h, plugin/Messages.h, library/ghostfile/GhostFormat.h,
bench/BenchGhosts.h, library/platform/FileStamp.h, ui/GhostChoice.h, ui/PageBytes.h and the headers they name), so that
a benchmark never spells one of its own.

    host_names.name("cvar", "ghostFilePath")  # the selection's console variable
    host_names.WRITTEN_VERSION                # the version every exported file is written with
    os.path.join(root, *host_names.GHOST_FOLDER)  # the ghost folder under a game's folder, as SETTINGS_PAGE
    host_names.message("noGhostLoaded")       # the status text of that name
    host_names.naming("imported", "My.ghost")  # "Imported My.ghost."
    host_names.header_line("Speedway", "Ann", 8000, 3)  # a ghost file's header line, as the plugin writes it
    host_names.FRAME_SPACING_MS               # the benchmarks' frames are this far apart

A constant is read as the C++ declares it: a declaration wrapped over lines, adjacent literals, a JoinedText of
other constants, a number with digit separators, and arithmetic of constants and of one-line constexpr
functions. A constant it cannot read fails, naming it, when a benchmark asks for it.
"""
import ast
import fractions
import os
import re

TREE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
HOMES = ("host/GameNames.h", "plugin/HostNames.h", "plugin/Messages.h", "host/HostClock.h", "bench/BenchGhosts.h",
         "library/ghostfile/GhostFormat.h", "library/ghostfile/GhostFileName.h", "library/platform/FileStamp.h", "ui/GhostChoice.h",
         "ui/PageBytes.h")


class Unread(Exception):
    pass


class Symbol:
    """A constant this reader cannot work out (std::chrono's own arithmetic), kept as a unit: what it cancels out
    of is still read (8 * ticksPerMillisecond / ticksPerMillisecond is 8)."""

    def __init__(self, value, units):
        self.value, self.units = fractions.Fraction(value), {u: p for u, p in units.items() if p}

    @staticmethod
    def of(x):
        return x if isinstance(x, Symbol) else Symbol(x, {})

    def _with(self, other, sign, value):
        units = dict(self.units)
        for unit, power in Symbol.of(other).units.items():
            units[unit] = units.get(unit, 0) + sign * power
        return Symbol(value, units).plain()

    def __mul__(self, other):
        return self._with(other, 1, self.value * Symbol.of(other).value)

    __rmul__ = __mul__

    def __truediv__(self, other):
        return self._with(other, -1, self.value / Symbol.of(other).value)

    def __rtruediv__(self, other):
        return Symbol.of(other) / self

    def plain(self):
        return self if self.units else (int(self.value) if self.value.denominator == 1 else float(self.value))


def _statements(text):
    """The header's lines, a declaration or function wrapped over several lines joined into one."""
    lines, pending = [], ""
    for line in text.splitlines():
        code = re.sub(r"//[^\n]*", "", line) if not line.startswith("}") else line
        if pending:
            pending += " " + code.strip()
        elif re.match(r"\s*(?:inline\s+)?constexpr\b", code) and not re.search(r";|\}\s*$", code):
            pending = code
        else:
            lines.append(code)
        if pending and re.search(r";\s*$|\}\s*$", pending):
            lines.append(pending)
            pending = ""
    return lines


class _Homes:
    def __init__(self):
        self.values = {}  # (innermost namespace, name): value, or an Unread
        self.texts = {}  # (innermost namespace, name): (home, the declaration's value as written, namespaces)
        self.functions = {}  # name: (parameter, expression)
        self.aliases = {}  # an alias's name: the namespace it stands for
        for home in HOMES:
            self._read(home)

    def _read(self, home):
        with open(os.path.join(TREE, home), encoding="utf-8") as f:
            text = f.read()
        namespaces = [""]
        for line in _statements(text):
            opened = re.match(r"namespace ([\w:]+) \{", line)
            alias = re.match(r"namespace (\w+) = ([\w:]+);", line)
            if opened:
                namespaces.append(opened.group(1).split("::")[-1])
            elif alias:
                self.aliases[alias.group(1)] = alias.group(2).split("::")[-1]
            elif line.startswith("}  // namespace"):
                namespaces.pop()
            function = re.match(r"\s*constexpr [\w:<>]+ (\w+)\([\w:<>]+ (\w+)\) \{ return (.*); \}", line)
            if function:
                self.functions[function.group(1)] = (function.group(2), function.group(3), tuple(namespaces))
            found = re.match(r"\s*inline constexpr (?:const )?[\w:<>]+\s*(?:const\s+)?\*?\s*(\w+)\s*(?:\[\])?\s*"
                             r"=\s*(.*);", line)
            if found:
                self.texts[(namespaces[-1], found.group(1))] = (home, found.group(2), tuple(namespaces))

    def get(self, namespace, name, within=("",)):
        """A constant by its innermost namespace (or an alias of it) and name; an unqualified name is looked for
        from the namespace it is named in outwards, as C++ looks."""
        namespace = self.aliases.get(namespace, namespace)
        keys = [(namespace, name)] if namespace else [(space, name) for space in reversed(within)]
        for key in keys:
            if key in self.texts:
                if key not in self.values:
                    self.values[key] = Unread("%s: %s cannot be read from %r" % (self.texts[key][0], name,
                                                                                 self.texts[key][1]))
                    self.values[key] = self._value(*self.texts[key][1:])
                if isinstance(self.values[key], Unread):
                    raise self.values[key]
                return self.values[key]
        raise Unread("no home read declares %s" % "::".join(filter(None, (namespace, name))))

    def _named(self, qualified, within):
        parts = qualified.split("::")
        return self.get(parts[-2] if len(parts) > 1 else "", parts[-1], within)

    def _value(self, text, within, bound=None):
        text = text.strip()
        if re.fullmatch(r'(?:u8)?"(?:[^"\\]|\\.)*"(?:\s*"(?:[^"\\]|\\.)*")*', text):
            return "".join(ast.literal_eval(piece) for piece in re.findall(r'"(?:[^"\\]|\\.)*"', text))
        if re.fullmatch(r"'(?:[^'\\]|\\.)'", text):
            return ast.literal_eval(text)
        joined = re.fullmatch(r"JoinedText<(.*)>::text", text)
        if joined:
            return "".join(self._named(part.strip(), within) for part in joined.group(1).split(","))
        return self._arithmetic(text, within, bound or {})

    def _arithmetic(self, text, within, bound):
        """Numbers, constants, * and /, casts and the one-line constexpr functions of the homes; anything else is
        a unit of its own."""
        source = re.sub(r"static_cast<[^<>]*>", "", text)
        names = {}

        def name(match):
            word = match.group(0)
            if re.fullmatch(r"[\d']+", word):
                return word.replace("'", "")
            key = "_%d" % len(names)
            names[key] = word
            return key
        source = re.sub(r"[A-Za-z_][\w:]*|[\d']+", name, source)
        if not re.fullmatch(r"[\w\s*/()+-]*", source):
            return Symbol(1, {text: 1})
        scope = {}
        for key, word in names.items():
            short = word.split("::")[-1]
            if re.search(r"\b%s\s*\(" % key, source):
                if short not in self.functions:
                    return Symbol(1, {text: 1})
                parameter, body, home = self.functions[short]
                scope[key] = lambda value, body=body, parameter=parameter, home=home: self._value(body, home,
                                                                                                {parameter: value})
            elif word in bound:
                scope[key] = bound[word]
            else:
                try:
                    scope[key] = self._named(word, within)
                except Unread:
                    scope[key] = Symbol(1, {word: 1})
        try:
            value = eval(source, {"__builtins__": {}}, scope)  # only names, numbers and + - * / ( ) are left
        except (ArithmeticError, TypeError, SyntaxError):
            return Symbol(1, {text: 1})
        return value.plain() if isinstance(value, Symbol) else value


_HOMES = _Homes()


def _constant(namespace, name):
    value = _HOMES.get(namespace, name)
    if isinstance(value, Symbol):
        raise Unread("%s is not a number of its own: %s" % (name, _HOMES.texts[(namespace, name)][1]))
    return value


def name(namespace, constant):
    return _constant(namespace, constant)


def message(constant):
    return _constant("messages", constant)


def naming(constant, subject):
    """The status text that names subject after the opening words of that name, as the plugin makes it."""
    return message(constant) + subject + message("messageEnd")


WRITTEN_VERSION = _constant("", "writtenGhostVersion")
# The benchmarks' frames are spaced by the stand-in host's scenario tick, in whole milliseconds.
FRAME_SPACING_MS = _constant("bench", "frameSpacingMs")
# How old a file's times must be before its stamp is trusted.
STAMP_SETTLING_SECONDS = _constant("", "stampSettlingNanoseconds") / 1e9
GHOST_EXTENSION = _constant("", "ghostExtension")


def _folder(constant):
    return _constant("folder", constant)


# The ghost folder and the settings page's file under the game's folder, as path components.
GHOST_FOLDER = (_folder("host"), _folder("data"), _constant("names", "ghostFolderName"))
SETTINGS_PAGE = (_folder("host"), _folder("plugins"), _folder("settingsPages"), _constant("names", "settingsPageFile"))

_LINE_END = _constant("", "ghostLineEnd")


def header_line(map_name, player, run_ms, laps):
    """A ghost file's header line with its line end, as the plugin writes an exported run's."""
    return ",".join((map_name, player, str(run_ms), "%d%s" % (laps, _constant("", "lapFieldEnd")),
                     WRITTEN_VERSION)) + _LINE_END


def frame_line(ms, x, y, z, pitch, yaw, roll):
    """A frame line with its line end: its time in milliseconds, the location to the hundredth, the rotation."""
    return "%d,%.2f,%.2f,%.2f,%d,%d,%d%s" % (ms, x, y, z, pitch, yaw, roll, _LINE_END)


def page_entries(page):
    """How many ghosts a settings page's bytes list: each entry's label ends in its file's name in brackets,
    followed by the separator of its value."""
    end = "%s%s%s" % (GHOST_EXTENSION, _constant("", "ghostChoiceFileClose"), _constant("", "pageLabelSeparator"))
    return page.count(end.encode())
