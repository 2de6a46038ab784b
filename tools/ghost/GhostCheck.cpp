#include "tools/ghost/GhostCheck.h"

#include <algorithm>

#include "tools/ghost/GhostHeaderFields.h"
#include "tools/ghost/PageListing.h"
#include "ui/GhostChoice.h"

namespace lumaro_ghost {

namespace {

std::string numberProblem(const char* what, const std::string& field, NumberError error) {
  return std::string("the ") + what + " \"" + field + "\" " +
         (error == NumberError::OutOfRange ? "is out of range" : "is not a number");
}

void checkHeader(const GhostFileContent& content, std::string_view fileName, std::vector<GhostProblem>& problems) {
  const GhostHeaderFields header = readHeaderFields(*content.headerLine);
  // A carriage return is dropped only before a line feed: lines that end in one alone run together, and
  // their commas, not a comma in a name, make the extra fields.
  const bool strayReturn = content.headerLine->find('\r') != std::string::npos;
  if (strayReturn) {
    problems.push_back({1,
                        "the line holds a carriage return that ends no line: the plugin ends lines only at a "
                        "line feed, so a file whose lines end in a carriage return alone reads as one line"});
  }
  if (header.fieldCount < 5 || (header.fieldCount > 5 && strayReturn)) {
    problems.push_back({1, "the header has " + std::to_string(header.fieldCount) +
                               " fields, not five (map, player, run time, lap count, version)"});
  } else if (header.fieldCount > 5) {
    problems.push_back({1, "the header has " + std::to_string(header.fieldCount) +
                               " fields, not five: a comma in the map or player name shifts the fields after it"});
  }
  if (header.fieldCount >= 1 && header.mapName.empty()) problems.push_back({1, "the map name is empty"});
  if (header.fieldCount >= 3 && header.runTime.error != NumberError::None) {
    problems.push_back({1, numberProblem("run time", header.runTimeField, header.runTime.error)});
  }
  if (header.fieldCount >= 4 && header.lapCount.error != NumberError::None) {
    problems.push_back({1, numberProblem("lap count", header.lapField, header.lapCount.error)});
  } else if (header.fieldCount >= 4 && (header.lapCount.value < fewestLaps || header.lapCount.value > mostLaps)) {
    problems.push_back({1, "the lap count " + std::to_string(header.lapCount.value) + " is outside " +
                               std::to_string(fewestLaps) + " to " + std::to_string(mostLaps) +
                               ": no page lists the file"});
  }
  if (!isListableFileName(fileName)) problems.push_back({0, std::string(unlistableFileName)});
  if (!content.pageHeaderLine) {
    problems.push_back({1, "the header line does not end within the first " + std::to_string(headerLineLimit) +
                               " bytes, all the settings page reads: no page lists the file"});
  }
  if (header.runTime.error == NumberError::None && !content.frames.empty() && !content.importStopsAt &&
      header.runTime.value != content.frames.back().time) {
    problems.push_back({1, "the run time " + std::to_string(header.runTime.value) +
                               " ms is not the last frame's time, " + std::to_string(content.frames.back().time) +
                               " ms (line " + std::to_string(content.frameLines.back()) + ")"});
  }
}

void checkTimeOrder(const GhostFileContent& content, std::vector<GhostProblem>& problems) {
  for (std::size_t i = 0; i < content.frames.size(); ++i) {
    const GhostFrame& frame = content.frames[i];
    const std::size_t line = content.frameLines[i];
    if (i > 0 && frame.time < content.frames[i - 1].time) {
      problems.push_back({line, "the time goes back from " + std::to_string(content.frames[i - 1].time) + " to " +
                                    std::to_string(frame.time) + " ms"});
    }
  }
}

}  // namespace

std::vector<GhostProblem> checkGhost(const GhostFileContent& content, std::string_view fileName) {
  std::vector<GhostProblem> problems;
  if (!content.headerLine) {
    problems.push_back({0, "the file is empty: no header line and no frames"});
    return problems;
  }
  checkHeader(content, fileName, problems);
  checkTimeOrder(content, problems);
  for (const FrameLineProblem& line : content.lineProblems) {
    std::string reason = frameLineReason(line);
    if (content.importStopsAt && line.line > *content.importStopsAt) {
      reason += " (past line " + std::to_string(*content.importStopsAt) + ", where the import stops)";
    } else if (line.kind == FrameLineResult::Kind::TooFewFields) {
      reason += ": the import skips the line";
    } else if (content.importStopsAt == line.line) {
      reason += ": the import stops reading here (frames loaded: " + std::to_string(content.frames.size()) + ")";
    }
    problems.push_back({line.line, std::move(reason)});
  }
  if (content.frames.empty()) problems.push_back({0, "no frame lines: the loaded ghost would be empty"});
  std::stable_sort(problems.begin(), problems.end(),
                   [](const GhostProblem& a, const GhostProblem& b) { return a.line < b.line; });
  return problems;
}

}  // namespace lumaro_ghost
