#include "tools/ghost/command/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstddef>
#include <iterator>
#include <system_error>

#include "plugin/HostNames.h"
#include "tools/commandline/UsageError.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"

namespace lumaro_ghost {

namespace {

using lumaro_tools::UsageError;

std::optional<std::int32_t> wholeNumber(const std::string& text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "A:2": a run's letter and a lap number from 1; "A:best": the run's best lap.
std::optional<LapOfRun> lapOfRun(const std::string& text) {
  if (text.size() < 3 || text[1] != ':') return std::nullopt;
  const auto letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  const std::optional<std::int32_t> lap = text.substr(2) == "best" ? bestLapOfRun : wholeNumber(text.substr(2));
  if (letter < 'A' || letter > 'Z' || !lap || (*lap < 1 && *lap != bestLapOfRun)) return std::nullopt;
  return LapOfRun{static_cast<std::size_t>(letter - 'A'), *lap};
}

struct OptionForm {
  GhostOption option;
  std::string_view name;
  bool takesValue;
};
constexpr OptionForm optionForms[] = {
    {GhostOption::Json, "--json", false},       {GhostOption::Csv, "--csv", false},
    {GhostOption::Force, "--force", false},     {GhostOption::Best, "--best", false},
    {GhostOption::Output, "-o", true},          {GhostOption::Gap, "--gap", true},
    {GhostOption::Map, "--map", true},          {GhostOption::Laps, "--laps", true},
    {GhostOption::Lap, "--lap", true},          {GhostOption::Ref, "--ref", true},
    {GhostOption::Sectors, "--sectors", true},  {GhostOption::PlausibleOnly, "--plausible-only", false},
    {GhostOption::Driving, "--driving", false},
};

const OptionForm& formOf(GhostOption option) {
  return *std::find_if(std::begin(optionForms), std::end(optionForms),
                       [option](const OptionForm& form) { return form.option == option; });
}

// A number option's value within its range; what: "a number of laps", for the error.
std::int32_t numberIn(GhostOption option, const std::string& value, std::int32_t least, std::int32_t most,
                      const std::string& what) {
  const std::optional<std::int32_t> number = wholeNumber(value);
  if (number && *number >= least && *number <= most) return *number;
  const std::string name(optionName(option));
  if (most == INT32_MAX) {
    throw UsageError(name + " takes " + what + " from " + std::to_string(least) + ", not \"" + value + "\"");
  }
  std::string error = name + " takes " + what + " from " + std::to_string(least) + " to " + std::to_string(most);
  // The page is set to fewestLaps to mostLaps (its Number of laps, which the host keeps within that range).
  if (option == GhostOption::Laps) error += ", as the settings page's Number of laps does";
  throw UsageError(error + ", not " + (number ? value : "\"" + value + "\""));
}

// What --lap takes, for a value it does not.
UsageError lapRefusal(const std::string& value) {
  return UsageError(
      "--lap takes a lap number from 1, or two laps as A:2,B:3, A:best,B:best, theoretical,B:2 or B:2,theoretical, "
      "not \"" +
      value + "\"");
}

// --lap A:2,B:3: two laps, either of which may be the theoretical best lap (it holds no run's lap: its place
// is a stand-in).
void readLapPair(CommandLine& line, const std::string& value) {
  const std::size_t comma = value.find(',');
  line.againstTheoretical = value.substr(0, comma) == "theoretical";
  line.theoreticalSecond = !line.againstTheoretical && value.substr(comma + 1) == "theoretical";
  const auto first = line.againstTheoretical ? LapOfRun{0, 1} : lapOfRun(value.substr(0, comma));
  const auto second = line.theoreticalSecond ? LapOfRun{0, 1} : lapOfRun(value.substr(comma + 1));
  if (!first || !second) throw lapRefusal(value);
  line.lapPair = std::pair{*first, *second};
}

}  // namespace

std::string_view optionName(GhostOption option) { return formOf(option).name; }

bool takesValue(GhostOption option) { return formOf(option).takesValue; }

void readOption(CommandLine& line, GhostOption option, const std::string& value) {
  switch (option) {
    case GhostOption::Json: line.json = true; break;
    case GhostOption::Csv: line.csv = true; break;
    case GhostOption::Force: line.force = true; break;
    case GhostOption::Best: line.best = true; break;
    case GhostOption::PlausibleOnly: line.plausibleOnly = true; break;
    case GhostOption::Driving: line.driving = true; break;
    case GhostOption::Output: line.output = value; break;
    case GhostOption::Map: line.mapName = value; break;
    case GhostOption::Gap: line.gapMs = numberIn(option, value, 0, INT32_MAX, "a whole number of milliseconds"); break;
    case GhostOption::Laps: line.laps = numberIn(option, value, fewestLaps, mostLaps, "a number of laps"); break;
    case GhostOption::Sectors:
      line.sectors = numberIn(option, value, fewestSectors, mostSectors, "a number of sectors");
      break;
    case GhostOption::Lap:
      if (value.find(',') != std::string::npos) {
        readLapPair(line, value);
      } else {
        line.lap = wholeNumber(value);
        if (!line.lap || *line.lap < 1) throw lapRefusal(value);
      }
      break;
    case GhostOption::Ref:
      line.reference = lapOfRun(value);
      if (!line.reference) {
        throw UsageError("--ref takes a run's letter and a lap number or best, as A:2 or A:best, not \"" + value +
                         "\"");
      }
      break;
  }
}

void checkTogether(const CommandLine& line) {
  if ((line.lap || line.lapPair) && line.best) throw UsageError("give --lap or --best, not both");
  if (line.json && line.csv) throw UsageError("give --json or --csv, not both");
  if (line.output && (line.json || line.csv))
    throw UsageError(std::string("give -o or ") + (line.json ? "--json" : "--csv") + ", not both");
}

}  // namespace lumaro_ghost
