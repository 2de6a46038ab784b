// The plugin on a host whose SDK library offers no clock function (the stand-in host built without it):
// the lookup finds nothing and every time the plugin takes comes from the system clock. Only bounds are
// checked: a reading lies between two system-clock readings taken around it, and frame times never go back.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/HostClock.h"
#include "library/ghostfile/GhostFrame.h"
#include "plugin/ClockTicks.h"
#include "plugin/HostSdkSymbol.h"
#include "plugin/Lumaro.h"
#include "race/RunLife.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

std::int64_t systemTicks() {
  return std::chrono::duration_cast<SystemTicks>(std::chrono::system_clock::now().time_since_epoch()).count();
}

TEST(SystemClockFallback, TheHostOffersNoClockFunction) {
  EXPECT_EQ(findHostSdkSymbol(Tessaro::hostClockSymbol), nullptr);
}

TEST(SystemClockFallback, PlaybackAndTheRunAreTimedByTheSystemClock) {
  PluginHarness host;
  host.game().loadMap(sim::workshopMap("Speedway"));
  host.game().runFor(0.5);
  host.plugin().ghostFrames = {GhostFrame{0, 0, 0, 1, 2, 3, 0}, GhostFrame{0, 0, 0, 4, 5, 6, 60'000},
                               GhostFrame{0, 0, 0, 7, 8, 9, 120'000}};
  const std::int64_t before = systemTicks();
  host.run("lm_play");
  const std::int64_t after = systemTicks();
  EXPECT_GE(host.plugin().playbackStart, before);
  EXPECT_LE(host.plugin().playbackStart, after);
  EXPECT_NE(host.plugin().playbackStart, host.game().now()) << "not the host's virtual time";

  // A run sampled on the system clock: frame times from 0 on, never going back.
  host.run("lm_record");
  host.game().crossStartLine();
  host.game().tick();
  host.game().runFor(0.5);
  const std::vector<GhostFrame>& frames = host.plugin().runLife.frames();
  ASSERT_FALSE(frames.empty());
  EXPECT_GE(frames.front().time, 0);
  EXPECT_TRUE(std::is_sorted(frames.begin(), frames.end(),
                             [](const GhostFrame& a, const GhostFrame& b) { return a.time < b.time; }));
}

}  // namespace
