// Reads a ghost file from disk into the frame list, by the frame reader of the ghost format. Only a regular
// file is read, through RegularFileReader. The list is sized once from the count of the file's frame lines,
// so a loaded ghost holds sizeof(GhostFrame) bytes per frame and its reading never copies a frame.
#pragma once

#include <filesystem>
#include <vector>

#include "library/GhostFormat.h"
#include "plugin/GhostFrame.h"

struct GhostFileRead {
  bool opened = false;      // false: no such file, no regular file, or not readable; frames is then empty
  bool deviceName = false;  // not opened because the name is a Windows device's
  FrameReadReport report;   // with opened: what the frame reader met
};

// Replaces frames with the frames of file.
GhostFileRead readGhostFile(const std::filesystem::path& file, std::vector<GhostFrame>& frames);
