"""The names the host knows, the lap limits and the version a ghost file is written with, and the status texts
the plugin shows, read from their homes in the tree (plugin/HostNames.h, plugin/Messages.h), so that a
benchmark never spells one of its own.

    host_names.name("cvar", "ghostFilePath")  # the selection's console variable
    host_names.WRITTEN_VERSION                # the version every exported file is written with
    host_names.message("noGhostLoaded")       # the status text of that name
"""
import os
import re

PLUGIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "plugin")


def _constants(home):
    """Each string or whole-number constant of a home, by (innermost namespace, name), as text; "" outside a
    namespace of names."""
    constants = {}
    namespaces = [""]
    with open(os.path.join(PLUGIN, home), encoding="utf-8") as f:
        for line in f:
            opened = re.match(r"namespace (\w+) \{", line)
            if opened:
                namespaces.append(opened.group(1))
            elif line.startswith("}  // namespace"):
                namespaces.pop()
            found = re.match(r'inline constexpr [\w:]+ (\w+) = "?([^";]*)"?;', line)
            if found:
                constants[(namespaces[-1], found.group(1))] = found.group(2)
    return constants


_CONSTANTS = _constants("HostNames.h")
_MESSAGES = _constants("Messages.h")


def name(namespace, constant):
    return _CONSTANTS[(namespace, constant)]


def message(constant):
    return _MESSAGES[("messages", constant)]


WRITTEN_VERSION = _CONSTANTS[("", "writtenGhostVersion")]
