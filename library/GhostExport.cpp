// Ghost export: the last recorded run, written as a ghost file named after lm_export_filename. The checks run
// before anything is written, and the previous ghost of that name survives any failure to write the new one.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/GameWrapper.h"
#include "host/UnrealStringWrapper.h"
#include "library/ghostfile/GhostFileName.h"
#include "library/ghostfile/GhostFileWrite.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/ImportMessages.h"
#include "library/platform/PathText.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"
#include "plugin/Settings.h"
#include "race/RunLife.h"

std::string Lumaro::exportPathText() { return ghostPathText(settings::exportFileName(*cvarManager)); }

// A name that is not UTF-8 text names no Windows file: there is then none.
std::optional<std::filesystem::path> Lumaro::exportFile(const std::string& pathText) {
  std::optional<std::filesystem::path> target = pathFromUtf8IfAny(pathText);
  if (target) target = gameWrapper->FixRelativePath(*target);
  return target;
}

// The laps the run was raced over: a lap count changed after the finish does not make a one-lap run a
// three-lap ghost. A run with no finish of its own takes the lap count set now.
std::int32_t Lumaro::recordedRunLapCount() {
  return runLife.finishedLapCount().value_or(settings::lapCount(*cvarManager));
}

void Lumaro::exportGhost() {
  // A race whose last line was just crossed is written as it stands at the line, over the laps it was raced
  // over; its finish, due on the next tick, tells its time and keeps it as every finish does.
  const bool finishing = runLife.phase() == RunPhase::FinishSeen;
  const std::vector<GhostFrame>& frames = finishing ? runLife.frames() : recordedFrames;
  const std::string pathText = exportPathText();
  if (frames.empty()) {
    logStatus("No Ghost to export.");
    return;
  }
  // Without a file, the export fails below as a write would.
  const std::optional<std::filesystem::path> target = exportFile(pathText);
  const std::string playerName = gameWrapper->GetPlayerName().ToString();

  if (!checkMainSequence()) return;
  const std::string mapName = currentMapName();

  const std::int32_t lapCount = finishing ? runLife.raceLapCount() : recordedRunLapCount();
  const GhostHeader header{mapName, playerName, frames.back().time, lapCount, ghostFileVersion};
  if (mapName.empty()) {
    logStatus(std::string(messages::noMapName));
    return;
  }

  std::optional<std::string> failure;
  if (const auto refused = exportNameRefusal(settings::exportFileName(*cvarManager))) {
    failure = std::string(*refused);
  } else {
    failure =
        target ? writeGhostFile(*target, header, frames) : std::optional<std::string>("the name is not UTF-8 text");
  }
  if (failure) {
    // The selected ghost was not touched, so there is nothing to reload; the page still shows the outcome.
    logStatus("Could not export to " + pathText + ": " + *failure + ".");
    updateGhostList();
    return;
  }
  runLife.exported();
  logStatus(messages::naming(messages::exportedTo, pathText));
  // The page reads a header of at most ghostLineLimit bytes: a longer one (a map's or player's name of
  // thousands of bytes) leaves the run written but never listed, and the player is told so now.
  if (const std::size_t length = headerLine(header).size() - 2; length > ghostLineLimit) {
    logStatus(pathText + " cannot be listed: its header line is " + std::to_string(length) + " bytes long, " +
              longHeaderReason() + " (the map's or the player's name is too long).");
  }
  importGhost(false);
  updateGhostList();
}
