#include "playback/GhostFrameOrder.h"

#include "playback/FrameChoice.h"

void GhostFrameOrder::learn(std::span<const GhostFrame> frames, bool inOrder) {
  storage_ = frames.data();
  count_ = frames.size();
  inOrder_ = inOrder;
  known_ = true;
}

bool GhostFrameOrder::inTimeOrder(std::span<const GhostFrame> frames) {
  if (!known_ || frames.data() != storage_ || frames.size() != count_) learn(frames, framesInTimeOrder(frames));
  return inOrder_;
}
