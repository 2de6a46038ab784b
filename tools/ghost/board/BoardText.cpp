#include "tools/ghost/board/BoardText.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "race/RaceTime.h"
#include "tools/ghost/analysis/DrivingFindings.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/text/NumberText.h"
#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

namespace {

// The gap from one ranked run to another (none unless both are ranked): in seconds, or between their shown times.
std::optional<double> gapBetween(const BoardRun& ahead, const BoardRun& run, bool shown) {
  if (!ahead.rankable() || !run.rankable()) return std::nullopt;
  if (!shown) return *run.raceSeconds - *ahead.raceSeconds;
  return static_cast<double>(shownRaceMilliseconds(*run.raceSeconds) - shownRaceMilliseconds(*ahead.raceSeconds)) /
         1000.0;
}

std::optional<double> gapToBest(const BoardGroup& group, std::size_t run, bool shown = false) {
  return gapBetween(group.runs.front(), group.runs[run], shown);
}

std::optional<double> gapToAhead(const BoardGroup& group, std::size_t run, bool shown = false) {
  if (run == 0) return std::nullopt;
  return gapBetween(group.runs[run - 1], group.runs[run], shown);
}

std::optional<double> gapToTheoretical(const BoardGroup& group, const BoardRun& run) {
  const std::optional<double> best = run.bestLap();
  if (!best || !group.theoreticalBest) return std::nullopt;
  return *best - *group.theoreticalBest;
}

std::string rankText(const BoardRun& run) {
  std::string text = run.rank == 0 ? "-" : (run.tied ? "=" : "") + std::to_string(run.rank);
  return text + (run.questionable() ? "?" : " ");
}

std::string lapsText(const BoardRun& run, const std::string& separator) {
  std::string text;
  for (const double seconds : run.lapSeconds) text += (text.empty() ? "" : separator) + fixedText(seconds, 3);
  return text;
}

std::string kindsText(const BoardRun& run) {
  std::vector<std::string> kinds;
  for (const DrivingFinding& finding : run.findings) {
    const std::string word = findingKindWord(finding.kind);
    if (std::find(kinds.begin(), kinds.end(), word) == kinds.end()) kinds.push_back(word);
  }
  std::string text;
  for (const std::string& kind : kinds) text += (text.empty() ? "" : ", ") + kind;
  return text;
}

std::string groupTitle(const BoardGroup& group) {
  return group.map + ", " + countText(static_cast<std::size_t>(group.laps), "lap", "laps");
}

// How many columns a text takes on a terminal: its code points (every byte but a UTF-8 continuation byte).
std::size_t shownWidth(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Rows of cells, each column padded to its widest cell; right: the columns aligned to the right.
void writeTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows, const std::vector<bool>& right) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()), 0);
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], shownWidth(row[c]));
  }
  for (const auto& row : rows) {
    std::string line = " ";
    for (std::size_t c = 0; c < row.size(); ++c) {
      const std::string padding(widths[c] - shownWidth(row[c]), ' ');
      const bool last = c + 1 == row.size();
      line += " " + (c < right.size() && right[c] ? padding + row[c] : row[c] + (last ? "" : padding));
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << "\n";
  }
}

void writeRanking(std::ostream& out, const BoardGroup& group) {
  std::vector<std::vector<std::string>> rows{
      {"rank", "player", "time", "to best", "to ahead", "laps", "found", "file"}};
  for (std::size_t r = 0; r < group.runs.size(); ++r) {
    const BoardRun& run = group.runs[r];
    std::string file = lineText(run.file.path);
    for (const BoardFile& same : run.sameRun) file += ", " + lineText(same.path);
    const std::optional<double> best = gapToBest(group, r, true), ahead = gapToAhead(group, r, true);
    rows.push_back({rankText(run), lineText(run.file.player), boardTimeText(run, group.laps),
                    r == 0 || !best ? "" : signedSeconds(*best), ahead ? signedSeconds(*ahead) : "", lapsText(run, " "),
                    kindsText(run), file});
  }
  writeTable(out, rows, {true, false, false, true, true, false, false, false});
}

void writeSectors(std::ostream& out, const BoardGroup& group) {
  if (group.bestSectors.empty()) return;
  out << "\n  sectors: each run's best time in each of the " << group.sectors
      << " sectors of a lap (shares of the reference lap), * the best of all\n";
  std::vector<std::string> heading{"rank", "player"};
  for (int s = 1; s <= group.sectors; ++s) heading.push_back(std::to_string(s));
  heading.emplace_back("best lap");
  heading.emplace_back("to theoretical");
  std::vector<std::vector<std::string>> rows{heading};
  for (std::size_t r = 0; r < group.runs.size(); ++r) {
    const BoardRun& run = group.runs[r];
    std::vector<std::string> row{rankText(run), lineText(run.file.player)};
    for (std::size_t s = 0; s < static_cast<std::size_t>(group.sectors); ++s) {
      std::optional<double> best;
      for (const std::vector<double>& lap : run.sectorSeconds) {
        if (s < lap.size() && (!best || lap[s] < *best)) best = lap[s];
      }
      const bool holder = s < group.bestSectors.size() && group.bestSectors[s].run == r;
      row.push_back(best ? fixedText(*best, 3) + (holder ? "*" : " ") : "");
    }
    const std::optional<double> lap = run.bestLap(), gap = gapToTheoretical(group, run);
    row.push_back(lap ? fixedText(*lap, 3) : "");
    row.push_back(gap ? signedSeconds(*gap) : "");
    rows.push_back(row);
  }
  std::vector<bool> right(rows.front().size(), true);
  right[1] = false;
  writeTable(out, rows, right);
  out << "  theoretical best " << fixedText(*group.theoreticalBest, 3)
      << " s a lap: the best of each sector over the runs without a finding\n";
}

void writeFindings(std::ostream& out, const BoardGroup& group) {
  bool any = false;
  for (const BoardRun& run : group.runs) {
    for (const DrivingFinding& finding : run.findings) {
      if (!any) {
        out << "\n  findings (? above): what a car cannot do, seen in the file; evidence to weigh, not a verdict\n";
        any = true;
      }
      out << "    " << lineText(run.file.player) << " (" << lineText(run.file.path) << "): " << findingText(finding)
          << "\n";
    }
  }
}

void jsonOptional(std::ostream& out, const std::optional<double>& value) {
  out << (value ? jsonNumber(*value) : "null");
}

void writeFindingJson(std::ostream& out, const DrivingFinding& finding) {
  out << "{\"kind\": " << jsonString(findingKindWord(finding.kind)) << ", \"lap\": " << finding.from.lap
      << ", \"from\": " << jsonNumber(finding.from.share) << ", \"to_lap\": " << finding.to.lap
      << ", \"to\": " << jsonNumber(finding.to.share) << ", \"size\": " << jsonNumber(finding.size)
      << ", \"against\": " << jsonNumber(finding.against) << ", \"steps\": " << finding.steps
      << ", \"seconds\": " << jsonNumber(finding.seconds) << ", \"text\": " << jsonString(findingText(finding)) << "}";
}

template <class List, class Write>
void jsonArray(std::ostream& out, const List& list, Write write) {
  out << "[";
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i > 0) out << ", ";
    write(list[i]);
  }
  out << "]";
}

void writeRunJson(std::ostream& out, const BoardGroup& group, std::size_t r) {
  const BoardRun& run = group.runs[r];
  out << "{\"rank\": ";
  if (run.rank > 0) {
    out << run.rank;
  } else {
    out << "null";
  }
  out << ", \"not_ranked\": " << (run.notRanked.empty() ? "null" : jsonString(run.notRanked))
      << ", \"tied\": " << (run.tied ? "true" : "false") << ", \"player\": " << jsonString(run.file.player)
      << ", \"file\": " << jsonString(run.file.path) << ", \"same_run\": ";
  jsonArray(out, run.sameRun, [&out](const BoardFile& same) {
    out << "{\"file\": " << jsonString(same.path) << ", \"player\": " << jsonString(same.player) << "}";
  });
  out << ", \"time_s\": ";
  jsonOptional(out, run.raceSeconds);
  out << ", \"gap_to_best_s\": ";
  jsonOptional(out, gapToBest(group, r));
  out << ", \"gap_to_ahead_s\": ";
  jsonOptional(out, gapToAhead(group, r));
  out << ", \"header_run_time_ms\": " << run.headerRunTimeMs << ", \"laps_s\": ";
  jsonArray(out, run.lapSeconds, [&out](double seconds) { out << jsonNumber(seconds); });
  out << ", \"lap_lines_found\": " << (run.lapLinesFound ? "true" : "false") << ", \"sectors_s\": ";
  jsonArray(out, run.sectorSeconds, [&out](const std::vector<double>& lap) {
    jsonArray(out, lap, [&out](double seconds) { out << jsonNumber(seconds); });
  });
  out << ", \"best_lap_s\": ";
  jsonOptional(out, run.bestLap());
  out << ", \"gap_to_theoretical_s\": ";
  jsonOptional(out, gapToTheoretical(group, run));
  out << ", \"top_speed\": " << jsonNumber(run.topSpeed, 2)
      << ", \"questionable\": " << (run.questionable() ? "true" : "false") << ", \"findings\": ";
  jsonArray(out, run.findings, [&out](const DrivingFinding& finding) { writeFindingJson(out, finding); });
  out << "}";
}

void writeGroupJson(std::ostream& out, const BoardGroup& group) {
  out << "{\"map\": " << jsonString(group.map) << ", \"laps\": " << group.laps
      << ", \"sectors_per_lap\": " << group.sectors << ", \"reference\": ";
  if (group.referenceLap) {
    out << "{\"file\": " << jsonString(group.runs[group.referenceLap->run].file.path)
        << ", \"lap\": " << group.referenceLap->lap << ", \"length\": " << jsonNumber(group.referenceLength, 1) << "}";
  } else {
    out << "null";
  }
  out << ", \"top_speed\": " << jsonNumber(group.topSpeed, 2) << ", \"theoretical_best_s\": ";
  jsonOptional(out, group.theoreticalBest);
  out << ", \"best_sectors\": ";
  std::vector<std::size_t> sectors(group.bestSectors.size());
  for (std::size_t s = 0; s < sectors.size(); ++s) sectors[s] = s;
  jsonArray(out, sectors, [&](std::size_t s) {
    const BoardBestSector& best = group.bestSectors[s];
    out << "{\"sector\": " << s + 1 << ", \"time_s\": " << jsonNumber(best.seconds)
        << ", \"file\": " << jsonString(group.runs[best.run].file.path)
        << ", \"player\": " << jsonString(group.runs[best.run].file.player) << ", \"lap\": " << best.lap << "}";
  });
  out << ",\n   \"runs\": [";
  for (std::size_t r = 0; r < group.runs.size(); ++r) {
    out << (r > 0 ? ",\n    " : "\n    ");
    writeRunJson(out, group, r);
  }
  out << "]}";
}

}  // namespace

std::int64_t shownRaceMilliseconds(double seconds) { return std::llround(std::clamp(seconds, -2.0e6, 2.0e6) * 1000.0); }

std::string raceTimeText(double seconds) {
  return formatRaceTime(static_cast<std::int32_t>(shownRaceMilliseconds(seconds)));
}

std::string boardTimeText(const BoardRun& run, int groupLaps) {
  if (run.rankable()) return raceTimeText(*run.raceSeconds);
  if (!run.notRanked.empty()) return run.notRanked;
  return "completes " + std::to_string(run.lapSeconds.size()) + " of " + std::to_string(groupLaps) +
         (groupLaps == 1 ? " lap" : " laps");
}

void writeBoardText(std::ostream& out, const Board& board) {
  for (std::size_t g = 0; g < board.groups.size(); ++g) {
    const BoardGroup& group = board.groups[g];
    if (g > 0) out << "\n";
    out << lineText(groupTitle(group)) << ": " << countText(group.runs.size(), "run", "runs")
        << ", ranked by race time at one start line";
    const bool tied = std::any_of(group.runs.begin(), group.runs.end(), [](const BoardRun& run) { return run.tied; });
    if (tied) out << "; = level within half a millisecond, in the order of their files";
    out << "\n";
    writeRanking(out, group);
    writeSectors(out, group);
    writeFindings(out, group);
  }
  if (board.groups.empty()) out << "no ghost on the board\n";
  if (!board.unread.empty()) {
    out << "\non no board:\n";
    for (const BoardUnread& file : board.unread)
      out << "  " << lineText(file.path) << ": " << lineText(file.reason) << "\n";
  }
  if (board.filesOtherRaces > 0) {
    out << "\n" << countText(board.filesOtherRaces, "file", "files") << " of other maps or lap counts left out\n";
  }
}

void writeBoardJson(std::ostream& out, const Board& board) {
  out << "{\"groups\": [";
  for (std::size_t g = 0; g < board.groups.size(); ++g) {
    out << (g > 0 ? ",\n  " : "\n  ");
    writeGroupJson(out, board.groups[g]);
  }
  out << "],\n \"unread\": ";
  jsonArray(out, board.unread, [&out](const BoardUnread& file) {
    out << "{\"file\": " << jsonString(file.path) << ", \"reason\": " << jsonString(file.reason) << "}";
  });
  out << ",\n \"other_races\": " << board.filesOtherRaces << "}\n";
}

void writeBoardCsv(std::ostream& out, const Board& board) {
  out << boardCsvHeader << "\n";
  const auto number = [](const std::optional<double>& value) { return value ? jsonNumber(*value) : std::string(); };
  for (const BoardGroup& group : board.groups) {
    for (std::size_t r = 0; r < group.runs.size(); ++r) {
      const BoardRun& run = group.runs[r];
      std::string same, findings;
      for (const BoardFile& file : run.sameRun)
        same += (same.empty() ? "" : "; ") + file.path + " (" + file.player + ")";
      for (const DrivingFinding& finding : run.findings)
        findings += (findings.empty() ? "" : "; ") + findingText(finding);
      out << csvField(group.map) << "," << group.laps << "," << (run.rank > 0 ? std::to_string(run.rank) : "") << ","
          << (run.tied ? "true" : "false") << "," << csvField(run.file.player) << "," << number(run.raceSeconds) << ","
          << number(gapToBest(group, r)) << "," << number(gapToAhead(group, r)) << "," << lapsText(run, ";") << ","
          << number(gapToTheoretical(group, run)) << "," << csvField(run.file.path) << "," << csvField(same) << ","
          << csvField(findings) << "\n";
    }
  }
}

}  // namespace lumaro_ghost
