// Which pose of the loaded ghost playback shows at an elapsed time. chooseFrame always answers what a scan
// of the frame pairs from the first frame answers; when the frames are in time order it finds that same
// pair by binary search, so a recorded ghost costs O(log n) per tick, and only a disordered one O(n).
#pragma once

#include <cstdint>
#include <span>

#include "host/Values.h"
#include "library/ghostfile/GhostFrame.h"

// Where the ghost car stands: location X, Y, Z, and pitch, yaw, roll carried in a vector's X, Y, Z.
struct GhostPose {
  Vector position;
  Vector rotation;
};

enum class FrameChoiceKind {
  NoFrames,    // an empty ghost: nothing to write, playback goes on
  Show,        // write the pose
  GhostEnded,  // the time lies past the last interpolated pair: playback ends without a write
};

struct FrameChoice {
  FrameChoiceKind kind = FrameChoiceKind::NoFrames;
  GhostPose pose;
};

GhostPose poseOf(const GhostFrame& frame);

// The pose between a and b at the elapsed time (milliseconds), each of the six components on its own, in
// 32-bit floats: (b - a) * (elapsed - a.time) / (b.time - a.time) + a. The elapsed offset and the frames'
// time span are taken in 64 bits, then made floats. No angle wraps around. Two
// frames with the same time give a as it is. Where those steps overflow (values near the float range's
// ends), the component is reckoned in double precision and held within the float range: every component
// of finite frames is finite.
GhostPose interpolateFrames(const GhostFrame& a, const GhostFrame& b, std::int64_t elapsed);

// Whether no frame's time is below that of the frame before it.
bool framesInTimeOrder(std::span<const GhostFrame> frames);

// The choice at the elapsed time, in order: no frames; before the first frame, the first frame; after the
// last, the last; one frame at exactly its time, that frame; otherwise the first pair i (i up to n - 3)
// with F[i].time <= elapsed <= F[i+1].time, interpolated, or the end of the ghost when there is none. The
// last pair is never interpolated. This is the plain scan from the first frame.
FrameChoice chooseFrameByScan(std::span<const GhostFrame> frames, std::int64_t elapsed);

// The same choice. inTimeOrder must be framesInTimeOrder(frames); when true the pair is found by search.
FrameChoice chooseFrame(std::span<const GhostFrame> frames, std::int64_t elapsed, bool inTimeOrder);
