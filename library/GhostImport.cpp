// Ghost import: the file named by lm_ghostfilepath (an absolute path, or a path under the ghost folder) becomes
// the loaded ghost. A file that does not read cleanly never ends the import with an error: the frames before
// the bad line are kept. Only a regular file is read; anything else is reported as no ghost found.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "library/DeviceName.h"
#include "library/GhostFileName.h"
#include "library/GhostFileRead.h"
#include "library/GhostFormat.h"
#include "library/NumberReading.h"
#include "playback/GhostFrameOrder.h"
#include "plugin/GhostFrame.h"
#include "plugin/Lumaro.h"

namespace {

std::string badLineMessage(const std::string& selection, const BadFrameLine& bad, std::size_t framesLoaded) {
  const char* problem = bad.error == NumberError::OutOfRange  ? "is out of range"
                        : bad.error == NumberError::NotFinite ? "is not a finite number"
                                                              : "is not a number";
  return "Stopped reading " + selection + " at line " + std::to_string(bad.lineNumber) + ": the " +
         std::string(frameFieldName(bad.field)) + " value " + problem +
         " (frames loaded: " + std::to_string(framesLoaded) + ").";
}

std::string longLineMessage(const std::string& selection, std::size_t lineNumber, std::size_t framesLoaded) {
  return "Stopped reading " + selection + " at line " + std::to_string(lineNumber) + ": the line is longer than " +
         std::to_string(ghostLineLimit) + " bytes (frames loaded: " + std::to_string(framesLoaded) + ").";
}

std::string skippedLinesMessage(const std::string& selection, std::size_t skipped) {
  return "Skipped " + std::to_string(skipped) + (skipped == 1 ? " line of " : " lines of ") + selection +
         " with fewer than seven fields.";
}

}  // namespace

void Lumaro::importGhost(bool announce) {
  const std::string selection = cvarManager->getCvar("lm_ghostfilepath").getStringValue();
  GhostFileRead read;
  if (const auto file = selectedGhostFile(ghostFolder(), selection)) {
    read = readGhostFile(*file, ghostFrames);
  } else {
    ghostFrames = {};
  }
  // The import tells playback the time order it saw, so no playback start looks at every frame again.
  ghostFrameOrder.learn(ghostFrames, read.report.inTimeOrder);
  if (!read.opened) {
    if (announce) {
      logStatus("No Ghost found " + selection + (read.deviceName ? ": " + std::string(deviceNameReason) : "") + ".");
    }
    return;
  }
  const FrameReadReport& report = read.report;
  if (!announce) return;

  if (report.badLine) {
    logStatus(badLineMessage(selection, *report.badLine, ghostFrames.size()));
  } else if (report.tooLongLine) {
    logStatus(longLineMessage(selection, *report.tooLongLine, ghostFrames.size()));
  } else {
    logStatus("Imported " + selection + ".");
    if (ghostFrames.empty()) logStatus(selection + " holds no frames.");
  }
  if (report.skippedLines > 0) logStatus(skippedLinesMessage(selection, report.skippedLines));
}
