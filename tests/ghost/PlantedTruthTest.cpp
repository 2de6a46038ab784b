// lumaro-ghost against planted truth: runs recorded and exported by the plugin on the stand-in host, driven
// on the racing line of Lakeside Circuit, B with a known loss planted over 42-58% of its second lap, at the
// game ticks (8, 16 and 33 ms) and sample phases a player's machine gives, on A's line or another. The
// analysis must report the loss in the sectors the stretch covers (the fifth and sixth tenths of lap 2)
// within 1% of its size, and every other sector within 5 ms.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "sim/Game.h"
#include "support/TempFolder.h"
#include "tools/ghost/GhostFileContent.h"
#include "tools/ghost/LoadedGhost.h"
#include "tools/ghost/RunAnalysis.h"
#include "tools/host/Script.h"
#include "tools/host/Session.h"

using namespace lumaro_ghost;

namespace {

// Three laps on the racing line, recorded from the line and exported as NAME.ghost.
std::string record(const TempFolder& root, const std::string& name, double tickMs, const std::string& options) {
  lumaro_host::SessionSettings settings;
  settings.root = root.path() / name;
  settings.plugin = LUMARO_PLUGIN_PATH;
  settings.mapsFolder = LUMARO_MAPS_FOLDER;
  settings.tickLength = std::llround(tickMs * 10'000.0);
  settings.keepRecords = false;
  std::ostringstream transcript;
  lumaro_host::Session session(settings, transcript);
  for (const std::string& line :
       {std::string("map lakeside"), std::string("wait 1"), std::string("console lm_lapNbr 3"),
        std::string("console lm_record"), "drive 3 laps " + options, "console lm_export_filename " + name,
        std::string("console lm_export")}) {
    const lumaro_host::ParsedLine parsed = lumaro_host::parseStep(line, 1);
    EXPECT_TRUE(parsed.step) << line << ": " << parsed.error;
    const lumaro_host::StepOutcome outcome = session.run(*parsed.step, root.path());
    EXPECT_TRUE(outcome.ok) << line << ": " << outcome.seen;
  }
  return (session.game().ghostFolder() / (name + ".ghost")).string();
}

struct Case {
  double tickA, phaseA;
  double tickB, phaseB;
  std::string lineB;  // B's line against A's (the racing line): another offset, a wide hairpin in lap 2
  double lost;        // seconds planted over 42-58% of B's lap 2
};

}  // namespace

TEST(PlantedTruth, ALossIsReportedWhereItWasPlantedAtItsSizeWhateverTheLineTickAndPhase) {
  const Case cases[] = {
      {8, 0.0, 8, 0.0, "", 0.5},
      {8, 0.0, 33, 0.5, "", 0.5},
      {16, 0.25, 8, 1.0, "", 0.5},
      {33, 0.9, 16, 0.1, "", 1.5},
      {8, 0.0, 16, 0.5, "line 150", 0.5},
      {33, 0.5, 8, 0.0, "wide 205 lap 2 38-52%", 0.5},
      {16, 1.0, 33, 0.75, "line -120 wide 205 lap 2 38-52%", 0.5},
      // The same time at every point of the track, 205 units wider in lap 2's hairpin: level everywhere.
      {8, 0.0, 8, 0.6, "wide 205 lap 2 38-52%", 0.0},
  };
  TempFolder root;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "A " << c.tickA << " ms phase " << c.phaseA << ", B " << c.tickB
                                      << " ms phase " << c.phaseB << " " << c.lineB << ", " << c.lost << " s lost");
    std::vector<LoadedGhost> ghosts;
    for (const std::string& file :
         {record(root, "A", c.tickA, "phase " + std::to_string(c.phaseA)),
          record(root, "B", c.tickB,
                 "phase " + std::to_string(c.phaseB) + " style racing " + c.lineB +
                     (c.lost > 0 ? " lose " + std::to_string(c.lost) + " lap 2 42-58%" : ""))}) {
      ghosts.push_back(std::move(*loadGhost(file).ghost));
    }
    const Analysis analysis = analyseGhosts(ghosts);
    const Comparison comparison = compareRuns(analysis, 0, 1);
    ASSERT_EQ(comparison.sectors.size(), 30u);
    double covered = 0.0;
    for (const SectorDelta& sector : comparison.sectors) {
      if (sector.lapA == 2 && (sector.sector == 5 || sector.sector == 6)) {
        covered += sector.delta;
      } else {
        EXPECT_NEAR(sector.delta, 0.0, 0.005) << "lap " << sector.lapA << " sector " << sector.sector;
      }
    }
    EXPECT_NEAR(covered, c.lost, std::max(0.01 * c.lost, 0.005));
    EXPECT_NEAR(comparison.laps[1].delta, c.lost, std::max(0.01 * c.lost, 0.005));
    EXPECT_NEAR(comparison.total, c.lost, std::max(0.01 * c.lost, 0.005));
    if (c.lost > 0.0) {
      ASSERT_TRUE(comparison.largestLoss);
      EXPECT_EQ(comparison.largestLoss->lapA, 2);
    } else {
      EXPECT_FALSE(comparison.largestLoss);
    }
    std::filesystem::remove_all(root.path() / "A");
    std::filesystem::remove_all(root.path() / "B");
  }
}
