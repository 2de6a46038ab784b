#include "tools/ghost/report/TraceExport.h"

#include <cstddef>

#include "tools/ghost/text/NumberText.h"

namespace lumaro_ghost {

namespace {

// Distances to a tenth of a unit, speeds to a hundredth of a unit per second: finer than any run is sampled.
constexpr int distanceDecimals = 1;
constexpr int speedDecimals = 2;

}  // namespace

std::vector<ExportedPoint> exportedTrace(const Analysis& analysis, const Comparison& comparison) {
  std::vector<ExportedPoint> points;
  if (comparison.laps.empty()) return points;
  const int perLap = analysis.sectors * traceSamplesPerSector;
  const int steps = static_cast<int>(comparison.laps.size()) * perLap;
  const double length = analysis.reference.length();
  points.reserve(static_cast<std::size_t>(steps) + 1);
  for (int step = 0; step <= steps; ++step) {
    const int pair = step == steps ? steps / perLap - 1 : step / perLap;
    const double share = static_cast<double>(step - pair * perLap) / perLap;
    const double progress = pair + share;
    points.push_back({progress * length, pair, share, traceAt(analysis, comparison, progress)});
  }
  return points;
}

void writeTraceCsv(std::ostream& out, const Analysis& analysis, const Comparison& comparison) {
  out << "distance,lap_a,lap_b,share,a_s,b_s,delta_s,a_speed,b_speed,ghost_delta_s\n";
  for (const ExportedPoint& point : exportedTrace(analysis, comparison)) {
    const LapDelta& laps = comparison.laps[static_cast<std::size_t>(point.pair)];
    out << jsonNumber(point.distance, distanceDecimals) << ',' << laps.lapA << ',' << laps.lapB << ','
        << jsonNumber(point.share) << ',' << jsonNumber(point.at.secondsA) << ',' << jsonNumber(point.at.secondsB)
        << ',' << jsonNumber(point.at.delta) << ',' << jsonNumber(point.at.speedA, speedDecimals) << ','
        << jsonNumber(point.at.speedB, speedDecimals) << ',' << jsonNumber(point.at.delta) << '\n';
  }
}

std::string traceJson(const Analysis& analysis, const Comparison& comparison) {
  std::string text = "[";
  bool first = true;
  for (const ExportedPoint& point : exportedTrace(analysis, comparison)) {
    const LapDelta& laps = comparison.laps[static_cast<std::size_t>(point.pair)];
    text += std::string(first ? "\n    " : ",\n    ") +
            "{\"distance\": " + jsonNumber(point.distance, distanceDecimals) +
            ", \"lap_a\": " + std::to_string(laps.lapA) + ", \"lap_b\": " + std::to_string(laps.lapB) +
            ", \"share\": " + jsonNumber(point.share) + ", \"a_s\": " + jsonNumber(point.at.secondsA) +
            ", \"b_s\": " + jsonNumber(point.at.secondsB) + ", \"delta_s\": " + jsonNumber(point.at.delta) +
            ", \"a_speed\": " + jsonNumber(point.at.speedA, speedDecimals) +
            ", \"b_speed\": " + jsonNumber(point.at.speedB, speedDecimals) + "}";
    first = false;
  }
  return text + (first ? "]" : "\n  ]");
}

}  // namespace lumaro_ghost
