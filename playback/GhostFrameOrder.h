// Remembers whether the loaded ghost's frames are in time order, so that the playback tick does not look at
// every frame on every tick. The answer is kept for the frames' storage and count: a ghost put in new
// storage or with another number of frames is looked at again, and forget() makes the next question look.
#pragma once

#include <cstddef>
#include <span>

#include "plugin/GhostFrame.h"

class GhostFrameOrder {
public:
  bool inTimeOrder(std::span<const GhostFrame> frames);
  void forget() { known_ = false; }

private:
  const GhostFrame* storage_ = nullptr;
  std::size_t count_ = 0;
  bool known_ = false;
  bool inOrder_ = false;
};
