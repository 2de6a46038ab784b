#include "playback/FrameChoice.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

FrameChoice show(GhostPose pose) { return {FrameChoiceKind::Show, pose}; }

// The same point where the float steps overflow (finite values near the float range's ends): reckoned in
// double precision, where no finite float input can overflow, and held within the float range, so the
// ghost car is only ever placed at a finite place.
float withoutOverflow(float from, float to, float offset, float length) {
  const double value =
      static_cast<double>(from) + (static_cast<double>(to) - from) * (static_cast<double>(offset) / length);
  const double largest = std::numeric_limits<float>::max();
  return static_cast<float>(std::clamp(value, -largest, largest));
}

// The cases that come before any pair is looked at. True when they settle the choice.
bool chooseOutsidePairs(std::span<const GhostFrame> frames, std::int64_t elapsed, FrameChoice& choice) {
  if (frames.empty()) {
    choice = {};
    return true;
  }
  if (elapsed < frames.front().time) {
    choice = show(poseOf(frames.front()));
    return true;
  }
  if (elapsed > frames.back().time) {
    choice = show(poseOf(frames.back()));
    return true;
  }
  // A single frame whose time is the elapsed time has no pair at all; it stands where it is, as it does
  // on every later tick after its time.
  if (frames.size() == 1) {
    choice = show(poseOf(frames.front()));
    return true;
  }
  return false;
}

}  // namespace

GhostPose poseOf(const GhostFrame& frame) {
  return {{frame.x, frame.y, frame.z}, {frame.pitch, frame.yaw, frame.roll}};
}

GhostPose interpolateFrames(const GhostFrame& a, const GhostFrame& b, std::int64_t elapsed) {
  // Taken in 64 bits: a hand-made ghost may hold times more than 2^31 ms apart, whose 32-bit difference would
  // wrap and throw the car far outside the stretch between the two frames. Below that, the float it becomes is
  // the same.
  const std::int64_t span = static_cast<std::int64_t>(b.time) - a.time;
  // Equal times: the elapsed time is that time too, and the pose is a's rather than 0 / 0.
  if (span == 0) return poseOf(a);
  const auto offset = static_cast<float>(elapsed - static_cast<std::int64_t>(a.time));
  const auto length = static_cast<float>(span);
  const auto between = [offset, length](float from, float to) {
    const float value = (to - from) * offset / length + from;
    return std::isfinite(value) ? value : withoutOverflow(from, to, offset, length);
  };
  return {{between(a.x, b.x), between(a.y, b.y), between(a.z, b.z)},
          {between(a.pitch, b.pitch), between(a.yaw, b.yaw), between(a.roll, b.roll)}};
}

bool framesInTimeOrder(std::span<const GhostFrame> frames) {
  return std::is_sorted(frames.begin(), frames.end(),
                        [](const GhostFrame& left, const GhostFrame& right) { return left.time < right.time; });
}

FrameChoice chooseFrameByScan(std::span<const GhostFrame> frames, std::int64_t elapsed) {
  FrameChoice choice;
  if (chooseOutsidePairs(frames, elapsed, choice)) return choice;
  for (std::size_t i = 0; i + 2 < frames.size(); ++i) {
    if (frames[i].time <= elapsed && elapsed <= frames[i + 1].time) {
      return show(interpolateFrames(frames[i], frames[i + 1], elapsed));
    }
  }
  return {FrameChoiceKind::GhostEnded, {}};
}

FrameChoice chooseFrame(std::span<const GhostFrame> frames, std::int64_t elapsed, bool inTimeOrder) {
  if (!inTimeOrder) return chooseFrameByScan(frames, elapsed);
  FrameChoice choice;
  if (chooseOutsidePairs(frames, elapsed, choice)) return choice;
  // In time order, pair i matches exactly when F[i].time <= elapsed (every i up to the last frame at or
  // before it) and F[i+1].time >= elapsed (every i from one before the first frame at or after it). The
  // first match is therefore just before that first frame, or pair 0 when frame 0 itself is at the time,
  // and duplicates of the time resolve the way the scan resolves them.
  const auto atOrAfter = std::lower_bound(frames.begin(), frames.end(), elapsed,
                                          [](const GhostFrame& frame, std::int64_t time) { return frame.time < time; });
  const auto first = static_cast<std::size_t>(atOrAfter - frames.begin());
  const std::size_t pair = first == 0 ? 0 : first - 1;
  if (pair + 2 >= frames.size()) return {FrameChoiceKind::GhostEnded, {}};
  return show(interpolateFrames(frames[pair], frames[pair + 1], elapsed));
}
