// A short run on the stand-in host in virtual time, played identically on every platform: record one lap
// of a workshop map (with a pause in the middle), finish, export it as "CrossCheck.ghost", select it
// through lm_ghostfilepath (which imports it). The ghost file's bytes are copied to `ghostCopy` and the
// console transcript to `ghostCopy` + ".console", so the Windows and Linux runs can be compared byte for byte.
#pragma once

#include <filesystem>

#include "Checks.h"

void runGhostScenario(const std::filesystem::path& plugin, const std::filesystem::path& root,
                      const std::filesystem::path& ghostCopy, Checks& checks);
