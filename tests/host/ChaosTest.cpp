// Chaos runs: the storm a seed makes, the invariant checks that must catch a broken rule, and the delta
// debugging that cuts a failing storm down to the steps that matter.
#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "tools/host/Chaos.h"
#include "tools/host/MapFile.h"
#include "tools/host/Runner.h"
#include "tools/host/Script.h"
#include "tools/host/Session.h"

using namespace lumaro_host;

namespace {

using Lines = std::vector<std::string>;

SessionSettings settingsIn(const TempFolder& root) {
  SessionSettings settings;
  settings.root = root.path();
  settings.plugin = LUMARO_PLUGIN_PATH;
  settings.mapsFolder = LUMARO_MAPS_FOLDER;
  return settings;
}

TEST(ChaosSteps, ASeedGivesTheSameStormEveryTimeAndEveryLineIsAStep) {
  const Lines storm = chaosSteps(7, 400);
  EXPECT_EQ(storm, chaosSteps(7, 400));
  EXPECT_NE(storm, chaosSteps(8, 400));
  ASSERT_EQ(storm.size(), 400u);
  EXPECT_EQ(storm[0], "map speedway");
  for (std::size_t i = 0; i < storm.size(); ++i) {
    const ParsedLine parsed = parseStep(storm[i], static_cast<int>(i + 1));
    EXPECT_TRUE(parsed.step.has_value()) << storm[i] << ": " << parsed.error;
  }
  // The storm reaches every kind of step it is made of.
  for (const char* kind : {"console lm_record", "console lm_challenge", "console lm_export", "respawn", "pause",
                           "remove-car", "main-menu", "drive 1 laps"}) {
    EXPECT_TRUE(std::any_of(storm.begin(), storm.end(), [&](const std::string& line) { return line.find(kind) == 0; }))
        << kind;
  }
}

TEST(ChaosRun, AGhostFileChangedWithoutAnExportIsCaughtAtItsStep) {
  TempFolder root;
  const std::string stranger = std::string(LUMARO_SCENARIOS_FOLDER) + "/ghosts/Ann-Speedway-3.ghost";
  const auto violation = runChaosSteps(
      settingsIn(root), {"map speedway", "wait 1", "copy " + stranger + " tessaro/data/Ghosts/Ann.ghost", "wait 1"});
  ASSERT_TRUE(violation.has_value());
  EXPECT_EQ(violation->step, 2u);
  EXPECT_EQ(violation->what, "the ghost file Ann.ghost appeared without a reported export");
}

TEST(ChaosRun, ARecordedAndExportedRunHoldsEveryInvariant) {
  TempFolder root;
  const auto violation = runChaosSteps(settingsIn(root), {"map speedway", "wait 1", "console lm_record",
                                                          "drive 1 laps lap-time 5", "console lm_export"});
  EXPECT_FALSE(violation.has_value()) << violation->what;
}

TEST(ChaosRun, TheShortestListReplaysAsAScenarioWhenTheGameRefusedItsLastStep) {
  TempFolder root;
  const Lines replay = replayScenario(settingsIn(root), {"map speedway", "pause", "drive 2 seconds"}, false);
  EXPECT_EQ(replay.back(), "# drive 2 seconds    (the game refused it: the game is paused (unpause first))");
  std::string text;
  for (const std::string& line : replay) text += "  " + line + "\n";
  const Script script = parseScript(text, "replay.scenario");
  ASSERT_TRUE(script.errors.empty()) << script.errors.front();
  std::ostringstream transcript, errors;
  Session session(settingsIn(root), transcript);
  EXPECT_TRUE(runScript(session, script, root.path(), errors).passed) << errors.str();
}

TEST(ShortestFailing, KeepsOnlyTheStepsTheFailureNeeds) {
  Lines storm;
  for (int i = 0; i < 60; ++i) storm.push_back("step " + std::to_string(i));
  // Fails when step 11 comes before step 47, whatever else is there.
  int tries = 0;
  const auto fails = [&](const Lines& lines) {
    ++tries;
    const auto first = std::find(lines.begin(), lines.end(), "step 11");
    return first != lines.end() && std::find(first, lines.end(), "step 47") != lines.end();
  };
  EXPECT_EQ(shortestFailing(storm, fails), (Lines{"step 11", "step 47"}));
  EXPECT_LT(tries, 200);
  EXPECT_EQ(shortestFailing({"step 11", "step 47"}, fails), (Lines{"step 11", "step 47"}));
  EXPECT_EQ(shortestFailing({"step 3"}, [](const Lines&) { return true; }), Lines{});
}

}  // namespace
