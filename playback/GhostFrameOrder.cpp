#include "playback/GhostFrameOrder.h"

#include "playback/FrameChoice.h"

bool GhostFrameOrder::inTimeOrder(std::span<const GhostFrame> frames) {
  if (!known_ || frames.data() != storage_ || frames.size() != count_) {
    inOrder_ = framesInTimeOrder(frames);
    storage_ = frames.data();
    count_ = frames.size();
    known_ = true;
  }
  return inOrder_;
}
