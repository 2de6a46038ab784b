#include "tools/ghost/CompareJson.h"

#include <cmath>

#include "tools/ghost/NumberText.h"

namespace lumaro_ghost {

namespace {

// No "-0.000000" for a difference that rounds to nothing.
std::string seconds(double value) { return fixedText(std::fabs(value) < 5e-7 ? 0.0 : value, secondsDecimals); }

}  // namespace

void writeComparisonJson(std::ostream& out, const ReplayData& data) {
  const double total = data.trace.empty() ? 0.0 : data.trace.back().delta[1];
  out << "{\"total_s\": " << seconds(total) << ",\n \"laps\": [";
  for (std::size_t i = 0; i < data.laps.size(); ++i) {
    const LapRow& row = data.laps[i];
    out << (i == 0 ? "\n" : ",\n") << "  {\"lap\": " << row.lap << ", \"a_s\": " << seconds(row.seconds[0])
        << ", \"b_s\": " << seconds(row.seconds[1]) << ", \"delta_s\": " << seconds(row.seconds[1] - row.seconds[0])
        << "}";
  }
  out << "],\n \"sectors\": [";
  for (std::size_t i = 0; i < data.sectors.size(); ++i) {
    const SectorRow& row = data.sectors[i];
    out << (i == 0 ? "\n" : ",\n") << "  {\"lap\": " << row.lap << ", \"from\": " << fixedText(row.from, 3)
        << ", \"to\": " << fixedText(row.to, 3) << ", \"delta_s\": " << seconds(row.delta[1]) << "}";
  }
  out << "]}\n";
}

}  // namespace lumaro_ghost
