#include "tools/host/Chaos.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "library/ghostfile/GhostFileName.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostHeaderLine.h"
#include "library/ghostfile/LineReader.h"
#include "library/ghostfile/NumberReading.h"
#include "library/platform/PathText.h"
#include "plugin/HostNames.h"
#include "plugin/Messages.h"
#include "race/RaceTime.h"
#include "race/RunLife.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "tools/host/Script.h"
#include "ui/GhostChoice.h"
#include "ui/PageBytes.h"

namespace fs = std::filesystem;

namespace lumaro_host {
namespace {

namespace command = names::command;
namespace cvar = names::cvar;

// The final run's export name, and the file it makes by the name rule.
constexpr std::string_view finalGhostName = "Chaos-Final";
std::string finalGhostFile() { return std::string(finalGhostName) + std::string(ghostExtension); }

// A stream that drops what it is given: a storm's transcript is not kept.
class Discard : public std::streambuf {
protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char* /*text*/, std::streamsize count) override { return count; }
};

struct Choice {
  int weight;
  std::function<std::string(std::mt19937_64&)> line;
};

std::string pick(std::mt19937_64& random, std::initializer_list<const char*> words) {
  std::uniform_int_distribution<std::size_t> which(0, words.size() - 1);
  return *(words.begin() + which(random));
}

std::string fixed(const char* text) { return text; }

// A console step: the command or variable, then its value when it has one.
std::string console(std::string_view name, const std::string& value = "") {
  return "console " + std::string(name) + (value.empty() ? "" : " " + value);
}

const std::vector<Choice>& choices() {
  static const std::vector<Choice> all = {
      {6, [](auto&) { return console(command::record); }},
      {5, [](auto&) { return console(command::challenge); }},
      {4, [](auto&) { return console(command::play); }},
      {4, [](auto&) { return console(command::stop); }},
      {4, [](auto&) { return console(command::exportGhost); }},
      {1, [](auto&) { return console(command::updateList); }},
      {2,
       [](auto& r) {
         return console(cvar::isRecording, pick(r, {"0", "1"}));
       }},
      {2,
       [](auto& r) {
         return console(cvar::lapCount, pick(r, {"1", "2", "3"}));
       }},
      {2,
       [](auto& r) {
         return console(cvar::autoRecord, pick(r, {"0", "1"}));
       }},
      {2,
       [](auto& r) {
         return console(cvar::autoExport, pick(r, {"0", "1"}));
       }},
      {1,
       [](auto& r) {
         return console(cvar::maxSeconds, pick(r, {"1", "5", "20", "100"}));
       }},
      {2,
       [](auto& r) {
         return console(cvar::exportFileName, pick(r, {"My-PB", "Chaos-A", "Chaos-B"}));
       }},
      {3,
       [](auto& r) {
         return console(cvar::ghostFilePath, "\"" + pick(r, {"My-PB", "Chaos-A", "Chaos-B", "Missing"}) +
                                                 std::string(ghostExtension) + "\"");
       }},
      {1,
       [](auto& r) {
         return console(cvar::color, pick(r, {"#FF0000", "#00FF00", "#FFFFFF"}));
       }},
      {2,
       [](auto& r) {
         return "map " + pick(r, {"speedway", "speedway", "canyon", "kart", "sandbox", "quarry"});
       }},
      {1, [](auto&) { return fixed("main-menu"); }},
      {3, [](auto&) { return fixed("respawn"); }},
      {3, [](auto&) { return fixed("reset-ball"); }},
      {2, [](auto&) { return fixed("remove-car"); }},
      {2, [](auto&) { return fixed("restore-car"); }},
      {2, [](auto&) { return fixed("pause"); }},
      {2, [](auto&) { return fixed("unpause"); }},
      {8,
       [](auto& r) {
         return "wait " + pick(r, {"1", "2", "3", "5"}) + " ticks";
       }},
      {4,
       [](auto& r) {
         return "wait " + pick(r, {"0.1", "0.25", "1", "3"});
       }},
      {5,
       [](auto& r) {
         return "drive " + pick(r, {"0.5", "2", "8"}) + " seconds";
       }},
      {3,
       [](auto& r) {
         return "drive 1 laps lap-time " + pick(r, {"4", "6"});
       }},
  };
  return all;
}

// The ghost folder's files and their bytes.
std::map<std::string, std::string> ghostFiles(const fs::path& folder) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error); !error && entry != fs::directory_iterator();
       entry.increment(error)) {
    std::ifstream in(entry->path(), std::ios::binary);
    files[utf8FromPath(entry->path().filename())] =
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return files;
}

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What is wrong with the settings page's shape, or "": every line ends in CR LF and holds no other line
// break; the title first, then lines of a control number, a bar and the control's fields.
std::string pageProblem(const std::string& page) {
  if (page.empty()) return "";  // not written yet
  std::size_t at = 0;
  std::size_t number = 0;
  while (at < page.size()) {
    const std::size_t end = page.find(pageLineEnd, at);
    if (end == std::string::npos) return "the page does not end in CR LF";
    const std::string line = page.substr(at, end - at);
    ++number;
    if (std::any_of(line.begin(), line.end(), isPageLineEnd)) return "line " + std::to_string(number) + " is broken";
    if (number == 1 && line != names::pluginName) return "the page does not begin with its title";
    if (number > 1) {
      const std::size_t bar = line.find(pageFieldSeparator);
      const bool control =
          bar != std::string::npos && bar > 0 &&
          std::all_of(line.begin(), line.begin() + static_cast<long>(bar), [](char c) { return c >= '0' && c <= '9'; });
      if (!control) return "line " + std::to_string(number) + " is no control: " + line;
    }
    at = end + pageLineEnd.size();
  }
  return "";
}

// Console lines from index from on.
std::vector<std::string> linesSince(const sim::Game& game, std::size_t from) {
  const auto& lines = const_cast<sim::Game&>(game).console().lines();
  return {lines.begin() + static_cast<long>(std::min(from, lines.size())), lines.end()};
}

bool reportedExport(const std::vector<std::string>& lines, const std::string& fileName) {
  const std::string ending = "/" + fileName;
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
    const std::optional<std::string_view> path = messages::namedIn(line, messages::exportedTo);
    return path && path->size() > ending.size() && path->ends_with(ending);
  });
}

// What the console has told the player of the run, read line by line as a player reads it, checked against
// the recording switch the host holds: a run told armed or racing records, a run told ended or finished
// does not, a race starts only when armed and ends only when started, and "Already recording a run, restart
// the map." is said only of a run armed, racing or just finished.
class ToldRun {
public:
  // One console line: "" or what is untrue about it.
  std::string read(const std::string& line) {
    const auto said = [&line](std::string_view text) { return line == text; };
    if (said(messages::recordingArmed) || said(messages::challengeArmed)) {
      return become(Told::Armed);
    }
    if (said(messages::raceStarted) || said(messages::challengeStarted)) {
      if (told_ != Told::Armed && told_ != Told::Unknown) return "\"" + line + "\" with no run armed";
      return become(Told::Racing);
    }
    if (line.starts_with(messages::raceEndedIn) || said(messages::raceEndedWithoutRun)) {
      if (told_ != Told::Racing && told_ != Told::Unknown) return "\"" + line + "\" with no race under way";
      return become(Told::Finished);
    }
    if (std::ranges::any_of(messages::runNotRecorded, said)) {
      if (told_ != Told::Armed && told_ != Told::Racing && told_ != Told::Unknown) {
        return "\"" + line + "\" with no run armed or under way";
      }
      return become(Told::Ended);
    }
    // The failures the run reset follows drop a run without a word of their own about it.
    if (said(messages::notInWorkshop) || said(messages::noKismet) || said(messages::noLapCounter)) {
      return become(told_ == Told::Finished ? Told::Finished : Told::Ended);
    }
    // Said by commands that reset the run and by ones that do not: the next run message tells again.
    if (said(messages::noGhostLoaded)) return become(Told::Unknown);
    if (said(messages::alreadyRecording) && !switchTyped_ && (told_ == Told::Nothing || told_ == Told::Ended)) {
      return "\"" + line + "\" with no run armed, racing or just finished";
    }
    return "";
  }

  // After a step that let time pass, every pending tick of an ended run has run.
  std::string checkSwitch(bool switchOn) const {
    if (switchTyped_ || told_ == Told::Unknown) return "";
    const bool recording = told_ == Told::Armed || told_ == Told::Racing;
    if (recording == switchOn) return "";
    return std::string(names::cvar::isRecording) + " is " + (switchOn ? "1" : "0") +
           " though the player was told the run " + (recording ? "records" : "does not record");
  }

  // The storm typed the switch itself: what the player was told no longer speaks for it until the next word.
  void switchTyped() { switchTyped_ = true; }

private:
  enum class Told { Nothing, Armed, Racing, Finished, Ended, Unknown };
  std::string become(Told told) {
    told_ = told;
    switchTyped_ = false;
    return "";
  }
  Told told_ = Told::Nothing;
  bool switchTyped_ = false;
};

// The invariants after one step. "" when they hold.
std::string invariantProblem(Session& session, const std::map<std::string, std::string>& before,
                             std::size_t consoleFrom, ToldRun& told, bool timePassed) {
  sim::Game& game = session.game();
  const std::vector<std::string> lines = linesSince(game, consoleFrom);
  for (const std::string& line : lines) {
    if (line.find(messages::stoppedOnError) != std::string::npos) return "an error reached the guard: " + line;
    if (std::string untrue = told.read(line); !untrue.empty()) return "untrue: " + untrue;
  }
  if (timePassed) {
    const std::optional<std::string> switchValue = game.console().valueOf(std::string(names::cvar::isRecording));
    if (std::string untrue = told.checkSwitch(switchValue && *switchValue == "1"); !untrue.empty()) {
      return "untrue: " + untrue;
    }
  }
  const auto after = ghostFiles(game.ghostFolder());
  for (const auto& [name, bytes] : before) {
    auto now = after.find(name);
    if (now == after.end()) return "the ghost file " + name + " disappeared";
    if (now->second != bytes && !reportedExport(lines, name)) {
      return "the ghost file " + name + " changed without a reported export";
    }
  }
  for (const auto& [name, bytes] : after) {
    if (!before.contains(name) && !reportedExport(lines, name)) {
      return "the ghost file " + name + " appeared without a reported export";
    }
  }
  if (const std::string problem = pageProblem(readFile(game.settingsPage())); !problem.empty()) {
    return "the settings page is broken: " + problem;
  }
  return "";
}

std::string lastLineStartingWith(const std::vector<std::string>& lines, const std::string& start) {
  const auto last = std::find_if(lines.rbegin(), lines.rend(),
                                 [&start](const std::string& line) { return line.rfind(start, 0) == 0; });
  return last == lines.rend() ? "" : *last;
}

// After the storm, one normal run: recorded, finished, exported.
const std::vector<std::string>& finalRunSteps() {
  static const std::vector<std::string> steps = {"unpause",
                                                 "map speedway",
                                                 "wait 1",
                                                 console(cvar::autoRecord, "0"),
                                                 console(cvar::autoExport, "0"),
                                                 console(cvar::lapCount, "1"),
                                                 console(cvar::exportFileName, std::string(finalGhostName)),
                                                 console(command::record),
                                                 "drive 1 laps lap-time 6",
                                                 console(command::exportGhost),
                                                 console(cvar::ghostFilePath, "\"" + finalGhostFile() + "\"")};
  return steps;
}

// The time reported, the time in the file's header and the time on the page of the final run must be one.
std::string finalRunProblem(Session& session, const fs::path& folder) {
  const std::vector<std::string>& steps = finalRunSteps();
  const std::size_t from = session.game().console().lines().size();
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const ParsedLine parsed = parseStep(steps[i], static_cast<int>(i + 1));
    const StepOutcome outcome = session.run(*parsed.step, folder);
    if (!outcome.ok) return "the final run's step \"" + steps[i] + "\" failed: " + outcome.seen;
  }
  const std::vector<std::string> lines = linesSince(session.game(), from);
  const std::string ended = lastLineStartingWith(lines, std::string(messages::raceEndedIn));
  if (ended.empty()) return "the final run did not finish";
  const std::string time(messages::namedIn(ended, messages::raceEndedIn).value_or(""));
  std::istringstream file(readFile(session.game().ghostFolder() / finalGhostFile()));
  const GhostHeaderFields header = readGhostHeader(readFirstLine(file, ghostLineLimit).value_or(""));
  const std::string text = formatRaceTime(header.runTime.value);
  if (time != text) return "the final run ended in " + time + " but its file says " + text;
  const std::string page = readFile(session.game().settingsPage());
  const std::string label = ghostChoiceLabel(header.lapField, time, header.playerName, finalGhostFile());
  if (page.find(label) == std::string::npos) return "the page does not list the final run's " + time;
  return "";
}

}  // namespace

std::vector<std::string> chaosSteps(std::uint64_t seed, int count) {
  std::mt19937_64 random(seed);
  int total = 0;
  for (const Choice& choice : choices()) total += choice.weight;
  std::vector<std::string> lines = {"map speedway", "wait 1"};
  std::uniform_int_distribution<int> draw(0, total - 1);
  while (static_cast<int>(lines.size()) < count) {
    int at = draw(random);
    for (const Choice& choice : choices()) {
      if (at < choice.weight) {
        lines.push_back(choice.line(random));
        break;
      }
      at -= choice.weight;
    }
  }
  lines.resize(static_cast<std::size_t>(std::max(count, 0)));
  return lines;
}

std::optional<ChaosViolation> runChaosSteps(const SessionSettings& settings, const std::vector<std::string>& lines,
                                            std::vector<std::string>* refusals) {
  static int runs = 0;
  SessionSettings own = settings;
  own.root = settings.root / ("chaos-" + std::to_string(++runs));
  std::error_code error;
  fs::remove_all(own.root, error);
  fs::create_directories(own.root, error);
  // Removed however the run ends, a stop by a signal included; the session in it is gone by then.
  struct FolderRemoval {
    fs::path folder;
    ~FolderRemoval() {
      std::error_code ignored;
      fs::remove_all(folder, ignored);
    }
  } removal{own.root};
  std::optional<ChaosViolation> violation;
  {
    Discard discard;
    std::ostream quiet(&discard);
    Session session(own, quiet);
    const fs::path folder = fs::current_path();
    ToldRun told;
    for (std::size_t i = 0; i < lines.size() && !violation; ++i) {
      const ParsedLine parsed = parseStep(lines[i], static_cast<int>(i + 1));
      if (!parsed.step) {
        violation = ChaosViolation{i, "not a step: " + parsed.error};
        break;
      }
      const auto before = ghostFiles(session.game().ghostFolder());
      const std::size_t consoleFrom = session.game().console().lines().size();
      const std::int64_t timeBefore = session.game().now();
      if (lines[i].starts_with("console " + std::string(names::cvar::isRecording))) told.switchTyped();
      try {
        // A step the game refuses (no car to drive) is no fault.
        const StepOutcome outcome = session.run(*parsed.step, folder);
        if (refusals != nullptr) refusals->push_back(outcome.ok ? "" : outcome.seen);
      } catch (const std::exception& escaped) {
        violation = ChaosViolation{i, std::string("an error escaped into the host: ") + escaped.what()};
        break;
      }
      const bool timePassed = session.game().now() != timeBefore;
      if (std::string problem = invariantProblem(session, before, consoleFrom, told, timePassed); !problem.empty()) {
        violation = ChaosViolation{i, std::move(problem)};
      } else if (timePassed) {
        // After a tick the pending 0.001 s timers are the chains alive: a lap watcher (or its finish), a run
        // sampler, a playback tick. Right after a command a stale tick may still wait to do nothing, and so
        // after a drive or wait the game refused (paused, no car), which let no time pass.
        const std::size_t chains = session.game().pendingTimers(nextTickDelay);
        if (chains > 3)
          violation = ChaosViolation{i, "chains alive: " + std::to_string(chains) + " timer chains pending"};
      }
    }
    if (!violation) {
      try {
        if (std::string problem = finalRunProblem(session, folder); !problem.empty()) {
          violation = ChaosViolation{lines.size(), std::move(problem)};
        }
      } catch (const std::exception& escaped) {
        violation = ChaosViolation{lines.size(), std::string("an error escaped into the host: ") + escaped.what()};
      }
    }
    session.unloadPlugin();
  }
  return violation;
}

std::vector<std::string> shortestFailing(std::vector<std::string> lines,
                                         const std::function<bool(const std::vector<std::string>&)>& fails) {
  // Zeller's ddmin on complements: remove one of n chunks while the rest still fails; refine n when none
  // can go, until single lines are tried.
  std::size_t chunks = 2;
  while (lines.size() >= 2) {
    const std::size_t size = lines.size();
    chunks = std::min(chunks, size);
    bool removed = false;
    for (std::size_t c = 0; c < chunks; ++c) {
      const std::size_t begin = size * c / chunks;
      const std::size_t end = size * (c + 1) / chunks;
      std::vector<std::string> rest(lines.begin(), lines.begin() + static_cast<long>(begin));
      rest.insert(rest.end(), lines.begin() + static_cast<long>(end), lines.end());
      if (fails(rest)) {
        lines = std::move(rest);
        chunks = std::max<std::size_t>(chunks - 1, 2);
        removed = true;
        break;
      }
    }
    if (!removed) {
      if (chunks >= size) break;
      chunks = std::min(chunks * 2, size);
    }
  }
  if (lines.size() == 1 && fails({})) lines.clear();
  return lines;
}

std::vector<std::string> replayScenario(const SessionSettings& settings, const std::vector<std::string>& lines,
                                        bool withFinalRun) {
  std::vector<std::string> refusals;
  (void)runChaosSteps(settings, lines, &refusals);
  std::vector<std::string> scenario;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool refused = i < refusals.size() && !refusals[i].empty();
    scenario.push_back(refused ? "# " + lines[i] + "    (the game refused it: " + refusals[i] + ")" : lines[i]);
  }
  if (withFinalRun) {
    scenario.emplace_back("# the run after the storm:");
    scenario.insert(scenario.end(), finalRunSteps().begin(), finalRunSteps().end());
  }
  return scenario;
}

int runChaos(const SessionSettings& settings, std::uint64_t seed, int steps, std::ostream& out) {
  const std::vector<std::string> lines = chaosSteps(seed, steps);
  const std::optional<ChaosViolation> violation = runChaosSteps(settings, lines);
  if (!violation) {
    out << "Chaos seed " << seed << ": " << lines.size() << (lines.size() == 1 ? " step" : " steps")
        << ", every invariant held after each; a record, finish and export afterwards agreed on its time.\n";
    return 0;
  }
  const std::string at = violation->step < lines.size()
                             ? "after step " + std::to_string(violation->step + 1) + " (" + lines[violation->step] + ")"
                             : "in the run after the storm";
  out << "Chaos seed " << seed << " FAILED " << at << ": " << violation->what << "\n";
  // Only the steps up to the failure matter; then as few of them as still fail the same way.
  std::vector<std::string> prefix(lines.begin(),
                                  lines.begin() + static_cast<long>(std::min(violation->step + 1, lines.size())));
  const std::string kind = violation->what.substr(0, violation->what.find(':'));
  const auto sameFailure = [&](const std::vector<std::string>& candidate) {
    const std::optional<ChaosViolation> seen = runChaosSteps(settings, candidate);
    return seen && seen->what.substr(0, seen->what.find(':')) == kind;
  };
  const std::vector<std::string> shortest = shortestFailing(prefix, sameFailure);
  if (shortest.empty()) {
    out << "No step of the storm is needed: the normal run after it fails on its own.\n";
    return 1;
  }
  out << "The shortest step list that reproduces it (" << shortest.size() << " of " << lines.size()
      << " steps), as a scenario:\n";
  for (const std::string& line : replayScenario(settings, shortest, violation->step >= lines.size())) {
    out << "  " << line << "\n";
  }
  return 1;
}

}  // namespace lumaro_host
