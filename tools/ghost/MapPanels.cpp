#include "tools/ghost/MapPanels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#include "tools/ghost/NumberText.h"
#include "tools/ghost/PictureStyle.h"

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

struct Bounds {
  double minX = std::numeric_limits<double>::infinity();
  double minY = std::numeric_limits<double>::infinity();
  double maxX = -std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();
  void add(const std::vector<MapPoint>& points) {
    for (const MapPoint& p : points) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
  }
  bool empty() const { return !(minX <= maxX); }
};

struct MapView {
  double left = 0.0;
  double top = 0.0;
  double scale = 1.0;
  Bounds bounds;
  Pixel at(MapPoint p) const { return {left + (p.x - bounds.minX) * scale, top + (p.y - bounds.minY) * scale}; }
};

struct SpeedScale {
  double low = 0.0;
  double high = 1.0;
  int step(double speed) const {
    if (!std::isfinite(speed)) return 0;
    return std::clamp(static_cast<int>((speed - low) / (high - low) * speedSteps), 0, speedSteps - 1);
  }
};

SpeedScale speedScale(const Picture& picture) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (const PicturePanel& panel : picture.panels) {
    for (double speed : panel.speed) {
      if (!std::isfinite(speed)) continue;
      low = std::min(low, speed), high = std::max(high, speed);
    }
  }
  if (!(low <= high)) return {};
  // A run at one speed still gets a scale, with its speed in the middle.
  const double least = std::max(1.0, high * 0.01);
  if (high - low < least) {
    const double middle = (low + high) / 2.0;
    low = middle - least / 2.0, high = middle + least / 2.0;
  }
  return {low, high};
}

void drawRun(SvgDocument& svg, const PicturePanel& panel, const MapView& view, const SpeedScale& scale) {
  // Consecutive points of one colour step make one polyline; points closer than a pixel to the last kept
  // one are left out, so a long run stays a small file.
  std::vector<Pixel> piece;
  int pieceStep = -1;
  auto flush = [&] {
    if (piece.size() >= 2) {
      svg.polyline(piece, "fill=\"none\" stroke=\"" + hex(speedColour((pieceStep + 0.5) / speedSteps)) +
                              "\" stroke-width=\"4\" stroke-linecap=\"round\" stroke-linejoin=\"round\"");
    }
  };
  for (std::size_t i = 0; i < panel.path.size(); ++i) {
    const Pixel pixel = view.at(panel.path[i]);
    const int step = scale.step(i < panel.speed.size() ? panel.speed[i] : scale.low);
    if (piece.empty()) {
      piece.push_back(pixel), pieceStep = step;
      continue;
    }
    if (step != pieceStep) {
      piece.push_back(pixel);
      flush();
      piece = {pixel};
      pieceStep = step;
      continue;
    }
    const Pixel& last = piece.back();
    if (std::hypot(pixel.x - last.x, pixel.y - last.y) >= 1.0 || i + 1 == panel.path.size()) piece.push_back(pixel);
  }
  flush();
}

std::vector<Pixel> thinned(const std::vector<MapPoint>& points, const MapView& view) {
  std::vector<Pixel> pixels;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Pixel pixel = view.at(points[i]);
    if (pixels.empty() || i + 1 == points.size() ||
        std::hypot(pixel.x - pixels.back().x, pixel.y - pixels.back().y) >= 1.0) {
      pixels.push_back(pixel);
    }
  }
  return pixels;
}

// away: a point the label should keep clear of (the middle of the map), so that it stands outside the path;
// left and right: the panel's edges, which the label stays within.
void drawStart(SvgDocument& svg, Pixel at, MapPoint heading, Pixel away, double left, double right) {
  const Pixel tip{at.x + heading.x * 26.0, at.y + heading.y * 26.0};
  svg.line(at, tip, "stroke=\"#111\" stroke-width=\"2.5\"");
  const Pixel side{-heading.y * 6.0, heading.x * 6.0};
  const Pixel back{tip.x - heading.x * 10.0, tip.y - heading.y * 10.0};
  svg.polygon({tip, {back.x + side.x, back.y + side.y}, {back.x - side.x, back.y - side.y}}, "fill=\"#111\"");
  svg.circle(at, 7.0, "fill=\"#fff\" stroke=\"#111\" stroke-width=\"2.5\"");
  MapPoint outward{-heading.y, heading.x};
  if (outward.x * (at.x - away.x) + outward.y * (at.y - away.y) < 0) outward = {-outward.x, -outward.y};
  const std::string style = std::string("font-size=\"13\" font-weight=\"bold\" fill=\"#111\"") + halo;
  if (std::fabs(outward.y) >= std::fabs(outward.x)) {
    svg.text({at.x + outward.x * 20.0, at.y + outward.y * 20.0 + 5.0}, "start", style, "middle");
    return;
  }
  // Beside the marker the label starts past its circle; centred there it would cover the circle, and at a
  // map's side it would cross the panel's edge, so it goes to the other side when there is no room.
  constexpr double labelWidth = 40.0;  // "start" in bold 13 px with its halo
  constexpr double clearance = 12.0;
  const bool roomRight = at.x + clearance + labelWidth <= right;
  const bool roomLeft = at.x - clearance - labelWidth >= left;
  const bool toRight = outward.x > 0 ? roomRight || !roomLeft : !roomLeft;
  svg.text({at.x + (toRight ? clearance : -clearance), at.y + 5.0}, "start", style, toRight ? "start" : "end");
}

void drawScaleBar(SvgDocument& svg, Pixel at, const MapView& view, double mapWidth) {
  const double units = niceStep(mapWidth / view.scale, 5.0);
  const double length = units * view.scale;
  svg.line(at, {at.x + length, at.y}, "stroke=\"#333\" stroke-width=\"2\"");
  svg.line({at.x, at.y - 5}, {at.x, at.y + 5}, "stroke=\"#333\" stroke-width=\"2\"");
  svg.line({at.x + length, at.y - 5}, {at.x + length, at.y + 5}, "stroke=\"#333\" stroke-width=\"2\"");
  svg.text({at.x + length + 8, at.y + 4}, fixedText(units, 0) + " units", "font-size=\"12\" fill=\"#333\"");
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
  const double across = static_cast<double>(columns);
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
    const double left = margin + static_cast<double>(i % columns) * (panelWidth + panelGap);
    const double y = top + static_cast<double>(i / columns) * (panelHeight + panelGap);
    svg.rect(left, y, panelWidth, panelHeight, "rx=\"6\" fill=\"#fafafa\" stroke=\"#cfcfcf\"");
    svg.text({left + panelPad, y + 22}, panel.title, "font-size=\"15\" font-weight=\"bold\" fill=\"#111\"");
    svg.text({left + panelPad, y + 39}, panel.caption, "font-size=\"12\" fill=\"#555\"");
    view.left = left + panelPad + 8.0 + (mapWidth - spanX * view.scale) / 2.0;
    view.top = y + 46.0 + 20.0;
    if (!panel.track.empty()) {
      svg.polygon(thinned(panel.track, view),
                  "fill=\"none\" stroke=\"#d4d4d4\" stroke-width=\"16\" stroke-linejoin=\"round\"");
    }
    // The ghost car's path runs under the run as a dashed casing, so that where both agree both show.
    for (const auto& piece : panel.ghostPath) svg.polyline(thinned(piece, view), ghostCarStyle);
    drawRun(svg, panel, view, scale);
    const Pixel middle = view.at({(bounds.minX + bounds.maxX) / 2.0, (bounds.minY + bounds.maxY) / 2.0});
    if (panel.start) drawStart(svg, view.at(*panel.start), panel.heading, middle, left, left + panelWidth);
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
