#include "tools/ghost/ScenarioPicture.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "tools/ghost/GhostTool.h"

namespace lumaro_ghost {

namespace {

// A pause of a second or more between two writes ends one playback's piece of the ghost car's path.
constexpr std::int64_t playbackPause = sim::ticksPerSecond;

std::vector<std::vector<MapPoint>> ghostCarPath(const sim::Game& game) {
  std::vector<std::vector<MapPoint>> pieces;
  std::int64_t last = 0;
  for (const sim::KismetWrite& write : game.kismetWrites()) {
    if (write.variable != "GhostPosition" || write.type != sim::VariableType::Vector) continue;
    if (pieces.empty() || write.time - last >= playbackPause) pieces.emplace_back();
    pieces.back().push_back({write.vectorValue.X, write.vectorValue.Y});
    last = write.time;
  }
  return pieces;
}

std::vector<LoadedGhost> ghostFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error)) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<LoadedGhost> ghosts;
  for (const auto& file : files) {
    const std::u8string name = file.u8string();
    LoadResult loaded = loadGhost(std::string(name.begin(), name.end()));
    if (loaded.ghost && loaded.ghost->content.frames.size() >= 2) ghosts.push_back(std::move(*loaded.ghost));
  }
  return ghosts;
}

}  // namespace

std::string writeScenarioPicture(const std::filesystem::path& file, const sim::Game& game, const sim::Driver* driver,
                                 const std::string& scenarioName) {
  const std::vector<LoadedGhost> ghosts = ghostFiles(game.ghostFolder());
  Picture picture = ghostsPicture(ghosts);
  // A scenario's files are compared with lumaro-ghost, in the order the player chooses.
  picture.delta.reset();
  // Steps typed at the prompt have no scenario name.
  const std::string name = std::filesystem::path(scenarioName).stem().string();
  picture.title = "Scenario" + (name.empty() ? std::string() : " " + name) +
                  (game.mapName().empty() ? "" : " on " + game.mapName());
  if (picture.panels.empty()) {
    PicturePanel panel;
    panel.title = "No ghost file in the ghost folder";
    picture.panels.push_back(std::move(panel));
  }
  for (PicturePanel& panel : picture.panels) {
    if (driver != nullptr) {
      for (const sim::TrackPoint& point : driver->track().path()) panel.track.push_back({point.x, point.y});
      if (!panel.start) {
        const sim::CarPose line = driver->track().poseAt(driver->track().lineDistance());
        const sim::CarPose ahead = driver->track().poseAt(driver->track().lineDistance() + 1.0);
        panel.start = MapPoint{line.location.X, line.location.Y};
        panel.heading = headingFrom({*panel.start, {ahead.location.X, ahead.location.Y}});
      }
    }
    panel.ghostPath = ghostCarPath(game);
    if (panel.caption.empty()) {
      panel.caption = panel.ghostPath.empty() ? "the ghost car did not move" : "the ghost car's path";
    }
  }
  std::ofstream out(file, std::ios::binary);
  out << pictureSvg(picture);
  out.close();
  if (!out) return "cannot write the picture " + file.string();
  return "";
}

}  // namespace lumaro_ghost
