// The stand-in host on the freeplay workshop map "Speedway", settled past the spawn that loading fires,
// with what the race tests share: the race state read off the plugin, the lap counter, explicit game
// ticks, the lines logged and the timers the plugin asked the host for.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/ghostfile/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "race/RunLife.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "support/PluginHarness.h"

class RaceTest : public ::testing::Test {
protected:
  PluginHarness host;

  RaceTest() { loadMap(sim::workshopMap("Speedway")); }

  Lumaro& plugin() { return host.plugin(); }
  sim::Game& game() { return host.game(); }
  // The recorded run (a finished one), and the frames of the run under way.
  const std::vector<GhostFrame>& frames() { return host.plugin().recordedFrames; }
  std::vector<GhostFrame>& runFrames() { return host.plugin().runLife.frames(); }

  // Loads a map and lets the timers its load and spawn set run out: the settings page after 0.1 s and the
  // automatic-recording check after 0.2 s (which, with lm_autorecord off, leaves the plugin idle).
  void loadMap(const sim::MapDefinition& map) {
    game().loadMap(map);
    game().runFor(0.3);
    host.newLines();
  }

  // Lines logged since the last call.
  std::vector<std::string> lines() { return host.newLines(); }

  int lap() { return host.variable("LapNb", sim::VariableType::Int).intValue; }

  // The race states: the recording switch and currentLap. "racing" also covers a finish that has been
  // seen but not yet handled; "finished" also covers a race stopped from the console or by a spawn.
  std::string raceState() {
    const bool recording = host.cvar("lm_isrecording") == "1";
    const int current = plugin().currentLap;
    if (!recording && current == -1) return "idle";
    if (recording && current == -1) return "armed";
    if (recording && current == 0) return "racing";
    if (!recording && current == 0) return "finished";
    return "recording " + std::string(recording ? "1" : "0") + ", currentLap " + std::to_string(current);
  }

  // Arms a plain recording, crosses the line and runs the tick whose poll sees the start. Returns the
  // clock of that tick: the run's start time.
  std::int64_t startRace() {
    host.run("lm_record");
    game().crossStartLine();
    game().tick();
    return game().now();
  }

  // Runs the given tick lengths in turn; returns the clock after the last one.
  std::int64_t ticks(std::initializer_list<std::int64_t> lengths) {
    for (std::int64_t length : lengths) game().tick(length);
    return game().now();
  }

  // Host calls from a mark on, and how many of them set a timer of the given delay ("0.001", "0.1").
  std::size_t mark() { return game().hostCalls().size(); }
  int timersSetSince(std::size_t from, const std::string& delay) {
    const auto& calls = game().hostCalls();
    return static_cast<int>(
        std::count(calls.begin() + static_cast<std::ptrdiff_t>(from), calls.end(), "SetTimeout " + delay));
  }

  // Leaves state behind that the run reset clears, to tell afterwards whether a reset happened.
  std::size_t leaveRunState() {
    plugin().isChallenging = true;
    plugin().isPlaying = true;
    plugin().recordedFrames = {GhostFrame{1, 2, 3, 4, 5, 6, 7}};
    return mark();
  }
  void expectRunReset(std::size_t from) {
    EXPECT_EQ(host.cvar("lm_isrecording"), "0");
    EXPECT_EQ(plugin().currentLap, -1);
    EXPECT_FALSE(plugin().isChallenging);
    EXPECT_FALSE(plugin().isPlaying);
    EXPECT_TRUE(frames().empty());
    EXPECT_EQ(timersSetSince(from, "0.1"), 1) << "the reset schedules the settings page";
  }
  void expectNoRunReset(std::size_t from) {
    EXPECT_TRUE(plugin().isChallenging);
    EXPECT_TRUE(plugin().isPlaying);
    EXPECT_EQ(timersSetSince(from, "0.1"), 0);
  }

  // A loaded ghost of three frames, for the challenge command.
  void loadGhost() {
    plugin().ghostFrames = {GhostFrame{0, 0, 0, 10, 20, 30, 0}, GhostFrame{0, 0, 0, 11, 21, 31, 100},
                            GhostFrame{0, 0, 0, 12, 22, 32, 200}};
  }
};

// The run time of a span of 100-ns ticks, worked out as the recorder must: the span as a float, divided
// by 10000 in float, cut toward zero.
inline std::int32_t expectedMilliseconds(std::int64_t ticks) {
  return static_cast<std::int32_t>(static_cast<float>(ticks) / 10000.0f);
}

inline bool contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}
