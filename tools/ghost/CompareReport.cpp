#include "tools/ghost/CompareReport.h"

#include <cmath>
#include <cstddef>
#include <iomanip>
#include <optional>

#include "library/NumberReading.h"
#include "race/RaceTime.h"
#include "tools/ghost/GhostFileContent.h"
#include "tools/ghost/GhostHeaderFields.h"
#include "tools/ghost/NumberText.h"
#include "tools/ghost/RunProfile.h"
#include "tools/ghost/TextEscapes.h"

namespace lumaro_ghost {

namespace {

std::string seconds(double value) { return fixedText(value, 3) + " s"; }

std::string lapLabel(const LapDelta& laps) {
  return laps.lapA == laps.lapB ? std::to_string(laps.lapA)
                                : std::to_string(laps.lapA) + "/" + std::to_string(laps.lapB);
}

std::string lapTimes(const AnalysedRun& run) {
  std::string text;
  for (int lap = 1; lap <= run.timed.laps(); ++lap) text += (lap > 1 ? ", " : "") + seconds(run.timed.lapSeconds(lap));
  return text;
}

void describeRun(std::ostream& out, char letter, const LoadedGhost& ghost, const AnalysedRun& run) {
  out << letter << "  " << lineText(ghost.shownName) << "\n   " << runCaption(ghost) << "; "
      << ghost.content.frames.size() << " frames, " << fixedText(ghost.profile.length, 1) << " units\n";
  if (run.timed.lapLinesFound) {
    out << "   laps " << lapTimes(run) << " (best: lap " << run.timed.bestLap() << ")\n";
  } else {
    out << "   its path does not cross the start line once a lap: its laps are taken as equal shares of its length\n";
  }
}

std::string lead(double delta) { return delta < -0.0005 ? " (B ahead)" : delta > 0.0005 ? " (B behind)" : " (level)"; }

std::string heading(const Comparison& comparison, const LapChoice& choice) {
  if (choice.best) {
    const LapDelta& laps = comparison.laps.front();
    return "B's best lap (" + std::to_string(laps.lapB) + ") against A's best lap (" + std::to_string(laps.lapA) + ")";
  }
  if (choice.lap) return "B against A, lap " + std::to_string(*choice.lap);
  return "B against A";
}

std::string theoreticalBest(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis) {
  std::string text = "Theoretical best lap: " + seconds(*analysis.theoreticalBest) +
                     ", the best of each sector over every lap of " + (ghosts.size() == 2 ? "A and B" : "the runs");
  std::string bests;
  for (std::size_t r = 0; r < analysis.runs.size(); ++r) {
    const TimedRun& run = analysis.runs[r].timed;
    if (run.bestLap() == 0) continue;
    bests += std::string(bests.empty() ? " (" : ", ") + static_cast<char>('A' + r) + "'s best lap " +
             seconds(run.lapSeconds(run.bestLap()));
  }
  return text + (bests.empty() ? "" : bests + ")");
}

std::string sectorJson(const Comparison& comparison, const SectorDelta& sector) {
  return "{\"lap\": " + std::to_string(sector.lapA) +
         ", \"b_lap\": " + std::to_string(comparison.laps[sector.pair].lapB) +
         ", \"sector\": " + std::to_string(sector.sector) + ", \"from\": " + jsonNumber(sector.from) +
         ", \"to\": " + jsonNumber(sector.to) + ", \"a_s\": " + jsonNumber(sector.aSeconds) +
         ", \"b_s\": " + jsonNumber(sector.bSeconds) + ", \"delta_s\": " + jsonNumber(sector.delta) + "}";
}

std::string runJson(const LoadedGhost& ghost, const AnalysedRun& run) {
  std::string laps;
  for (int lap = 1; lap <= run.timed.laps(); ++lap)
    laps += (lap > 1 ? ", " : "") + jsonNumber(run.timed.lapSeconds(lap));
  const int best = run.timed.bestLap();
  return "{\"file\": " + jsonString(ghost.shownName) + ", \"map\": " + jsonString(ghost.header.mapName) +
         ", \"player\": " + jsonString(ghost.header.playerName) + ", \"laps_s\": [" + laps +
         "], \"best_lap\": " + (best > 0 ? std::to_string(best) : "null") +
         ", \"lap_lines_found\": " + (run.timed.lapLinesFound ? "true" : "false") + "}";
}

}  // namespace

std::string runCaption(const LoadedGhost& ghost) {
  const GhostHeaderFields& header = ghost.header;
  std::string caption = header.playerName.empty() ? "a run" : header.playerName;
  if (!header.mapName.empty()) caption += " on " + header.mapName;
  if (header.lapCount.error == NumberError::None) {
    caption += ", " + std::to_string(header.lapCount.value) + (header.lapCount.value == 1 ? " lap" : " laps");
  }
  if (header.runTime.error == NumberError::None) caption += " in " + formatRaceTime(header.runTime.value);
  return caption;
}

std::string percentText(double share) {
  const double percent = share * 100.0;
  return fixedText(percent, std::fabs(percent - std::round(percent)) < 0.005 ? 0 : 1) + "%";
}

std::string sectorPlace(const SectorDelta& sector) {
  return "lap " + std::to_string(sector.lapA) + " between " + percentText(sector.from) + " and " +
         percentText(sector.to);
}

void writeComparison(std::ostream& out, const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                     const Comparison& comparison, const LapChoice& choice, const std::vector<std::string>& notes) {
  describeRun(out, 'A', ghosts[0], analysis.runs[comparison.a]);
  describeRun(out, 'B', ghosts[1], analysis.runs[comparison.b]);
  for (const std::string& note : notes) out << note << "\n";
  out << "Matched by track position: every point of B at the nearest point of A's first lap, each lap timed where "
         "the run crosses A's start line.\n\n";
  out << heading(comparison, choice) << ": " << signedSeconds(comparison.total) << lead(comparison.total) << "\n\n";

  out << " lap           A           B       B - A\n";
  for (const LapDelta& laps : comparison.laps) {
    out << std::setw(4) << lapLabel(laps) << std::setw(12) << seconds(laps.aSeconds) << std::setw(12)
        << seconds(laps.bSeconds) << std::setw(12) << signedSeconds(laps.delta) << "\n";
  }
  out << "\n lap  point     on the lap      A time      B time       B - A  this sector\n";
  double aBefore = 0.0, bBefore = 0.0;
  for (const SectorDelta& sector : comparison.sectors) {
    const LapDelta& laps = comparison.laps[sector.pair];
    const PlacedLap& a = analysis.runs[comparison.a].laps[static_cast<std::size_t>(laps.lapA - 1)];
    const PlacedLap& b = analysis.runs[comparison.b].laps[static_cast<std::size_t>(laps.lapB - 1)];
    const double aTime = aBefore + a.secondsAt(sector.to), bTime = bBefore + b.secondsAt(sector.to);
    const bool line = sector.sector == analysis.sectors;
    out << std::setw(4) << lapLabel(laps) << "  " << std::setw(5)
        << (line ? std::string("line") : percentText(sector.to)) << std::setw(16)
        << fixedText(sector.to * analysis.reference.length(), 1) << std::setw(12) << seconds(aTime) << std::setw(12)
        << seconds(bTime) << std::setw(12) << signedSeconds(bTime - aTime) << std::setw(13)
        << signedSeconds(sector.delta) << "\n";
    if (line) aBefore += laps.aSeconds, bBefore += laps.bSeconds;
  }
  if (analysis.theoreticalBest) out << "\n" << theoreticalBest(ghosts, analysis) << "\n";
  const double lapLength = analysis.reference.length();
  auto place = [&](const SectorDelta& sector) {
    const LapDelta& laps = comparison.laps[sector.pair];
    return sectorPlace(sector) + (laps.lapA == laps.lapB ? "" : " (B's lap " + std::to_string(laps.lapB) + ")") +
           " (sector " + std::to_string(sector.sector) + ", " + fixedText(sector.from * lapLength, 0) + " to " +
           fixedText(sector.to * lapLength, 0) + " units into A's first lap)";
  };
  out << "\nLargest gain: ";
  if (comparison.largestGain) {
    out << fixedText(-comparison.largestGain->delta, 3) << " s in " << place(*comparison.largestGain) << "\n";
  } else {
    out << "none: B gains less than 0.005 s over every sector\n";
  }
  out << "Largest loss: ";
  if (comparison.largestLoss) {
    out << fixedText(comparison.largestLoss->delta, 3) << " s in " << place(*comparison.largestLoss) << "\n";
  } else {
    out << "none: B loses less than 0.005 s over every sector\n";
  }
}

void writeComparisonJson(std::ostream& out, const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                         const Comparison& comparison, const LapChoice& choice, const std::vector<std::string>& notes) {
  out << "{\n  \"a\": " << runJson(ghosts[0], analysis.runs[comparison.a])
      << ",\n  \"b\": " << runJson(ghosts[1], analysis.runs[comparison.b]) << ",\n  \"notes\": [";
  for (std::size_t i = 0; i < notes.size(); ++i) out << (i > 0 ? ", " : "") << jsonString(notes[i]);
  out << "],\n  \"compared\": \""
      << (choice.best  ? "best"
          : choice.lap ? "lap"
                       : "all")
      << "\",\n  \"sectors_per_lap\": " << analysis.sectors << ",\n  \"total_s\": " << jsonNumber(comparison.total)
      << ",\n  \"laps\": [";
  for (std::size_t i = 0; i < comparison.laps.size(); ++i) {
    const LapDelta& laps = comparison.laps[i];
    out << (i > 0 ? ",\n    " : "\n    ") << "{\"lap\": " << laps.lapA << ", \"b_lap\": " << laps.lapB
        << ", \"a_s\": " << jsonNumber(laps.aSeconds) << ", \"b_s\": " << jsonNumber(laps.bSeconds)
        << ", \"delta_s\": " << jsonNumber(laps.delta) << "}";
  }
  out << (comparison.laps.empty() ? "]" : "\n  ]") << ",\n  \"sectors\": [";
  for (std::size_t i = 0; i < comparison.sectors.size(); ++i) {
    out << (i > 0 ? ",\n    " : "\n    ") << sectorJson(comparison, comparison.sectors[i]);
  }
  out << (comparison.sectors.empty() ? "]" : "\n  ]") << ",\n  \"largest_gain\": "
      << (comparison.largestGain ? sectorJson(comparison, *comparison.largestGain) : "null")
      << ",\n  \"largest_loss\": "
      << (comparison.largestLoss ? sectorJson(comparison, *comparison.largestLoss) : "null")
      << ",\n  \"theoretical_best_s\": "
      << (analysis.theoreticalBest ? jsonNumber(*analysis.theoreticalBest) : std::string("null")) << "\n}\n";
}

}  // namespace lumaro_ghost
