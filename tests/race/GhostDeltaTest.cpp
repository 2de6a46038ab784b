// The live difference to the ghost, against planted truth: a ghost at 1000 units/s and a run that loses
// 0.3 s over a known stretch, leaves the track, and cuts a detour of the ghost's short. Then the plugin on
// the stand-in host: what it writes on maps with, without, and with a GhostDelta of another type.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/ghostfile/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "race/GhostDelta.h"
#include "race/RaceFixture.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "support/PluginHarness.h"

namespace {

GhostFrame at(double x, double y, int ms) { return {0, 0, 0, static_cast<float>(x), static_cast<float>(y), 0, ms}; }

// The ghost: along X to 10000, a detour 3000 up and back over X 10000 to 14000, then on along X.
std::vector<GhostFrame> ghostRun() {
  std::vector<GhostFrame> frames;
  for (int ms = 0; ms <= 30000; ms += 8) {
    const double d = ms;  // units, at 1000 a second
    const double x = d < 10000 ? d : d < 13000 ? 10000 : d < 17000 ? d - 3000 : d < 20000 ? 14000 : d - 6000;
    const double y = d < 10000 ? 0 : d < 13000 ? d - 10000 : d < 17000 ? 3000 : d < 20000 ? 20000 - d : 0;
    frames.push_back(at(x, y, ms));
  }
  return frames;
}

// The run's time at X: 0.3 s lost evenly from X 2000 to 6000.
double plantedSeconds(double x) { return x / 1000 + 0.3 * std::clamp((x - 2000) / 4000, 0.0, 1.0); }

TEST(GhostDelta, FollowsThePlantedLossHoldsOffThePathAndFindsItsPlaceAfterAShortcut) {
  const std::vector<GhostFrame> ghost = ghostRun();
  GhostDelta delta;
  delta.start(ghost, 1);
  std::vector<GhostFrame> run;
  std::optional<float> last;
  // Frames every 8 ms, the first 4 ms past the line; X 7000 to 8000 off the track, 2000 to the side.
  for (int ms = 0; ms <= 20000; ms += 8) {
    double x = 0;
    for (double step = 16384; step >= 1.0 / 1024; step /= 2)
      if (plantedSeconds(x + step) <= (ms + 4) / 1000.0) x += step;
    run.push_back(at(x, x >= 7000 && x < 8000 ? -2000 : 0, ms));
    const std::optional<float> seen = delta.sample(ghost, run);
    if (ms == 0) {
      EXPECT_FALSE(seen) << "the run's start crossing is known from its second frame";
    } else if (x < 7000) {
      ASSERT_TRUE(seen) << "at X " << x;
      EXPECT_NEAR(*seen, plantedSeconds(x) - x / 1000, 0.001) << "at X " << x;
    } else if ((x >= 7000 && x < 8000) || (x > 10600 && x < 13400)) {
      EXPECT_FALSE(seen) << "off the path at X " << x << ", the value holds";
    } else if ((x >= 8400 && x < 10000) || x > 14600) {
      // Back on the path, its place is found within 50 ticks; past the shortcut the ghost is 6 s further on.
      ASSERT_TRUE(seen) << "back on the path at X " << x;
      EXPECT_NEAR(*seen, x < 10000 ? 0.3 : 0.3 - 6.0, 0.001) << "at X " << x;
    }
    if (seen) last = seen;
  }
  EXPECT_TRUE(last);
}

// Two laps of a loop 30000 units long that comes back into the line along the way it set off: the ghost at
// 1000 units/s ends 8 units short of the line, the run at 900 units/s ends past it.
TEST(GhostDelta, FinishesAGhostThatEndsJustShortOfTheLineAtTheLine) {
  auto twoLaps = [](double speed, int lastMs) {
    std::vector<GhostFrame> frames;
    for (int ms = 0; ms <= lastMs; ms += 8) {
      const double d = std::fmod(speed * ms / 1000, 30000);
      const double x = d < 5000 ? d : d < 10000 ? 5000 : d < 20000 ? 15000 - d : d < 25000 ? -5000 : d - 30000;
      const double y = d < 5000 ? 0 : d < 10000 ? d - 5000 : d < 20000 ? 5000 : d < 25000 ? 25000 - d : 0;
      frames.push_back(at(x, y, ms));
    }
    return frames;
  };
  const std::vector<GhostFrame> ghost = twoLaps(1000, 59992), run = twoLaps(900, 66672);
  GhostDelta delta;
  delta.start(ghost, 2);
  EXPECT_NEAR(delta.finish(run), 60000.0 / 900 - 60.0, 0.001);

  // A ghost of one lap (its last frame 8 units short of the line) races one lap, then is short of two: past its last
  // frame it has no place for the car, and no race time to compare with.
  const std::vector<GhostFrame> oneLap = twoLaps(1000, 29992), runOneLap = twoLaps(900, 33336);
  delta.start(oneLap, 1);
  EXPECT_NEAR(delta.finish(runOneLap), 30000.0 / 900 - 30.0, 0.001);
  delta.start(oneLap, 2);
  std::vector<GhostFrame> sofar;
  for (const GhostFrame& frame : run) {
    sofar.push_back(frame);
    const std::optional<float> seen = delta.sample(oneLap, sofar);
    if (frame.time == 29992) {
      EXPECT_TRUE(seen && !delta.endedShort()) << "at the ghost's last frame";
    } else if (frame.time > 29992) {
      EXPECT_TRUE(!seen && delta.endedShort()) << "past it, at " << frame.time << " ms";
    }
  }
  EXPECT_EQ(delta.finish(run), 0.0f);
}

// GhostDelta as the map defines it (none: without), the race raced, and the writes seen.
struct MapRow {
  std::optional<sim::VariableType> type;
  bool challenge;
  bool written;
};

class GhostDeltaOnTheHost : public RaceTest, public ::testing::WithParamInterface<MapRow> {};

TEST_P(GhostDeltaOnTheHost, IsWrittenOnlyInAChallengeOfAMapWithAFloatOfThatNameAndIsZeroAfterTheReset) {
  sim::MapDefinition map = sim::workshopMap("Speedway");
  if (GetParam().type) map.variables.push_back({"GhostDelta", *GetParam().type, "7"});
  loadMap(map);
  plugin().ghostFrames = {at(0, 0, 0), at(100, 0, 100), at(200, 0, 200), at(300, 0, 300)};
  host.run(GetParam().challenge ? "lm_challenge" : "lm_record");
  game().placeCar({40, 0, 17}, {});
  game().crossStartLine();
  game().runTicks(3);
  const std::size_t written = game().writeCount("GhostDelta");
  EXPECT_EQ(written > 0, GetParam().written);
  plugin().runReset();
  const sim::KismetVariable* variable = game().variable("GhostDelta", sim::VariableType::Float);
  if (variable) {
    EXPECT_EQ(variable->floatValue, GetParam().written ? 0.0f : 7.0f);
  }
  EXPECT_EQ(game().writeCount("GhostDelta") > written, GetParam().written) << "the reset writes 0 after a challenge";
}

INSTANTIATE_TEST_SUITE_P(Rows, GhostDeltaOnTheHost,
                         ::testing::Values(MapRow{sim::VariableType::Float, true, true},
                                           MapRow{sim::VariableType::Float, false, false},
                                           MapRow{sim::VariableType::Int, true, false},
                                           MapRow{std::nullopt, true, false}));

}  // namespace
