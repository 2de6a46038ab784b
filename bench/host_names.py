"""The names the host knows, the lap limits and the version a ghost file is written with, and the status texts
the plugin shows, read from their homes in the tree (plugin/HostNames.h, plugin/Messages.h), so that a
benchmark never spells one of its own.

    host_names.name("cvar", "ghostFilePath")  # the selection's console variable
    host_names.WRITTEN_VERSION                # the version every exported file is written with
    os.path.join(root, *host_names.GHOST_FOLDER)  # the ghost folder under a game's folder, as SETTINGS_PAGE
    host_names.message("noGhostLoaded")       # the status text of that name
    host_names.naming("imported", "My.ghost")  # "Imported My.ghost."
"""
import os
import re

TREE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def _constants(home):
    """Each string or whole-number constant of a home, by (innermost namespace, name), as text; "" outside a
    namespace of names."""
    constants = {}
    namespaces = [""]
    with open(os.path.join(TREE, home), encoding="utf-8") as f:
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


_CONSTANTS = _constants(os.path.join("plugin", "HostNames.h"))
_FOLDERS = _constants(os.path.join("host", "GameNames.h"))
_MESSAGES = _constants(os.path.join("plugin", "Messages.h"))


def name(namespace, constant):
    return _CONSTANTS[(namespace, constant)]


def message(constant):
    return _MESSAGES[("messages", constant)]


def naming(constant, subject):
    """The status text that names subject after the opening words of that name, as the plugin makes it."""
    return message(constant) + subject + message("messageEnd")


WRITTEN_VERSION = _CONSTANTS[("", "writtenGhostVersion")]


def _folder(constant):
    return _FOLDERS[("folder", constant)]


# The ghost folder and the settings page's file under the game's folder, as path components.
GHOST_FOLDER = (_folder("host"), _folder("data"), _CONSTANTS[("names", "ghostFolderName")])
SETTINGS_PAGE = (_folder("host"), _folder("plugins"), _folder("settingsPages"),
                 _CONSTANTS[("names", "pluginName")] + _folder("settingsPageExtension"))
