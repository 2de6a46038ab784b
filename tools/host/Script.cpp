#include "tools/host/Script.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <tuple>
#include <utility>

#include "library/platform/PathText.h"
#include "tools/host/NumberWords.h"
#include "tools/host/Words.h"

namespace lumaro_host {
namespace {

// A mistake in a step, thrown by the parsers below and turned into the line's error.
struct BadStep : std::runtime_error {
  using std::runtime_error::runtime_error;
};

using Arguments = std::vector<std::string>;

// A path a step names in the game root: relative, and not climbing out of it with "..".
std::string insideGameRoot(const std::string& path, const std::string& what) {
  const std::optional<std::filesystem::path> named = pathFromUtf8IfAny(path);
  if (!named) throw BadStep(what + " names no file: " + inQuotes(path));
  const std::filesystem::path& given = *named;
  const std::filesystem::path normal = given.lexically_normal();
  if (given.has_root_name() || given.has_root_directory() || (!normal.empty() && *normal.begin() == "..")) {
    throw BadStep(what + " must lie inside the game root, not " + inQuotes(path));
  }
  return path;
}

void expectCount(const Arguments& words, std::size_t count, const std::string& usage) {
  if (words.size() != count) throw BadStep("expected: " + usage);
}

const std::string& at(const Arguments& words, std::size_t index, const std::string& usage) {
  if (index >= words.size()) throw BadStep("expected: " + usage);
  return words[index];
}

// The units a drive or a wait counts in, and the words each may be written with after its number.
enum class Unit { Laps, Seconds, Ticks };
struct UnitWord {
  std::string_view word;
  Unit unit;
};
constexpr UnitWord unitWords[] = {
    {"laps", Unit::Laps},   {"lap", Unit::Laps},  {"seconds", Unit::Seconds}, {"second", Unit::Seconds},
    {"sec", Unit::Seconds}, {"s", Unit::Seconds}, {"ticks", Unit::Ticks},     {"tick", Unit::Ticks},
};

std::optional<Unit> unitOf(const std::string& word) {
  for (const UnitWord& unit : unitWords) {
    if (unit.word == word) return unit.unit;
  }
  return std::nullopt;
}

// A stretch of a lap as FROM-TO%, in per cent of the lap from the line: "42-58%" or "42%-58%".
std::pair<double, double> stretchOfLap(const std::string& word) {
  const std::string what = "the stretch \"" + word + "\"";
  const std::size_t dash = word.find('-', 1);
  if (word.empty() || word.back() != '%' || dash == std::string::npos) {
    throw BadStep(what + " must be FROM-TO% of the lap, as 42-58%");
  }
  std::string from = word.substr(0, dash);
  if (!from.empty() && from.back() == '%') from.pop_back();
  const double start = numberIn(from, what + "'s start", lapShare);
  const double end = numberIn(word.substr(dash + 1, word.size() - dash - 2), what + "'s end", lapShare);
  if (end <= start) throw BadStep(what + " must end after it starts");
  return {start / 100.0, end / 100.0};
}

// lose SECONDS lap N FROM-TO% or wide UNITS lap N FROM-TO%, from the word after the option's name; returns
// the number of words taken.
std::size_t parseMistake(const Arguments& words, std::size_t at, Drive& drive) {
  const std::string& option = words[at - 1];
  const bool lose = option == "lose";
  const std::string usage = option + (lose ? " SECONDS" : " UNITS") + " lap N FROM-TO%";
  if (at + 3 >= words.size() || words[at + 1] != "lap") throw BadStep("expected: " + usage);
  sim::PlantedMistake mistake;
  if (lose) {
    mistake.lostSeconds = numberIn(words[at], "the time lost", lostSeconds);
  } else {
    mistake.wideBy = numberIn(words[at], "how far wide", wideUnits);
  }
  const std::int64_t lap = wholeNumberIn(words[at + 2], "the lap of a mistake", lapCount);
  mistake.lap = static_cast<int>(lap);
  std::tie(mistake.from, mistake.to) = stretchOfLap(words[at + 3]);
  for (const sim::PlantedMistake& other : drive.mistakes) {
    if (other.lap == mistake.lap && (other.lostSeconds > 0.0) == lose) {
      throw BadStep("lap " + std::to_string(lap) + " has a " + option + " already");
    }
  }
  drive.mistakes.push_back(mistake);
  return 4;
}

// The words after a drive's amount that set how it drives, each followed by its value.
constexpr std::string_view driveOptions[] = {"lap-time", "speed", "vary", "seed", "run-out",
                                             "style",    "line",  "lose", "wide", "phase"};

Drive parseDrive(const Arguments& words) {
  const std::string usage =
      "drive N laps|SECONDS s [lap-time S | speed V] [vary P%] [seed N] [run-out S] [style racing|steady] "
      "[line UNITS] [lose SECONDS lap N FROM-TO%] [wide UNITS lap N FROM-TO%] [phase P]";
  Drive drive;
  const std::string& amount = at(words, 1, usage);
  const std::string& unit = at(words, 2, usage);
  if (unitOf(unit) == Unit::Laps) {
    drive.laps = static_cast<int>(wholeNumberIn(amount, "the number of laps", lapCount));
  } else if (unitOf(unit) == Unit::Seconds) {
    drive.seconds = numberIn(amount, "the driving time", gameSeconds);
  } else {
    throw BadStep("drive needs laps or seconds after the number, not \"" + unit + "\"");
  }
  for (std::size_t i = 3; i < words.size(); i += 2) {
    const std::string& option = words[i];
    if (i + 1 >= words.size()) throw BadStep("\"" + option + "\" needs a value");
    const std::string& value = words[i + 1];
    if (option == "lose" || option == "wide") {
      i += parseMistake(words, i + 1, drive) - 1;
    } else if (option == "style") {
      if (value != "racing" && value != "steady") throw BadStep("the style is racing or steady, not \"" + value + "\"");
      drive.racing = value == "racing";
    } else if (option == "line") {
      drive.lineOffset = numberIn(value, "the line's offset", lineOffset);
    } else if (option == "phase") {
      drive.phase = numberIn(value, "the phase", tickPhase);
    } else if (option == "lap-time") {
      drive.lapTime = numberIn(value, "the lap time", lapSeconds);
    } else if (option == "speed") {
      drive.speed = numberIn(value, "the speed", carSpeed);
    } else if (option == "vary") {
      std::string percent = value;
      if (!percent.empty() && percent.back() == '%') percent.pop_back();
      drive.variationPercent = numberIn(percent, "the variation", {-HUGE_VAL, HUGE_VAL, ""});
      if (drive.variationPercent < 0.0 || drive.variationPercent >= variationPercentBelow) {
        throw BadStep("the variation must be from 0% to below " + numberText(variationPercentBelow) + "%, not \"" +
                      value + "\"");
      }
    } else if (option == "seed") {
      drive.seed = seedNumber(value, "the seed");
    } else if (option == "run-out") {
      if (drive.laps == 0) throw BadStep("run-out applies to a drive of laps only");
      drive.runOut = numberIn(value, "the run-out", runOutSeconds);
    } else {
      std::string known;
      for (const std::string_view name : driveOptions) known += (known.empty() ? "" : ", ") + std::string(name);
      throw BadStep("unknown drive option \"" + option + "\" (" + known + ")");
    }
  }
  if (drive.lapTime && drive.speed) throw BadStep("give either a lap time or a speed, not both");
  if (drive.racing == false && drive.needsRacingLine()) {
    throw BadStep("line, lose and wide drive the racing line: they do not go with style steady");
  }
  return drive;
}

Wait parseWait(const Arguments& words) {
  const std::string usage = "wait SECONDS [s] | wait N ticks";
  Wait wait;
  const std::string& amount = at(words, 1, usage);
  if (words.size() == 3 && unitOf(words[2]) == Unit::Ticks) {
    wait.ticks = static_cast<int>(wholeNumberIn(amount, "the number of ticks", tickCount));
    return wait;
  }
  if (words.size() == 3 && unitOf(words[2]) != Unit::Seconds) {
    throw BadStep("wait needs seconds or ticks after the number, not \"" + words[2] + "\"");
  }
  if (words.size() > 3) throw BadStep("expected: " + usage);
  wait.seconds = numberIn(amount, "the waiting time", gameSeconds);
  return wait;
}

// [containing|matching] TEXT, starting at words[index]; nothing may follow.
TextMatcher parseTextMatcher(const Arguments& words, std::size_t index, const std::string& usage) {
  TextMatcher test;
  if (index < words.size() && (words[index] == "containing" || words[index] == "matching") &&
      index + 1 < words.size()) {
    test.mode = words[index] == "containing" ? TextMatcher::Mode::Containing : TextMatcher::Mode::Matching;
    ++index;
  }
  test.text = at(words, index, usage);
  if (index + 1 != words.size()) throw BadStep("expected: " + usage + " (quote a text that has blanks)");
  if (test.mode == TextMatcher::Mode::Matching) {
    if (const std::string refused = test.compile(); !refused.empty()) {
      throw BadStep("not a regular expression: " + inQuotes(test.text) + ": " + refused);
    }
  }
  return test;
}

// The file checks after "expect file PATH" or "expect page", from words[index].
void parseFileCheck(Expect& expect, const Arguments& words, std::size_t index) {
  const std::string usage =
      std::string(expect.onPage ? "expect page" : "expect file PATH") +
      " exists|missing|first-line|last-line|line|no-line [containing|matching] TEXT|contains TEXT";
  const std::string& check = at(words, index, usage);
  if (check == "exists" || check == "missing") {
    expectCount(words, index + 1, usage);
    expect.what = check == "exists" ? Expect::What::FileExists : Expect::What::FileMissing;
  } else if (check == "first-line" || check == "last-line" || check == "line" || check == "no-line") {
    expect.what = check == "first-line"  ? Expect::What::FirstLine
                  : check == "last-line" ? Expect::What::LastLine
                  : check == "line"      ? Expect::What::AnyLine
                                         : Expect::What::NoLine;
    expect.matcher = parseTextMatcher(words, index + 1, usage);
  } else if (check == "contains") {
    expect.what = Expect::What::AnyLine;
    expect.matcher.mode = TextMatcher::Mode::Containing;
    expect.matcher.text = at(words, index + 1, usage);
    expectCount(words, index + 2, usage);
  } else {
    throw BadStep("unknown file check \"" + check + "\"; expected: " + usage);
  }
}

// What an expectation looks at: the word after "expect".
constexpr std::string_view expectations[] = {"console", "no-console", "cvar", "file", "page", "kismet", "writes"};

Expect parseExpect(const Arguments& words) {
  std::string kinds;
  for (const std::string_view kind : expectations) kinds += (kinds.empty() ? "" : "|") + std::string(kind);
  const std::string usage = "expect " + kinds + " ...";
  Expect expect;
  const std::string& what = at(words, 1, usage);
  if (what == "console") {
    expect.what = Expect::What::ConsoleLine;
    expect.matcher = parseTextMatcher(words, 2, "expect console [containing|matching] TEXT");
  } else if (what == "no-console") {
    expect.what = Expect::What::NoConsoleLine;
    expect.matcher = parseTextMatcher(words, 2, "expect no-console [containing|matching] TEXT");
  } else if (what == "cvar") {
    expect.what = Expect::What::CvarValue;
    expect.subject = at(words, 2, "expect cvar NAME [containing|matching] VALUE");
    expect.matcher = parseTextMatcher(words, 3, "expect cvar NAME [containing|matching] VALUE");
  } else if (what == "file") {
    expect.subject = insideGameRoot(at(words, 2, "expect file PATH ..."), "the file of expect file");
    parseFileCheck(expect, words, 3);
  } else if (what == "page") {
    expect.onPage = true;
    parseFileCheck(expect, words, 2);
  } else if (what == "kismet") {
    expect.what = Expect::What::KismetValue;
    expect.subject = at(words, 2, "expect kismet NAME VALUE");
    expect.values.assign(words.begin() + 3, words.end());
    if (expect.values.empty()) throw BadStep("expected: expect kismet NAME VALUE (a vector takes three numbers)");
  } else if (what == "writes") {
    const std::string writesUsage = "expect writes NAME at-least N";
    expectCount(words, 5, writesUsage);
    if (words[3] != "at-least") throw BadStep("expected: " + writesUsage);
    expect.what = Expect::What::WriteCount;
    expect.subject = words[2];
    expect.count = static_cast<long>(wholeNumberIn(words[4], "the number of writes", writeCount));
  } else {
    throw BadStep("unknown expectation \"" + what + "\"; expected: " + usage);
  }
  return expect;
}

const std::map<std::string, GameEvent, std::less<>> gameEvents = {
    {"reset-ball", GameEvent::ResetBall},   {"respawn", GameEvent::Respawn}, {"remove-car", GameEvent::RemoveCar},
    {"restore-car", GameEvent::RestoreCar}, {"pause", GameEvent::Pause},     {"unpause", GameEvent::Unpause},
};
const std::map<std::string, Report, std::less<>> reports = {
    {"page", Report::Page}, {"ghosts", Report::Ghosts}, {"kismet", Report::Kismet},
    {"car", Report::Car},   {"cvars", Report::Cvars},
};

Action parseMap(const Arguments& words) {
  expectCount(words, 2, "map FILE");
  LoadMap load;
  load.file = words[1];
  return load;
}

Action parseMainMenu(const Arguments& words) {
  expectCount(words, 1, "main-menu");
  return LoadMainMenu{};
}

Action parsePlayer(const Arguments& words) {
  expectCount(words, 2, "player NAME");
  return SetPlayer{words[1]};
}

Action parseGameEvent(const Arguments& words) {
  expectCount(words, 1, words[0]);
  return Happen{gameEvents.find(words[0])->second};
}

Action parseCopy(const Arguments& words) {
  expectCount(words, 3, "copy SOURCE DESTINATION");
  return CopyFile{words[1], insideGameRoot(words[2], "the destination of copy")};
}

Action parsePickGhost(const Arguments& words) {
  expectCount(words, 2, "pick-ghost TEXT");
  return PickGhost{words[1]};
}

Action parseShow(const Arguments& words) {
  expectCount(words, 2, "show page|ghosts|kismet|car|cvars");
  auto report = reports.find(words[1]);
  if (report == reports.end()) throw BadStep("show what? page, ghosts, kismet, car or cvars");
  return Show{report->second};
}

// Every step but the console step, which is typed as written (parseStep takes it before the words are split).
struct StepForm {
  std::string_view name;
  Action (*parse)(const Arguments& words);  // words[0] is the step's name
};
const StepForm stepForms[] = {
    {"map", parseMap},
    {"main-menu", parseMainMenu},
    {"player", parsePlayer},
    {"drive", [](const Arguments& words) -> Action { return parseDrive(words); }},
    {"reset-ball", parseGameEvent},
    {"respawn", parseGameEvent},
    {"remove-car", parseGameEvent},
    {"restore-car", parseGameEvent},
    {"pause", parseGameEvent},
    {"unpause", parseGameEvent},
    {"wait", [](const Arguments& words) -> Action { return parseWait(words); }},
    {"copy", parseCopy},
    {"pick-ghost", parsePickGhost},
    {"show", parseShow},
    {"expect", [](const Arguments& words) -> Action { return parseExpect(words); }},
};

Action parseAction(const std::string& name, const Arguments& words) {
  for (const StepForm& form : stepForms) {
    if (form.name == name) return form.parse(words);
  }
  throw BadStep("unknown step \"" + name + "\" (lumaro-host --help lists the steps)");
}

}  // namespace

ParsedLine parseStep(std::string_view line, int lineNumber) {
  ParsedLine parsed;
  const std::string_view text = trimmed(line);
  if (text.empty() || text.front() == '#') return parsed;
  Step step;
  step.line = lineNumber;
  step.text = std::string(text);
  // A console line is typed exactly as written: no quoting rules, no comments.
  const Head head = splitHead(text);
  if (head.first == consoleStep) {
    if (head.rest.empty()) {
      parsed.error = "expected: console LINE";
      return parsed;
    }
    step.action = TypeConsole{std::string(head.rest)};
    parsed.step = std::move(step);
    return parsed;
  }
  const Words words = splitWords(text);
  if (!words.error.empty()) {
    parsed.error = words.error;
    return parsed;
  }
  try {
    step.action = parseAction(words.words.at(0), words.words);
    parsed.step = std::move(step);
  } catch (const BadStep& error) {
    parsed.error = error.what();
  } catch (const BadNumber& error) {
    parsed.error = error.what();
  }
  return parsed;
}

std::vector<StepWords> stepWords() {
  std::vector<StepWords> words{{std::string(consoleStep), {}}};
  for (const StepForm& form : stepForms) words.push_back({std::string(form.name), {}});
  for (StepWords& step : words) {
    for (const UnitWord& unit : unitWords) {
      if ((step.step == "drive" && unit.unit != Unit::Ticks) || (step.step == "wait" && unit.unit != Unit::Laps)) {
        step.words.emplace_back(unit.word);
      }
    }
    if (step.step == "drive") step.words.insert(step.words.end(), std::begin(driveOptions), std::end(driveOptions));
    if (step.step == "expect") step.words.assign(std::begin(expectations), std::end(expectations));
    if (step.step == "show") {
      for (const auto& [report, shown] : reports) step.words.push_back(report);
    }
  }
  return words;
}

Script parseScript(std::string_view text, std::string name) {
  Script script;
  script.name = std::move(name);
  text = withoutByteOrderMark(text);
  int lineNumber = 0;
  while (!text.empty() || lineNumber == 0) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ParsedLine parsed = parseStep(line, lineNumber);
    if (!parsed.error.empty()) {
      script.errors.push_back(script.name + ":" + std::to_string(lineNumber) + ": " + parsed.error);
    } else if (parsed.step) {
      script.steps.push_back(std::move(*parsed.step));
    }
    if (end == std::string_view::npos) break;
  }
  return script;
}

}  // namespace lumaro_host
