// The replay page's pieces: the hash its policy names, the compact points, the texts from files, and the
// figures of known runs. The page in a browser is replay_in_browser.py's.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GeneratedRuns.h"
#include "library/ghostfile/GhostFrame.h"
#include "support/TempFolder.h"
#include "tools/ghost/GhostTool.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "tools/ghost/replay/PointCode.h"
#include "tools/ghost/replay/ReplayAssets.h"
#include "tools/ghost/replay/ReplayData.h"
#include "tools/ghost/replay/ReplayPage.h"
#include "tools/ghost/replay/Sha256.h"
#include "tools/ghost/report/TraceExport.h"

using namespace lumaro_ghost;

namespace {

LoadedGhost ghostOf(const std::string& text) {
  LoadedGhost ghost;
  std::istringstream in(text);
  ghost.content = readGhostFileContent(in);
  ghost.header = readHeaderFields(*ghost.content.headerLine);
  ghost.profile = profileRun(ghost.content.frames);
  return ghost;
}

std::string between(const std::string& page, const std::string& open, const std::string& close) {
  const std::size_t start = page.find(open) + open.size();
  return page.substr(start, page.find(close, start) - start);
}

}  // namespace

TEST(ReplayPage, HashesAreRightWhereTheLengthPaddingTakesASecondBlock) {
  // Lengths of "abc...zabc...": the padding and length fit one last block up to 55 bytes, not from 56.
  const std::pair<std::size_t, const char*> expected[] = {
      {0, "47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU="},  {55, "WVYV2+Tw9AeuOX0ItMLLhwy5sOEZN0FvlQxRYKz5wAU="},
      {56, "eE9iO3h0lQeOk/8ooltYHfBYQFWn5x2M2QxFRxa5L1E="}, {63, "XKPh71IHSQ6sAaeV5cyU1ZWCpRGL+VNGZchmjYeqZHw="},
      {64, "L81aDWDkyUE4H8xOAKS/i+Qiw936+5PICejR4r//ro4="}, {119, "+u9n2oVtb9nI0S+e0KT+/TzwzghatD4pB0GNRX48NUs="},
      {120, "yVErCGGcGfu1A8faa0bvIDAeX3p6X0OYkYI5hTb1xcg="}};
  for (const auto& [length, hash] : expected) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += static_cast<char>('a' + i % 26);
    const auto digest = sha256(text);
    EXPECT_EQ(base64(digest.data(), digest.size()), hash) << length;
  }
}

TEST(ReplayPage, PointNumbersTakeOneCharacterMoreFromSixteenAndFromFiveHundredTwelve) {
  const std::pair<std::int64_t, const char*> expected[] = {{0, "A"},     {-1, "B"},   {1, "C"},    {15, "e"},
                                                           {-16, "f"},   {16, "gB"},  {-17, "hB"}, {511, "-f"},
                                                           {-512, "_f"}, {512, "ggB"}};
  for (const auto& [value, text] : expected) {
    std::string out;
    appendPointNumber(out, value);
    EXPECT_EQ(out, text) << value;
  }
  // Time from the first frame, then x and y in tenths, each the change from the frame before.
  const std::vector<GhostFrame> frames = ghostOf(ghostFileText(straightRun(3.2, 0.02))).content.frames;
  EXPECT_EQ(encodePoints(frames),
            "AAA"
            "UgBA"
            "UgBA");
}

TEST(ReplayPage, TextsFromAFileAreShownAsInfoPrintsThemAndCannotEndTheirScriptElement) {
  EXPECT_EQ(pageTextJson("</script><!--\"&\x1b\xff\xC3(Caf\xC3\xA9"),
            "\"\\u003c/script\\u003e\\u003c!--\\\"\\u0026\\\\x1b\\\\xff\\\\xc3(Caf\xC3\xA9\"");
}

TEST(ReplayPage, OnlyTheReplaysOwnScriptAndStyleMayRunWhateverTheFileHolds) {
  std::vector<GhostFrame> frames = steadyCircle(1000.0, 20.0, 1, 10);
  const std::vector<LoadedGhost> ghosts = {
      ghostOf(ghostFileText(frames, "</script><script>alert(1)</script>", 1, "\"><img src=x onerror=alert(2)>"))};
  const std::string page = replayPage(replayData(ghosts));
  const auto hash = [](std::string_view text) {
    const auto digest = sha256(text);
    return "'sha256-" + base64(digest.data(), digest.size()) + "'";
  };
  EXPECT_EQ(between(page, "script-src ", ";"), hash(replayScript));
  EXPECT_EQ(between(page, "style-src ", ";"), hash(replayStyle));
  EXPECT_EQ(between(page, "\n<script>", "</script>\n</body>"), replayScript);
  EXPECT_EQ(between(page, "id=\"replay-data\">", "</script>").find('<'), std::string::npos);
  EXPECT_EQ(between(page, "<title>", "</title>"),
            "Lumaro replay: &lt;/script&gt;&lt;script&gt;alert(1)&lt;/script&gt;");
}

TEST(ReplayPage, TheTracesMeetTheSectorRowsAtEverySectorStart) {
  // B drives the second half of the lap 1 s faster, and sets off 4 ms past A's start line.
  const auto late = circleRun(1000.0, 10, 18996, [](double t) {
    t += 0.004;
    return t <= 10.0 ? std::numbers::pi * t / 10.0 : std::numbers::pi + std::numbers::pi * (t - 10.0) / 9.0;
  });
  const std::vector<LoadedGhost> ghosts = {ghostOf(ghostFileText(twentySecondLap(10))), ghostOf(ghostFileText(late))};
  for (const int sectors : {10, 4}) {
    const ReplayData data = replayData(ghosts, sectors);
    EXPECT_EQ(data.startSeconds[0], 0.0);
    EXPECT_NEAR(data.startSeconds[1], -0.004, 1e-4);  // its race time is its run time and 4 ms
    ASSERT_EQ(data.laps.size(), 1u);
    EXPECT_NEAR(data.laps[0].seconds[0], 20.0, 1e-3);
    EXPECT_NEAR(data.laps[0].seconds[1], 19.0, 1e-3);
    ASSERT_EQ(data.sectors.size(), static_cast<std::size_t>(sectors));
    ASSERT_EQ(data.trace.size(), static_cast<std::size_t>(sectors * traceSamplesPerSector + 1));
    double before = 0.0;
    for (std::size_t s = 0; s < data.sectors.size(); ++s) {
      const SectorRow& sector = data.sectors[s];
      EXPECT_NEAR(sector.delta[1], 2 * s < data.sectors.size() ? 0.0 : -2.0 / sectors, 1e-3) << s;
      EXPECT_NEAR(sector.seconds[0], 20.0 / sectors, 1e-3) << s;
      // The page steps to a sector's start at A's time on the trace's sample there and shows its difference.
      const TraceSample& start = data.trace[s * traceSamplesPerSector];
      EXPECT_EQ(start.distance, sector.startDistance) << s;
      EXPECT_NEAR(start.secondsA, 20.0 * static_cast<double>(s) / sectors, 1e-3) << s;
      EXPECT_NEAR(start.delta[1], before, 1e-9) << s;
      before += sector.delta[1];
    }
    EXPECT_NEAR(data.trace.back().delta[1], -1.0, 1e-3);
  }
}

TEST(ReplayPage, ThreeLapsOfTwentyThousandFramesMakeAPageUnderOneMegabyte) {
  TempFolder folder;
  const std::string ghost = (folder.path() / "long.ghost").string();
  // 2000 units a second, a frame every 8 ms.
  std::ofstream(ghost, std::ios::binary) << ghostFileText(steadyCircle(16977.0, 53.336, 3, 8), "Ring", 3);
  std::ostringstream out, err;
  EXPECT_EQ(runGhostTool({"html", ghost, "-o", "-"}, out, err), 0) << err.str();
  EXPECT_GT(out.str().size(), 100'000u);
  EXPECT_LT(out.str().size(), 1'000'000u);
  EXPECT_EQ(runGhostTool({"html", ghost}, out, err), 2);
  EXPECT_EQ(err.str(), "lumaro-ghost html: say where the page goes with -o FILE.html (lumaro-ghost html --help)\n");
}
