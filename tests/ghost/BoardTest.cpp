// lumaro-ghost board against planted truth: a folder of generated runs of one map and lap count with known
// race times, a planted sector loss, the same run shared twice, a tie, a teleport, a cut across the infield,
// time that runs backwards and a top speed far above the rest; a run of another map, and a file no page lists.
// Every rank and every finding is checked against what was planted; then hostile names in every text output.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <numbers>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GeneratedRuns.h"
#include "library/ghostfile/GhostFrame.h"
#include "support/TempFolder.h"
#include "tools/ghost/GhostTool.h"
#include "tools/ghost/analysis/DrivingFindings.h"
#include "tools/ghost/board/BoardAssets.h"
#include "tools/ghost/board/BoardBuild.h"
#include "tools/ghost/board/BoardData.h"
#include "tools/ghost/board/BoardPage.h"
#include "tools/ghost/replay/ReplayAssets.h"
#include "tools/ghost/replay/ReplayPage.h"

using namespace lumaro_ghost;

namespace {

constexpr double pi = std::numbers::pi;

// Three 20-second laps of the 1000-unit circle, but for lap 2, which leaves the circle at a quarter of the lap
// and drives straight across its middle to three quarters, at the same speed: 1141.6 units and 3.634 s shorter.
std::vector<GhostFrame> cutAcross() {
  const double speed = 2 * pi * 1000.0 / 20.0, chord = 2000.0 / speed;
  std::vector<GhostFrame> frames;
  for (std::int32_t ms = 0;; ms += 8) {
    double t = ms / 1000.0, x = 0.0, y = 0.0;
    const double lap2 = t - 20.0;
    if (lap2 > 5.0 && lap2 < 5.0 + chord) {
      x = 0.0, y = 1000.0 - (lap2 - 5.0) * speed;
    } else {
      const double angle = lap2 >= 5.0 + chord ? 2 * pi * (t - chord + 10.0) / 20.0 : 2 * pi * t / 20.0;
      x = 1000.0 * std::cos(angle), y = 1000.0 * std::sin(angle);
    }
    GhostFrame frame;
    frame.time = ms, frame.x = static_cast<float>(x), frame.y = static_cast<float>(y), frame.z = 17.0f;
    frames.push_back(frame);
    if (t >= 60.0 - (10.0 - chord)) return frames;
  }
}

class GhostBoard : public ::testing::Test {
protected:
  void SetUp() override {
    write("Ann.ghost", steadyCircle(1000.0, 20.0, 3, 8), "Ann");
    write("Copy-of-Ann.ghost", steadyCircle(1000.0, 20.0, 3, 8), "Zed");  // the same frames, another name
    write("Dan.ghost", steadyCircle(1000.0, 20.0, 3, 10), "Dan");         // level with Ann
    write("Bob.ghost", steadyCircle(1000.0, 19.5, 3, 8), "Bob");
    write("Cat.ghost", circleWithLoss(20.0, 3, 8, 0.5, 2, 0.4, 0.6), "Cat");
    std::vector<GhostFrame> eve = steadyCircle(1000.0, 20.2, 3, 8);
    eve[30300 / 8].x += 1300.0f;  // half way round lap 2, one frame 1300 units off, the next back
    write("Eve.ghost", eve, "Eve");
    write("Fay.ghost", cutAcross(), "Fay");
    std::vector<GhostFrame> gus = steadyCircle(1000.0, 20.0, 3, 8);
    for (GhostFrame& frame : gus) frame.time -= frame.time > 10000 ? 500 : 0;  // back 492 ms half way round lap 1
    write("Gus.ghost", gus, "Gus");
    write("Ivy.ghost", steadyCircle(1000.0, 40.0 / 3.0, 3, 8), "Ivy");  // 1.5 times everyone's speed
    write("Hal.ghost", steadyCircle(1000.0, 20.0, 3, 8), "Hal", "Other");
    std::ofstream(folder_.path() / "broken.ghost", std::ios::binary) << "Circle,Ann,abc,3-Lap,1.1\r\n0,0,0,0,0,0,0\r\n";
    std::ofstream(folder_.path() / "notes.txt", std::ios::binary) << "not a ghost\n";
  }
  void write(const std::string& name, const std::vector<GhostFrame>& frames, const std::string& player,
             const std::string& map = "Circle") {
    std::ofstream(folder_.path() / name, std::ios::binary) << ghostFileText(frames, map, 3, player);
  }
  Board board(bool plausibleOnly = false) {
    BoardOptions options;
    options.plausibleOnly = plausibleOnly;
    return buildBoard({folder_.path().string()}, options);
  }
  static const BoardRun& run(const BoardGroup& group, const std::string& player) {
    for (const BoardRun& run : group.runs) {
      if (run.file.player == player) return run;
    }
    throw std::runtime_error("no run of " + player);
  }
  TempFolder folder_;
};

}  // namespace

TEST_F(GhostBoard, RanksTiesAndSharedRunsAsPlanted) {
  const Board all = board();
  ASSERT_EQ(all.groups.size(), 2u);
  EXPECT_EQ(all.groups[1].map, "Other");
  const BoardGroup& circle = all.groups[0];
  struct Row {
    const char* player;
    int rank;
    bool tied, questionable;
    double seconds;
  };
  const Row rows[] = {{"Ivy", 1, false, true, 40.0},  {"Fay", 2, false, true, 56.366}, {"Bob", 3, false, false, 58.5},
                      {"Gus", 4, false, true, 59.5},  {"Ann", 5, true, false, 60.0},   {"Dan", 5, true, false, 60.0},
                      {"Cat", 7, false, false, 60.5}, {"Eve", 8, false, true, 60.6}};
  ASSERT_EQ(circle.runs.size(), std::size(rows));
  for (std::size_t i = 0; i < circle.runs.size(); ++i) {
    const BoardRun& run = circle.runs[i];
    EXPECT_EQ(run.file.player, rows[i].player) << i;
    EXPECT_EQ(run.rank, rows[i].rank) << rows[i].player;
    EXPECT_EQ(run.tied, rows[i].tied) << rows[i].player;
    EXPECT_EQ(run.questionable(), rows[i].questionable) << rows[i].player;
    EXPECT_NEAR(run.raceSeconds.value_or(-1.0), rows[i].seconds, 0.002) << rows[i].player;
  }
  const BoardRun& ann = run(circle, "Ann");
  ASSERT_EQ(ann.sameRun.size(), 1u);
  EXPECT_EQ(ann.sameRun[0].fileName, "Copy-of-Ann.ghost");
  EXPECT_EQ(ann.sameRun[0].player, "Zed");
  ASSERT_EQ(all.unread.size(), 1u);  // notes.txt is no ghost's and passed over, as the page passes it over
  EXPECT_NE(all.unread[0].path.find("broken.ghost"), std::string::npos);
  EXPECT_NE(all.unread[0].reason.find("the run time \"abc\" is not a number"), std::string::npos);

  // Without the questionable runs the others are ranked among themselves.
  const BoardGroup plausible = board(true).groups[0];
  ASSERT_EQ(plausible.runs.size(), 4u);
  for (const auto& [player, rank] : {std::pair{"Bob", 1}, {"Ann", 2}, {"Dan", 2}, {"Cat", 4}})
    EXPECT_EQ(run(plausible, player).rank, rank) << player;
}

TEST_F(GhostBoard, AnHonestRunStartedElsewhereSortingFirstLeavesTheOthersRanked) {
  // Three laps started half a lap round, on the far side: the others' line is the group's, and it finishes 2 laps.
  write("0-Elsewhere.ghost", circleRun(1000.0, 8, 60000, [](double t) { return pi + 2 * pi * t / 20.0; }), "Elo");
  const BoardGroup circle = board().groups[0];
  for (const auto& [player, rank] : {std::pair{"Ivy", 1}, {"Bob", 3}, {"Ann", 5}, {"Cat", 7}, {"Elo", 0}})
    EXPECT_EQ(run(circle, player).rank, rank) << player;
  EXPECT_EQ(run(circle, "Elo").lapSeconds.size(), 2u);
}

TEST_F(GhostBoard, RunsNoCarDroveOrOfAnotherTrackAreNeitherRankedNorTheYardstick) {
  std::vector<GhostFrame> reversed = steadyCircle(1000.0, 20.0, 3, 8), still = reversed;
  for (GhostFrame& frame : reversed) frame.time = 60000 - frame.time;
  for (GhostFrame& frame : still) frame.time = 0;
  write("Rev.ghost", reversed, "Rev");
  write("Still.ghost", still, "Still");
  // Inner lanes of the circle at everyone's speed: 14% and 16% shorter a lap; and a circle elsewhere.
  write("In14.ghost", circleRun(860.0, 8, 51600, [](double t) { return 2 * pi * t / (20.0 * 0.86); }), "In14");
  write("In16.ghost", circleRun(840.0, 8, 50400, [](double t) { return 2 * pi * t / (20.0 * 0.84); }), "In16");
  std::vector<GhostFrame> away = steadyCircle(1000.0, 20.0, 3, 8);
  for (GhostFrame& frame : away) frame.x += 5000.0f;
  write("Away.ghost", away, "Away");
  const BoardGroup circle = board().groups[0];
  EXPECT_EQ(circle.runs.front().file.player, "Ivy");
  for (const char* unranked : {"Rev", "Still", "Away"}) EXPECT_EQ(run(circle, unranked).rank, 0) << unranked;
  EXPECT_EQ(run(circle, "Away").notRanked, "does not follow the group's track");
  for (const DrivingFinding& finding : run(circle, "Away").findings) EXPECT_NE(finding.kind, FindingKind::Cut);
  // No sector of zero or less: the honest inner lane's 1.72 s a tenth are the best.
  for (const BoardBestSector& best : circle.bestSectors) {
    EXPECT_EQ(circle.runs[best.run].file.player, "In14");
    EXPECT_NEAR(best.seconds, 1.72, 0.02);
  }
  EXPECT_TRUE(run(circle, "In14").findings.empty());
  ASSERT_EQ(run(circle, "In16").findings.size(), 3u);  // a cut a lap
  for (const DrivingFinding& finding : run(circle, "In16").findings) EXPECT_EQ(finding.kind, FindingKind::Cut);
}

TEST(GhostBoardTopSpeed, IsJudgedAgainstEveryOneOfAtLeastThreeOtherRuns) {
  // A run each of 3 laps of the 1000-unit circle in these lap times; 1: its top speed is named.
  const std::pair<std::vector<double>, std::string> rows[] = {
      {{15.0, 15.0, 20.0, 20.5, 19.5}, "00000"},  // two sped-up copies pass as two fast drivers would
      {{20.0, 20.3, 30.0, 31.0}, "0000"},         // two fast drivers among beginners are no suspects
      {{15.0, 20.0, 20.5, 19.5}, "1000"},         // 30% above the fastest of three others
      {{16.5, 20.0, 20.5, 19.5}, "0000"},         // 18% above it
      {{20.0, 30.0}, "00"},                       // an honest run and a beginner
      {{20.0, 30.0, 30.5}, "000"},                // two others: no judgement
      {{20.0, 30.0, 30.5, 29.5}, "1000"},         // three others
  };
  for (const auto& [lapSeconds, named] : rows) {
    TempFolder folder;
    for (std::size_t i = 0; i < lapSeconds.size(); ++i) {
      const std::string player = "P" + std::to_string(i);
      std::ofstream(folder.path() / (player + ".ghost"), std::ios::binary) << ghostFileText(
          steadyCircle(1000.0, lapSeconds[i], 3, static_cast<std::int32_t>(8 + i)), "Circle", 3, player);
    }
    const BoardGroup group = buildBoard({folder.path().string()}, {}).groups.at(0);
    for (const BoardRun& run : group.runs) {
      const bool found = std::any_of(run.findings.begin(), run.findings.end(),
                                     [](const DrivingFinding& f) { return f.kind == FindingKind::TopSpeed; });
      EXPECT_EQ(found, named.at(std::stoul(run.file.player.substr(1))) == '1') << run.file.player << " of " << named;
    }
  }
}

TEST_F(GhostBoard, SectorsAndTheTheoreticalBestAsPlanted) {
  const BoardGroup circle = board().groups[0];
  const BoardRun& cat = run(circle, "Cat");
  ASSERT_EQ(cat.sectorSeconds.size(), 3u);
  for (int sector = 1; sector <= 10; ++sector) {
    const double planted = sector == 5 || sector == 6 ? 2.25 : 2.0;  // half a second lost over 40% to 60%
    EXPECT_NEAR(cat.sectorSeconds[1][sector - 1], planted, 0.005) << sector;
    EXPECT_NEAR(cat.sectorSeconds[0][sector - 1], 2.0, 0.005) << sector;
  }
  // Ivy's laps are quicker, but a run with a finding holds no best sector: Bob's 1.95 s a tenth are the best.
  ASSERT_EQ(circle.bestSectors.size(), 10u);
  for (const BoardBestSector& best : circle.bestSectors) {
    EXPECT_EQ(circle.runs[best.run].file.player, "Bob");
    EXPECT_NEAR(best.seconds, 1.95, 0.005);
  }
  EXPECT_NEAR(circle.theoreticalBest.value_or(0.0), 19.5, 0.01);
  ASSERT_TRUE(circle.referenceLap);
  EXPECT_NEAR(circle.referenceLength, 2 * pi * 1000.0, 5.0);
}

TEST_F(GhostBoard, EachFindingNamesItsLapPlaceAndSize) {
  const BoardGroup circle = board().groups[0];
  struct Planted {
    const char* player;
    FindingKind kind;
    int lap;
    double from, to, size, sizeWithin;
  };
  const Planted planted[] = {
      {"Eve", FindingKind::Jump, 2, 0.5, 0.5, 2600.0, 10.0},
      {"Fay", FindingKind::Cut, 2, 0.25, 0.75, 2000.0 * pi - 1000.0 * pi - 2000.0, 15.0},
      {"Gus", FindingKind::TimeRunsBack, 1, 0.5, 0.5, 0.492, 0.001},
      {"Ivy", FindingKind::TopSpeed, 1, -1.0, -1.0, 2 * pi * 1000.0 / (40.0 / 3.0), 5.0},
  };
  for (const Planted& p : planted) {
    const BoardRun& found = run(circle, p.player);
    ASSERT_EQ(found.findings.size(), 1u) << p.player;
    const DrivingFinding& finding = found.findings.front();
    EXPECT_EQ(finding.kind, p.kind) << p.player;
    EXPECT_NEAR(finding.size, p.size, p.sizeWithin) << p.player << ": " << findingText(finding);
    if (p.from < 0) continue;
    EXPECT_EQ(finding.from.lap, p.lap) << p.player;
    EXPECT_NEAR(finding.from.share, p.from, 0.03) << p.player << ": " << findingText(finding);
    EXPECT_NEAR(finding.to.share, p.to, 0.04) << p.player << ": " << findingText(finding);
  }
  for (const char* clean : {"Ann", "Bob", "Cat", "Dan"}) EXPECT_TRUE(run(circle, clean).findings.empty()) << clean;
}

TEST_F(GhostBoard, EveryOutputKeepsHostileNamesInertAndCheckDrivingJudgesOneFile) {
  // A player who would retitle the terminal, turn the line around and be a spreadsheet's formula.
  const std::string hostile = "=Ann\x1b]0;owned\x07\xe2\x80\xae";
  write("Hostile.ghost", steadyCircle(1000.0, 21.0, 3, 8), hostile);
  const auto tool = [](const std::vector<std::string>& words) {
    std::ostringstream out, err;
    const int status = runGhostTool(words, out, err);
    return std::pair{status, out.str() + err.str()};
  };
  const std::string folder = folder_.path().string();
  for (const char* format : {"", "--json", "--csv", "-o"}) {
    std::vector<std::string> words{"board", folder, "--map", "Circle"};
    if (*format != 0) words.emplace_back(format);
    if (format == std::string("-o")) words.emplace_back("-");
    const auto [status, text] = tool(words);
    EXPECT_EQ(status, 0) << format;
    EXPECT_EQ(text.find('\x1b'), std::string::npos) << format;
    EXPECT_EQ(text.find("\xe2\x80\xae"), std::string::npos) << format;
    // The terminal's escapes (in the page, inside a JSON string), or JSON's own.
    const std::string shown = format == std::string("--json") ? "Ann\\u001b]0;owned\\u0007\\u202e"
                              : format == std::string("-o")   ? "Ann\\\\x1b]0;owned\\\\x07\\\\u202e"
                                                              : "Ann\\x1b]0;owned\\x07\\u202e";
    EXPECT_NE(text.find(shown), std::string::npos) << text;
    EXPECT_EQ(text.find("Hal"), std::string::npos) << format;  // --map leaves the other map out
  }
  const std::string csv = tool({"board", folder, "--csv"}).second;
  EXPECT_EQ(csv.substr(0, csv.find('\n')),
            "map,laps,rank,tied,player,time_s,gap_to_best_s,gap_to_ahead_s,laps_s,"
            "gap_to_theoretical_s,file,same_run,findings");
  EXPECT_NE(csv.find(",'=Ann\\x1b"), std::string::npos) << csv;
  EXPECT_NE(csv.find("\nOther,3,1,false,Hal,60,"), std::string::npos) << csv;
  EXPECT_NE(csv.find("Copy-of-Ann.ghost (Zed)"), std::string::npos) << csv;

  EXPECT_EQ(tool({"check", "--driving", (folder_.path() / "Bob.ghost").string()}).first, 0);
  const auto [status, text] = tool({"check", "--driving", (folder_.path() / "Gus.ghost").string()});
  EXPECT_EQ(status, 1);
  EXPECT_NE(text.find("Gus.ghost:1253: lap 1, 50%: the time runs back by 0.492 s"), std::string::npos) << text;
  EXPECT_EQ(tool({"board", folder, "-o", (folder_.path() / "Bob.ghost").string()}).first, 2);  // never over a ghost
}

TEST_F(GhostBoard, ThePageRunsOnlyItsOwnScriptsAndHoldsEachRunsLineAndTimesAlongTheLaps) {
  const Board all = board();
  const std::string page = boardPage(all);
  const auto between = [&page](const std::string& open, const std::string& close) {
    const std::size_t start = page.find(open) + open.size();
    return page.substr(start, page.find(close, start) - start);
  };
  EXPECT_EQ(between("script-src ", ";"), hashSource(replayScript) + " " + hashSource(boardScript));
  EXPECT_EQ(between("style-src ", ";"), hashSource(replayStyle) + " " + hashSource(boardStyle));
  EXPECT_EQ(between("<script>", "</script>"), replayScript);
  EXPECT_EQ(between("id=\"board-data\">", "</script>").find('<'), std::string::npos);
  EXPECT_EQ(between("<title>", "</title>"), "Lumaro board: Circle, Other");

  // Ann drives three 20-second laps of the 1000-unit circle from (1000, 0); Cat loses half a second from 40% to
  // 60% of lap 2. Along the laps, at the start of every sector and 30 times within each, the difference between
  // them is what the replay shows: nothing before the loss, all of it after.
  const BoardGroup& circle = all.groups[0];
  const BoardRun &ann = run(circle, "Ann"), &cat = run(circle, "Cat");
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(ann.lineBox[i], i < 2 ? -1000.0 : 1000.0, 0.5) << i;
  EXPECT_DOUBLE_EQ(ann.lineLatestSeconds, 60.0);
  ASSERT_EQ(ann.traceSeconds.size(), 901u);
  ASSERT_EQ(cat.traceSeconds.size(), 901u);
  EXPECT_NEAR(ann.traceSeconds[450], 30.0, 0.002);
  for (const auto& [sample, lost] : {std::pair{300, 0.0}, {420, 0.0}, {450, 0.25}, {480, 0.5}, {900, 0.5}})
    EXPECT_NEAR(cat.traceSeconds[sample] - ann.traceSeconds[sample], lost, 0.005) << sample;
  EXPECT_NEAR(ann.traceSpeed[450], 2 * pi * 1000.0 / 20.0, 1.0);

  // The time the page shows is the text the terminal shows, rounded to the millisecond; gaps are between those.
  Board two;
  two.groups.emplace_back().runs.resize(2);
  two.groups[0].runs[0].raceSeconds = 20.2995, two.groups[0].runs[1].raceSeconds = 20.29949;
  const std::string data = boardPageData(two);
  for (const char* shown : {"\"raceMs\":20300,\"time\":\"00:20:300\"", "\"raceMs\":20299,\"time\":\"00:20:299\""})
    EXPECT_NE(data.find(shown), std::string::npos) << shown << " in " << data;

  // The page carries them in the point code, each the change from the sample before: time in tenths of a
  // millisecond, speed in tenths of a unit a second (0 for a value that is not finite).
  BoardRun few;
  few.traceSeconds = {0.0f, 0.0001f, 0.0003f, std::nanf("")};
  few.traceSpeed = {0.0f, 0.1f, 0.1f, std::nanf("")};
  EXPECT_EQ(encodeTrace(few),
            "AA"
            "CC"
            "EA"
            "FB");
}
