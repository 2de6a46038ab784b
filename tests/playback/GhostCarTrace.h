// Reads the ghost car's placements back out of the game's Kismet write trace: one placement is a write of
// GhostPosition followed at the same instant by a write of GhostRotation, as every playback tick makes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/Values.h"
#include "sim/Game.h"

struct GhostCarPlacement {
  std::int64_t time = 0;
  Vector position;
  Vector rotation;
};

class GhostCarTrace {
public:
  explicit GhostCarTrace(sim::Game& game) : game_(game), seen_(game.kismetWrites().size()) {}

  // The placements written since the last call; a lone or reordered write fails the test.
  std::vector<GhostCarPlacement> newPlacements() {
    const auto& writes = game_.kismetWrites();
    std::vector<GhostCarPlacement> placements;
    for (std::size_t i = seen_; i < writes.size(); ++i) {
      if (writes[i].variable != "GhostPosition" && writes[i].variable != "GhostRotation") continue;
      EXPECT_EQ(writes[i].variable, "GhostPosition") << "write " << i;
      EXPECT_TRUE(i + 1 < writes.size() && writes[i + 1].variable == "GhostRotation" &&
                  writes[i + 1].time == writes[i].time)
          << "write " << i << " is not followed by the rotation";
      if (i + 1 >= writes.size()) break;
      placements.push_back({writes[i].time, writes[i].vectorValue, writes[i + 1].vectorValue});
      ++i;
    }
    seen_ = writes.size();
    return placements;
  }

private:
  sim::Game& game_;
  std::size_t seen_;
};
