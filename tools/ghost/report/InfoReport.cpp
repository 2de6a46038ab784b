#include "tools/ghost/report/InfoReport.h"

#include <cstddef>
#include <string_view>

#include "library/ghostfile/GhostHeaderLine.h"
#include "library/ghostfile/ImportMessages.h"
#include "library/ghostfile/NumberReading.h"
#include "race/RaceTime.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/LapValidity.h"
#include "tools/ghost/text/NumberText.h"
#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

namespace {

std::string lineOf(const GhostInfo& info, std::size_t frame) {
  return "line " + std::to_string(info.ghost->content.frameLines[frame]);
}

std::vector<std::string> irregularities(const GhostInfo& info, const InfoOptions& options) {
  const SampleTiming& t = info.timing;
  const GhostFileContent& content = info.ghost->content;
  std::vector<std::string> found;
  if (t.outOfOrder > 0) {
    found.push_back(countText(t.outOfOrder, "time", "times") + " out of order (first at " +
                    lineOf(info, t.firstOutOfOrder) + ")");
  }
  if (t.repeated > 0) found.push_back(countText(t.repeated, "repeated time", "repeated times"));
  if (t.gaps > 0) {
    found.push_back(countText(t.gaps, "gap", "gaps") + " over " + std::to_string(options.gapMs) + " ms (largest " +
                    std::to_string(t.largestGapMs) + " ms, before " + lineOf(info, t.largestGapAt) + ")");
  }
  const std::size_t skipped = importSkippedLines(content);
  if (skipped > 0)
    found.push_back(countText(skipped, "skipped line", "skipped lines") + " with " + std::string(tooFewFieldsReason));
  if (const FrameLineProblem* stop = importStop(content)) {
    found.push_back("the import stops at line " + std::to_string(stop->line) + ": " + frameLineReason(*stop));
  }
  return found;
}

void writeLaps(std::ostream& out, const Analysis& analysis) {
  const TimedRun& run = analysis.runs.front().timed;
  if (!run.lapLinesFound) {
    out << "  lap times  its path does not cross its start line: " << countText(run.laps(), "lap", "laps")
        << " taken as equal shares of its length\n";
    return;
  }
  out << "  lap times  " << run.laps() << " at its start line:";
  for (int lap = 1; lap <= run.laps(); ++lap)
    out << (lap > 1 ? "," : "") << " " << fixedText(run.lapSeconds(lap), 3) << " s";
  if (run.bestLap() > 0) {
    out << " (best: lap " << run.bestLap() << ")\n";
  } else {
    out << " (no best lap: none can have been driven)\n";
  }
  for (int lap = 1; lap <= run.laps(); ++lap) {
    if (run.driven(lap)) continue;
    out << "  not driven "
        << lapFaultText(lap, run.lapSeconds(lap), run.lapFaults[static_cast<std::size_t>(lap - 1)], run.medianLap)
        << "; it is no best lap and no part of the theoretical best\n";
  }
  if (analysis.theoreticalBest) {
    out << "  in theory  " << fixedText(*analysis.theoreticalBest, 3) << " s a lap: the best of each of its "
        << countText(static_cast<std::size_t>(analysis.sectors), "sector", "sectors") << "\n";
  }
}

std::string lapsJson(const Analysis& analysis) {
  const AnalysedRun& run = analysis.runs.front();
  std::string json = "\"laps\": [";
  for (int lap = 1; lap <= run.timed.laps(); ++lap) {
    json += std::string(lap > 1 ? ", " : "") + "{\"lap\": " + std::to_string(lap) +
            ", \"time_s\": " + jsonNumber(run.timed.lapSeconds(lap)) +
            ", \"driven\": " + (run.timed.driven(lap) ? "true" : "false") + "}";
  }
  const int best = run.timed.bestLap();
  json += "], \"best_lap\": " + (best > 0 ? std::to_string(best) : std::string("null")) +
          ", \"lap_lines_found\": " + (run.timed.lapLinesFound ? "true" : "false") +
          ", \"sectors_per_lap\": " + std::to_string(analysis.sectors) + ", \"sectors\": [";
  for (std::size_t lap = 0; lap < run.sectorSeconds.size(); ++lap) {
    for (std::size_t sector = 0; sector < run.sectorSeconds[lap].size(); ++sector) {
      json += std::string(lap + sector > 0 ? ", " : "") + "{\"lap\": " + std::to_string(lap + 1) +
              ", \"sector\": " + std::to_string(sector + 1) +
              ", \"from\": " + jsonNumber(static_cast<double>(sector) / analysis.sectors) +
              ", \"to\": " + jsonNumber(static_cast<double>(sector + 1) / analysis.sectors) +
              ", \"time_s\": " + jsonNumber(run.sectorSeconds[lap][sector]) + "}";
    }
  }
  return json + "], \"theoretical_best_s\": " +
         (analysis.theoreticalBest ? jsonNumber(*analysis.theoreticalBest) : std::string("null"));
}

}  // namespace

GhostInfo describeGhost(const LoadedGhost& ghost, const InfoOptions& options) {
  GhostInfo info;
  info.ghost = &ghost;
  info.timing = sampleTiming(ghost.content.frames, options.gapMs);
  info.listingMap = options.mapName ? *options.mapName : ghost.header.mapName;
  info.listingLaps = options.lapCount ? *options.lapCount : ghost.header.lapCount.value;
  info.listing = pageListing(ghost.content, ghost.fileName, info.listingMap, info.listingLaps);
  info.analysis = analyseGhosts(std::vector<const LoadedGhost*>{&ghost}, options.sectors);
  return info;
}

void writeInfoText(std::ostream& out, const GhostInfo& info, const InfoOptions& options) {
  const LoadedGhost& ghost = *info.ghost;
  const GhostHeaderFields& header = ghost.header;
  const RunProfile& profile = ghost.profile;
  const auto& frames = ghost.content.frames;
  out << lineText(ghost.shownName) << "\n";
  if (!ghost.content.headerLine) {
    out << "  empty file: no header line, no frames\n";
  } else {
    out << "  map        " << header.mapName << "\n";
    out << "  player     " << header.playerName << "\n";
    out << "  run time   ";
    if (header.runTime.error == NumberError::None) {
      out << formatRaceTime(header.runTime.value) << " (" << header.runTime.value << " ms)\n";
    } else {
      out << "\"" << header.runTimeField << "\" (" << numberFault(header.runTime.error) << ")\n";
    }
    out << "  laps       ";
    if (header.lapCount.error == NumberError::None) {
      out << header.lapCount.value << " (written \"" << header.lapField << "\")\n";
    } else {
      out << "\"" << header.lapField << "\" (" << numberFault(header.lapCount.error) << ")\n";
    }
    out << "  version    " << header.version << "\n";
    if (header.fieldCount != headerFieldCount) {
      out << "  header     " << countText(header.fieldCount, "field", "fields") << ", not "
          << fieldCountWord(headerFieldCount) << "\n";
    }
  }
  out << "  frames     " << frames.size();
  if (!frames.empty()) {
    out << ", " << fixedText(frames.front().time / 1000.0, 3) << " s to " << fixedText(frames.back().time / 1000.0, 3)
        << " s (duration " << fixedText(profile.duration, 3) << " s)";
  }
  out << "\n";
  if (frames.size() >= 2) {
    out << "  path       " << fixedText(profile.length, 1) << " units\n";
    if (profile.duration > 0.0 || profile.length <= 0.0) {
      out << "  speed      mean " << fixedText(profile.meanSpeed, 1) << " units/s, top "
          << fixedText(profile.topSpeed, 1) << " units/s\n";
    } else {
      // A path driven in no time, or in time that runs backwards, has no speed to tell.
      out << "  speed      none: its last frame's time is not past its first's\n";
    }
    out << "  sampling   median " << fixedText(info.timing.medianIntervalMs, 1) << " ms, worst "
        << info.timing.worstIntervalMs << " ms\n";
    if (profile.length > 0.0) writeLaps(out, info.analysis);
  }
  const std::vector<std::string> found = irregularities(info, options);
  if (found.empty()) out << "  irregular  none\n";
  for (std::size_t i = 0; i < found.size(); ++i)
    out << (i == 0 ? "  irregular  " : "             ") << found[i] << "\n";
  out << "  page       ";
  if (info.listing.listed) {
    out << "listed on " << info.listingMap << " with " << info.listingLaps << (info.listingLaps == 1 ? " lap" : " laps")
        << " as \"" << info.listing.entry << "\"\n";
  } else {
    out << "not listed on " << (info.listingMap.empty() ? "its map" : info.listingMap) << ": " << info.listing.reason
        << "\n";
  }
}

void writeInfoJson(std::ostream& out, const std::vector<GhostInfo>& infos) {
  out << "[";
  for (std::size_t n = 0; n < infos.size(); ++n) {
    const GhostInfo& info = infos[n];
    const LoadedGhost& ghost = *info.ghost;
    const GhostHeaderFields& header = ghost.header;
    const auto& frames = ghost.content.frames;
    const SampleTiming& t = info.timing;
    auto number = [](const IntReading& reading) {
      return reading.error == NumberError::None ? std::to_string(reading.value) : std::string("null");
    };
    out << (n == 0 ? "\n" : ",\n") << "  {\"file\": " << jsonString(ghost.shownName);
    if (ghost.content.headerLine) {
      out << ", \"header\": {\"map\": " << jsonString(header.mapName)
          << ", \"player\": " << jsonString(header.playerName) << ", \"runTimeMs\": " << number(header.runTime)
          << ", \"runTime\": "
          << (header.runTime.error == NumberError::None ? jsonString(formatRaceTime(header.runTime.value)) : "null")
          << ", \"laps\": " << number(header.lapCount) << ", \"lapField\": " << jsonString(header.lapField)
          << ", \"version\": " << jsonString(header.version) << ", \"fields\": " << header.fieldCount << "}";
    } else {
      out << ", \"header\": null";
    }
    out << ", \"frames\": " << frames.size();
    if (!frames.empty()) {
      out << ", \"firstTimeMs\": " << frames.front().time << ", \"lastTimeMs\": " << frames.back().time;
    }
    out << ", \"durationS\": " << fixedText(ghost.profile.duration, 3)
        << ", \"pathLength\": " << fixedText(ghost.profile.length, 2)
        << ", \"meanSpeed\": " << fixedText(ghost.profile.meanSpeed, 2)
        << ", \"topSpeed\": " << fixedText(ghost.profile.topSpeed, 2)
        << ", \"sampleIntervalMs\": {\"median\": " << fixedText(t.medianIntervalMs, 1)
        << ", \"worst\": " << t.worstIntervalMs << "}, \"irregularities\": {\"outOfOrder\": " << t.outOfOrder
        << ", \"repeatedTimes\": " << t.repeated << ", \"gaps\": " << t.gaps << ", \"largestGapMs\": " << t.largestGapMs
        << ", \"skippedLines\": " << importSkippedLines(ghost.content) << ", \"importStopsAtLine\": "
        << (ghost.content.importStopsAt ? std::to_string(*ghost.content.importStopsAt) : std::string("null"))
        << "}, \"page\": {\"map\": " << jsonString(info.listingMap) << ", \"laps\": " << info.listingLaps
        << ", \"listed\": " << (info.listing.listed ? "true" : "false")
        << ", \"entry\": " << (info.listing.listed ? jsonString(info.listing.entry) : "null")
        << ", \"reason\": " << (info.listing.listed ? "null" : jsonString(info.listing.reason)) << "}, "
        << lapsJson(info.analysis) << "}";
  }
  out << (infos.empty() ? "]\n" : "\n]\n");
}

}  // namespace lumaro_ghost
