#include "tools/ghost/report/GhostCheck.h"

#include <algorithm>
#include <span>
#include <string>
#include <utility>

#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/GhostHeaderLine.h"
#include "library/ghostfile/ImportMessages.h"
#include "library/ghostfile/NumberReading.h"
#include "plugin/HostNames.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/LapValidity.h"
#include "tools/ghost/analysis/PageListing.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "tools/ghost/analysis/StartLine.h"
#include "tools/ghost/text/NumberText.h"
#include "track/RaceLine.h"
#include "ui/GhostChoice.h"

namespace lumaro_ghost {

namespace {

// Frames that end more than this before the header's run time (milliseconds) cannot be the whole run.
constexpr std::int64_t missingRunTime = 1000;

// The end of the reason of the line the import stops at, with what it keeps.
std::string importStopsHere(const GhostFileContent& content) {
  return ": the import stops reading here " + framesLoadedText(content.frames.size());
}

std::string fieldProblem(const char* what, const std::string& field, NumberError error) {
  return std::string("the ") + what + " \"" + field + "\" " + numberProblem(error);
}

// The map name, run time and lap count of a header whose fields are in their places.
void checkHeaderFields(const GhostHeaderFields& header, std::vector<GhostProblem>& problems) {
  if (header.fieldCount >= 1 && header.mapName.empty()) problems.push_back({1, "the map name is empty"});
  if (header.fieldCount >= 3 && header.runTime.error != NumberError::None) {
    problems.push_back({1, fieldProblem("run time", header.runTimeField, header.runTime.error)});
  } else if (header.fieldCount >= 3 && header.runTime.value < 0) {
    problems.push_back(
        {1, "the run time " + std::to_string(header.runTime.value) + " ms is below zero: no page lists the file"});
  }
  if (header.fieldCount >= 4 && header.lapCount.error != NumberError::None) {
    problems.push_back({1, fieldProblem("lap count", header.lapField, header.lapCount.error)});
  } else if (header.fieldCount >= 4 && !raceLapCountAllowed(header.lapCount.value)) {
    problems.push_back({1, "the lap count " + std::to_string(header.lapCount.value) + " is outside " + lapLimitsText() +
                               ": no page lists the file"});
  }
}

void checkHeader(const GhostFileContent& content, std::string_view fileName, std::vector<GhostProblem>& problems) {
  const GhostHeaderFields header = readHeaderFields(*content.headerLine);
  // The page's own reading decides whether the fields are where they belong: four or five fields, read in
  // their places. The file's name is judged on its own below.
  const bool pageReadsHeader =
      ghostChoice(*content.headerLine, "header.ghost", header.mapName, header.lapCount.value).has_value();
  // A carriage return is dropped only before a line feed: lines that end in one alone run together, and
  // their commas, not a comma in a name, make the extra fields. In a header the page reads it does no harm,
  // and a file of such lines fails for having no frames: a note that says why.
  const bool strayReturn = content.headerLine->find('\r') != std::string::npos;
  if (strayReturn) {
    problems.push_back({1,
                        "the line holds a carriage return that ends no line: the plugin ends lines only at a "
                        "line feed, so a file whose lines end in a carriage return alone reads as one line",
                        pageReadsHeader});
  }
  const std::string notAllFields = ", not " + fieldCountWord(headerFieldCount);
  if (!pageReadsHeader &&
      (header.fieldCount < headerFieldCount || (header.fieldCount > headerFieldCount && strayReturn))) {
    problems.push_back({1, "the header has " + countText(header.fieldCount, "field", "fields") + notAllFields +
                               " (map, player, run time, lap count, version)" +
                               (header.fieldCount > headerFieldCount ? ": no page lists the file" : "")});
  } else if (!pageReadsHeader && header.fieldCount > headerFieldCount) {
    problems.push_back({1, "the header has " + countText(header.fieldCount, "field", "fields") + notAllFields +
                               ": a comma stands inside a name, so the header can be read more "
                               "than one way and no page lists the file"});
  }
  // Past headerFieldCount fields, which field is which cannot be told: the fields are not judged one by one.
  if (header.fieldCount <= headerFieldCount) checkHeaderFields(header, problems);
  if (!isListableFileName(fileName)) problems.push_back({0, std::string(unlistableFileName)});
  if (!content.pageHeaderLine) {
    problems.push_back({1, "the header line is " + longHeaderReason() + ": no page lists the file"});
  }
  if (header.fieldCount <= headerFieldCount && header.runTime.error == NumberError::None && !content.frames.empty() &&
      !content.importStopsAt && header.runTime.value != content.frames.back().time) {
    const std::int64_t missing = static_cast<std::int64_t>(header.runTime.value) - content.frames.back().time;
    const bool cut = missing > missingRunTime;
    problems.push_back(
        {1,
         "the run time " + std::to_string(header.runTime.value) + " ms is not the last frame's time, " +
             std::to_string(content.frames.back().time) + " ms (line " + std::to_string(content.frameLines.back()) +
             ")" +
             (cut ? ": the frames end " + std::to_string(missing) + " ms early, so the file cannot hold the whole run"
                  : ""),
         !cut});
  }
}

// Whether the path can be the run of as many laps as the header names: it crosses its start line (across
// the way it sets off, through its first frame) once a lap, and a car can have driven each lap in its time. A run that
// never goes far from where it starts has no lap to find and is not judged; nor is one the import stops short of, which
// is named already, nor one whose header has more than five fields, since which of them is the lap count cannot be
// told.
void checkLaps(const GhostFileContent& content, std::vector<GhostProblem>& problems) {
  const GhostHeaderFields header = readHeaderFields(*content.headerLine);
  if (header.fieldCount > headerFieldCount || header.lapCount.error != NumberError::None || header.lapCount.value < 1 ||
      content.importStopsAt) {
    return;
  }
  const RunProfile profile = profileRun(content.frames);
  // Timed at its start line as compare and info time it (StartLine.h), its own first frames bounding it alone.
  StartLineBounds bounds(content.frames);
  bounds.add(content.frames);
  const std::optional<StartLine> start = bounds.estimate();
  if (!start) return;
  const TimedRun run = timeRun(content.frames, profile, start->line, header.lapCount.value);
  if (!run.wentAway) return;
  if (run.crossingsFound != header.lapCount.value) {
    problems.push_back({1, "the header names " +
                               countText(static_cast<std::size_t>(header.lapCount.value), "lap", "laps") +
                               ", and the run crosses its start line " +
                               countText(static_cast<std::size_t>(run.crossingsFound), "time", "times") +
                               " after it sets off: it cannot be a complete run of " +
                               countText(static_cast<std::size_t>(header.lapCount.value), "lap", "laps")});
  }
  for (int lap = 1; lap <= run.laps(); ++lap) {
    if (run.driven(lap)) continue;
    problems.push_back(
        {0, lapFaultText(lap, run.lapSeconds(lap), run.lapFaults[static_cast<std::size_t>(lap - 1)], run.medianLap)});
  }
}

// Times that go back are notes, kept one by one up to the bound of line problems and counted past it, so a
// file of millions of such frames costs no more than a few.
void checkTimeOrder(const GhostFileContent& content, std::vector<GhostProblem>& problems) {
  std::size_t kept = 0;
  std::size_t notKept = 0;
  std::size_t firstNotKept = 0;
  for (std::size_t i = 1; i < content.frames.size(); ++i) {
    const GhostFrame& frame = content.frames[i];
    if (frame.time >= content.frames[i - 1].time) continue;
    const std::size_t line = content.frameLines[i];
    if (kept < mostLineProblemsKept) {
      ++kept;
      problems.push_back({line,
                          "the time goes back from " + std::to_string(content.frames[i - 1].time) + " to " +
                              std::to_string(frame.time) + " ms",
                          true});
    } else if (notKept++ == 0) {
      firstNotKept = line;
    }
  }
  if (notKept > 0) {
    problems.push_back({firstNotKept,
                        "and " + countText(notKept, "more frame", "more frames") +
                            " whose time goes back from here on, not listed one by one",
                        true});
  }
}

// Whether the page asked about lists the file; only asked when its header and name are otherwise usable,
// since those problems are named already.
void checkListing(const GhostFileContent& content, std::string_view fileName, const PageQuestion& page,
                  std::vector<GhostProblem>& problems) {
  if (!page.mapName && !page.lapCount) return;
  if (!content.pageHeaderLine || !isListableFileName(fileName)) return;
  const GhostHeaderFields header = readHeaderFields(*content.headerLine);
  if (header.fieldCount > headerFieldCount) return;
  const std::string mapName = page.mapName ? *page.mapName : header.mapName;
  const std::int32_t lapCount = page.lapCount ? *page.lapCount : header.lapCount.value;
  const PageListing listing = pageListing(content, fileName, mapName, lapCount);
  if (listing.listed) return;
  problems.push_back({1, "the page on \"" + mapName + "\" set to " + std::to_string(lapCount) +
                             (lapCount == 1 ? " lap" : " laps") + " does not list the file: " + listing.reason});
}

}  // namespace

bool hasProblem(const std::vector<GhostProblem>& problems) {
  return std::any_of(problems.begin(), problems.end(), [](const GhostProblem& problem) { return !problem.note; });
}

std::vector<GhostProblem> checkGhost(const GhostFileContent& content, std::string_view fileName,
                                     const PageQuestion& page) {
  std::vector<GhostProblem> problems;
  if (!content.headerLine) {
    problems.push_back({0, "the file is empty: no header line and no frames"});
    return problems;
  }
  checkHeader(content, fileName, problems);
  checkLaps(content, problems);
  checkListing(content, fileName, page, problems);
  checkTimeOrder(content, problems);
  for (const FrameLineProblem& line : content.lineProblems) {
    std::string reason = frameLineReason(line);
    if (content.importStopsAt && line.line > *content.importStopsAt) {
      reason += " (past line " + std::to_string(*content.importStopsAt) + ", where the import stops)";
    } else if (line.kind == FrameLineResult::Kind::TooFewFields) {
      reason += ": the import skips the line";
    } else if (content.importStopsAt == line.line) {
      reason += importStopsHere(content);
    }
    problems.push_back({line.line, std::move(reason)});
  }
  if (content.lineProblemsNotKept > 0) {
    // The import's stop is named even among the lines not listed, since it decides what is loaded.
    const FrameLineProblem* stop = importStop(content);
    if (stop && stop->line >= content.firstLineNotKept) {
      problems.push_back({stop->line, frameLineReason(*stop) + importStopsHere(content)});
    }
    problems.push_back(
        {content.firstLineNotKept, "and " + countText(content.lineProblemsNotKept, "more line", "more lines") +
                                       " with a problem from here on, not listed one by one (the import skips " +
                                       countText(importSkippedLines(content), "line", "lines") + " in all)"});
  }
  if (content.frames.empty()) problems.push_back({0, "no frame lines: the loaded ghost would be empty"});
  std::stable_sort(problems.begin(), problems.end(),
                   [](const GhostProblem& a, const GhostProblem& b) { return a.line < b.line; });
  return problems;
}

}  // namespace lumaro_ghost
