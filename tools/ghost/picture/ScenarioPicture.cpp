#include "tools/ghost/picture/ScenarioPicture.h"

#include <algorithm>
#include <compare>
#include <cstddef>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "host/HostClock.h"
#include "host/Values.h"
#include "library/platform/PathText.h"
#include "plugin/HostNames.h"
#include "plugin/Messages.h"
#include "sim/KismetMap.h"
#include "sim/Track.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/picture/GhostFilesPicture.h"
#include "tools/ghost/picture/PictureSvg.h"

namespace lumaro_ghost {

namespace {

// A pause of a second or more between two writes ends one playback's piece of the ghost car's path.
constexpr std::int64_t playbackPause = sim::ticksPerSecond;

struct Playback {
  std::int64_t start = 0;
  std::vector<MapPoint> path;
};

std::vector<Playback> ghostCarPlaybacks(const sim::Game& game) {
  std::vector<Playback> playbacks;
  std::int64_t last = 0;
  for (const sim::KismetWrite& write : game.kismetWrites()) {
    if (write.variable != names::kismet::ghostPosition || write.type != sim::VariableType::Vector) continue;
    if (playbacks.empty() || write.time - last >= playbackPause) playbacks.push_back({write.time, {}});
    playbacks.back().path.push_back({write.vectorValue.X, write.vectorValue.Y});
    last = write.time;
  }
  return playbacks;
}

// The file name a console line names after a prefix, up to its closing full stop: the last component of
// messages::exportedTo's "Exported to ./tessaro/data/Ghosts/My-PB.ghost." or messages::imported's "Imported
// My-PB.ghost.".
std::optional<std::string> namedFile(const std::string& line, std::string_view prefix) {
  const std::optional<std::string_view> named = messages::namedIn(line, prefix);
  if (!named) return std::nullopt;
  const std::string path(*named);
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<LoadedGhost> ghostFiles(const std::filesystem::path& folder, const std::vector<TimedConsoleLine>& console) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error)) files.push_back(entry.path());
  }
  // Files the scenario did not export first, by name; then the exported ones, by their last export.
  std::map<std::string, std::size_t> lastExport;
  for (std::size_t i = 0; i < console.size(); ++i) {
    if (const auto name = namedFile(console[i].text, messages::exportedTo)) lastExport[*name] = i + 1;
  }
  auto order = [&](const std::filesystem::path& file) {
    const std::u8string name = file.filename().u8string();
    const auto found = lastExport.find(std::string(name.begin(), name.end()));
    return std::pair{found == lastExport.end() ? 0 : found->second, file};
  };
  std::sort(files.begin(), files.end(), [&](const auto& a, const auto& b) { return order(a) < order(b); });
  std::vector<LoadedGhost> ghosts;
  for (const auto& file : files) {
    const std::u8string name = file.u8string();
    LoadResult loaded = loadGhost(std::string(name.begin(), name.end()));
    if (loaded.ghost && loaded.ghost->content.frames.size() >= 2) ghosts.push_back(std::move(*loaded.ghost));
  }
  return ghosts;
}

// The file the plugin had imported last before a moment, if any.
std::optional<std::string> importedBefore(const std::vector<TimedConsoleLine>& console, std::int64_t moment) {
  std::optional<std::string> imported;
  for (const TimedConsoleLine& line : console) {
    if (line.time > moment) break;
    if (auto name = namedFile(line.text, messages::imported)) imported = std::move(name);
  }
  return imported;
}

}  // namespace

std::string writeScenarioPicture(const std::filesystem::path& file, const sim::Game& game, const sim::Driver* driver,
                                 const std::string& scenarioName, const std::vector<TimedConsoleLine>& console) {
  const std::vector<LoadedGhost> ghosts = ghostFiles(game.ghostFolder(), console);
  Picture picture = runsPicture(ghosts, analyseGhosts(ghosts));
  // Steps typed at the prompt have no scenario name.
  const std::string name = utf8FromPath(pathFromUtf8(scenarioName).stem());
  picture.title = "Scenario" + (name.empty() ? std::string() : " " + name) +
                  (game.mapName().empty() ? "" : " on " + game.mapName());
  for (const Playback& playback : ghostCarPlaybacks(game)) {
    const std::optional<std::string> replayed = importedBefore(console, playback.start);
    auto panel = std::find_if(ghosts.begin(), ghosts.end(),
                              [&](const LoadedGhost& ghost) { return replayed && ghost.fileName == *replayed; });
    PicturePanel* into = nullptr;
    if (panel != ghosts.end()) {
      into = &picture.panels[static_cast<std::size_t>(panel - ghosts.begin())];
    } else {
      const std::string title = "The ghost car" + (replayed ? " replaying " + *replayed : std::string());
      auto own = std::find_if(picture.panels.begin(), picture.panels.end(),
                              [&](const PicturePanel& other) { return other.title == title; });
      if (own == picture.panels.end()) {
        PicturePanel added;
        added.title = title;
        added.caption = replayed ? "its file is no longer in the ghost folder" : "no ghost file was imported before it";
        picture.panels.push_back(std::move(added));
        own = picture.panels.end() - 1;
      }
      into = &*own;
    }
    into->ghostPath.push_back(playback.path);
  }
  if (picture.panels.empty()) {
    PicturePanel panel;
    panel.title = "No ghost file in the ghost folder";
    panel.caption = "the ghost car did not move";
    picture.panels.push_back(std::move(panel));
  }
  for (PicturePanel& panel : picture.panels) {
    if (driver == nullptr) continue;
    for (const sim::TrackPoint& point : driver->track().path()) panel.track.push_back({point.x, point.y});
    if (!panel.start) {
      const sim::CarPose line = driver->track().poseAt(driver->track().lineDistance());
      const sim::CarPose ahead = driver->track().poseAt(driver->track().lineDistance() + 1.0);
      panel.start = MapPoint{line.location.X, line.location.Y};
      panel.heading = headingFrom({*panel.start, {ahead.location.X, ahead.location.Y}});
    }
  }
  std::ofstream out(file, std::ios::binary);
  out << pictureSvg(picture);
  out.close();
  if (!out) return "cannot write the picture " + utf8FromPath(file);
  return "";
}

}  // namespace lumaro_ghost
