#include "sim/Game.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "host/FolderOpener.h"
#include "host/GameNames.h"
#include "host/HostClock.h"
#include "sim/KismetWords.h"
#include "sim/Registry.h"
#include "ui/PageBytes.h"

namespace sim {
namespace {

namespace kismet = Tessaro::gameNames::kismet;
namespace command = Tessaro::gameNames::hostCommand;

// 2026-01-01 00:00:00 UTC: where every game's virtual clock starts.
constexpr std::int64_t virtualEpoch = 1'767'225'600LL * ticksPerSecond;

std::vector<Game*>& liveGames() {
  static std::vector<Game*> games;
  return games;
}

void assign(KismetVariable& variable, const std::string& text) {
  switch (variable.type) {
    case VariableType::Int: variable.intValue = sim::kismetWords::intOfWord(text).value; break;
    case VariableType::Bool: variable.intValue = sim::kismetWords::boolOfWord(text).value_or(false) ? 1 : 0; break;
    case VariableType::Float: variable.floatValue = sim::kismetWords::floatOfWord(text).value; break;
    case VariableType::String: variable.stringValue = text; break;
    case VariableType::Vector: {
      const std::array<std::string, 3> words = sim::kismetWords::vectorWords(text);
      variable.vectorValue = {sim::kismetWords::floatOfWord(words[0]).value,
                              sim::kismetWords::floatOfWord(words[1]).value,
                              sim::kismetWords::floatOfWord(words[2]).value};
      break;
    }
  }
}

}  // namespace

MapDefinition workshopMap(const std::string& mapName, bool withGhostColor) {
  MapDefinition map;
  map.name = mapName;
  map.variables = {
      {std::string(kismet::lapCounter), VariableType::Int, std::to_string(kismet::lapCounterNoRace)},
      {std::string(kismet::mapName), VariableType::String, mapName},
      {std::string(kismet::ghostPosition), VariableType::Vector, sim::kismetWords::vectorText("0", "0", "0")},
      {std::string(kismet::ghostRotation), VariableType::Vector, sim::kismetWords::vectorText("0", "0", "0")},
  };
  if (withGhostColor) map.variables.push_back({std::string(kismet::ghostColor), VariableType::Float, "0"});
  return map;
}

Game::Game(std::filesystem::path root)
    : root_(std::move(root)),
      console_([this](const std::string& call) { recordHostCall(call); }),
      address_(enter(ObjectKind::Game, this)),
      wrapper_(std::make_shared<GameWrapper>(address_)),
      clock_(virtualEpoch),
      playerNameAddress_(enter(ObjectKind::Text, &playerName_)) {
  std::filesystem::create_directories(settingsPageFolder());
  std::filesystem::create_directories(dataFolder());
  console_.setHostCommandHandler([this](const std::vector<std::string>& words) {
    if (words[0] == command::refreshPluginPages) {
      ++pageReloads_;
      readSettingsPage();
    }
    if (words[0] == command::closeMenu) ++menuCloses_;
  });
  liveGames().push_back(this);
}

Game::~Game() {
  auto& games = liveGames();
  games.erase(std::remove(games.begin(), games.end(), this), games.end());
  unloadMap();
  forget(playerNameAddress_);
  forget(address_);
}

std::shared_ptr<CVarManagerWrapper> Game::cvarManagerWrapper() const {
  return std::make_shared<CVarManagerWrapper>(console_.address());
}

std::shared_ptr<GameWrapper> Game::gameWrapper() const { return wrapper_; }

void Game::tick() { tick(tickLength_); }

void Game::tick(std::int64_t length) {
  ++tickCount_;
  clock_ += length;
  if (worldStep_) worldStep_(length);
  auto waiting = [this](const Timer& timer) { return timer.due > clock_ || timer.scheduledOnTick >= tickCount_; };
  auto split = std::stable_partition(timers_.begin(), timers_.end(), waiting);
  std::vector<Timer> ready(std::make_move_iterator(split), std::make_move_iterator(timers_.end()));
  timers_.erase(split, timers_.end());
  std::sort(ready.begin(), ready.end(),
            [](const Timer& a, const Timer& b) { return a.due != b.due ? a.due < b.due : a.order < b.order; });
  for (auto& timer : ready) timer.callback(wrapper_.get());
}

void Game::runFor(double seconds) {
  const auto end = clock_ + Tessaro::ticksOfSeconds(seconds);
  while (clock_ < end) tick(std::min(tickLength_, end - clock_));
}

void Game::runTicks(int count) {
  for (int i = 0; i < count; ++i) tick();
}

void Game::setTimeout(std::function<void(GameWrapper*)> callback, float delaySeconds) {
  char delay[32];
  std::snprintf(delay, sizeof delay, "%g", static_cast<double>(delaySeconds));
  recordHostCall(std::string("SetTimeout ") + delay);
  const auto ticks = Tessaro::ticksOfSeconds(static_cast<double>(delaySeconds));
  timers_.push_back(
      Timer{delaySeconds, clock_ + std::max<std::int64_t>(ticks, 0), timerOrder_++, tickCount_, std::move(callback)});
}

std::size_t Game::pendingTimers(float delaySeconds) const {
  return static_cast<std::size_t>(std::count_if(
      timers_.begin(), timers_.end(), [&](const Timer& timer) { return timer.delaySeconds == delaySeconds; }));
}

void Game::recordHostCall(std::string call) {
  ++hostCallCount_;
  if (keepRecords_) hostCalls_.push_back(std::move(call));
}

void Game::recordWrite(KismetWrite write) {
  const auto counted = writeCounts_.find(write.variable);
  if (counted != writeCounts_.end()) {
    ++counted->second;
  } else {
    writeCounts_.emplace(write.variable, 1);
  }
  if (keepRecords_) writes_.push_back(std::move(write));
}

std::size_t Game::writeCount(const std::string& variable) const {
  const auto counted = writeCounts_.find(variable);
  return counted == writeCounts_.end() ? 0 : counted->second;
}

void Game::noteSdkCall(const char* name) {
  clock_ += clockStepPerHostCall_;
  if (hostCallObserver_) hostCallObserver_(name);
}

// The host reads the page once per reload and shows that until the next one, whatever the file becomes.
void Game::readSettingsPage() {
  shownPage_.reset();
  std::ifstream in(settingsPage(), std::ios::binary);
  if (!in) return;
  shownPage_ = pageLines(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

void Game::hookEvent(const std::string& name, std::function<void(std::string)> callback) {
  recordHostCall("HookEvent " + name);
  hooks_.emplace_back(name, std::move(callback));
}

void Game::dropPluginCallbacks() {
  console_.dropCallbacks();
  hooks_.clear();
  timers_.clear();
}

void Game::fireEvent(const std::string& name) {
  std::vector<std::function<void(std::string)>> hooked;
  for (const auto& [event, callback] : hooks_) {
    if (event == name) hooked.push_back(callback);
  }
  for (auto& callback : hooked) callback(name);
}

void Game::loadMap(const MapDefinition& map) {
  // Built first, so that a map the host cannot hold leaves the current one loaded.
  std::unique_ptr<KismetSequence> sequence;
  if (map.hasMainSequence) {
    sequence = std::make_unique<KismetSequence>();
    for (const auto& definition : map.variables) {
      assign(sequence->add(definition.name, definition.type), definition.initialValue);
    }
  }
  unloadMap();
  mapName_ = map.name;
  freeplay_ = map.freeplay;
  paused_ = false;
  sequence_ = std::move(sequence);
  restoreCar();
  fireEvent(mapLoadEvent);
  fireEvent(playerSpawnEvent);
}

void Game::loadMainMenu() {
  unloadMap();
  mapName_ = "MainMenu";
  freeplay_ = false;
  paused_ = false;
  fireEvent(mapLoadEvent);
}

void Game::unloadMap() {
  sequence_.reset();
  removeCar();
  mapName_.clear();
}

KismetVariable* Game::variable(const std::string& name, VariableType type) {
  return sequence_ ? sequence_->find(name, type) : nullptr;
}

void Game::crossStartLine() {
  if (KismetVariable* lap = variable(std::string(kismet::lapCounter), VariableType::Int))
    lap->intValue = lap->intValue == kismet::lapCounterNoRace ? 0 : lap->intValue + 1;
}

void Game::resetBall() {
  if (KismetVariable* lap = variable(std::string(kismet::lapCounter), VariableType::Int))
    lap->intValue = kismet::lapCounterNoRace;
}

void Game::respawn() {
  resetBall();
  fireEvent(playerSpawnEvent);
}

void Game::removeCar() {
  if (car_) forget(car_->address);
  car_.reset();
}

void Game::restoreCar() {
  if (car_) return;
  car_.emplace();
  car_->address = enter(ObjectKind::Car, &*car_);
}

void Game::placeCar(Vector location, Rotator rotation) {
  if (!car_) return;
  car_->location = location;
  car_->rotation = rotation;
}

std::filesystem::path Game::fixRelativePath(const std::filesystem::path& path) const {
  if (path.is_absolute()) return path.lexically_normal();
  return (root_ / path).lexically_normal();
}

Game* activeGame() {
  auto& games = liveGames();
  return games.empty() ? nullptr : games.back();
}

}  // namespace sim

#if !defined(TESSARO_SDK_WITHOUT_HOST_CLOCK)
// The host's clock, offered to plugins under the name in host/HostClock.h: the active game's virtual
// time, or the real system clock when no game runs. A build without it is a host that offers no clock,
// on which the plugin keeps to the system clock.
extern "C" TESSARO_SDK_API std::int64_t TessaroHostClockTicks() {
  if (sim::Game* game = sim::activeGame()) return game->now();
  return std::chrono::duration_cast<Tessaro::ClockTicks>(std::chrono::system_clock::now().time_since_epoch()).count();
}
#endif

// The host's folder opener, offered to plugins under the name in host/FolderOpener.h: the active game records
// the folder instead of showing it.
extern "C" TESSARO_SDK_API void TessaroHostOpenFolder(const char* utf8Path) {
  if (sim::Game* game = sim::activeGame()) game->openFolder(utf8Path != nullptr ? utf8Path : "");
}
