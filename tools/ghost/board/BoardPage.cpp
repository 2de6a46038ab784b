#include "tools/ghost/board/BoardPage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "race/RaceTime.h"
#include "tools/ghost/analysis/DrivingFindings.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/board/BoardAssets.h"
#include "tools/ghost/board/BoardText.h"
#include "tools/ghost/replay/PointCode.h"
#include "tools/ghost/replay/ReplayAssets.h"
#include "tools/ghost/replay/ReplayPage.h"
#include "tools/ghost/report/TraceExport.h"
#include "tools/ghost/text/NumberText.h"

namespace lumaro_ghost {

namespace {

// A list of numbers, each with at most `decimals` decimals.
template <typename Values>
std::string numbers(const Values& values, int decimals = secondsDecimals) {
  std::string text = "[";
  bool first = true;
  for (const auto value : values) {
    text += (first ? "" : ",") + jsonNumber(static_cast<double>(value), decimals);
    first = false;
  }
  return text + "]";
}

std::string optionalNumber(const std::optional<double>& value) { return value ? jsonNumber(*value) : "null"; }

// The page's title: the maps it ranks, the first three by name.
std::string pageTitle(const Board& board) {
  std::set<std::string> maps;
  std::vector<std::string> named;
  for (const BoardGroup& group : board.groups) {
    if (maps.insert(group.map).second && named.size() < 3) named.push_back(group.map);
  }
  std::string text = "Lumaro board";
  for (std::size_t i = 0; i < named.size(); ++i) text += (i == 0 ? ": " : ", ") + named[i];
  if (maps.size() > named.size()) text += " and " + countText(maps.size() - named.size(), "more map", "more maps");
  return text;
}

std::string runJson(const BoardRun& run, int laps) {
  std::string same = "[";
  for (const BoardFile& file : run.sameRun)
    same += (same.size() > 1 ? "," : "") + std::string("[") + pageTextJson(file.path) + "," +
            pageTextJson(file.fileName) + "," + pageTextJson(file.player) + "]";
  std::string sectors = "[";
  for (const std::vector<double>& lap : run.sectorSeconds) sectors += (sectors.size() > 1 ? "," : "") + numbers(lap);
  std::string findings = "[";
  for (const DrivingFinding& finding : run.findings) {
    findings += (findings.size() > 1 ? "," : "") + std::string("{\"kind\":") +
                pageTextJson(findingKindWord(finding.kind)) + ",\"text\":" + pageTextJson(findingText(finding)) + "}";
  }
  return "{\"player\":" + pageTextJson(run.file.player) + ",\"file\":" + pageTextJson(run.file.path) +
         ",\"fileName\":" + pageTextJson(run.file.fileName) + ",\"same\":" + same +
         "],\"race\":" + optionalNumber(run.rankable() ? run.raceSeconds : std::nullopt) +
         ",\"raceMs\":" + (run.rankable() ? std::to_string(shownRaceMilliseconds(*run.raceSeconds)) : "null") +
         ",\"time\":" + pageTextJson(boardTimeText(run, laps)) + ",\"laps\":" + numbers(run.lapSeconds) +
         ",\"lapLinesFound\":" + (run.lapLinesFound ? "true" : "false") + ",\"sectors\":" + sectors +
         "],\"bestLap\":" + optionalNumber(run.bestLap()) + ",\"findings\":" + findings +
         "],\"runTime\":" + pageTextJson(formatRaceTime(run.headerRunTimeMs)) +
         ",\"start\":" + jsonNumber(run.startSeconds) + ",\"box\":" + numbers(run.lineBox, 1) +
         ",\"latest\":" + jsonNumber(run.lineLatestSeconds) + ",\"frames\":" + std::to_string(run.linePointCount) +
         ",\"points\":\"" + run.linePoints + "\",\"along\":\"" + encodeTrace(run) + "\"}";
}

std::string groupJson(const BoardGroup& group) {
  std::string best = "[";
  for (const BoardBestSector& sector : group.bestSectors) {
    best += (best.size() > 1 ? "," : "") + std::string("[") + jsonNumber(sector.seconds) + "," +
            std::to_string(sector.run) + "," + std::to_string(sector.lap) + "]";
  }
  std::string marks = "[";
  for (const BoardSectorMark& mark : group.sectorMarks) {
    marks += (marks.size() > 1 ? "," : "") +
             numbers(std::vector<double>{mark.at.x, mark.at.y, mark.heading.x, mark.heading.y}, 4);
  }
  std::string runs = "[";
  for (const BoardRun& run : group.runs) runs += (runs.size() > 1 ? ",\n" : "\n") + runJson(run, group.laps);
  const std::string reference = group.referenceLap ? "[" + std::to_string(group.referenceLap->run) + "," +
                                                         std::to_string(group.referenceLap->lap) + "]"
                                                   : "null";
  return "{\"map\":" + pageTextJson(group.map) + ",\"laps\":" + std::to_string(group.laps) +
         ",\"sectors\":" + std::to_string(group.sectors) +
         ",\"samplesPerSector\":" + std::to_string(traceSamplesPerSector) +
         ",\"referenceLength\":" + jsonNumber(group.referenceLength, 2) + ",\"reference\":" + reference +
         ",\"theoreticalBest\":" + optionalNumber(group.theoreticalBest) + ",\"bestSectors\":" + best +
         "],\"marks\":" + marks + "],\"runs\":" + runs + "]}";
}

}  // namespace

std::string encodeTrace(const BoardRun& run) {
  std::string text;
  std::int64_t time = 0;
  std::int64_t speed = 0;
  const auto parts = [](float value, int perOne) {
    return std::isfinite(value) ? std::llround(static_cast<double>(value) * perOne) : 0LL;
  };
  for (std::size_t i = 0; i < run.traceSeconds.size() && i < run.traceSpeed.size(); ++i) {
    const std::int64_t nextTime = parts(run.traceSeconds[i], traceTimesPerSecond);
    const std::int64_t nextSpeed = parts(run.traceSpeed[i], traceSpeedsPerUnit);
    appendPointNumber(text, nextTime - time);
    appendPointNumber(text, nextSpeed - speed);
    time = nextTime;
    speed = nextSpeed;
  }
  return text;
}

std::string boardPageData(const Board& board) {
  std::string groups = "[";
  for (const BoardGroup& group : board.groups) groups += (groups.size() > 1 ? ",\n" : "\n") + groupJson(group);
  std::string unread = "[";
  for (const BoardUnread& file : board.unread)
    unread += (unread.size() > 1 ? "," : "") + std::string("[") + pageTextJson(file.path) + "," +
              pageTextJson(file.reason) + "]";
  return "{\"title\":" + pageTextJson(pageTitle(board)) + ",\n" + replayUnitsJson() +
         ",\n\"traceTimesPerSecond\":" + std::to_string(traceTimesPerSecond) +
         ",\n\"traceSpeedsPerUnit\":" + std::to_string(traceSpeedsPerUnit) + ",\n\"pace\":" + replayPaceJson() +
         ",\n\"runColours\":" + replayRunColoursJson() + ",\n\"groups\":" + groups + "],\n\"unread\":" + unread +
         "],\n\"otherRaces\":" + std::to_string(board.filesOtherRaces) + "}";
}

std::string boardPage(const Board& board) {
  std::string page = selfContainedHead(pageTitle(board), {replayScript, boardScript}, {replayStyle, boardStyle});
  page += boardMarkup;
  // The replay's markup, inert until a replay is opened: a copy of it goes into the dialog.
  page += "<template id=\"replay-markup\">" + std::string(replayMarkup) + "</template>\n";
  // A data block: the browser never runs it, the page's script reads it as text.
  page += "<script type=\"application/json\" id=\"board-data\">" + boardPageData(board) + "</script>\n";
  page += "<script>" + std::string(replayScript) + "</script>\n";
  page += "<script>" + std::string(boardScript) + "</script>\n</body>\n</html>\n";
  return page;
}

}  // namespace lumaro_ghost
