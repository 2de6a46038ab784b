// lm_record and lm_challenge: every refusal with its message and whether the run reset follows, and the
// asymmetries between the two commands.
#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/Lumaro.h"
#include "race/RaceFixture.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "support/PluginHarness.h"

namespace {

using Lines = std::vector<std::string>;
using sim::VariableType;

class RecordCommandTest : public RaceTest {
protected:
  // The index of the first console command line run that starts with the given text.
  std::ptrdiff_t commandIndex(const std::string& prefix) {
    const auto& run = host.console().commandsRun();
    auto found =
        std::find_if(run.begin(), run.end(), [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    return found == run.end() ? -1 : found - run.begin();
  }
};

TEST_F(RecordCommandTest, RecordArmsBeforeTheLineAndAnnouncesBeforeArming) {
  host.run("lm_record");
  EXPECT_EQ(lines(), Lines{"Recording starts and ends when you cross the finish line."});
  EXPECT_EQ(raceState(), "armed");
  EXPECT_EQ(game().pendingTimers(), 1u) << "the first poll ran at once and set the next";
  EXPECT_LT(commandIndex("lm_log \"Recording starts"), commandIndex("lm_isrecording 1"));
}

TEST_F(RecordCommandTest, ChallengeArmsBeforeItAnnounces) {
  loadGhost();
  host.run("lm_challenge");
  EXPECT_EQ(lines(), Lines{"Challenging starts and ends when you cross the finish line."});
  EXPECT_EQ(raceState(), "armed");
  EXPECT_TRUE(plugin().isChallenging);
  EXPECT_LT(commandIndex("lm_isrecording 1"), commandIndex("lm_log \"Challenging starts"));
}

TEST_F(RecordCommandTest, OutsideFreeplayBothCommandsRefuseAndReset) {
  loadGhost();
  game().setFreeplay(false);
  for (const char* command : {"lm_record", "lm_challenge"}) {
    SCOPED_TRACE(command);
    const auto from = leaveRunState();
    host.run(command);
    EXPECT_EQ(lines(), Lines{"Make sure you're in a workshop map."});
    expectRunReset(from);
  }
}

TEST_F(RecordCommandTest, RecordTwiceBeforeTheLineKeepsTheFirstArmed) {
  host.run("lm_record");
  const auto from = leaveRunState();
  plugin().isChallenging = false;
  host.run("lm_record");
  EXPECT_EQ(lines().back(), "Already recording a run, restart the map.");
  EXPECT_EQ(frames().size(), 1u) << "a refusal changes nothing";
  EXPECT_EQ(timersSetSince(from, "0.1"), 0);
  EXPECT_EQ(game().pendingTimers(), 1u) << "still one watcher";

  game().crossStartLine();
  game().tick();
  EXPECT_EQ(lines(), Lines{"Race started."});
  EXPECT_EQ(raceState(), "racing");
}

TEST_F(RecordCommandTest, NoMainSequenceIsANoKismetFailure) {
  sim::MapDefinition map = sim::workshopMap("Bare");
  map.hasMainSequence = false;
  // No ticks on this map: in freeplay without a sequence the colour step repeats the failure every 0.01 s.
  game().loadMap(map);
  lines();
  loadGhost();
  for (const char* command : {"lm_record", "lm_challenge"}) {
    SCOPED_TRACE(command);
    const auto from = leaveRunState();
    host.run(command);
    EXPECT_EQ(lines(), Lines{"No Kismet found for this map, are you in a workshop map that supports Lumaro?"});
    expectRunReset(from);
  }
}

TEST_F(RecordCommandTest, AMissingLapCounterIsReportedByRecordAndIgnoredByChallenge) {
  sim::MapDefinition map = sim::workshopMap("Floaty");
  map.variables[0].type = VariableType::Float;  // LapNb of the wrong type counts as missing
  loadMap(map);

  auto from = leaveRunState();
  host.run("lm_record");
  EXPECT_EQ(lines(), Lines{"Didn't find any correct SeqVar. Is this map compatible with Lumaro?"});
  expectNoRunReset(from);
  EXPECT_FALSE(frames().empty()) << "a refused command keeps the finished run";

  loadGhost();
  from = leaveRunState();
  plugin().isChallenging = false;
  host.run("lm_challenge");
  EXPECT_TRUE(lines().empty());
  EXPECT_TRUE(plugin().isChallenging) << "set before the lookup and left set";
  EXPECT_FALSE(frames().empty()) << "a refused command keeps a finished run";
  EXPECT_EQ(raceState(), "idle");
  EXPECT_EQ(timersSetSince(from, "0.1"), 0);
  EXPECT_EQ(timersSetSince(from, "0.001"), 0);
}

TEST_F(RecordCommandTest, ALapCounterAwayFromMinusOneNeedsAReset) {
  host.setLap(2);
  auto from = leaveRunState();
  host.run("lm_record");
  EXPECT_EQ(lines(), Lines{"Reset the lap counter (Reset Ball or restart the map)."});
  expectNoRunReset(from);
  EXPECT_FALSE(frames().empty()) << "a refused command keeps the finished run";
  EXPECT_EQ(timersSetSince(from, "0.001"), 0) << "nothing armed";

  // The challenge gives the same message without the reset, and stays a challenge.
  loadGhost();
  from = leaveRunState();
  plugin().isChallenging = false;
  host.run("lm_challenge");
  EXPECT_EQ(lines(), Lines{"Reset the lap counter (Reset Ball or restart the map)."});
  expectNoRunReset(from);
  EXPECT_EQ(raceState(), "idle");

  // Until a reset clears it, the record command then arms a challenge.
  host.setLap(-1);
  host.run("lm_record");
  EXPECT_EQ(lines(), Lines{"Challenging starts and ends when you cross the finish line."});
  game().crossStartLine();
  game().tick();
  EXPECT_EQ(lines().front(), "Race started against a ghost.");
}

TEST_F(RecordCommandTest, AChallengeWithoutAGhostSaysSoAndArmsNothing) {
  leaveRunState();
  plugin().isChallenging = false;
  host.run("lm_challenge");
  EXPECT_EQ(lines(), std::vector<std::string>{"No Ghost loaded."});
  EXPECT_FALSE(plugin().isChallenging);
  EXPECT_EQ(frames().size(), 1u) << "the recorded run stays";
  EXPECT_EQ(raceState(), "idle");
}

TEST_F(RecordCommandTest, ChallengeWhileArmedByRecordIsAccepted) {
  // The challenge command looks at currentLap, not at the recording switch.
  loadGhost();
  host.run("lm_record");
  host.run("lm_challenge");
  EXPECT_EQ(lines(), (Lines{"Recording starts and ends when you cross the finish line.",
                            "Challenging starts and ends when you cross the finish line."}));
  EXPECT_TRUE(plugin().isChallenging);
}

TEST_F(RecordCommandTest, AfterAFinishedRaceChallengeIsRefusedWhileRecordIsAccepted) {
  loadGhost();
  startRace();
  game().crossStartLine();
  game().runTicks(3);
  ASSERT_EQ(raceState(), "finished");
  lines();

  const auto from = leaveRunState();
  host.run("lm_challenge");
  EXPECT_EQ(lines(), Lines{"Already recording a run, restart the map."});
  expectNoRunReset(from);
  EXPECT_EQ(frames().size(), 1u);
  EXPECT_EQ(plugin().currentLap, 0);

  // The record command is refused only by the lap counter, which still reads 1, and changes nothing...
  host.run("lm_record");
  EXPECT_EQ(lines(), Lines{"Reset the lap counter (Reset Ball or restart the map)."});
  // ...and accepted once a ball reset puts it back to -1, as the challenge still chosen.
  game().resetBall();
  host.run("lm_record");
  EXPECT_EQ(lines(), Lines{"Challenging starts and ends when you cross the finish line."});
  EXPECT_EQ(raceState(), "armed");
}

}  // namespace
