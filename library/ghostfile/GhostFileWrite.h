// Writes a ghost file (and the settings page's file) so that neither a failure nor a crash costs the file
// already there: the new file is written beside the target under a scratch name, flushed to stable storage,
// and only then renamed over the target. The scratch file is always one this write creates: a fresh name is
// created exclusively (a link is never followed), whatever already stands at a name is left alone and the
// next name tried, and nothing but that file is ever removed.
// The one rule for links on every path the plugin writes or reads: each folder on the way to a file is followed
// wherever it leads (a ghost folder the player keeps in a synced folder, a settings folder that is a junction),
// as the reads, the folder listing, the folder made at load and the folder opened follow it, and nothing looks
// for links among the folders; a file's own name is never written through. The rename replaces the target's
// name itself, so a link planted there, or a second name of the file there, is replaced: what it leads to
// keeps its bytes. (A link at a file's own name is read through: RegularFileReader.)
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"

// How many scratch names a write tries before it gives up.
inline constexpr unsigned scratchAttempts = 100;

// The scratch name beside target that a write's attempt tries: "@<attempt>.part", or "@<attempt>" when that
// would be longer than the target's own name, so a scratch name is never longer than the target's unless the
// target's has fewer bytes than "@<attempt>" (a name that short is far below any limit a file system sets). An
// "@" is in no exported name and no name the page lists, so a scratch file that a crash leaves behind is neither
// overwritten by an export nor offered in the list.
std::filesystem::path ghostScratchPath(const std::filesystem::path& target, unsigned attempt);

// Nothing when target holds what write put into the stream; otherwise why not (the target is then as it was
// before). A target named as a Windows device is refused before anything is created.
std::optional<std::string> writeFileThroughScratch(const std::filesystem::path& target,
                                                   const std::function<void(std::ostream&)>& write);

// The same for bytes already made, handed to the system in one write (a write that takes only part of them is
// followed by one for the rest). Without flushToDisk the scratch file is renamed without waiting for the disk:
// for a file made again whenever the plugin starts (the settings page), which a power cut may cost but a
// reader never sees half written.
std::optional<std::string> writeFileThroughScratch(const std::filesystem::path& target, std::string_view bytes,
                                                   bool flushToDisk);

// Nothing when the ghost is in place; otherwise why it is not (the target is then as it was before).
std::optional<std::string> writeGhostFile(const std::filesystem::path& target, const GhostHeader& header,
                                          std::span<const GhostFrame> frames);
