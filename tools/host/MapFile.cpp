#include "tools/host/MapFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "tools/host/Words.h"

namespace lumaro_host {
namespace {

struct BadLine : std::runtime_error {
  using std::runtime_error::runtime_error;
};

double coordinate(const std::string& word) {
  char* end = nullptr;
  const double value = std::strtod(word.c_str(), &end);
  if (word.empty() || end != word.c_str() + word.size() || !std::isfinite(value)) {
    throw BadLine("\"" + word + "\" is not a number");
  }
  return value;
}

// A starting value as the game keeps it, in single precision: one past its range would reach the plugin as an
// infinity.
void checkFloat(const std::string& word) {
  (void)coordinate(word);
  if (!std::isfinite(std::strtof(word.c_str(), nullptr))) throw BadLine("\"" + word + "\" is out of a float's range");
}

bool yesNo(const std::vector<std::string>& words) {
  if (words.size() != 2 || (words[1] != "yes" && words[1] != "no")) throw BadLine("expected: " + words[0] + " yes|no");
  return words[1] == "yes";
}

sim::VariableType variableType(const std::string& word) {
  if (word == "int") return sim::VariableType::Int;
  if (word == "float") return sim::VariableType::Float;
  if (word == "string") return sim::VariableType::String;
  if (word == "vector") return sim::VariableType::Vector;
  if (word == "bool") return sim::VariableType::Bool;
  throw BadLine("unknown variable type \"" + word + "\" (int, float, string, vector, bool)");
}

sim::VariableDefinition variable(const std::vector<std::string>& words) {
  if (words.size() < 4) throw BadLine("expected: variable TYPE NAME VALUE");
  sim::VariableDefinition definition;
  definition.type = variableType(words[1]);
  definition.name = words[2];
  const std::size_t valueWords = definition.type == sim::VariableType::Vector ? 3 : 1;
  if (words.size() != 3 + valueWords) {
    throw BadLine(definition.type == sim::VariableType::Vector ? "a vector takes three numbers"
                                                               : "one value expected (quote a text with blanks)");
  }
  switch (definition.type) {
    case sim::VariableType::String: definition.initialValue = words[3]; break;
    case sim::VariableType::Bool:
      if (words[3] != "0" && words[3] != "1" && words[3] != "true" && words[3] != "false") {
        throw BadLine("a bool is 0, 1, true or false");
      }
      definition.initialValue = words[3];
      break;
    case sim::VariableType::Int: {
      char* end = nullptr;
      errno = 0;
      const long long value = std::strtoll(words[3].c_str(), &end, 10);
      if (end != words[3].c_str() + words[3].size() || words[3].empty()) {
        throw BadLine("\"" + words[3] + "\" is not a whole number");
      }
      // The game keeps a 32-bit int; a larger value would reach the plugin wrapped.
      if (errno == ERANGE || value < INT_MIN || value > INT_MAX) {
        throw BadLine("\"" + words[3] + "\" is out of an int's range");
      }
      definition.initialValue = words[3];
      break;
    }
    case sim::VariableType::Float:
      checkFloat(words[3]);
      definition.initialValue = words[3];
      break;
    case sim::VariableType::Vector:
      for (std::size_t i = 3; i < 6; ++i) checkFloat(words[i]);
      definition.initialValue = words[3] + " " + words[4] + " " + words[5];
      break;
  }
  return definition;
}

}  // namespace

MapFileResult parseMapFile(std::string_view text, const std::string& name) {
  MapFileResult result;
  MapFile map;
  map.definition.name.clear();
  std::vector<sim::TrackPoint> points;
  std::optional<std::pair<sim::TrackPoint, sim::TrackPoint>> line;
  // Mistakes by line: the whole-file checks below run last but name earlier lines.
  std::vector<std::pair<int, std::string>> mistakes;
  int lineNumber = 0;
  int lineOfTrack = 0;
  int lineOfFirstVariable = 0;
  std::map<std::string, int> variableLines;
  std::istringstream in{std::string(withoutByteOrderMark(text))};
  std::string raw;
  while (std::getline(in, raw)) {
    ++lineNumber;
    const Words words = splitWords(raw);
    try {
      if (!words.error.empty()) throw BadLine(words.error);
      if (words.words.empty()) continue;
      const std::string& key = words.words[0];
      if (key == "map") {
        if (words.words.size() != 2) throw BadLine("expected: map NAME (quote a name with blanks)");
        map.definition.name = words.words[1];
      } else if (key == "freeplay") {
        map.definition.freeplay = yesNo(words.words);
      } else if (key == "kismet") {
        map.definition.hasMainSequence = yesNo(words.words);
      } else if (key == "variable") {
        sim::VariableDefinition definition = variable(words.words);
        // The host's table holds one variable per name.
        const auto [first, isNew] = variableLines.emplace(definition.name, lineNumber);
        if (!isNew) {
          throw BadLine("the variable " + definition.name + " is defined twice, on lines " +
                        std::to_string(first->second) + " and " + std::to_string(lineNumber));
        }
        map.definition.variables.push_back(std::move(definition));
        if (lineOfFirstVariable == 0) lineOfFirstVariable = lineNumber;
      } else if (key == "lap-time") {
        if (words.words.size() != 2) throw BadLine("expected: lap-time SECONDS");
        const double seconds = coordinate(words.words[1]);
        if (seconds <= 0.0) throw BadLine("the lap time must be more than 0");
        map.lapTime = seconds;
      } else if (key == "drive-style") {
        if (words.words.size() != 2 || (words.words[1] != "racing" && words.words[1] != "steady")) {
          throw BadLine("expected: drive-style racing|steady");
        }
        map.racing = words.words[1] == "racing";
      } else if (key == "line") {
        if (words.words.size() != 5) throw BadLine("expected: line X1 Y1 X2 Y2");
        line = std::make_pair(sim::TrackPoint{coordinate(words.words[1]), coordinate(words.words[2]), 0.0},
                              sim::TrackPoint{coordinate(words.words[3]), coordinate(words.words[4]), 0.0});
        lineOfTrack = lineNumber;
      } else if (key == "point") {
        if (words.words.size() != 4) throw BadLine("expected: point X Y Z");
        points.push_back({coordinate(words.words[1]), coordinate(words.words[2]), coordinate(words.words[3])});
        if (lineOfTrack == 0) lineOfTrack = lineNumber;
      } else {
        throw BadLine("unknown entry \"" + key +
                      "\" (map, freeplay, kismet, variable, lap-time, drive-style, line, point)");
      }
    } catch (const BadLine& error) {
      mistakes.emplace_back(lineNumber, error.what());
    }
  }
  auto fail = [&](int at, const std::string& message) { mistakes.emplace_back(at, message); };
  // An empty file still has a first line to point at.
  if (map.definition.name.empty()) fail(std::max(lineNumber, 1), "the file names no map (map NAME)");
  if (!map.definition.hasMainSequence && !map.definition.variables.empty()) {
    fail(lineOfFirstVariable, "a map without a main sequence (kismet no) has no Kismet variables");
  }
  if (!points.empty() || line) {
    if (!line) {
      fail(lineOfTrack, "the track has no start/finish line (line X1 Y1 X2 Y2)");
    } else {
      try {
        map.track.emplace(points, line->first, line->second);
      } catch (const std::invalid_argument& error) {
        fail(lineOfTrack, error.what());
      }
    }
  }
  std::stable_sort(mistakes.begin(), mistakes.end(),
                   [](const auto& left, const auto& right) { return left.first < right.first; });
  for (const auto& [at, message] : mistakes) result.errors.push_back(name + ":" + std::to_string(at) + ": " + message);
  if (result.errors.empty()) result.map = std::move(map);
  return result;
}

MapFileResult readMapFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    MapFileResult result;
    result.errors.push_back(file.string() + ": cannot be read");
    return result;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return parseMapFile(text.str(), file.string());
}

}  // namespace lumaro_host
