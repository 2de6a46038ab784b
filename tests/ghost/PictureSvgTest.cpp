// The picture: its delta panel draws the known difference of two runs where the axis says it is, and any
// name makes a document that parses.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GeneratedRuns.h"
#include "library/ghostfile/GhostFrame.h"
#include "support/TempFolder.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "tools/ghost/picture/GhostFilesPicture.h"
#include "tools/ghost/picture/PictureStyle.h"
#include "tools/ghost/picture/PictureSvg.h"
#include "tools/ghost/picture/SvgDocument.h"
#include "tools/ghost/text/TextEscapes.h"

using namespace lumaro_ghost;

namespace {

const std::string minus = "\xE2\x88\x92";

std::vector<LoadedGhost> loaded(const TempFolder& folder, const std::vector<std::vector<GhostFrame>>& runs) {
  std::vector<LoadedGhost> ghosts;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const auto file = folder.path() / ("run" + std::to_string(i) + ".ghost");
    std::ofstream(file, std::ios::binary) << ghostFileText(runs[i]);
    ghosts.push_back(*loadGhost(file.string()).ghost);
  }
  return ghosts;
}

std::string svgOf(const std::vector<LoadedGhost>& ghosts) {
  return pictureSvg(ghostsPicture(ghosts, analyseGhosts(ghosts)));
}

// The y of the delta panel's axis label for a value ("0", "−1.0"): labels sit 4 px below their grid line.
double axisY(const std::string& svg, const std::string& label) {
  const std::regex pattern(R"lit(<text x="[0-9.]+" y="([0-9.]+)" text-anchor="end" font-size="12" fill="#444">)lit" +
                           label + "</text>");
  std::smatch match;
  if (!std::regex_search(svg, match, pattern)) return -1.0;
  return std::stod(match[1]) - 4.0;
}

std::vector<Pixel> deltaCurve(const std::string& svg) {
  std::smatch match;
  std::vector<Pixel> points;
  if (!std::regex_search(svg, match, std::regex("<polyline points=\"([^\"]*)\" id=\"delta-curve\""))) return points;
  std::istringstream in(match[1].str());
  std::string pair;
  while (in >> pair) {
    const std::size_t comma = pair.find(',');
    points.push_back({std::stod(pair.substr(0, comma)), std::stod(pair.substr(comma + 1))});
  }
  return points;
}

}  // namespace

TEST(PictureSvg, TheDeltaPanelDrawsOneSecondGainedOverTheSecondHalf) {
  TempFolder folder;
  const std::string svg = svgOf(loaded(folder, {twentySecondLap(10), fasterSecondHalf(16)}));
  const double zero = axisY(svg, "0");
  const double oneSecond = axisY(svg, minus + "1.0");
  ASSERT_GT(zero, 0.0);
  ASSERT_GT(oneSecond, zero);
  const std::vector<Pixel> curve = deltaCurve(svg);
  ASSERT_EQ(curve.size(), traceSampleCount);
  const double left = curve.front().x;
  const double width = curve.back().x - left;
  for (const Pixel& point : curve) {
    const double progress = (point.x - left) / width;
    const double seconds = progress <= 0.5 ? 0.0 : -2.0 * (progress - 0.5);
    // A second of difference spans the distance from the 0 line to the -1.0 line; below zero is further down.
    ASSERT_NEAR(point.y, zero - seconds * (oneSecond - zero), 0.15) << progress;
  }
  EXPECT_NE(svg.find("finish " + minus + "1.000 s"), std::string::npos);
  // Both the speed panel and the difference panel name the lap under their axis.
  std::size_t named = 0;
  for (std::size_t at = svg.find(">lap 1</text>"); at != std::string::npos; at = svg.find(">lap 1</text>", at + 1))
    ++named;
  EXPECT_EQ(named, 2u);
  EXPECT_NE(svg.find("largest gain 0.200 s (lap 1, "), std::string::npos);
  EXPECT_EQ(svg.find("largest loss "), std::string::npos);
}

TEST(PictureSvg, TheSameLapAtTwoSampleRatesDrawsAFlatDelta) {
  TempFolder folder;
  const std::string svg = svgOf(loaded(folder, {twentySecondLap(8), twentySecondLap(13)}));
  const double zero = axisY(svg, "0");
  const std::vector<Pixel> curve = deltaCurve(svg);
  ASSERT_FALSE(curve.empty());
  for (const Pixel& point : curve) ASSERT_NEAR(point.y, zero, 0.15);
  EXPECT_NE(svg.find("finish 0.000 s"), std::string::npos);
}

TEST(PictureSvg, EachRunHasAPanelWithItsStartAndTheSpeedScaleHasUnits) {
  TempFolder folder;
  const std::string svg = svgOf(loaded(folder, {twentySecondLap(10), twentySecondLap(10), twentySecondLap(10)}));
  EXPECT_NE(svg.find(">A: run0.ghost</text>"), std::string::npos);
  EXPECT_NE(svg.find(">C: run2.ghost</text>"), std::string::npos);
  EXPECT_NE(svg.find(">Speed (units/s)</text>"), std::string::npos);
  EXPECT_NE(svg.find(" units</text>"), std::string::npos);  // the scale bar
  std::size_t starts = 0;
  for (std::size_t at = svg.find(">start</text>"); at != std::string::npos; at = svg.find(">start</text>", at + 1))
    ++starts;
  EXPECT_EQ(starts, 3u);
  // Three runs have the difference of B and of C to A; a run at one speed (314 units/s) sits at the top of a
  // scale that reaches down to half of it, in round steps.
  EXPECT_NE(svg.find("id=\"delta-curve\""), std::string::npos);
  EXPECT_NE(svg.find("id=\"delta-curve-3\""), std::string::npos);
  EXPECT_TRUE(std::regex_search(svg, std::regex(">160</text>\n<text[^>]*>240</text>\n<text[^>]*>320</text>")));
}

TEST(PictureSvg, TheLargestLossOfAnyRunIsNamedWithItsRunAndItsRingHoldsAWideExcursion) {
  TempFolder folder;  // B loses a second over 40-50% of the lap, 700 units wide of A's circle over most of it
  auto wide = circleWithLoss(20.0, 1, 10, 1.0, 1, 0.4, 0.5);
  for (GhostFrame& frame : wide) {
    const double share = std::atan2(frame.y, frame.x) / (2 * std::numbers::pi);
    if (share > 0.41 && share < 0.49) frame.x *= 1.7f, frame.y *= 1.7f;
  }
  const auto two = loaded(folder, {twentySecondLap(10), wide});
  const Picture picture = ghostsPicture(two, analyseGhosts(two));
  double farthest = 0.0;
  for (const MapPoint& point : picture.comparison->largestLoss)
    farthest = std::max(farthest, std::hypot(point.x, point.y));
  EXPECT_GT(farthest, 1650.0);
  // Three runs: C's planted second over 60-70% is the largest loss, not B's 20 ms a tenth.
  const auto three = loaded(
      folder, {twentySecondLap(10), steadyCircle(1000.0, 20.2, 1, 10), circleWithLoss(20.0, 1, 10, 1.0, 1, 0.6, 0.7)});
  const Picture runs = ghostsPicture(three, analyseGhosts(three));
  EXPECT_EQ(runs.trace->largestLoss->label,
            "largest loss 1.000 s (C, lap 1, 60%\xE2\x80\x93"
            "70%)");
  EXPECT_NE(pictureSvg(runs).find(">ghost delta, run " + minus + " A (s)<"), std::string::npos);
  // Each map's caption, wider than its third of the picture, goes on two lines, cut at a blank.
  EXPECT_NE(pictureSvg(runs).find(">Ann on Circle, 1 lap in 00:20:000, 2001</text>"), std::string::npos);
}

TEST(PictureSvg, TheLargestLossIsRingedBelowTheTitlesOfItsPanel) {
  TempFolder folder;  // B loses a second over the tenth of the lap at the top of the circle: a long, flat stretch
  const auto slowAtTop = circleRun(1000.0, 10, 21000, [](double t) {
    return 2 * std::numbers::pi * (t <= 14 ? t : t <= 17 ? 14 + (t - 14) * 2 / 3 : t - 1) / 20;
  });
  const std::string svg = svgOf(loaded(folder, {twentySecondLap(10), slowAtTop}));
  std::smatch panel, ring;  // the map's panel, whose titles end 48 px down, and the ring
  ASSERT_TRUE(std::regex_search(svg, panel, std::regex("y=\"([0-9.]+)\" width=\"1044\" height=\"([0-9.]+)\" rx")));
  ASSERT_TRUE(std::regex_search(svg, ring,
                                std::regex("<ellipse cx=\"[0-9.]+\" cy=\"([0-9.]+)\" rx=\"[0-9.]+\" ry=\"([0-9.]+)")));
  EXPECT_GE(std::stod(ring[1]) - std::stod(ring[2]), std::stod(panel[1]) + 52.0);
  EXPECT_LE(std::stod(ring[1]) + std::stod(ring[2]), std::stod(panel[1]) + std::stod(panel[2]));
}

TEST(PictureStyle, GainsAndLossesOfOneStrengthAndTheRunsColoursStayApartForEveryKindOfColourBlindness) {
  // Colour blindness simulated on linear RGB (the full deficiency of each kind), then distance in CIELAB: a
  // gain and a loss of one strength at least 40 apart, each step at least 15 from the next; each run's colour
  // at least 14 from every step and 25 from every other run's.
  const double simulations[4][3][3] = {
      {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
      {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}},
      {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}},
      {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}};
  for (const auto& simulation : simulations) {
    const auto seenAs = [&](const char* colour) {
      double linear[3], seen[3];
      for (std::size_t c = 0; c < 3; ++c) {
        const double v = std::stoi(std::string(colour).substr(1 + 2 * c, 2), nullptr, 16) / 255.0;
        linear[c] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
      }
      for (int r = 0; r < 3; ++r)
        seen[r] = std::clamp(simulation[r][0] * linear[0] + simulation[r][1] * linear[1] + simulation[r][2] * linear[2],
                             0.0, 1.0);
      const double xyz[3] = {(0.4124 * seen[0] + 0.3576 * seen[1] + 0.1805 * seen[2]) / 0.95047,
                             0.2126 * seen[0] + 0.7152 * seen[1] + 0.0722 * seen[2],
                             (0.0193 * seen[0] + 0.1192 * seen[1] + 0.9505 * seen[2]) / 1.08883};
      double f[3];
      for (int c = 0; c < 3; ++c) f[c] = xyz[c] > 0.008856 ? std::cbrt(xyz[c]) : 7.787 * xyz[c] + 16.0 / 116.0;
      return std::array<double, 3>{116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
    };
    const auto apart = [&](const char* one, const char* other) {
      const std::array<double, 3> a = seenAs(one), b = seenAs(other);
      return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
    };
    for (std::size_t strength = 0; strength < 3; ++strength)
      EXPECT_GE(apart(paceColours[strength], paceColours[6 - strength]), 40.0) << strength;
    for (std::size_t step = 0; step + 1 < paceColours.size(); ++step)
      EXPECT_GE(apart(paceColours[step], paceColours[step + 1]), 15.0) << step;
    for (std::size_t run = 0; run < runColours.size(); ++run) {
      for (const char* step : paceColours) EXPECT_GE(apart(runColours[run], step), 14.0) << run << " " << step;
      for (std::size_t other = run + 1; other < runColours.size(); ++other)
        EXPECT_GE(apart(runColours[run], runColours[other]), 25.0) << run << " " << other;
    }
  }
}

TEST(PictureSvg, EachPanelKeepsItsNamesAndStartLabelInsideAndShowsItsSlowestStretch) {
  // A circle starts at its rightmost point heading down the picture: the label goes beside the marker, and in
  // the last column, where the map reaches the panel's edge, inside the path.
  // Names are cut at the panel's edge; B's slower half, A's steady lap's colour, is drawn after its faster half.
  TempFolder folder;
  const std::string svg = svgOf(loaded(folder, {twentySecondLap(10), fasterSecondHalf(10), twentySecondLap(10)}));
  EXPECT_TRUE(std::regex_search(svg, std::regex("<g clip-path=\"url\\(#clip-1\\)\">\n<text[^>]*>A: run0.ghost<")));
  std::vector<std::string> colours;  // of the runs' lines, as drawn: A's one, B's two halves, C's one
  const std::regex speedPath("stroke=\"(#[0-9a-f]{6})\" stroke-width=\"4\"");
  for (std::sregex_iterator at(svg.begin(), svg.end(), speedPath), end; at != end; ++at) colours.push_back((*at)[1]);
  EXPECT_TRUE(colours.size() >= 4 && colours[1] != colours[0] && colours[colours.size() - 2] == colours[0]);
  const auto numbers = [&](const std::regex& pattern) {
    std::vector<std::vector<double>> found;
    for (std::sregex_iterator at(svg.begin(), svg.end(), pattern), end; at != end; ++at) {
      found.emplace_back();
      for (std::size_t group = 1; group < at->size(); ++group) {
        const std::string text = (*at)[group].str();
        found.back().push_back(text == "start" ? 1.0 : text == "end" ? -1.0 : text == "middle" ? 0.0 : std::stod(text));
      }
    }
    return found;
  };
  const auto panels = numbers(std::regex("<rect x=\"([0-9.]+)\" y=\"[0-9.]+\" width=\"([0-9.]+)\"[^>]*rx=\"6\""));
  const auto markers = numbers(std::regex("<circle cx=\"([0-9.]+)\" cy=\"[0-9.]+\" r=\"7\""));
  const auto labels =
      numbers(std::regex("<text x=\"([0-9.]+)\" y=\"[0-9.]+\" text-anchor=\"(start|end|middle)\"[^>]*>start</text>"));
  ASSERT_EQ(panels.size(), 4u);  // a map each, then the time difference
  ASSERT_EQ(markers.size(), 3u);
  ASSERT_EQ(labels.size(), 3u);
  const double width = 40.0;  // "start" in bold 13 px, with its halo
  for (std::size_t i = 0; i < 3; ++i) {
    const double x = labels[i][0], anchor = labels[i][1];
    const double from = anchor > 0 ? x : anchor < 0 ? x - width : x - width / 2;
    const double to = from + width;
    EXPECT_TRUE(from >= markers[i][0] + 7.0 || to <= markers[i][0] - 7.0)
        << "panel " << i << ": " << from << " to " << to;
    EXPECT_GE(from, panels[i][0]) << "panel " << i;
    EXPECT_LE(to, panels[i][0] + panels[i][1]) << "panel " << i;
  }
}

// Mended: a start at the top of a map, in three runs' narrow panels, had its label over the caption's second
// line; the label goes below the marker there.
TEST(PictureSvg, AStartLabelAtTheTopOfAMapStaysClearOfTheCaption) {
  std::vector<GhostFrame> top = twentySecondLap(10);
  for (GhostFrame& frame : top) frame = {0.0f, 0.0f, 0.0f, frame.y, -frame.x, frame.z, frame.time};
  TempFolder folder;
  const std::string svg = svgOf(loaded(folder, {top, top, top}));
  const std::regex captionPattern(R"lit(<text x="[0-9.]+" y="([0-9.]+)"[^>]*fill="#555">)lit");
  const std::regex labelPattern(R"lit(<text x="[0-9.]+" y="([0-9.]+)"[^>]*>start</text>)lit");
  for (std::sregex_iterator label(svg.begin(), svg.end(), labelPattern), end; label != end; ++label) {
    for (std::sregex_iterator caption(svg.begin(), svg.end(), captionPattern); caption != end; ++caption) {
      const double l = std::stod((*label)[1]), c = std::stod((*caption)[1]);
      EXPECT_TRUE(l - 13.0 >= c + 3.0 || l + 3.0 <= c - 12.0) << "start at " << l << ", caption at " << c;
    }
  }
}

TEST(PictureSvg, TwoMillionFrameRunsMakeAPictureOfAtMostTwoMegabytes) {
  // Four hundred laps of a circle, and a million points scattered at random over 40,000 units: every
  // point a pixel or more from the last.
  std::vector<LoadedGhost> ghosts(2);
  ghosts[0].content.frames = steadyCircle(1000.0, 20.0, 400, 8);
  std::uint64_t random = 1;
  for (std::int32_t i = 0; i < 1'000'000; ++i) {
    random = random * 6364136223846793005ULL + 1442695040888963407ULL;
    GhostFrame frame;
    frame.time = i * 8;
    frame.x = static_cast<float>(random >> 48) * 0.6f - 20000.0f;
    frame.y = static_cast<float>((random >> 32) & 0xFFFF) * 0.6f - 20000.0f;
    ghosts[1].content.frames.push_back(frame);
  }
  for (LoadedGhost& ghost : ghosts) ghost.profile = profileRun(ghost.content.frames);
  ASSERT_GE(ghosts[0].content.frames.size(), 1'000'000u);
  EXPECT_LE(svgOf(ghosts).size(), 2'000'000u);
}

TEST(TextEscapes, EachOutputGetsTextValidThereWhateverTheBytes) {
  EXPECT_EQ(xmlText("a<b>&\"c\""), "a&lt;b&gt;&amp;&quot;c&quot;");
  EXPECT_EQ(xmlText("Ren\xC3\xA9"), "Ren\xC3\xA9");
  EXPECT_EQ(xmlText("Ren\xE9!"), "Ren\xEF\xBF\xBD!");          // a Latin-1 byte
  EXPECT_EQ(xmlText("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // an overlong form
  EXPECT_EQ(xmlText("\xE0\x80\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(xmlText("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // a surrogate
  EXPECT_EQ(xmlText("a\tb\x01\xC2\x85"), "ab");                                // C0 and C1 controls
  // Noncharacters, which XML forbids (U+FFFE, U+FFFF) or HTML refuses (U+FDD0, U+1FFFF).
  EXPECT_EQ(xmlText("\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xB7\x90\xF0\x9F\xBF\xBF\xEF\xBF\xBD"),
            "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(jsonString("a\"\\\x01\xC2\x9B\xE2\x80\xA8\xE9\xC3\xA9"),
            "\"a\\\"\\\\\\u0001\\u009b\\u2028\xEF\xBF\xBD\xC3\xA9\"");
  EXPECT_EQ(scriptJsonString("</b><!--&\xff\xE2\x80\xA8"), "\"\\u003c/b\\u003e\\u003c!--\\u0026\xEF\xBF\xBD\\u2028\"");
  // The terminal: C1 controls and bidirectional overrides as code points, bytes that are no UTF-8 as bytes.
  EXPECT_EQ(terminalText("\xC2\x9B[2J\xE2\x80\xAEgnp.exe\x9B\x1b\t\xC3\xA9\n"),
            "\\u009b[2J\\u202egnp.exe\\x9b\\x1b\\t\xC3\xA9\n");
  // The code points that show as nothing, at both ends of their ranges, beside their visible neighbours.
  EXPECT_EQ(
      lineText("\u00AC\u00AD\u00AE\u180E\u200C\u200D\u205F\u2060\uFE0F\uFE10\U000E0000\U000E0041\U000E0FFF\U000E1000"),
      "\u00AC\\u00ad\u00AE\\u180e\\u200c\\u200d\u205F\\u2060\\ufe0f\uFE10\\U000e0000\\U000e0041\\U000e0fff\U000E1000");
  // Past U+FFFF the terminal's escape has eight digits and JSON's is a surrogate pair, so neither reads as
  // another character followed by a digit; zero-width format marks and a prepended mark too.
  EXPECT_EQ(jsonString("Ann\U000E0041x\u202E"), "\"Ann\\udb40\\udc41x\\u202e\"");
  EXPECT_EQ(lineText("B\uFFF9o\u06001\U00013430"), "B\\ufff9o\\u06001\\U00013430");
  EXPECT_EQ(svgNumber(-0.04), "0");
  EXPECT_EQ(svgNumber(12.26), "12.3");
  EXPECT_EQ(svgNumber(7.0), "7");
}
