// Ghost import: the file named by lm_ghostfilepath (an absolute path, or a path under the ghost folder) becomes
// the loaded ghost. A file that does not read cleanly never ends the import with an error: the frames before
// the bad line are kept. Only a regular file is read; anything else is reported as no ghost found.
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/ghostfile/GhostFileName.h"
#include "library/ghostfile/GhostFileRead.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/ImportMessages.h"
#include "library/platform/DeviceName.h"
#include "playback/GhostFrameOrder.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"
#include "plugin/Settings.h"
#include "race/RunLife.h"

void Lumaro::importGhost(bool announce) {
  const std::string selection = settings::ghostSelection(*cvarManager);
  GhostFileRead read;
  const std::optional<std::filesystem::path> file = selectedGhostFile(ghostFolder(), selection);
  if (file) {
    read = readGhostFile(*file, ghostFrames);
  } else {
    ghostFrames = {};
  }
  // The import tells playback the time order it saw, so no playback start looks at every frame again.
  ghostFrameOrder.learn(ghostFrames, read.report.inTimeOrder);
  // A run armed as a challenge races a ghost only while one is loaded.
  runLife.ghostChanged(!ghostFrames.empty());
  if (!read.opened) {
    if (announce) {
      logStatus(messages::naming(messages::noGhostFound,
                                 selection + (read.deviceName ? ": " + std::string(deviceRefusalReason(*file)) : "")));
    }
    return;
  }
  const FrameReadReport& report = read.report;
  if (!announce) return;

  if (report.badLine) {
    const BadFrameLine& bad = *report.badLine;
    logStatus(importStopMessage(selection, bad.lineNumber, badFieldReason(bad.field, bad.error), ghostFrames.size()));
  } else if (report.tooLongLine) {
    logStatus(importStopMessage(selection, *report.tooLongLine, longLineReason(), ghostFrames.size()));
  } else {
    logStatus(messages::naming(messages::imported, selection));
    if (ghostFrames.empty()) logStatus(selection + " holds no frames.");
  }
  if (report.skippedLines > 0) logStatus(skippedLinesMessage(selection, report.skippedLines));
}
