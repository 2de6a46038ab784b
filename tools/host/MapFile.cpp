#include "tools/host/MapFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "library/platform/PathText.h"
#include "sim/KismetMap.h"
#include "sim/KismetWords.h"
#include "tools/host/NumberWords.h"
#include "tools/host/StopSignals.h"
#include "tools/host/TextFile.h"
#include "tools/host/Words.h"

namespace lumaro_host {
namespace {

struct BadLine : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// X1 Y1 X2 Y2 of a line, X Y Z of a point: the words from first on.
sim::TrackPoint trackPoint(const std::vector<std::string>& words, std::size_t first, bool withHeight) {
  static const char* const axes[] = {"x", "y", "z"};
  double values[3] = {0.0, 0.0, 0.0};
  for (std::size_t axis = 0; axis < (withHeight ? 3u : 2u); ++axis) {
    values[axis] = numberIn(words[first + axis],
                            std::string("the ") + axes[axis] + " of " + (words[0] == "point" ? "a point" : "the line"),
                            trackCoordinate);
  }
  return {values[0], values[1], values[2]};
}

bool yesNo(const std::vector<std::string>& words) {
  if (words.size() != 2 || (words[1] != "yes" && words[1] != "no")) throw BadLine("expected: " + words[0] + " yes|no");
  return words[1] == "yes";
}

sim::VariableType variableType(const std::string& word) {
  const auto& names = sim::kismetWords::typeNames;
  std::string known;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (word == names[i]) return static_cast<sim::VariableType>(i);
    known += (i > 0 ? ", " : "") + std::string(names[i]);
  }
  throw BadLine("unknown variable type \"" + word + "\" (" + known + ")");
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
      if (!sim::kismetWords::boolOfWord(words[3])) {
        throw BadLine("a bool is " + sim::kismetWords::boolWordsText());
      }
      definition.initialValue = words[3];
      break;
    case sim::VariableType::Int:
      kismetInt(words[3]);
      definition.initialValue = words[3];
      break;
    case sim::VariableType::Float:
      kismetFloat(words[3]);
      definition.initialValue = words[3];
      break;
    case sim::VariableType::Vector:
      for (std::size_t i = 3; i < 6; ++i) kismetFloat(words[i]);
      definition.initialValue = sim::kismetWords::vectorText(words[3], words[4], words[5]);
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
  bool pointsPastLimit = false;
  int lineOfFirstVariable = 0;
  std::map<std::string, int> variableLines;
  std::istringstream in{std::string(withoutByteOrderMark(text))};
  std::string raw;
  while (std::getline(in, raw)) {
    // A file near the size limit holds hundreds of thousands of lines: a signal stops its reading at once.
    stopIfAsked();
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
        map.lapTime = numberIn(words.words[1], "the lap time", lapSeconds);
      } else if (key == "drive-style") {
        if (words.words.size() != 2 || (words.words[1] != "racing" && words.words[1] != "steady")) {
          throw BadLine("expected: drive-style racing|steady");
        }
        map.racing = words.words[1] == "racing";
      } else if (key == "line") {
        if (words.words.size() != 5) throw BadLine("expected: line X1 Y1 X2 Y2");
        line = std::make_pair(trackPoint(words.words, 1, false), trackPoint(words.words, 3, false));
        lineOfTrack = lineNumber;
      } else if (key == "point") {
        if (words.words.size() != 4) throw BadLine("expected: point X Y Z");
        if (points.size() == mostTrackPoints) {
          // Named once, at the first point too many; the points after it are not read.
          if (!pointsPastLimit) {
            pointsPastLimit = true;
            throw BadLine("a track has at most " + std::to_string(mostTrackPoints) + " points");
          }
          continue;
        }
        points.push_back(trackPoint(words.words, 1, true));
        if (lineOfTrack == 0) lineOfTrack = lineNumber;
      } else {
        throw BadLine("unknown entry \"" + key +
                      "\" (map, freeplay, kismet, variable, lap-time, drive-style, line, point)");
      }
    } catch (const BadLine& error) {
      mistakes.emplace_back(lineNumber, error.what());
    } catch (const BadNumber& error) {
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
        if (map.track->length() < trackLapLength.least || map.track->length() > trackLapLength.most) {
          char length[32];
          std::snprintf(length, sizeof length, "%.0f", map.track->length());
          fail(lineOfTrack,
               std::string("the lap is ") + length + " units long; it must be " + rangeText(trackLapLength));
          map.track.reset();
        }
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
  const TextFile read = readTextFile(file);
  if (!read.error.empty()) {
    MapFileResult result;
    result.errors.push_back(utf8FromPath(file) + ": " + read.error);
    return result;
  }
  return parseMapFile(read.text, utf8FromPath(file));
}

}  // namespace lumaro_host
