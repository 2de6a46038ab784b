// One run of the stand-in host with the plugin loaded: a game in its game root, the plugin library loaded
// through its exports as the host loads it, the current map with its track and the car's driver, and the
// steps of a scenario carried out on them one after another. Time passes only in drive and wait steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/HostClock.h"
#include "sim/Driver.h"
#include "sim/Game.h"
#include "sim/PluginLoader.h"
#include "tools/ghost/picture/ScenarioPicture.h"
#include "tools/host/MapFile.h"
#include "tools/host/Pacer.h"
#include "tools/host/ScenarioTick.h"
#include "tools/host/Script.h"
#include "tools/host/Transcript.h"

namespace lumaro_host {

struct SessionSettings {
  std::filesystem::path root;
  std::filesystem::path plugin;
  std::filesystem::path mapsFolder;  // where a map file is looked for last
  bool realtime = false;
  std::int64_t tickLength = scenarioTickLength;
  std::int64_t hostCallLength = 0;  // virtual time each host call of the plugin takes, in 100-ns ticks
  bool verbose = false;             // also report each expectation that holds
  bool keepRecords = true;          // every host call and Kismet write kept (a trace or picture reads them)
  bool rawPage = false;             // show page prints the page file's lines, not the page as a player sees it
};

struct StepOutcome {
  bool ok = true;
  std::string seen;  // when not ok: what the expectation saw, or why the step could not be carried out
};

class Session {
public:
  // Throws std::runtime_error when the plugin library cannot be loaded.
  Session(const SessionSettings& settings, std::ostream& out);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // folder: where the scenario lives; relative map and copy sources are looked for there first.
  StepOutcome run(const Step& step, const std::filesystem::path& folder);

  sim::Game& game() { return *game_; }
  const sim::LoadedPlugin& plugin() const { return *plugin_; }
  Transcript& transcript() { return transcript_; }
  const sim::Driver* driver() const { return driver_.get(); }
  // Game time since the session started, in 100-ns ticks.
  std::int64_t elapsed() const { return game_->now() - start_; }
  std::int64_t start() const { return start_; }
  int expectationsChecked() const { return expectationsChecked_; }
  // Every console line with the game time it was shown at, while the game keeps records.
  const std::vector<lumaro_ghost::TimedConsoleLine>& consoleLines() const { return consoleLines_; }

  // Runs the plugin's unload as the host does when it closes; the game and its files stay.
  void unloadPlugin();

private:
  StepOutcome loadMap(const LoadMap& step, const std::filesystem::path& folder);
  StepOutcome loadMainMenu();
  StepOutcome typeConsole(const std::string& line);
  StepOutcome drive(const Drive& step);
  StepOutcome happen(const Happen& step);
  StepOutcome wait(const Wait& step);
  StepOutcome copyFile(const CopyFile& step, const std::filesystem::path& folder);
  StepOutcome pickGhost(const PickGhost& step);
  StepOutcome show(const Show& step);
  StepOutcome check(const Expect& step);  // Expectations.cpp

  std::int64_t tick(std::int64_t limit = 0);
  void runFor(double seconds);
  void noteCrossing();
  // GhostDelta's writes as the car last crossed the line.
  std::size_t ghostDeltaWritesAtCrossing_ = 0;
  // A path of a step joined to the game root; nothing when, links resolved, it leads out of the root.
  std::optional<std::filesystem::path> underRoot(const std::string& path) const;

  SessionSettings settings_;
  std::ostream& out_;
  std::unique_ptr<sim::Game> game_;
  std::int64_t start_ = 0;
  Transcript transcript_;
  std::unique_ptr<sim::LoadedPlugin> plugin_;
  Pacer pacer_;
  std::optional<MapFile> map_;
  std::unique_ptr<sim::Driver> driver_;
  std::size_t consoleCursor_ = 0;  // console expectations look at the lines from here on
  int expectationsChecked_ = 0;
  std::vector<lumaro_ghost::TimedConsoleLine> consoleLines_;
};

}  // namespace lumaro_host
