"""The names the host knows and the version a ghost file is written with, read from their home in the tree
(plugin/HostNames.h), so that a benchmark never spells one of its own.

    host_names.name("cvar", "ghostFilePath")  # "lm_ghostfilepath"
    host_names.WRITTEN_VERSION                # "1.1"
"""
import os
import re

HOME = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "plugin", "HostNames.h")


def _constants():
    """Each string constant of the home, by (innermost namespace, name); "" outside a namespace of names."""
    constants = {}
    namespaces = [""]
    with open(HOME, encoding="utf-8") as f:
        for line in f:
            opened = re.match(r"namespace (\w+) \{", line)
            if opened:
                namespaces.append(opened.group(1))
            elif line.startswith("}  // namespace"):
                namespaces.pop()
            found = re.match(r'inline constexpr std::string_view (\w+) = "([^"]*)";', line)
            if found:
                constants[(namespaces[-1], found.group(1))] = found.group(2)
    return constants


_CONSTANTS = _constants()


def name(namespace, constant):
    return _CONSTANTS[(namespace, constant)]


WRITTEN_VERSION = _CONSTANTS[("", "writtenGhostVersion")]
