// What the host relies on when it loads the plugin library, checked through the platform's own loader:
// the 64-byte "exports" record field by field at its offsets, its two entry points against the loader's
// lookups of "getPlugin" and "deleteMe", then getPlugin, the two host pointers, onLoad, onUnload and
// deleteMe on a stand-in game, and a second load through the stand-in host's own loader. Games are made
// in sub-folders of `root`.
#pragma once

#include <filesystem>

#include "Checks.h"

void checkPluginLoad(const std::filesystem::path& plugin, const std::filesystem::path& root, Checks& checks);
