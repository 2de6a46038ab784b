// Runs of known geometry for the ghost tool's tests: a car on a circle of a given radius whose angle follows
// a given function of run time, sampled at a fixed interval; and the ghost file text the plugin would write
// for them.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"

// angleAt: seconds -> radians; frames at 0, interval, 2 * interval... up to endMs, and one at endMs.
inline std::vector<GhostFrame> circleRun(double radius, std::int32_t intervalMs, std::int32_t endMs,
                                         const std::function<double(double)>& angleAt) {
  std::vector<GhostFrame> frames;
  for (std::int32_t time = 0;; time += intervalMs) {
    if (time > endMs) time = endMs;
    GhostFrame frame;
    frame.time = time;
    const double angle = angleAt(time / 1000.0);
    frame.x = static_cast<float>(radius * std::cos(angle));
    frame.y = static_cast<float>(radius * std::sin(angle));
    frame.z = 17.0f;
    frame.yaw = static_cast<float>(std::lround(angle / (2 * std::numbers::pi) * 65536.0) % 65536);
    frames.push_back(frame);
    if (time == endMs) return frames;
  }
}

// Along +x from the origin, length units in the given seconds, a frame every 10 ms.
inline std::vector<GhostFrame> straightRun(double length, double seconds) {
  std::vector<GhostFrame> frames;
  const auto steps = static_cast<int>(std::lround(seconds * 100.0));
  for (int i = 0; i <= steps; ++i) {
    GhostFrame frame;
    frame.time = i * 10;
    frame.x = static_cast<float>(length * i / steps);
    frames.push_back(frame);
  }
  return frames;
}

// laps of a circle at one speed, lapSeconds each.
inline std::vector<GhostFrame> steadyCircle(double radius, double lapSeconds, int laps, std::int32_t intervalMs) {
  const auto endMs = static_cast<std::int32_t>(std::lround(lapSeconds * laps * 1000.0));
  return circleRun(radius, intervalMs, endMs, [=](double t) { return 2 * std::numbers::pi * t / lapSeconds; });
}

// One 20-second lap, or the same lap driven 1 s faster over its second half (19 s).
inline std::vector<GhostFrame> twentySecondLap(std::int32_t intervalMs) {
  return steadyCircle(1000.0, 20.0, 1, intervalMs);
}
inline std::vector<GhostFrame> fasterSecondHalf(std::int32_t intervalMs) {
  return circleRun(1000.0, intervalMs, 19000, [](double t) {
    return t <= 10.0 ? std::numbers::pi * t / 10.0 : std::numbers::pi + std::numbers::pi * (t - 10.0) / 9.0;
  });
}

// Laps of a 1000-unit circle, lapSeconds each at one pace, but for lost seconds planted over a stretch of one
// lap (from..to, shares of it): the car slows smoothly into it and back out. kept: the share of the frames
// kept, a run cut short below 1.
inline std::vector<GhostFrame> circleWithLoss(double lapSeconds, int laps, std::int32_t intervalMs, double lost,
                                              int lossLap, double from, double to, double kept = 1.0) {
  // Run time at a number of laps driven; its inverse by halving gives the angle at a time.
  auto timeAt = [=](double driven) {
    const double into = std::clamp((driven - (lossLap - 1) - from) / (to - from), 0.0, 1.0);
    return driven * lapSeconds + lost * (into - std::sin(2.0 * std::numbers::pi * into) / (2.0 * std::numbers::pi));
  };
  const double endSeconds = (lapSeconds * laps + lost) * kept;
  return circleRun(1000.0, intervalMs, static_cast<std::int32_t>(std::lround(endSeconds * 1000.0)), [=](double t) {
    double low = 0.0, high = laps + 1.0;
    for (int i = 0; i < 60; ++i) (timeAt((low + high) / 2) < t ? low : high) = (low + high) / 2;
    return 2 * std::numbers::pi * low;
  });
}

// Laps of a 1000-unit circle in lapSeconds each, but for lost seconds spread evenly over the stretch from..to
// (shares of the first lap), sampled every intervalMs from the first tick after the car crossed the line, as a
// recording is: the first frame lies phase of a tick past the line, the last at or past it.
inline std::vector<GhostFrame> lapWithEvenLoss(double lapSeconds, std::int32_t intervalMs, double lost, double from,
                                               double to, double phase, int laps = 1) {
  const double late = phase * intervalMs / 1000.0;  // the crossing, before the first frame
  const auto ticks = static_cast<std::int32_t>(std::ceil((lapSeconds * laps + lost - late) * 1000.0 / intervalMs));
  return circleRun(1000.0, intervalMs, ticks * intervalMs, [=](double t) {
    const double since = t + late, slowStart = from * lapSeconds, slowEnd = to * lapSeconds + lost;
    const double share = since <= slowStart ? since / lapSeconds
                         : since <= slowEnd ? from + (since - slowStart) / (slowEnd - slowStart) * (to - from)
                                            : (since - lost) / lapSeconds;
    return 2 * std::numbers::pi * share;
  });
}

// The file the plugin's export writes for the frames.
inline std::string ghostFileText(const std::vector<GhostFrame>& frames, std::string_view map = "Circle",
                                 std::int32_t laps = 1, std::string_view player = "Ann") {
  std::ostringstream out;
  GhostHeader header;
  header.mapName = map;
  header.playerName = player;
  header.runTime = frames.empty() ? 0 : frames.back().time;
  header.lapCount = laps;
  header.version = "1.1";
  writeGhost(out, header, frames);
  return out.str();
}
