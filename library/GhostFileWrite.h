// Writes a ghost file so that a failure never costs the ghost already there: the new file is written beside
// the target under a scratch name and renamed over the target only once it is completely written and closed.
// The scratch file is always a new file: whatever stands at its name first (a file left by an earlier write,
// a link planted there) is removed without being followed, and the new file is created exclusively.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "library/GhostFormat.h"

// The scratch name beside target that a write goes through.
std::filesystem::path ghostScratchPath(const std::filesystem::path& target);

// Nothing when the ghost is in place; otherwise why it is not (the target is then as it was before).
std::optional<std::string> writeGhostFile(const std::filesystem::path& target, const GhostHeader& header,
                                          std::span<const GhostFrame> frames);
