// The simulated game behind the stand-in host: one virtual clock that drives both the timer scheduler
// and the clock the plugin reads, event hooks fired by name, a map with an optional main Kismet sequence
// and its lap-counter script, freeplay and pause flags, the local car, the player's name and the folders.
// It is deterministic: time moves only when a tick is run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/Api.h"
#include "host/CVarManagerWrapper.h"
#include "host/GameNames.h"
#include "host/GameWrapper.h"
#include "host/HostClock.h"
#include "host/Values.h"
#include "plugin/HostNames.h"
#include "sim/Console.h"
#include "sim/KismetMap.h"

namespace sim {

// The length of a game tick where none is set: a frame of 120 a second, as the game runs.
inline constexpr std::int64_t gameTickLength = Tessaro::ticksPerSecond / 120;

// The events the game fires, by the names it gives them (a view of a literal: its data ends in a NUL).
inline constexpr const char* mapLoadEvent = Tessaro::gameNames::event::mapLoad.data();
inline constexpr const char* playerSpawnEvent = Tessaro::gameNames::event::playerSpawn.data();

// The game's clock counts in the host clock's unit, the 100-ns tick.
using Tessaro::ticksPerMillisecond;
using Tessaro::ticksPerSecond;

struct VariableDefinition {
  std::string name;
  VariableType type = VariableType::Int;
  std::string initialValue;  // "-1", "1.5", "Speedway", "1 2 3"
};

struct MapDefinition {
  std::string name;  // what the game calls the map; MapName is one of the variables
  bool hasMainSequence = true;
  bool freeplay = true;
  std::vector<VariableDefinition> variables;
};

// A workshop map with the lap counter and the ghost variables a compatible map carries.
TESSARO_SDK_API MapDefinition workshopMap(const std::string& mapName, bool withGhostColor = true);

struct Car {
  std::uintptr_t address = 0;
  Vector location;
  Rotator rotation;
};

class TESSARO_SDK_API Game {
public:
  // root: the game's folder; the host folder "tessaro" and its data and settings folders are made in it.
  explicit Game(std::filesystem::path root);
  ~Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Console& console() { return console_; }
  std::shared_ptr<CVarManagerWrapper> cvarManagerWrapper() const;
  std::shared_ptr<GameWrapper> gameWrapper() const;

  // Time.
  std::int64_t now() const { return clock_; }
  std::int64_t tickLength() const { return tickLength_; }
  void setTickLength(std::int64_t ticks) { tickLength_ = ticks; }
  // One game tick: the clock moves on by the tick length (or the given length), then every timer that is
  // due and was scheduled before this tick runs, earliest due first.
  void tick();
  void tick(std::int64_t length);
  void runFor(double seconds);
  void runTicks(int count);
  std::size_t pendingTimers() const { return timers_.size(); }
  // The pending timers that were set with this delay: after a tick, those of 0.001 s are the timer chains
  // still alive (a lap watcher or a pending finish, a run sampler, a playback tick).
  std::size_t pendingTimers(float delaySeconds) const;
  // Every call a plugin makes through the SDK surface moves the clock on by this many ticks (0, the default:
  // host calls take no time). Then whether a time is taken before or after some reading shows in it.
  void setClockStepPerHostCall(std::int64_t ticks) { clockStepPerHostCall_ = ticks; }
  // Told of every SDK call by its name ("GetLocation"), as it is made; nothing is kept. One at a time.
  void setHostCallObserver(std::function<void(const char*)> observer) { hostCallObserver_ = std::move(observer); }
  // What the SDK surface runs on each call.
  void noteSdkCall(const char* name);
  // The world's own step, run on every tick after the clock has moved and before the due timers, with the
  // tick's length: the car's motion and the map's script reacting to it (sim/Driver.h). One at a time;
  // an empty function removes it.
  void setWorldStep(std::function<void(std::int64_t)> step) { worldStep_ = std::move(step); }

  // Events.
  void fireEvent(const std::string& name);

  // Maps. Loading a map unloads the current one (its handles go empty), then fires the map-load event and
  // the player-spawn event. A map defining a variable name twice is refused (std::invalid_argument).
  void loadMap(const MapDefinition& map);
  void loadMainMenu();
  void unloadMap();
  KismetSequence* mainSequence() { return sequence_.get(); }
  const std::string& mapName() const { return mapName_; }
  KismetVariable* variable(const std::string& name, VariableType type);
  // Every write the plugin made to a Kismet variable, in order, while the game keeps records; how many
  // writes a variable has had, always.
  const std::vector<KismetWrite>& kismetWrites() const { return writes_; }
  std::size_t writeCount(const std::string& variable) const;
  void recordWrite(KismetWrite write);

  // Whether the records of every call (hostCalls, kismetWrites) are kept: yes by default, for whoever reads
  // them; without them a run of any length holds nothing per game tick, only counts.
  void keepRecords(bool keep) { keepRecords_ = keep; }

  // The map's own script: the lap counter leaves -1 when the car crosses the start line and counts up on
  // every further crossing; a ball reset puts it back to -1.
  void crossStartLine();
  void resetBall();
  void respawn();

  // Game state.
  bool freeplay() const { return freeplay_; }
  void setFreeplay(bool on) { freeplay_ = on; }
  bool paused() const { return paused_; }
  void setPaused(bool on) { paused_ = on; }
  Car* car() { return car_ ? &*car_ : nullptr; }
  void removeCar();
  void restoreCar();
  void placeCar(Vector location, Rotator rotation);
  const std::string& playerName() const { return playerName_; }
  void setPlayerName(std::string name) { playerName_ = std::move(name); }
  std::uintptr_t playerNameAddress() const { return playerNameAddress_; }

  // Folders.
  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path hostFolder() const { return root_ / Tessaro::gameNames::folder::host; }
  std::filesystem::path dataFolder() const { return hostFolder() / Tessaro::gameNames::folder::data; }
  std::filesystem::path settingsPageFolder() const { return settingsPage().parent_path(); }
  // Where the hosted plugin keeps its ghosts and its page, by the plugin's own names.
  std::filesystem::path ghostFolder() const { return names::ghostFolderIn(dataFolder()); }
  std::filesystem::path settingsPage() const { return names::settingsPageIn(hostFolder()); }
  std::filesystem::path fixRelativePath(const std::filesystem::path& path) const;
  // Folders a plugin asked the host to show in the file browser (UTF-8 paths), in order; the stand-in host
  // records them instead of opening a window.
  const std::vector<std::string>& foldersOpened() const { return foldersOpened_; }
  void openFolder(std::string utf8Path) { foldersOpened_.push_back(std::move(utf8Path)); }

  // What the plugin asked of the host, in order, with every argument: registrations, hooks, timers, the
  // console lines it logged ("log TEXT") and the command lines it ran ("executeCommand LINE | log true").
  const std::vector<std::string>& hostCalls() const { return hostCalls_; }
  // How many of those calls there were, whether or not they were kept.
  std::uint64_t hostCallCount() const { return hostCallCount_; }
  // How often the host reloaded its plugin settings pages, and whether the settings menu was closed.
  int pageReloads() const { return pageReloads_; }
  // The settings page as the host read it at its last reload, as the player sees it (lines without their
  // line ends); empty before the first reload or when the page could not be read then.
  const std::optional<std::vector<std::string>>& shownPage() const { return shownPage_; }
  int menuCloses() const { return menuCloses_; }

  // Drops every callable a plugin handed over (commands, change callbacks, hooks, pending timers), as the
  // host does before it closes a plugin library.
  void dropPluginCallbacks();

  // The operations behind GameWrapper.
  void setTimeout(std::function<void(GameWrapper*)> callback, float delaySeconds);
  void hookEvent(const std::string& name, std::function<void(std::string)> callback);

private:
  struct Timer {
    float delaySeconds;
    std::int64_t due;
    std::uint64_t order;
    std::uint64_t scheduledOnTick;
    std::function<void(GameWrapper*)> callback;
  };

  void readSettingsPage();
  void recordHostCall(std::string call);

  std::filesystem::path root_;
  bool keepRecords_ = true;
  std::vector<std::string> hostCalls_;
  std::uint64_t hostCallCount_ = 0;
  std::map<std::string, std::size_t, std::less<>> writeCounts_;
  Console console_;
  std::uintptr_t address_;
  std::shared_ptr<GameWrapper> wrapper_;

  std::int64_t clock_;
  std::int64_t tickLength_ = gameTickLength;
  std::uint64_t tickCount_ = 0;
  std::uint64_t timerOrder_ = 0;
  std::vector<Timer> timers_;
  std::vector<std::pair<std::string, std::function<void(std::string)>>> hooks_;
  std::function<void(std::int64_t)> worldStep_;

  std::unique_ptr<KismetSequence> sequence_;
  std::string mapName_;
  std::vector<KismetWrite> writes_;
  bool freeplay_ = false;
  bool paused_ = false;
  std::optional<Car> car_;
  std::string playerName_ = "Player";
  std::uintptr_t playerNameAddress_;
  int pageReloads_ = 0;
  std::optional<std::vector<std::string>> shownPage_;
  std::int64_t clockStepPerHostCall_ = 0;
  std::function<void(const char*)> hostCallObserver_;
  int menuCloses_ = 0;
  std::vector<std::string> foldersOpened_;
};

// The game whose clock the plugin reads: the most recently created one still alive.
TESSARO_SDK_API Game* activeGame();

}  // namespace sim
