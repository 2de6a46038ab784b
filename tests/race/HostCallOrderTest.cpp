// The orders the race code keeps with its host: which call comes first, with which log flag and delay,
// and what is read before the clock is taken. Each test compares the host-call record, or the SDK calls
// as the stand-in host saw them, with the one order that is right.
#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/Lumaro.h"
#include "race/RaceFixture.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

using Calls = std::vector<std::string>;

class HostCallOrderTest : public RaceTest {
protected:
  Calls callsSince(std::size_t from) {
    const auto& calls = game().hostCalls();
    return Calls(calls.begin() + static_cast<std::ptrdiff_t>(from), calls.end());
  }
  static Calls only(const Calls& calls, const std::string& prefix) {
    Calls kept;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(kept),
                 [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
    return kept;
  }
  static Calls statusOf(const std::string& message) {
    return {"log " + message, "executeCommand lm_log \"" + message + "\" | log true",
            "executeCommand cl_settings_refreshplugins | log true"};
  }
  static Calls joined(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }
};

TEST_F(HostCallOrderTest, AStatusGoesToTheConsoleThenToLmLogThenToThePage) {
  const auto from = mark();
  plugin().logStatus("Hello there.");
  EXPECT_EQ(callsSince(from), statusOf("Hello there."));
  ASSERT_TRUE(game().shownPage());
  EXPECT_EQ(game().shownPage()->back(), "9|Hello there.") << "the page was written after lm_log was set";
}

TEST_F(HostCallOrderTest, TheRecordCommandAnnouncesThenArmsThenWatchesAMillisecondLater) {
  const auto from = mark();
  host.run("lm_record");
  EXPECT_EQ(callsSince(from), joined({statusOf("Recording starts and ends when you cross the finish line."),
                                      {"executeCommand lm_isrecording 1 | log true", "SetTimeout 0.001"}}));
}

TEST_F(HostCallOrderTest, TheChallengeCommandArmsThenWatchesThenAnnounces) {
  loadGhost();
  const auto from = mark();
  host.run("lm_challenge");
  EXPECT_EQ(callsSince(from), joined({{"executeCommand lm_isrecording 1 | log true", "SetTimeout 0.001"},
                                      statusOf("Challenging starts and ends when you cross the finish line.")}));
}

TEST_F(HostCallOrderTest, AChallengeJoinsAnArmedRunOnlyPastTheSequenceAndTheLapCounter) {
  loadGhost();
  host.run("lm_record");
  Calls seen;
  game().setHostCallObserver([&](const char* name) { seen.emplace_back(name); });
  host.run("lm_challenge");
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(Calls(seen.begin(), seen.begin() + 3),
            (Calls{"IsInFreeplay", "GetMainSequence", "GetAllSequenceVariables"}));
  // A counter that has moved since the run was armed refuses the challenge, armed run or not.
  host.setLap(0);
  lines();
  host.run("lm_challenge");
  game().setHostCallObserver({});
  EXPECT_EQ(lines(), std::vector<std::string>{"Reset the lap counter (Reset Ball or restart the map)."});
}

TEST_F(HostCallOrderTest, ThePageGeneratorAsksForItsFileFirst) {
  std::vector<std::string> seen;
  game().setHostCallObserver([&](const char* name) { seen.emplace_back(name); });
  plugin().updateGhostList();
  game().setHostCallObserver({});
  EXPECT_EQ(seen.at(0), "GetTessaroPath");
}

TEST_F(HostCallOrderTest, TheRecordCommandTestsTheSwitchBeforeItLooksForTheSequence) {
  sim::MapDefinition map = sim::workshopMap("Bare");
  map.hasMainSequence = false;
  map.variables.clear();
  loadMap(map);
  host.run("lm_isrecording 1");
  Calls seen;
  game().setHostCallObserver([&](const char* name) { seen.emplace_back(name); });
  host.run("lm_record");
  game().setHostCallObserver({});
  EXPECT_EQ(lines(), std::vector<std::string>{"Already recording a run, restart the map."});
  // Refused on the switch alone: the sequence is not asked for before the refusal (the page it writes
  // then reads the map's name).
  ASSERT_GE(seen.size(), 4u);
  EXPECT_EQ(Calls(seen.begin(), seen.begin() + 4), (Calls{"IsInFreeplay", "getCvar", "getBoolValue", "log"}));
}

TEST_F(HostCallOrderTest, TheFinishEndsRecordingReportsAndEndsWithTheGhostList) {
  startRace();
  game().runTicks(2);
  lines();
  const auto from = mark();
  plugin().onRaceFinished();
  const std::string ended = "Race ended in 00:00:016.";
  EXPECT_EQ(lines(), std::vector<std::string>{ended});
  EXPECT_EQ(callsSince(from), joined({{"executeCommand lm_isrecording 0 | log true"},
                                      statusOf(ended),
                                      {"executeCommand cl_settings_refreshplugins | log true"}}));
}

TEST_F(HostCallOrderTest, TheResetSchedulesThePageAfterTheColourStep) {
  const auto from = mark();
  plugin().runReset();
  EXPECT_EQ(only(callsSince(from), "SetTimeout"), (Calls{"SetTimeout 0.01", "SetTimeout 0.1"}));
}

TEST_F(HostCallOrderTest, TheSpawnTurnsTheSwitchOffOnlyWhenItIsOn) {
  auto from = mark();
  game().fireEvent(sim::playerSpawnEvent);
  EXPECT_EQ(callsSince(from), Calls{"SetTimeout 0.2"});
  game().runFor(0.3);

  host.run("lm_record");
  from = mark();
  game().fireEvent(sim::playerSpawnEvent);
  EXPECT_EQ(callsSince(from),
            (Calls{"executeCommand lm_isrecording 0 | log true", "log The car respawned. The run was not recorded.",
                   "executeCommand lm_log \"The car respawned. The run was not recorded.\" | log true",
                   "executeCommand cl_settings_refreshplugins | log true", "SetTimeout 0.2"}));
}

TEST_F(HostCallOrderTest, AutomaticRecordingParksTheGhostThenReadsTheChoiceThenSchedulesTheRecording) {
  host.run("lm_ghostfilepath Ghost.ghost");
  loadGhost();
  std::vector<std::string> seen;
  game().setHostCallObserver([&](const char* name) { seen.emplace_back(name); });
  host.run("lm_autorecord 1");
  game().setHostCallObserver({});
  // The stop command's two writes, the chosen ghost's name, then the record command 0.1 s later.
  const Calls tail{"SetVector", "SetVector", "getCvar", "getStringValue", "SetTimeout"};
  ASSERT_GE(seen.size(), tail.size());
  EXPECT_EQ(Calls(seen.end() - static_cast<std::ptrdiff_t>(tail.size()), seen.end()), tail);
  EXPECT_EQ(game().hostCalls().back(), "SetTimeout 0.1");
  EXPECT_TRUE(plugin().isChallenging) << "a ghost chosen and loaded makes a challenge";
}

TEST_F(HostCallOrderTest, TheSamplerReadsLocationThenRotationAndOnlyThenTakesTheClock) {
  host.run("lm_record");
  game().crossStartLine();
  // Every SDK call now takes a millisecond: a frame's time counts the calls made since the run's start.
  game().setClockStepPerHostCall(10'000);
  std::vector<std::string> seen;
  game().setHostCallObserver([&](const char* name) { seen.emplace_back(name); });
  game().tick();
  game().setHostCallObserver({});
  game().setClockStepPerHostCall(0);

  ASSERT_EQ(runFrames().size(), 1u);
  // After the start is taken: the car, the pause flag, the location, the rotation, then the clock.
  EXPECT_EQ(runFrames()[0].time, 4);
  const Calls sample{"GetLocalCar", "IsPaused", "GetLocation", "GetRotation", "getCvar", "getBoolValue", "SetTimeout"};
  EXPECT_NE(std::search(seen.begin(), seen.end(), sample.begin(), sample.end()), seen.end());
}

}  // namespace
