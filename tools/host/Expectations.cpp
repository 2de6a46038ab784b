// The expect steps: what each one looks at, how it compares, and what it reports as seen when it fails.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "host/Values.h"
#include "library/platform/PathText.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "sim/KismetWords.h"
#include "tools/host/NumberWords.h"
#include "tools/host/Reports.h"
#include "tools/host/Script.h"
#include "tools/host/Session.h"
#include "tools/host/TextMatcher.h"

namespace fs = std::filesystem;

namespace lumaro_host {
namespace {

StepOutcome failure(std::string seen) { return {false, std::move(seen)}; }

// Lines for a message, one a line, the last `most` of them when there are more.
std::string listed(const std::vector<std::string>& lines, std::size_t from, std::size_t most) {
  if (from >= lines.size()) return "(none)";
  std::string text;
  const std::size_t shown = std::max(from, lines.size() > most ? lines.size() - most : 0);
  if (shown > from) text += "... " + std::to_string(shown - from) + " lines before these\n";
  for (std::size_t i = shown; i < lines.size(); ++i) text += (i > shown ? "\n" : "") + inQuotes(lines[i]);
  return text;
}

// Floats as the plugin computes them in single precision: equal within a few units of the last place.
bool closeTo(float seen, float expected) {
  return std::fabs(seen - expected) <= kismetFloatTolerance * std::max(1.0f, std::fabs(expected));
}

// The same, with a number word that is no value of the variable's type thrown as BadNumber.
std::optional<std::string> valueMismatch(const sim::KismetVariable& variable, const std::vector<std::string>& words,
                                         bool& holds) {
  holds = false;
  const bool single = words.size() == 1;
  switch (variable.type) {
    case sim::VariableType::Int: {
      if (!single) return "an int variable needs one whole number";
      holds = variable.intValue == kismetInt(words[0]);
      return std::nullopt;
    }
    case sim::VariableType::Bool:
      if (!single || !sim::kismetWords::boolOfWord(words[0]))
        return "a bool variable needs " + sim::kismetWords::boolWordsText();
      holds = (variable.intValue != 0) == *sim::kismetWords::boolOfWord(words[0]);
      return std::nullopt;
    case sim::VariableType::Float:
      if (!single) return "a float variable needs one number";
      holds = closeTo(variable.floatValue, kismetFloat(words[0]));
      return std::nullopt;
    case sim::VariableType::String:
      if (!single) return "a string variable needs one text (quote a text with blanks)";
      holds = variable.stringValue == words[0];
      return std::nullopt;
    case sim::VariableType::Vector: {
      if (words.size() != 3) return "a vector variable needs three numbers";
      holds = closeTo(variable.vectorValue.X, kismetFloat(words[0])) &&
              closeTo(variable.vectorValue.Y, kismetFloat(words[1])) &&
              closeTo(variable.vectorValue.Z, kismetFloat(words[2]));
      return std::nullopt;
    }
  }
  return "unknown type";
}

// Whether a Kismet variable holds the value the words give, or why the words do not fit its type. The words
// are read as a map file's starting values are (tools/host/NumberWords.h).
std::optional<std::string> kismetMismatch(const sim::KismetVariable& variable, const std::vector<std::string>& words,
                                          bool& holds) {
  holds = false;
  try {
    return valueMismatch(variable, words, holds);
  } catch (const BadNumber& bad) {
    return bad.what();
  }
}

}  // namespace

StepOutcome Session::check(const Expect& step) {
  using What = Expect::What;
  switch (step.what) {
    case What::ConsoleLine: {
      const auto& lines = game_->console().lines();
      for (std::size_t i = consoleCursor_; i < lines.size(); ++i) {
        if (step.matcher.accepts(lines[i])) {
          consoleCursor_ = i + 1;
          return {};
        }
      }
      return failure(consoleCursor_ == 0
                         ? "no such console line; the console so far:\n" + listed(lines, 0, 20)
                         : "no such console line after " + inQuotes(lines[consoleCursor_ - 1]) +
                               ", which the previous console expectation matched; the lines after it:\n" +
                               listed(lines, consoleCursor_, 20));
    }
    case What::NoConsoleLine: {
      const auto& lines = game_->console().lines();
      for (std::size_t i = consoleCursor_; i < lines.size(); ++i) {
        if (step.matcher.accepts(lines[i])) return failure("the console showed " + inQuotes(lines[i]));
      }
      return {};
    }
    case What::CvarValue: {
      const auto value = game_->console().valueOf(step.subject);
      if (!value) return failure("there is no console variable " + step.subject);
      if (step.matcher.accepts(*value)) return {};
      return failure(step.subject + " = " + inQuotes(*value));
    }
    case What::KismetValue: {
      const sim::KismetSequence* sequence = game_->mainSequence();
      if (sequence == nullptr) {
        return failure(game_->mapName().empty() ? "no map is loaded"
                                                : game_->mapName() + " has no main Kismet sequence");
      }
      const auto& variables = sequence->variables();
      const auto found = std::find_if(variables.begin(), variables.end(),
                                      [&](const auto& variable) { return variable->name == step.subject; });
      if (found == variables.end()) {
        std::string seen = "no Kismet variable named " + step.subject + "; the map has:";
        for (const auto& variable : variables) seen += "\n  " + describeVariable(*variable);
        return failure(seen);
      }
      bool holds = false;
      if (const auto mismatch = kismetMismatch(**found, step.values, holds)) {
        return failure(*mismatch + "; " + describeVariable(**found));
      }
      if (holds) return {};
      return failure(describeVariable(**found));
    }
    case What::WriteCount: {
      const auto count = static_cast<std::int64_t>(game_->writeCount(step.subject));
      if (count >= step.count) return {};
      return failure(step.subject + " was written " + std::to_string(count) + (count == 1 ? " time" : " times"));
    }
    default: break;
  }

  // The page is checked as the host last showed it to the player, not as the file is now.
  const std::optional<fs::path> inRoot = step.onPage ? game_->settingsPage() : underRoot(step.subject);
  if (!inRoot) return failure(step.subject + " leads out of the game root");
  const fs::path& file = *inRoot;
  std::error_code error;
  const bool exists = step.onPage ? game_->shownPage().has_value() : fs::exists(file, error);
  if (step.what == What::FileExists) return exists ? StepOutcome{} : failure("nothing at " + utf8FromPath(file));
  if (step.what == What::FileMissing) {
    return exists ? failure((fs::is_directory(file, error) ? "a folder at " : "a file at ") + utf8FromPath(file))
                  : StepOutcome{};
  }
  const auto lines = step.onPage ? game_->shownPage() : readLines(file);
  if (!lines) {
    if (step.onPage) return failure("the host has not shown the settings page " + utf8FromPath(file));
    return failure((exists ? "no readable file at " : "no file at ") + utf8FromPath(file));
  }
  if (lines->empty() && step.what != What::NoLine) return failure("the file " + utf8FromPath(file) + " is empty");
  if (step.what == What::FirstLine) {
    if (step.matcher.accepts(lines->front())) return {};
    return failure("the first line of " + utf8FromPath(file) + " is " + inQuotes(lines->front()));
  }
  if (step.what == What::LastLine) {
    if (step.matcher.accepts(lines->back())) return {};
    return failure("the last line of " + utf8FromPath(file) + " is " + inQuotes(lines->back()));
  }
  const auto found =
      std::find_if(lines->begin(), lines->end(), [&](const std::string& line) { return step.matcher.accepts(line); });
  if (step.what == What::NoLine) {
    if (found == lines->end()) return {};
    return failure("line " + std::to_string(found - lines->begin() + 1) + " of " + utf8FromPath(file) + " is " +
                   inQuotes(*found));
  }
  if (found != lines->end()) return {};
  return failure("no such line in " + utf8FromPath(file) + "; its lines:\n" + listed(*lines, 0, 40));
}

}  // namespace lumaro_host
