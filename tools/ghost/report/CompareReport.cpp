#include "tools/ghost/report/CompareReport.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iomanip>
#include <optional>

#include "library/ghostfile/NumberReading.h"
#include "race/RaceTime.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "tools/ghost/analysis/StartLine.h"
#include "tools/ghost/report/TraceExport.h"
#include "tools/ghost/text/NumberText.h"
#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

namespace {

std::string seconds(double value) { return fixedText(value, 3) + " s"; }

// The theoretical best lap is "T" (its lap number is 0).
std::string lapLabel(const LapDelta& laps) {
  if (laps.lapA == 0) return "T/" + std::to_string(laps.lapB);
  if (laps.lapB == 0) return std::to_string(laps.lapA) + "/T";
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
  if (run.timed.lapLinesFound && run.timed.laps() == 0) {
    out << "   its path never comes back to its start line: it completes no lap\n";
  } else if (run.timed.lapLinesFound) {
    out << "   laps " << lapTimes(run)
        << (run.timed.bestLap() > 0 ? " (best: lap " + std::to_string(run.timed.bestLap()) + ")"
                                    : std::string(" (no best lap: none can have been driven)"))
        << "\n";
  } else {
    out << "   its path does not cross the start line once a lap: its laps are taken as equal shares of its length\n";
  }
}

// who: the run or lap compared, "B" or "A's lap 3".
std::string lead(double delta, const std::string& who) {
  return delta < -levelSeconds ? " (" + who + " ahead)" : delta > levelSeconds ? " (" + who + " behind)" : " (level)";
}

char letter(std::size_t run) { return static_cast<char>('A' + run % 26); }

bool comparesUndrivenLap(const Analysis& analysis, const Comparison& comparison) {
  return std::any_of(comparison.laps.begin(), comparison.laps.end(), [&](const LapDelta& laps) {
    return (laps.lapA > 0 && !analysis.runs[comparison.a].timed.driven(laps.lapA)) ||
           (laps.lapB > 0 && !analysis.runs[comparison.b].timed.driven(laps.lapB));
  });
}

// Whether the comparison is of laps the user paired (--lap RUN:N,RUN:N, --best, the theoretical best) rather
// than lap for lap.
bool paired(const LapChoice& choice) { return choice.laps.has_value() || choice.best; }

// A side of the comparison (a: the reference side) named with `theoretical` when it is the theoretical best
// lap, else by its run's letter, with paired laps followed by `joiner` and the lap: "A's lap 3", "A:3".
std::string sideText(const Comparison& comparison, const LapChoice& choice, bool a, const char* theoretical,
                     const char* joiner) {
  if (a ? comparison.theoretical : comparison.theoreticalB) return theoretical;
  std::string run(1, letter(a ? comparison.a : comparison.b));
  if (!paired(choice) || comparison.laps.empty()) return run;
  const LapDelta& laps = comparison.laps.front();
  return run + joiner + std::to_string(a ? laps.lapA : laps.lapB);
}

// In sentences: "B", "A's lap 3", "the theoretical best lap (T)".
std::string sideName(const Comparison& comparison, const LapChoice& choice, bool a) {
  return sideText(comparison, choice, a, "the theoretical best lap (T)", "'s lap ");
}

}  // namespace

std::string columnName(const Comparison& comparison, const LapChoice& choice, bool a) {
  return sideText(comparison, choice, a, "T", ":");
}

std::string comparisonHeading(const Comparison& comparison, const LapChoice& choice) {
  if (choice.laps && !comparison.laps.empty())
    return sideName(comparison, choice, false) + " against " + sideName(comparison, choice, true);
  const std::string a(1, letter(comparison.a)), b(1, letter(comparison.b));
  if (choice.best && !comparison.laps.empty()) {
    const LapDelta& laps = comparison.laps.front();
    return b + "'s best lap (" + std::to_string(laps.lapB) + ") against " + a + "'s best lap (" +
           std::to_string(laps.lapA) + ")";
  }
  if (choice.lap) return b + " against " + a + ", lap " + std::to_string(*choice.lap);
  return b + " against " + a;
}

namespace {

// "B does not finish lap 1: ghost delta where it ends, 20% into the lap (1257 units): +0.500 s (B behind);
// lap 1 is not in the total": the ghost delta since the start of the laps compared.
std::string unfinishedText(const Analysis& analysis, const Comparison& comparison, const std::string& who) {
  const UnfinishedDelta& end = *comparison.unfinished;
  const auto lap = static_cast<std::size_t>(end.lapA);
  const bool aStops = analysis.runs[comparison.a].laps.size() < lap;
  const bool bStops = analysis.runs[comparison.b].laps.size() < lap;
  const std::string runs =
      aStops && bStops ? std::string(1, letter(comparison.a)) + " and " + letter(comparison.b) + " do not finish lap "
                       : std::string(1, letter(aStops ? comparison.a : comparison.b)) + " does not finish lap ";
  const double ghostDelta = comparison.total + end.delta;
  return runs + std::to_string(end.lapA) + ": ghost delta where " + (aStops && bStops ? "the first" : "it") +
         " ends, " + percentText(end.share) + " into the lap (" +
         fixedText(end.share * analysis.reference.length(), 0) + " units): " + signedSeconds(ghostDelta) +
         lead(ghostDelta, who) + "; lap " + std::to_string(end.lapA) + " is not in the total";
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

// A lap's number, null for the theoretical best lap.
std::string lapJson(int lapA) { return lapA == 0 ? "null" : std::to_string(lapA); }

std::string sectorJson(const Comparison& comparison, const SectorDelta& sector) {
  return "{\"lap\": " + lapJson(sector.lapA) + ", \"b_lap\": " + lapJson(comparison.laps[sector.pair].lapB) +
         ", \"sector\": " + std::to_string(sector.sector) + ", \"from\": " + jsonNumber(sector.from) +
         ", \"to\": " + jsonNumber(sector.to) + ", \"a_s\": " + jsonNumber(sector.aSeconds) +
         ", \"b_s\": " + jsonNumber(sector.bSeconds) + ", \"delta_s\": " + jsonNumber(sector.delta) + "}";
}

}  // namespace

std::string referenceText(const Analysis& analysis) {
  if (!analysis.referenceLap) {
    return "Matched by each run's share of its own laps: no run crosses the start line once a lap, so there is "
           "no lap to place them on.";
  }
  const LapOfRun& lap = *analysis.referenceLap;
  return std::string("Matched by track position: every point of every lap at the nearest point of ") + letter(lap.run) +
         "'s lap " + std::to_string(lap.lap) + " (" + fixedText(analysis.reference.length(), 1) + " units, " +
         (analysis.referenceGiven ? "named by --ref" : "the lap of median length") +
         "), each lap timed where the run crosses A's start line.";
}

std::optional<std::string> startLineText(const Analysis& analysis) {
  if (!analysis.lineUncertainty || *analysis.lineUncertainty < noticeableLineUncertainty) return std::nullopt;
  return "Start line: at the rearmost first frame; the map's own line may lie up to " +
         fixedText(*analysis.lineUncertainty, 3) +
         " s behind it at A's pace (a recording starts up to a tick past it, and the runs' first frames tell no "
         "closer); where the pace changes at a sector line, its split can move by as much.";
}

std::string referenceJson(const Analysis& analysis) {
  if (!analysis.referenceLap) return "null";
  return std::string("{\"run\": \"") + letter(analysis.referenceLap->run) +
         "\", \"lap\": " + std::to_string(analysis.referenceLap->lap) +
         ", \"length\": " + jsonNumber(analysis.reference.length(), 1) + ", \"chosen\": \"" +
         (analysis.referenceGiven ? "given" : "median") + "\"}";
}

namespace {

std::string runJson(char letter, const LoadedGhost& ghost, const AnalysedRun& run) {
  std::string laps;
  for (int lap = 1; lap <= run.timed.laps(); ++lap)
    laps += (lap > 1 ? ", " : "") + jsonNumber(run.timed.lapSeconds(lap));
  const int best = run.timed.bestLap();
  return "{\"run\": \"" + std::string(1, letter) + "\", \"file\": " + jsonString(ghost.shownName) +
         ", \"map\": " + jsonString(ghost.header.mapName) + ", \"player\": " + jsonString(ghost.header.playerName) +
         ", \"laps_s\": [" + laps + "], \"best_lap\": " + (best > 0 ? std::to_string(best) : "null") +
         ", \"lap_lines_found\": " + (run.timed.lapLinesFound ? "true" : "false") + "}";
}

// A side of the comparison: its run, or the theoretical best lap ("T", no file of its own, its one lap the
// sum of the best sectors).
std::string sideJson(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, const Comparison& comparison,
                     bool a) {
  if (a ? comparison.theoretical : comparison.theoreticalB) {
    const std::string lap = analysis.theoreticalBest ? jsonNumber(*analysis.theoreticalBest) : "";
    return "{\"run\": \"T\", \"file\": null, \"map\": null, \"player\": null, \"laps_s\": [" + lap +
           "], \"best_lap\": null, \"lap_lines_found\": true}";
  }
  const std::size_t run = a ? comparison.a : comparison.b;
  return runJson(letter(run), ghosts[run], analysis.runs[run]);
}

std::string unfinishedJson(const Comparison& comparison) {
  if (!comparison.unfinished) return "null";
  const UnfinishedDelta& end = *comparison.unfinished;
  return "{\"lap\": " + std::to_string(end.lapA) + ", \"b_lap\": " + std::to_string(end.lapB) +
         ", \"share\": " + jsonNumber(end.share) + ", \"a_s\": " + jsonNumber(end.aSeconds) +
         ", \"b_s\": " + jsonNumber(end.bSeconds) + ", \"delta_s\": " + jsonNumber(end.delta) +
         ", \"ghost_delta_s\": " + jsonNumber(comparison.total + end.delta) + "}";
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
  return (sector.lapA == 0 ? std::string("the theoretical best lap (T)") : "lap " + std::to_string(sector.lapA)) +
         " between " + percentText(sector.from) + " and " + percentText(sector.to);
}

void writeComparison(std::ostream& out, const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                     const Comparison& comparison, const LapChoice& choice, const std::vector<std::string>& notes) {
  describeRun(out, letter(comparison.a), ghosts[comparison.a], analysis.runs[comparison.a]);
  if (comparison.b != comparison.a)
    describeRun(out, letter(comparison.b), ghosts[comparison.b], analysis.runs[comparison.b]);
  for (const std::string& note : notes) out << note << "\n";
  out << referenceText(analysis) << "\n";
  if (const std::optional<std::string> start = startLineText(analysis)) out << *start << "\n";
  out << "\n";
  const std::string who = sideName(comparison, choice, false);
  const std::string nameA = columnName(comparison, choice, true), nameB = columnName(comparison, choice, false);
  const std::string difference = nameB + " - " + nameA;
  if (comparison.laps.empty()) {
    const bool offTrack = !analysis.runs[comparison.a].onTrack || !analysis.runs[comparison.b].onTrack;
    out << comparisonHeading(comparison, choice)
        << (offTrack ? ": no lap compared, since the runs do not follow the same track\n"
                     : ": no lap that both complete\n");
  } else {
    // Over a lap no car drove, the difference is the files' arithmetic, not who is ahead.
    out << comparisonHeading(comparison, choice) << ": " << signedSeconds(comparison.total)
        << (comparesUndrivenLap(analysis, comparison) ? " (no verdict: a lap compared cannot have been driven)"
                                                      : lead(comparison.total, who))
        << "\n";
  }
  if (comparison.unfinished) out << unfinishedText(analysis, comparison, who) << "\n";
  out << "\n";
  if (comparison.laps.empty()) return;

  out << " lap" << std::setw(12) << nameA << std::setw(12) << nameB << std::setw(12) << difference << "\n";
  for (const LapDelta& laps : comparison.laps) {
    out << std::setw(4) << lapLabel(laps) << std::setw(12) << seconds(laps.aSeconds) << std::setw(12)
        << seconds(laps.bSeconds) << std::setw(12) << signedSeconds(laps.delta) << "\n";
  }
  // The running difference at each sector line: the ghost delta, what the map shows racing A's ghost.
  out << "\n lap  point     on the lap" << std::setw(12) << nameA + " time" << std::setw(12) << nameB + " time"
      << std::setw(12) << "ghost delta"
      << "  this sector\n";
  double aBefore = 0.0, bBefore = 0.0;
  for (const SectorDelta& sector : comparison.sectors) {
    const LapDelta& laps = comparison.laps[sector.pair];
    const PlacedLap& a = placedLapA(analysis, comparison, sector.pair);
    const PlacedLap& b = placedLapB(analysis, comparison, sector.pair);
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
    const std::string where = paired(choice)
                                  ? who + " between " + percentText(sector.from) + " and " + percentText(sector.to) +
                                        " (against " + sideName(comparison, choice, true) + ")"
                                  : sectorPlace(sector);
    return where + " (sector " + std::to_string(sector.sector) + ", " + fixedText(sector.from * lapLength, 0) + " to " +
           fixedText(sector.to * lapLength, 0) + " units into the reference lap)";
  };
  out << "\nLargest gain: ";
  if (comparison.largestGain) {
    out << fixedText(-comparison.largestGain->delta, 3) << " s in " << place(*comparison.largestGain) << "\n";
  } else {
    out << "none: " << who << " gains less than " << fixedText(noticeableChange, 3) << " s over every sector\n";
  }
  out << "Largest loss: ";
  if (comparison.largestLoss) {
    out << fixedText(comparison.largestLoss->delta, 3) << " s in " << place(*comparison.largestLoss) << "\n";
  } else {
    out << "none: " << who << " loses less than " << fixedText(noticeableChange, 3) << " s over every sector\n";
  }
}

void writeComparisonJson(std::ostream& out, const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                         const Comparison& comparison, const LapChoice& choice, const std::vector<std::string>& notes) {
  out << "{\n  \"a\": " << sideJson(ghosts, analysis, comparison, true)
      << ",\n  \"b\": " << sideJson(ghosts, analysis, comparison, false)
      << ",\n  \"reference\": " << referenceJson(analysis) << ",\n  \"start_line_uncertainty_s\": "
      << (analysis.lineUncertainty ? jsonNumber(*analysis.lineUncertainty) : std::string("null"))
      << ",\n  \"notes\": [";
  for (std::size_t i = 0; i < notes.size(); ++i) out << (i > 0 ? ", " : "") << jsonString(notes[i]);
  out << "],\n  \"compared\": \""
      << (comparison.theoretical || comparison.theoreticalB ? "theoretical"
          : choice.laps                                     ? "laps"
          : choice.best                                     ? "best"
          : choice.lap                                      ? "lap"
          : static_cast<int>(comparison.laps.size()) <
                  std::max(ghosts[comparison.a].laps(), ghosts[comparison.b].laps())
              ? "completed"
              : "all")
      << "\",\n  \"sectors_per_lap\": " << analysis.sectors << ",\n  \"total_s\": " << jsonNumber(comparison.total)
      << ",\n  \"laps\": [";
  for (std::size_t i = 0; i < comparison.laps.size(); ++i) {
    const LapDelta& laps = comparison.laps[i];
    out << (i > 0 ? ",\n    " : "\n    ") << "{\"lap\": " << lapJson(laps.lapA) << ", \"b_lap\": " << lapJson(laps.lapB)
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
      << (analysis.theoreticalBest ? jsonNumber(*analysis.theoreticalBest) : std::string("null"))
      << ",\n  \"unfinished\": " << unfinishedJson(comparison) << ",\n  \"trace\": " << traceJson(analysis, comparison)
      << "\n}\n";
}

}  // namespace lumaro_ghost
