#include "tools/ghost/CompareReport.h"

#include <iomanip>

#include "race/RaceTime.h"
#include "tools/ghost/NumberText.h"

namespace lumaro_ghost {

namespace {

std::string place(const SplitPoint& split) {
  return "lap " + std::to_string(split.lap) + " between " + std::to_string((split.tenth - 1) * 10) + "% and " +
         std::to_string(split.tenth * 10) + "% (A's distance " + fixedText(split.distanceA - split.stretchA, 0) +
         " to " + fixedText(split.distanceA, 0) + " units)";
}

void describeRun(std::ostream& out, char letter, const LoadedGhost& ghost, const LappedRun& lapped) {
  out << letter << "  " << ghost.shownName << "\n   " << runCaption(ghost) << "; " << ghost.content.frames.size()
      << " frames, " << fixedText(ghost.profile.length, 1) << " units, finish line crossed at "
      << fixedText(secondsAt(lapped, lapped.laps()), 3) << " s\n";
  if (!lapped.lapLinesFound) {
    out << "   its path does not cross its start once a lap: its laps are taken as equal shares of its length\n";
  }
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

void writeComparison(std::ostream& out, const LoadedGhost& a, const LappedRun& lappedA, const LoadedGhost& b,
                     const LappedRun& lappedB, const RunComparison& comparison) {
  describeRun(out, 'A', a, lappedA);
  describeRun(out, 'B', b, lappedB);
  if (lappedA.laps() != lappedB.laps()) {
    out << "A holds " << lappedA.laps() << (lappedA.laps() == 1 ? " lap" : " laps") << " and B " << lappedB.laps()
        << ": compared over " << comparison.laps << "\n";
  }
  // Matched by share of the lap, runs of two maps still give figures: the reader must know they mean little.
  if (!a.header.mapName.empty() && !b.header.mapName.empty() && a.header.mapName != b.header.mapName) {
    out << "A is a run on " << a.header.mapName << " and B on " << b.header.mapName
        << ": the runs are of different maps\n";
  }
  out << "Matched by distance along each lap, not by frame.\n\n";
  out << "B against A: " << signedSeconds(comparison.totalDelta)
      << (comparison.totalDelta < -0.0005  ? " (B ahead)"
          : comparison.totalDelta > 0.0005 ? " (B behind)"
                                           : " (level)")
      << "\n\n";

  out << " lap  point    A's distance      A time      B time       B - A   this tenth\n";
  for (const SplitPoint& split : comparison.splits) {
    out << std::setw(4) << split.lap << "  " << std::setw(5)
        << (split.tenth == 10 ? std::string("line") : std::to_string(split.tenth * 10) + "%") << std::setw(16)
        << fixedText(split.distanceA, 1) << std::setw(12) << (fixedText(split.secondsA, 3) + " s") << std::setw(12)
        << (fixedText(split.secondsB, 3) + " s") << std::setw(12) << signedSeconds(split.delta) << std::setw(13)
        << signedSeconds(split.change) << "\n";
  }
  out << "\nLargest gain: ";
  if (comparison.largestGain) {
    out << fixedText(-comparison.largestGain->change, 3) << " s in " << place(*comparison.largestGain) << "\n";
  } else {
    out << "none: B gains no time over any tenth\n";
  }
  out << "Largest loss: ";
  if (comparison.largestLoss) {
    out << fixedText(comparison.largestLoss->change, 3) << " s in " << place(*comparison.largestLoss) << "\n";
  } else {
    out << "none: B loses no time over any tenth\n";
  }
}

}  // namespace lumaro_ghost
