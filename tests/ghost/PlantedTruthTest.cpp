// lumaro-ghost against planted truth: runs recorded and exported by the plugin on the stand-in host, driven
// on the racing line of Lakeside Circuit, B with a known loss planted over 42-58% of its second lap, at the
// game ticks (8, 16 and 33 ms) and sample phases a player's machine gives, on A's line or another. The
// analysis must report the loss in the sectors the stretch covers (the fifth and sixth tenths of lap 2)
// within 1% of its size, and every other sector within 5 ms. Then the runs that went wrong before: a run cut
// short, an excursion off the track in A's first lap, and a steep loss across a sector line.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <numbers>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "library/ghostfile/GhostFrame.h"
#include "sim/Driver.h"
#include "sim/Game.h"
#include "sim/RacingLine.h"
#include "sim/Track.h"
#include "support/TempFolder.h"
#include "tools/ghost/GhostTool.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/picture/LabelLayout.h"
#include "tools/ghost/picture/SvgDocument.h"
#include "tools/host/Script.h"
#include "tools/host/Session.h"

using namespace lumaro_ghost;

namespace {

// Three laps on the racing line, recorded from the line and exported as NAME.ghost. kept: the share of its
// frame lines the file keeps, its header as it was (below 1: a file cut short).
std::string record(const TempFolder& root, const std::string& name, double tickMs, const std::string& options,
                   double kept = 1.0, double* pastLine = nullptr) {
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
  std::string file = (session.game().ghostFolder() / (name + ".ghost")).string();
  if (pastLine != nullptr) {
    const sim::Track& line = session.driver()->racingLine().path();
    const GhostFrame first = loadGhost(file).ghost->content.frames.front();
    *pastLine = (line.nearestDistance(first.x, first.y) - line.lineDistance()) / line.length();
  }
  if (kept < 1.0) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string text; std::getline(in, text);) lines.push_back(text + "\n");
    const auto frames = static_cast<std::size_t>(std::lround(static_cast<double>(lines.size() - 1) * kept));
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (std::size_t i = 0; i <= frames; ++i) out << lines[i];
  }
  return file;
}

struct Outcome {
  int status = 0;
  std::string out, err;
};
Outcome tool(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  const int status = runGhostTool(arguments, out, err);
  return {status, out.str(), err.str()};
}

// The labels of a picture's map that lie across a run's line or a sector line: those of the largest loss's
// name and of the sector numbers into whose box any half pixel of a line drawn on the map falls.
std::vector<std::string> labelsAcrossLines(const std::string& svg) {
  std::vector<std::pair<Pixel, Pixel>> segments;
  const std::string map = svg.substr(0, svg.find("<ellipse"));
  const std::regex tick("<line x1=\"([0-9.]+)\" y1=\"([0-9.]+)\" x2=\"([0-9.]+)\" y2=\"([0-9.]+)\"");
  const std::sregex_iterator end;
  // Path data is read by hand: a regular expression over a long path overflows the stack.
  for (std::size_t at = map.find("<path d=\""); at != std::string::npos; at = map.find("<path d=\"", at + 1)) {
    std::istringstream d(map.substr(at + 9, map.find('"', at + 9) - at - 9));
    Pixel last{}, here{};
    for (char op = 0; d >> op >> here.x >> here.y; last = here)
      if (op == 'L') segments.emplace_back(last, here);
  }
  for (std::sregex_iterator at(map.begin(), map.end(), tick); at != end; ++at) {
    segments.push_back({{std::stod((*at)[1]), std::stod((*at)[2])}, {std::stod((*at)[3]), std::stod((*at)[4])}});
  }
  const std::regex label(
      "<text x=\"([0-9.]+)\" y=\"([0-9.]+)\" text-anchor=\"(start|middle|end)\" font-size=\"(1[23])\" "
      "font-weight=\"bold\"[^>]*>(largest loss [^<]*|[0-9]+)</text>");
  std::vector<std::string> crossed;
  for (std::sregex_iterator at(svg.begin(), svg.end(), label); at != end; ++at) {
    const std::string anchor = (*at)[3], text = (*at)[5];
    const Box box = textBox(text, std::stod((*at)[4]), {{std::stod((*at)[1]), std::stod((*at)[2])}, anchor}, true);
    bool across = false;
    for (const auto& [from, to] : segments) {
      const double steps = std::ceil(std::hypot(to.x - from.x, to.y - from.y) * 2.0) + 1.0;
      for (double i = 0; i <= steps && !across; ++i) {
        const double x = from.x + (to.x - from.x) * i / steps, y = from.y + (to.y - from.y) * i / steps;
        across = x > box.left && x < box.right && y > box.top && y < box.bottom;
      }
    }
    if (across) crossed.push_back(text);
  }
  return crossed;
}

// The share of a planted loss lost by a share of its stretch: it grows smoothly from nothing to all of it.
double lostBy(double share) { return share - std::sin(2.0 * std::numbers::pi * share) / (2.0 * std::numbers::pi); }

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

TEST(PlantedTruth, ARunCutShortIsNamedAndComparedOverTheLapsBothCompleteAndFailsUnlessForced) {
  TempFolder root;
  const std::string a = record(root, "A", 16, "phase 0");
  // 0.737 s lost in lap 3, which the file no longer holds: the laps both runs complete are level.
  const std::string b = record(root, "B", 16, "phase 0.5 style racing lose 0.737 lap 3 42-58%", 0.7);
  const std::string note =
      "B completes 2 of the 3 laps its header names (its file is cut short or its run ended "
      "early): laps 1 and 2, which every run completes, are ";
  Outcome outcome = tool({"compare", a, b});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.out.find(note + "compared\n"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find("\nB against A: 0.00"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.err.find("(--force compares them so and exits 0)"), std::string::npos) << outcome.err;
  outcome = tool({"compare", a, b, "--force", "--json"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.out.find("\"notes\": [\"" + note + "compared\"]"), std::string::npos) << outcome.out;
  EXPECT_EQ(outcome.out.find("\"b_lap\": 3, \"a_s\""), std::string::npos);
  outcome = tool({"plot", a, b, "-o", "-"});
  EXPECT_EQ(outcome.status, 1);
  // Wider than the picture, the note goes on two lines, cut at a blank.
  EXPECT_NE(outcome.out.find(">" + note.substr(0, note.size() - 5) + "<"), std::string::npos);
  EXPECT_NE(outcome.out.find(">are drawn<"), std::string::npos);
  // The picture of the whole runs: no label of its map lies across a line.
  outcome = tool({"plot", a, record(root, "C", 16, "phase 0.5 style racing lose 0.737 lap 3 42-58%"), "-o", "-"});
  EXPECT_EQ(labelsAcrossLines(outcome.out), std::vector<std::string>());
  EXPECT_NE(outcome.out.find(">largest loss 0.3"), std::string::npos);
  outcome = tool({"html", a, b, "-o", "-", "--force"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.out.find(note + "replayed\""), std::string::npos);
}

TEST(PlantedTruth, AnExcursionInTheReferenceRunsFirstLapAndASteepLossAcrossASectorLineAreSplitAsDriven) {
  struct Planted {
    double tickA, phaseA;
    std::string mistakesA, mistakesB;
    int lap;  // B's time less A's over lap's stretch from..to (shares of the lap): lost seconds
    double lost, from, to;
  };
  const Planted cases[] = {
      // A runs 700 units wide and loses 2 s over 36-48% of its first lap; B is clean.
      {16, 0.0, "wide 700 lap 1 36-48% lose 2 lap 1 36-48%", "", 1, -2.0, 0.36, 0.48},
      {33, 0.7, "wide 700 lap 1 36-48% lose 2 lap 1 36-48%", "", 1, -2.0, 0.36, 0.48},
      // B loses 1 s over 49-51% of lap 2, across the fifth sector line. The lines are measured from the rearmost
      // of the runs' first frames, each up to a tick past the map's line (past, below): the split is exact
      // there, whatever the phase.
      {33, 0.0, "", "lose 1 lap 2 49-51%", 2, 1.0, 0.49, 0.51},
      {33, 0.5, "", "lose 1 lap 2 49-51%", 2, 1.0, 0.49, 0.51},
      {33, 1.0, "", "lose 1 lap 2 49-51%", 2, 1.0, 0.49, 0.51},
  };
  TempFolder root;
  for (const Planted& c : cases) {
    SCOPED_TRACE(::testing::Message() << "A " << c.tickA << " ms phase " << c.phaseA << " " << c.mistakesA << ", B "
                                      << c.mistakesB);
    std::vector<LoadedGhost> ghosts;
    double pastA = 0.0, pastB = 0.0;
    for (const std::string& file :
         {record(root, "A", c.tickA, "phase " + std::to_string(c.phaseA) + " style racing " + c.mistakesA, 1.0, &pastA),
          record(root, "B", 16, "phase 0.3 style racing " + c.mistakesB, 1.0, &pastB)}) {
      ghosts.push_back(std::move(*loadGhost(file).ghost));
    }
    const double past = std::min(pastA, pastB);
    const Comparison comparison = compareRuns(analyseGhosts(ghosts), 0, 1);
    ASSERT_EQ(comparison.sectors.size(), 30u);
    for (const SectorDelta& sector : comparison.sectors) {
      const double share = sector.lapA != c.lap
                               ? 0.0
                               : lostBy(std::clamp((sector.to + past - c.from) / (c.to - c.from), 0.0, 1.0)) -
                                     lostBy(std::clamp((sector.from + past - c.from) / (c.to - c.from), 0.0, 1.0));
      EXPECT_NEAR(sector.delta, c.lost * share, std::max(0.01 * std::fabs(c.lost * share), 0.005))
          << "lap " << sector.lapA << " sector " << sector.sector << ", the rearmost first frame " << past
          << " lap past the line";
    }
    const std::optional<SectorDelta>& largest = c.lost > 0 ? comparison.largestLoss : comparison.largestGain;
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->lapA, c.lap);
    EXPECT_FALSE(c.lost > 0 ? comparison.largestGain : comparison.largestLoss);
    std::filesystem::remove_all(root.path() / "A");
    std::filesystem::remove_all(root.path() / "B");
  }
}
