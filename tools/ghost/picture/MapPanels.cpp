#include "tools/ghost/picture/MapPanels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/picture/LabelLayout.h"
#include "tools/ghost/picture/MapView.h"
#include "tools/ghost/picture/PathThinning.h"
#include "tools/ghost/picture/PictureStyle.h"
#include "tools/ghost/text/NumberText.h"

namespace lumaro_ghost {

namespace {

constexpr int speedSteps = 48;
constexpr const char* ghostCarStyle =
    "fill=\"none\" stroke=\"#444\" stroke-width=\"10\" stroke-dasharray=\"10 7\" stroke-linejoin=\"round\"";

struct Rgb {
  double r, g, b;
};

// Slow is cool, fast is hot: dark blue, teal, green, amber, red; every step readable on white.
constexpr std::array<Rgb, 5> speedStops{{{40, 60, 170}, {20, 150, 180}, {60, 165, 75}, {235, 150, 20}, {210, 35, 40}}};

Rgb speedColour(double share) {
  share = std::clamp(share, 0.0, 1.0) * (speedStops.size() - 1);
  const auto low = std::min(static_cast<std::size_t>(share), speedStops.size() - 2);
  const double t = share - static_cast<double>(low);
  const Rgb& a = speedStops[low];
  const Rgb& b = speedStops[low + 1];
  return {a.r + t * (b.r - a.r), a.g + t * (b.g - a.g), a.b + t * (b.b - a.b)};
}

std::string hex(const Rgb& colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround(colour.r)),
                static_cast<int>(std::lround(colour.g)), static_cast<int>(std::lround(colour.b)));
  return text;
}

struct SpeedScale {
  double low = 0.0;
  double high = 1.0;
  int step(double speed) const {
    if (!std::isfinite(speed)) return 0;
    return static_cast<int>(std::clamp((speed - low) / (high - low) * speedSteps, 0.0, speedSteps - 1.0));
  }
};

// The scale reaches from a round number at or below the slowest speed, and at most half the top speed, to a
// round number at or above the top speed: runs a few per cent apart in speed look a few per cent apart, not
// like opposite ends of the scale.
SpeedScale speedScale(const Picture& picture) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (const PicturePanel& panel : picture.panels) {
    for (double speed : panel.speed) {
      if (!std::isfinite(speed)) continue;
      low = std::min(low, speed), high = std::max(high, speed);
    }
  }
  if (!(low <= high) || !(high > 0.0)) return {};
  const double step = niceStep(high, 10.0);
  high = std::ceil(high / step) * step;
  low = std::floor(std::min(low, high / 2.0) / step) * step;
  return {std::max(low, 0.0), high};
}

void drawRun(SvgDocument& svg, const PicturePanel& panel, const MapView& view, const SpeedScale& scale) {
  // The path thinned to the pixels it covers; each piece between two kept points takes the colour of its
  // end, and the pieces of one colour make one path, the slowest drawn last: where one lap was slower than
  // the others over the same stretch (a mistake), that lap's colour shows.
  const std::vector<std::size_t> kept = thinnedIndices(view.pixels(panel.path));
  std::vector<std::vector<std::vector<Pixel>>> byStep(speedSteps);
  int lastStep = -1;
  for (std::size_t k = 1; k < kept.size(); ++k) {
    const std::size_t i = kept[k];
    const int step = scale.step(i < panel.speed.size() ? panel.speed[i] : scale.low);
    auto& pieces = byStep[static_cast<std::size_t>(step)];
    if (step != lastStep) pieces.push_back({view.at(panel.path[kept[k - 1]])});
    pieces.back().push_back(view.at(panel.path[i]));
    lastStep = step;
  }
  for (int step = speedSteps - 1; step >= 0; --step) {
    svg.path(byStep[static_cast<std::size_t>(step)],
             "fill=\"none\" stroke=\"" + hex(speedColour((step + 0.5) / speedSteps)) +
                 "\" stroke-width=\"4\" stroke-linecap=\"round\" stroke-linejoin=\"round\"");
  }
}

double drawLegend(SvgDocument& svg, const Picture& picture, const SpeedScale& scale, double y) {
  bool anyRun = false, anyTrack = false, anyGhost = false;
  for (const PicturePanel& panel : picture.panels) {
    anyRun = anyRun || !panel.path.empty();
    anyTrack = anyTrack || !panel.track.empty();
    anyGhost = anyGhost || !panel.ghostPath.empty();
  }
  double x = margin;
  if (anyRun) {
    std::string gradient = "<defs><linearGradient id=\"speed-scale\" x1=\"0\" x2=\"1\" y1=\"0\" y2=\"0\">";
    for (std::size_t i = 0; i < speedStops.size(); ++i) {
      gradient += "<stop offset=\"" + fixedText(static_cast<double>(i) / (speedStops.size() - 1), 2) +
                  "\" stop-color=\"" + hex(speedStops[i]) + "\"/>";
    }
    svg.raw(gradient + "</linearGradient></defs>");
    svg.text({x, y + 11}, "Speed (units/s)", "font-size=\"13\" fill=\"#222\"");
    x += 116;
    svg.rect(x, y, 240, 14, "fill=\"url(#speed-scale)\" stroke=\"#888\" stroke-width=\"0.5\"");
    svg.text({x, y + 30}, fixedText(scale.low, 0), "font-size=\"12\" fill=\"#444\"", "start");
    svg.text({x + 120, y + 30}, fixedText((scale.low + scale.high) / 2.0, 0), "font-size=\"12\" fill=\"#444\"",
             "middle");
    svg.text({x + 240, y + 30}, fixedText(scale.high, 0), "font-size=\"12\" fill=\"#444\"", "end");
    x += 280;
  }
  svg.circle({x + 7, y + 7}, 6.0, "fill=\"#fff\" stroke=\"#111\" stroke-width=\"2.5\"");
  svg.line({x + 13, y + 7}, {x + 34, y + 7}, "stroke=\"#111\" stroke-width=\"2.5\"");
  svg.polygon({{x + 40, y + 7}, {x + 31, y + 2}, {x + 31, y + 12}}, "fill=\"#111\"");
  svg.text({x + 48, y + 11}, "start and direction of travel", "font-size=\"13\" fill=\"#222\"");
  x += 240;
  if (anyTrack) {
    svg.line({x, y + 7}, {x + 34, y + 7}, "stroke=\"#d4d4d4\" stroke-width=\"12\"");
    svg.text({x + 42, y + 11}, "track", "font-size=\"13\" fill=\"#222\"");
    x += 92;
  }
  if (anyGhost) {
    svg.line({x, y + 7}, {x + 34, y + 7}, ghostCarStyle);
    svg.text({x + 42, y + 11}, "ghost car", "font-size=\"13\" fill=\"#222\"");
  }
  svg.text({pictureWidth - margin, y + 30}, "top-down: x to the right, y downward", "font-size=\"12\" fill=\"#666\"",
           "end");
  return y + 48;
}

double drawPanels(SvgDocument& svg, const Picture& picture, const SpeedScale& scale, double top) {
  Bounds bounds;
  for (const PicturePanel& panel : picture.panels) {
    bounds.add(panel.path), bounds.add(panel.track);
    for (const auto& piece : panel.ghostPath) bounds.add(piece);
  }
  if (bounds.empty()) bounds.add({{0.0, 0.0}, {1.0, 1.0}});
  const double spanX = std::max(bounds.maxX - bounds.minX, 1.0);
  const double spanY = std::max(bounds.maxY - bounds.minY, 1.0);

  const std::size_t count = picture.panels.size();
  const std::size_t columns = std::clamp<std::size_t>(count, 1, 3);
  const auto across = static_cast<double>(columns);
  const double panelWidth = (pictureWidth - 2 * margin - (across - 1) * panelGap) / across;
  const double mapWidth = panelWidth - 2 * panelPad - 16.0;  // room for the start marker at the edge
  const double tallest = columns == 1 ? 520.0 : 400.0;
  MapView view;
  view.bounds = bounds;
  view.scale = std::min(mapWidth / spanX, tallest / spanY);
  const double mapHeight = spanY * view.scale;
  const double panelHeight = 46.0 + 20.0 + mapHeight + 20.0 + 36.0;

  for (std::size_t i = 0; i < count; ++i) {
    const PicturePanel& panel = picture.panels[i];
    const std::size_t row = i / columns, column = i % columns;
    const double left = margin + static_cast<double>(column) * (panelWidth + panelGap);
    const double y = top + static_cast<double>(row) * (panelHeight + panelGap);
    svg.rect(left, y, panelWidth, panelHeight, "rx=\"6\" fill=\"#fafafa\" stroke=\"#cfcfcf\"");
    svg.beginClip(left, y, panelWidth, panelHeight);
    svg.text({left + panelPad, y + 22}, panel.title, "font-size=\"15\" font-weight=\"bold\" fill=\"#111\"");
    // The caption on two lines at most, each cut at a blank (the second line ends the caption short).
    const std::vector<std::string> caption = wrapWords(panel.caption, 12.0, panelWidth - 2 * panelPad);
    const std::size_t captionLines = std::min<std::size_t>(caption.size(), 2);
    for (std::size_t line = 0; line < captionLines; ++line) {
      const bool cut = line == 1 && caption.size() > 2;
      svg.text({left + panelPad, y + 39 + 14.0 * static_cast<double>(line)},
               caption[line] + (cut ? " \xE2\x80\xA6" : ""), "font-size=\"12\" fill=\"#555\"");
    }
    svg.endClip();
    view.left = left + panelPad + 8.0 + (mapWidth - spanX * view.scale) / 2.0;
    view.top = y + 46.0 + 20.0;
    if (!panel.track.empty()) {
      svg.polygon(thinned(view.pixels(panel.track)),
                  "fill=\"none\" stroke=\"#d4d4d4\" stroke-width=\"16\" stroke-linejoin=\"round\"");
    }
    // The ghost car's path runs under the run as a dashed casing, so that where both agree both show.
    for (const auto& piece : panel.ghostPath) svg.polyline(thinned(view.pixels(piece)), ghostCarStyle);
    drawRun(svg, panel, view, scale);
    const Pixel middle = view.at({(bounds.minX + bounds.maxX) / 2.0, (bounds.minY + bounds.maxY) / 2.0});
    // The start's label stays below the caption's last line (its baseline, and a descender's room).
    const double captionBottom = y + 39.0 + 14.0 * static_cast<double>(captionLines) - 14.0 + 4.0;
    if (panel.start)
      drawStartMarker(svg, view.at(*panel.start), panel.heading, middle, left, left + panelWidth, captionBottom);
    drawScaleBar(svg, {left + panelPad, y + panelHeight - 16.0}, view, mapWidth);
  }
  const std::size_t rows = (count + columns - 1) / columns;
  return top + static_cast<double>(rows) * (panelHeight + panelGap);
}

}  // namespace

double drawMapPanels(SvgDocument& svg, const Picture& picture, double top) {
  const SpeedScale scale = speedScale(picture);
  return drawPanels(svg, picture, scale, drawLegend(svg, picture, scale, top));
}

}  // namespace lumaro_ghost
