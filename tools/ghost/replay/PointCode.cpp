#include "tools/ghost/replay/PointCode.h"

#include <algorithm>
#include <cmath>

namespace lumaro_ghost {

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

// A coordinate in tenths of a unit (pointPlacesPerUnit). A file may hold any finite float: far ones are held where the
// page's numbers (exact to 2^53) still add up exactly.
std::int64_t tenths(float value) {
  constexpr double farthest = 1e15;
  return std::llround(std::clamp(static_cast<double>(value) * pointPlacesPerUnit, -farthest, farthest));
}

}  // namespace

void appendPointNumber(std::string& out, std::int64_t value) {
  std::uint64_t zigzag = (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
  while (zigzag >= 32) {
    out += alphabet[32 + (zigzag & 31)];
    zigzag >>= 5;
  }
  out += alphabet[zigzag];
}

std::string encodePoints(std::span<const GhostFrame> frames) {
  std::string out;
  out.reserve(frames.size() * 5);
  std::int64_t time = frames.empty() ? 0 : frames.front().time;
  std::int64_t x = 0;
  std::int64_t y = 0;
  for (const GhostFrame& frame : frames) {
    appendPointNumber(out, frame.time - time);
    appendPointNumber(out, tenths(frame.x) - x);
    appendPointNumber(out, tenths(frame.y) - y);
    time = frame.time;
    x = tenths(frame.x);
    y = tenths(frame.y);
  }
  return out;
}

}  // namespace lumaro_ghost
