// Whether the loaded ghost's frames are in time order, so that neither a playback start nor a tick looks at
// every frame. The import tells the answer as it reads the frames (learn); frames that are not the ones it
// was told about (other storage or another count), or any after forget(), are looked at once when asked.
#pragma once

#include <cstddef>
#include <span>

#include "library/ghostfile/GhostFrame.h"

class GhostFrameOrder {
public:
  // The answer for frames as they stand now; inOrder must be framesInTimeOrder(frames).
  void learn(std::span<const GhostFrame> frames, bool inOrder);
  bool inTimeOrder(std::span<const GhostFrame> frames);
  void forget() { known_ = false; }

private:
  const GhostFrame* storage_ = nullptr;
  std::size_t count_ = 0;
  bool known_ = false;
  bool inOrder_ = false;
};
