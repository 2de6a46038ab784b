// The race finish: the reported time, what the finish leaves behind, a race with no frame at all, and the
// automatic export rule.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/Lumaro.h"
#include "race/AutoExport.h"
#include "race/RaceFixture.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

using Lines = std::vector<std::string>;

class RaceFinishTest : public RaceTest {
protected:
  // Records a race from a fresh lap counter whose finish handler runs `span` clock ticks after the start:
  // a long tick, the crossing seen by the next poll, and the tick that runs the sampler and the finish.
  // Returns the race time the finish must report.
  std::int32_t finishRaceAfter(std::int64_t span, const char* command = "lm_record") {
    // The sample scheduled at an earlier finish runs out first; a recording armed before it ran would
    // carry it on into the new run.
    game().runFor(0.1);
    game().resetBall();
    host.run(command);
    game().crossStartLine();
    const std::int64_t start = ticks({83'333});
    ticks({span - 100'000});
    game().crossStartLine();
    ticks({50'000, 50'000});
    EXPECT_EQ(game().now() - start, span);
    return expectedMilliseconds(span);
  }

  std::filesystem::path exportedFile() { return game().ghostFolder() / "My-PB.ghost"; }

  // The exported file's lines without their line ends.
  Lines fileLines() {
    std::ifstream in(exportedFile(), std::ios::binary);
    Lines result;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      result.push_back(line);
    }
    return result;
  }

  static std::string fieldOf(const std::string& line, int index) {
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) begin = line.find(',', begin) + 1;
    return line.substr(begin, line.find(',', begin) - begin);
  }
};

TEST_F(RaceFinishTest, TheRaceTimeIsTheLastFramesWithAPointAfterIt) {
  loadGhost();
  const std::int32_t raceTime = finishRaceAfter(834'560'000, "lm_challenge");
  EXPECT_EQ(raceTime, 83'456);
  const Lines logged = lines();
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.back(), "Race ended in 01:23:456.");

  // Recording is off, the lap stays at 0, the challenge flag and the run stay for a manual export.
  EXPECT_EQ(raceState(), "finished");
  EXPECT_TRUE(plugin().isChallenging);
  ASSERT_EQ(frames().size(), 4u);
  EXPECT_EQ(frames().back().time, 83'456);
}

TEST_F(RaceFinishTest, ARaceWithNoFrameReportsThatAndExportsNothing) {
  // Paused from the start to the finish, the run stays empty.
  host.run("lm_autoexport 1");
  game().setPaused(true);
  finishRaceAfter(300'000);
  EXPECT_TRUE(frames().empty());
  const Lines logged = lines();
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.back(), "Race ended with no recorded run.");
  EXPECT_FALSE(contains(logged, "No Ghost to export."));
  EXPECT_FALSE(std::filesystem::exists(exportedFile()));
  EXPECT_EQ(raceState(), "finished");
}

TEST(AutoExportRule, RunsStrictlyUnderTheLimitInWholeSeconds) {
  EXPECT_TRUE(isUnderExportLimit(19'999, 20));
  EXPECT_FALSE(isUnderExportLimit(20'000, 20));
  EXPECT_FALSE(isUnderExportLimit(20'001, 20));
  EXPECT_TRUE(isUnderExportLimit(0, 1));
}

TEST(AutoExportRule, LargeLimitsAreScaledWithoutOverflow) {
  // 3000000 s is 3e9 ms: past the 32-bit range, where a 32-bit product would wrap to a negative limit.
  EXPECT_TRUE(isUnderExportLimit(INT_MAX, 3'000'000));
  EXPECT_TRUE(isUnderExportLimit(INT_MAX, INT_MAX));
  EXPECT_TRUE(isUnderExportLimit(INT_MAX, 2'147'484));
  EXPECT_FALSE(isUnderExportLimit(INT_MAX, 2'147'483));
}

TEST_F(RaceFinishTest, TheRunIsFrozenAtTheFinishSoBothExportsAgree) {
  host.run("lm_autoexport 1");
  const std::int32_t raceTime = finishRaceAfter(199'990'000);
  EXPECT_EQ(raceTime, 19'999);
  const Lines logged = lines();
  ASSERT_GE(logged.size(), 2u);
  EXPECT_EQ(logged[logged.size() - 2], "Race ended in 00:19:999.");
  EXPECT_EQ(logged.back(), "Exported to ./tessaro/data/Ghosts/My-PB.ghost.");
  Lines file = fileLines();
  ASSERT_EQ(file.size(), 1u + 4u);
  EXPECT_EQ(fieldOf(file[0], 2), "19999");
  EXPECT_EQ(fieldOf(file.back(), 0), "19999");

  // The sample already scheduled at the finish belongs to a finished run and appends nothing: the run
  // stays as it stood at the finish, and a manual export writes exactly what the automatic one wrote.
  ticks({50'000});
  ASSERT_EQ(frames().size(), 4u);
  EXPECT_EQ(frames().back().time, 19'999);
  host.run("lm_export");
  EXPECT_EQ(fileLines(), file);
}

}  // namespace
