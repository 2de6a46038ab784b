// Reads a ghost file from disk into the frame list, by the frame reader of the ghost format. Only a regular
// file is read, through RegularFileReader, in one pass. The list's room is taken once from the file's size,
// so its reading never copies a frame, and only the room its frames fill is ever written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"

struct GhostFileRead {
  bool opened = false;      // false: no such file, no regular file, or not readable; frames is then empty
  bool deviceName = false;  // not opened because the name is a Windows device's
  FrameReadReport report;   // with opened: what the frame reader met
};

// The room taken ahead for the frames of a file is bounded, so that a file of holes claiming a huge size asks
// for no more address space than this many frames (some 450 MiB); a longer file's list grows as it is read.
inline constexpr std::size_t mostFramesReservedAhead = std::size_t{1} << 24;

// The most frame lines a ghost file of fileBytes bytes can hold, as far as mostFramesReservedAhead.
std::size_t mostFramesInFile(std::uint64_t fileBytes);

// Replaces frames with the frames of file.
GhostFileRead readGhostFile(const std::filesystem::path& file, std::vector<GhostFrame>& frames);
