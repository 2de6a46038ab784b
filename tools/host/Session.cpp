#include "tools/host/Session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <utility>
#include <variant>

#include "host/HostClock.h"
#include "library/ghostfile/HiddenCodePoints.h"
#include "library/platform/PathText.h"
#include "plugin/HostNames.h"
#include "sim/Console.h"
#include "sim/KismetMap.h"
#include "sim/RacingLine.h"
#include "sim/Track.h"
#include "tools/host/KismetContract.h"
#include "tools/host/NumberWords.h"
#include "tools/host/PageView.h"
#include "tools/host/Reports.h"
#include "tools/host/ScenarioMaps.h"
#include "tools/host/StopSignals.h"
#include "tools/host/TextMatcher.h"
#include "ui/SettingsPageText.h"

namespace fs = std::filesystem;

namespace lumaro_host {
namespace {

std::string secondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", seconds);
  return text;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

StepOutcome failure(std::string seen) { return {false, std::move(seen)}; }

}  // namespace

Session::Session(const SessionSettings& settings, std::ostream& out)
    : settings_(settings),
      out_(out),
      game_(std::make_unique<sim::Game>(settings.root)),
      start_(game_->now()),
      transcript_(out, [this] { return elapsed(); }),
      pacer_(settings.realtime, settings.tickLength) {
  game_->setTickLength(settings.tickLength);
  game_->setClockStepPerHostCall(settings.hostCallLength);
  game_->keepRecords(settings.keepRecords);
  game_->console().setLineObserver([this](const std::string& line) {
    transcript_.console(line);
    if (settings_.keepRecords) consoleLines_.push_back({game_->now(), line});
  });
  plugin_ = std::make_unique<sim::LoadedPlugin>(settings.plugin, *game_);
}

Session::~Session() {
  driver_.reset();
  plugin_.reset();
  transcript_.flush();
}

void Session::unloadPlugin() {
  if (plugin_) plugin_->unload();
  transcript_.flush();
}

StepOutcome Session::run(const Step& step, const fs::path& folder) {
  if (std::holds_alternative<TypeConsole>(step.action)) {
    transcript_.typed(std::get<TypeConsole>(step.action).line);
  } else if (!std::holds_alternative<Expect>(step.action)) {
    transcript_.step(step.text);
  }
  StepOutcome outcome = std::visit(
      [&](const auto& action) -> StepOutcome {
        using T = std::decay_t<decltype(action)>;
        if constexpr (std::is_same_v<T, LoadMap>) return loadMap(action, folder);
        if constexpr (std::is_same_v<T, LoadMainMenu>) return loadMainMenu();
        if constexpr (std::is_same_v<T, TypeConsole>) return typeConsole(action.line);
        if constexpr (std::is_same_v<T, SetPlayer>) {
          game_->setPlayerName(action.name);
          return {};
        }
        if constexpr (std::is_same_v<T, Drive>) return drive(action);
        if constexpr (std::is_same_v<T, Happen>) return happen(action);
        if constexpr (std::is_same_v<T, Wait>) return wait(action);
        if constexpr (std::is_same_v<T, CopyFile>) return copyFile(action, folder);
        if constexpr (std::is_same_v<T, PickGhost>) return pickGhost(action);
        if constexpr (std::is_same_v<T, Show>) return show(action);
        if constexpr (std::is_same_v<T, Expect>) return check(action);
      },
      step.action);
  if (std::holds_alternative<Expect>(step.action)) {
    ++expectationsChecked_;
    if (outcome.ok && settings_.verbose) transcript_.event("holds: " + step.text);
  }
  transcript_.flush();
  return outcome;
}

StepOutcome Session::loadMap(const LoadMap& step, const fs::path& folder) {
  // A scenario's map files were read with the scenario; a step typed at the prompt reads its file now.
  LoadMap load = step;
  if (!load.map) {
    const StepMapResult read = readStepMap(load, folder, settings_.mapsFolder);
    if (!read.errors.empty()) return failure(joined(read.errors));
  }
  const fs::path file = load.path;
  driver_.reset();
  map_ = *load.map;
  game_->loadMap(map_->definition);
  std::string description = map_->definition.name + " loaded from " + shownPath(file) + ": " +
                            (map_->definition.freeplay ? "freeplay" : "not freeplay") + ", ";
  if (map_->definition.hasMainSequence) {
    const std::size_t variables = map_->definition.variables.size();
    description += "a main sequence with " + std::to_string(variables) + (variables == 1 ? " variable" : " variables");
  } else {
    description += "no main sequence";
  }
  if (map_->track) {
    driver_ = std::make_unique<sim::Driver>(*game_, *map_->track);
    driver_->setCrossingObserver([this](bool) { noteCrossing(); });
    char lap[64];
    std::snprintf(lap, sizeof lap, ", a lap of %.0f units", map_->track->length());
    description += lap;
  }
  transcript_.event(description);
  for (const auto& finding : kismetContractFindings(map_->definition)) transcript_.event("Kismet: " + finding.text);
  return {};
}

StepOutcome Session::loadMainMenu() {
  driver_.reset();
  map_.reset();
  game_->loadMainMenu();
  return {};
}

StepOutcome Session::typeConsole(const std::string& line) {
  game_->console().execute(line);
  return {};
}

void Session::noteCrossing() {
  std::string text = "the car crosses the line";
  if (const sim::KismetVariable* lap =
          game_->variable(std::string(names::kismet::lapCounter), sim::VariableType::Int)) {
    text += ", " + std::string(names::kismet::lapCounter) + " " + std::to_string(lap->intValue);
  }
  // The difference to the ghost, when the plugin has written it since the crossing before: a challenge's.
  const std::string ghostDelta(names::kismet::ghostDelta);
  const std::size_t ghostDeltaWrites = game_->writeCount(ghostDelta);
  if (const sim::KismetVariable* delta = game_->variable(ghostDelta, sim::VariableType::Float);
      delta != nullptr && ghostDeltaWrites != ghostDeltaWritesAtCrossing_) {
    char value[32];
    std::snprintf(value, sizeof value, " %+.3f", static_cast<double>(delta->floatValue));
    text += ", " + ghostDelta + value;
  }
  ghostDeltaWritesAtCrossing_ = ghostDeltaWrites;
  transcript_.event(text);
}

std::int64_t Session::tick(std::int64_t limit) {
  stopIfAsked();
  const std::int64_t length = pacer_.next(limit);
  game_->tick(length);
  return length;
}

void Session::runFor(double seconds) {
  const auto total = Tessaro::ticksOfSeconds(seconds);
  for (std::int64_t passed = 0; passed < total;) passed += tick(total - passed);
}

StepOutcome Session::drive(const Drive& step) {
  if (!driver_) return failure(map_ ? "this map has no track to drive on" : "no map is loaded");
  if (game_->car() == nullptr) return failure("there is no car to drive (restore-car or respawn first)");
  if (game_->paused()) return failure("the game is paused (unpause first)");
  sim::DriveStyle style;
  style.racing = step.racing ? *step.racing : step.needsRacingLine() || map_->racing;
  const sim::RacingLine& racingLine = driver_->racingLine();
  // How long a lap takes at one unit per second: its length when steady, the racing line's pace when racing.
  const double unitLap = style.racing ? racingLine.lapSeconds() : driver_->track().length();
  const std::optional<double> lapTime = step.lapTime ? step.lapTime : map_->lapTime;
  style.speed = step.speed ? *step.speed : lapTime ? unitLap / *lapTime : sim::defaultCarSpeed;
  style.variation = step.variationPercent / 100.0;
  style.seed = step.seed;
  style.lineOffset = step.lineOffset.value_or(0.0);
  style.mistakes = step.mistakes;
  style.phase = step.phase;
  char text[200];
  if (style.racing) {
    std::snprintf(text, sizeof text,
                  "driving the racing line at up to %g units/s (%.0f in the slowest corner), a lap in %g s",
                  style.speed, style.speed * racingLine.slowestShare(), unitLap / style.speed);
  } else {
    std::snprintf(text, sizeof text, "driving at %g units/s, a lap in %g s", style.speed, unitLap / style.speed);
  }
  std::string description = text;
  if (style.lineOffset != 0.0) {
    description += ", " + secondsText(std::fabs(style.lineOffset)) + " units to its " +
                   (style.lineOffset > 0.0 ? "left" : "right");
  }
  if (style.variation > 0.0) description += ", each lap within " + secondsText(step.variationPercent) + "% of it";
  if (style.phase > 0.0) description += ", setting off " + secondsText(style.phase) + " of a tick late";
  transcript_.event(description);
  double plantedLoss = 0.0;
  for (const sim::PlantedMistake& mistake : style.mistakes) {
    const std::string stretch = " from " + secondsText(mistake.from * 100.0) + "% to " +
                                secondsText(mistake.to * 100.0) + "% of lap " + std::to_string(mistake.lap);
    transcript_.event(mistake.lostSeconds > 0.0
                          ? "planted: " + secondsText(mistake.lostSeconds) + " s lost" + stretch
                          : "planted: a line " + secondsText(mistake.wideBy) + " units wide" + stretch);
    plantedLoss += mistake.lostSeconds;
  }

  // Each number of the step is in its range; together, on a long lap, they could still ask for months.
  const double slowestLap = unitLap / style.speed * (1.0 + style.variation);
  if (step.laps * slowestLap + plantedLoss > longestDrive) {
    char refusal[128];
    std::snprintf(refusal, sizeof refusal,
                  "the laps would take up to %.0f s of game time; a drive takes at most %.0f s",
                  step.laps * slowestLap + plantedLoss, longestDrive);
    return failure(refusal);
  }
  driver_->start(style);
  pacer_.begin();
  if (step.laps > 0) {
    const int target = driver_->lapsCompleted() + step.laps;
    // Far more time than the laps can take, so a car that cannot reach the line does not drive forever.
    const double limit = (step.laps + 1) * slowestLap * 2.0 + plantedLoss + 60.0;
    std::int64_t passed = 0;
    while (driver_->lapsCompleted() < target) {
      if (Tessaro::secondsOfTicks(passed) > limit) {
        driver_->stop();
        return failure("the car did not complete " + std::to_string(step.laps) + " laps in " + secondsText(limit) +
                       " s");
      }
      passed += tick();
    }
    runFor(step.runOut);
  } else {
    runFor(step.seconds);
  }
  driver_->stop();
  return {};
}

StepOutcome Session::happen(const Happen& step) {
  const bool onMap = map_.has_value();
  switch (step.event) {
    case GameEvent::ResetBall:
      if (!onMap) return failure("no map is loaded");
      game_->resetBall();
      if (driver_) driver_->ballReset();
      break;
    case GameEvent::Respawn:
      if (!onMap) return failure("no map is loaded");
      game_->restoreCar();
      if (driver_) driver_->toSpawn();
      game_->respawn();
      break;
    case GameEvent::RemoveCar: game_->removeCar(); break;
    case GameEvent::RestoreCar:
      if (!onMap) return failure("no map is loaded");
      game_->restoreCar();
      if (driver_) driver_->placeCar();
      break;
    case GameEvent::Pause: game_->setPaused(true); break;
    case GameEvent::Unpause: game_->setPaused(false); break;
  }
  return {};
}

StepOutcome Session::wait(const Wait& step) {
  pacer_.begin();
  if (step.ticks > 0) {
    for (int i = 0; i < step.ticks; ++i) tick();
  } else {
    runFor(step.seconds);
  }
  return {};
}

std::optional<fs::path> Session::underRoot(const std::string& path) const {
  // The step was read as a path inside the root; links on the way (a root given with --root may hold some)
  // must not lead out of it either.
  const std::optional<fs::path> named = pathFromUtf8IfAny(path);
  if (!named) return std::nullopt;
  const fs::path joined = (game_->root() / *named).lexically_normal();
  std::error_code pathError, rootError;
  const fs::path real = fs::weakly_canonical(joined, pathError);
  const fs::path realRoot = fs::weakly_canonical(game_->root(), rootError);
  if (pathError || rootError) return std::nullopt;
  const fs::path inside = real.lexically_relative(realRoot);
  if (inside.empty() || *inside.begin() == "..") return std::nullopt;
  return joined;
}

StepOutcome Session::copyFile(const CopyFile& step, const fs::path& folder) {
  const auto source = findFile(step.source, {folder, fs::current_path()}, nullptr);
  if (!source)
    return failure("no file " + step.source + " (looked in " + utf8FromPath(folder) + " and the current folder)");
  const auto outOfRoot = [&] { return failure(step.destination + " leads out of the game root"); };
  std::optional<fs::path> destination = underRoot(step.destination);
  if (!destination) return outOfRoot();
  std::error_code error;
  if ((!step.destination.empty() && step.destination.back() == '/') || fs::is_directory(*destination, error)) {
    const bool endsAsFolder = step.destination.empty() || step.destination.back() == '/';
    destination = underRoot(step.destination + (endsAsFolder ? "" : "/") + utf8FromPath(source->filename()));
    if (!destination) return outOfRoot();
  }
  // The parent is resolved above; a link as the last component, dangling or not, would be written through to
  // wherever it leads.
  if (fs::is_symlink(fs::symlink_status(*destination, error))) {
    return failure(step.destination + " is a link: copy writes through none");
  }
  fs::create_directories(destination->parent_path(), error);
  // A file already there loses its name first, so the copy is a fresh file: one that has a second name (a hard
  // link from outside the game root) keeps its bytes under that name.
  if (fs::is_regular_file(fs::symlink_status(*destination, error))) fs::remove(*destination, error);
  fs::copy_file(*source, *destination, fs::copy_options::overwrite_existing, error);
  if (error)
    return failure("cannot copy " + utf8FromPath(*source) + " to " + utf8FromPath(*destination) + ": " +
                   error.message());
  transcript_.event("copied " + utf8FromPath(source->filename()) + " to " + shownPath(*destination));
  return {};
}

StepOutcome Session::pickGhost(const PickGhost& step) {
  // The list the player picks from is the one the host last showed.
  const auto& lines = game_->shownPage();
  if (!lines) return failure("the host has not shown the plugin's settings page");
  const std::string listLine = ghostListLineStart();
  const auto found =
      std::find_if(lines->begin(), lines->end(), [&](const std::string& line) { return line.rfind(listLine, 0) == 0; });
  if (found == lines->end()) {
    return failure(
        "the settings page has no ghost list; its last lines:\n" +
        joined(std::vector<std::string>(lines->end() - std::min<std::ptrdiff_t>(std::ssize(*lines), 4), lines->end())));
  }
  // Labels show the code points that reorder or hide text as escapes; the text is read the same way, so it may
  // name them either way: as the player sees them ("\u202e") or as the file name holds them.
  const std::string wanted = hiddenCodePointsShown(step.label);
  std::vector<std::string> labels;
  for (const ListOption& option : ghostListOptions(found->substr(listLine.size()))) {
    if (option.label.find(wanted) != std::string::npos) {
      const std::string line = std::string(names::cvar::ghostFilePath) + " \"" + option.value + "\"";
      transcript_.typed(line);
      game_->console().execute(line);
      return {};
    }
    labels.push_back(inQuotes(option.label));
  }
  std::string seen = "no entry of the ghost list has " + inQuotes(wanted) + " in its label; the entries:";
  for (const auto& label : labels) seen += "\n" + label;
  return failure(seen);
}

StepOutcome Session::show(const Show& step) {
  transcript_.flush();
  switch (step.what) {
    case Report::Page: writePage(out_, *game_, settings_.rawPage); break;
    case Report::Ghosts: writeGhostListing(out_, *game_); break;
    case Report::Kismet: writeKismet(out_, *game_); break;
    case Report::Car: writeCar(out_, *game_, driver_.get()); break;
    case Report::Cvars: writeCvars(out_, *game_); break;
  }
  out_.flush();
  return {};
}

}  // namespace lumaro_host
