// A short run on the stand-in host in virtual time, played identically on every platform: record one lap
// of a workshop map (with a pause in the middle), finish, export it as "CrossCheck.ghost", select it
// through lm_ghostfilepath (which imports it), then open the ghost folder with lm_open_folder. The game's
// root lies under `root` in a folder with a non-ASCII name. The console transcript and the ghost file are
// checked against texts computed here, and the host's folder opener must receive the folder as UTF-8 (its
// UTF-16 form, as the Windows shell would get it, is checked too). Then ghosts named "Café", "Straße" and a
// CJK letter are exported, found on disk under their UTF-8 names, listed on the page and picked from it, and
// a ghost holding values near the float range's ends is played to finite places only.
// The ghost file's bytes are copied to `ghostCopy` and the transcript to `ghostCopy` + ".console", so the
// Windows and Linux runs can be compared byte for byte.
#pragma once

#include <filesystem>

#include "Checks.h"

void runGhostScenario(const std::filesystem::path& plugin, const std::filesystem::path& root,
                      const std::filesystem::path& ghostCopy, Checks& checks);
