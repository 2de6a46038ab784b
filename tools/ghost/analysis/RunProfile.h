// The shape and pace of a run: how far the car has come along its path at every frame, the path's length,
// the speed (mean, top, and at each frame), and how regularly the frames were sampled. Distances are in the
// game's units, times in seconds unless a name says milliseconds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "library/ghostfile/GhostFrame.h"

namespace lumaro_ghost {

// The speed at a frame is measured over at least this span of run time around it, so that whole-millisecond
// frame times (8 or 9 ms apart at 120 frames a second) do not make it jitter.
inline constexpr std::int32_t speedSpanMs = 100;

struct RunProfile {
  std::vector<double> distance;  // along the path from the first frame, per frame (x, y and z)
  std::vector<double> speed;     // units per second, per frame, over speedSpanMs
  double length = 0.0;
  double duration = 0.0;   // last frame's time less the first's, in seconds
  double meanSpeed = 0.0;  // length over duration; 0 for a run without duration
  double topSpeed = 0.0;
};

RunProfile profileRun(std::span<const GhostFrame> frames);

struct SampleTiming {
  double medianIntervalMs = 0.0;
  std::int32_t worstIntervalMs = 0;
  std::size_t outOfOrder = 0;  // frames whose time is below the one before
  std::size_t repeated = 0;    // frames with the same time as the one before
  std::size_t gaps = 0;        // intervals longer than the threshold
  std::int32_t largestGapMs = 0;
  std::size_t firstOutOfOrder = 0;  // frame index, when outOfOrder > 0
  std::size_t largestGapAt = 0;     // frame index ending the largest gap, when gaps > 0
};

SampleTiming sampleTiming(std::span<const GhostFrame> frames, std::int32_t gapThresholdMs);

}  // namespace lumaro_ghost
