#include "tools/ghost/picture/ComparisonMap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <numbers>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/picture/LabelLayout.h"
#include "tools/ghost/picture/MapView.h"
#include "tools/ghost/picture/PathThinning.h"
#include "tools/ghost/picture/PictureStyle.h"

namespace lumaro_ghost {

namespace {

// Level first, then ever stronger gains and losses on top.
constexpr std::array<std::size_t, 7> drawOrder{3, 2, 4, 1, 5, 0, 6};
constexpr const char* lossColour = slowerColour;
constexpr const char* lineAStyle =
    "fill=\"none\" stroke=\"#1d1d1d\" stroke-width=\"1.6\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";

std::size_t paceStep(double pace) {
  if (!std::isfinite(pace)) return 3;
  std::size_t step = 0;
  while (step < paceLimits.size() && (step < 3 ? pace > paceLimits[step] : pace >= paceLimits[step])) ++step;
  return step;
}

std::string paceStyle(std::size_t step) {
  return std::string("fill=\"none\" stroke=\"") + paceColours[step] +
         "\" stroke-width=\"5\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
}

double drawLegend(SvgDocument& svg, const ComparisonMap& map, double y) {
  // About 7 pixels a character of the 13-pixel text, so that longer side names push what follows along.
  constexpr double perCharacter = 7.0;
  double x = margin;
  svg.line({x, y + 7}, {x + 30, y + 7}, lineAStyle);
  const std::string lineOfA = map.sideA + "'s line";
  svg.text({x + 38, y + 11}, lineOfA, "font-size=\"13\" fill=\"#222\"");
  x += std::max(112.0, 38.0 + perCharacter * static_cast<double>(lineOfA.size()) + 18.0);
  const std::string lineOfB = map.sideB + "'s line, against " + map.sideA + " there:";
  svg.text({x, y + 11}, lineOfB, "font-size=\"13\" fill=\"#222\"");
  x += std::max(172.0, perCharacter * static_cast<double>(lineOfB.size()) + 4.0);
  for (std::size_t step = 0; step < paceColours.size(); ++step) {
    svg.rect(x + 22.0 * static_cast<double>(step), y + 1, 20, 12, std::string("fill=\"") + paceColours[step] + "\"");
  }
  svg.text({x, y + 30}, "faster", std::string("font-size=\"12\" fill=\"") + fasterColour + "\"");
  svg.text({x + 76, y + 30}, "level", "font-size=\"12\" fill=\"#555\"", "middle");
  svg.text({x + 152, y + 30}, "slower", std::string("font-size=\"12\" fill=\"") + slowerColour + "\"", "end");
  x += 176;
  svg.line({x, y + 1}, {x, y + 13}, "stroke=\"#222\" stroke-width=\"2\"");
  svg.text({x + 8, y + 11}, "sector line and number", "font-size=\"13\" fill=\"#222\"");
  x += 172;
  svg.circle({x + 7, y + 7}, 7.0, std::string("fill=\"none\" stroke=\"") + lossColour + "\" stroke-width=\"2.5\"");
  svg.text({x + 20, y + 11}, "largest loss", "font-size=\"13\" fill=\"#222\"");
  x += 104;
  svg.circle({x + 7, y + 7}, 6.0, "fill=\"#fff\" stroke=\"#111\" stroke-width=\"2.5\"");
  svg.text({x + 18, y + 11}, "start", "font-size=\"13\" fill=\"#222\"");
  svg.text({pictureWidth - margin, y + 30}, "top-down: x to the right, y downward", "font-size=\"12\" fill=\"#666\"",
           "end");
  return y + 44;
}

// B's line: thinned, each piece between two kept points in the colour of B's pace at its end, the pieces
// of one colour as one path, drawn level first and strongest last. Returns the pieces drawn.
std::vector<std::vector<Pixel>> drawLineB(SvgDocument& svg, const ComparisonMap& map, const MapView& view) {
  std::array<std::vector<std::vector<Pixel>>, paceColours.size()> byStep;
  for (std::size_t lap = 0; lap < map.lineB.size(); ++lap) {
    const std::vector<MapPoint>& line = map.lineB[lap];
    const std::vector<std::size_t> kept =
        thinnedIndices(view.pixels(line), 1.0 / static_cast<double>(map.lineB.size()));
    std::size_t lastStep = paceColours.size();
    for (std::size_t k = 1; k < kept.size(); ++k) {
      const std::size_t step = paceStep(map.paceB[lap][kept[k]]);
      if (step != lastStep) byStep[step].push_back({view.at(line[kept[k - 1]])});
      byStep[step].back().push_back(view.at(line[kept[k]]));
      lastStep = step;
    }
  }
  std::vector<std::vector<Pixel>> drawn;
  for (const std::size_t step : drawOrder) {
    svg.path(byStep[step], paceStyle(step));
    drawn.insert(drawn.end(), byStep[step].begin(), byStep[step].end());
  }
  return drawn;
}

}  // namespace

double drawComparisonMap(SvgDocument& svg, const ComparisonMap& map, double top) {
  const double y = drawLegend(svg, map, top);
  Bounds bounds;
  for (const auto& line : map.lineA) bounds.add(line);
  for (const auto& line : map.lineB) bounds.add(line);
  if (bounds.empty()) bounds.add({{0.0, 0.0}, {1.0, 1.0}});
  const double spanX = std::max(bounds.maxX - bounds.minX, 1.0);
  const double spanY = std::max(bounds.maxY - bounds.minY, 1.0);
  const double left = margin, right = pictureWidth - margin;
  // Room around the map for the start marker and the sector numbers.
  const double mapWidth = right - left - 2 * panelPad - 80.0;
  MapView view;
  view.bounds = bounds;
  view.scale = std::min(mapWidth / spanX, 520.0 / spanY);
  const double mapTop = y + 52.0 + 36.0;
  view.left = left + panelPad + 40.0 + (mapWidth - spanX * view.scale) / 2.0;
  view.top = mapTop;
  const double bottom = mapTop + spanY * view.scale + 36.0 + 36.0;

  svg.rect(left, y, right - left, bottom - y, "rx=\"6\" fill=\"#fafafa\" stroke=\"#cfcfcf\"");
  // Each run's title, then its caption after it.
  svg.beginClip(left, y, right - left, bottom - y);
  for (const auto& [title, caption, line] :
       {std::tuple{&map.titleA, &map.captionA, 22.0}, std::tuple{&map.titleB, &map.captionB, 44.0}}) {
    const Pixel at{left + panelPad, y + line};
    svg.text(at, *title, "font-size=\"15\" font-weight=\"bold\" fill=\"#111\"");
    svg.text({textBox(*title, 15.0, {at, "start"}, true).right + 10.0, at.y}, *caption,
             "font-size=\"12\" fill=\"#555\"");
  }
  svg.endClip();

  std::vector<std::vector<Pixel>> drawn = drawLineB(svg, map, view);
  for (const auto& line : map.lineA) {
    drawn.push_back(thinned(view.pixels(line), 1.0 / static_cast<double>(map.lineA.size())));
    svg.path({drawn.back()}, lineAStyle);
  }
  // The map's own room, below the runs' titles: labels and the ring of the largest loss stay in it, and no
  // label lies across a run's line or a sector line.
  const Box room{left + 4, y + 52, right - 4, bottom - 30};
  LabelLayout labels(room);
  for (const std::vector<Pixel>& line : drawn) labels.avoid(line);
  const Pixel middle = view.at({(bounds.minX + bounds.maxX) / 2.0, (bounds.minY + bounds.maxY) / 2.0});
  for (const ComparisonMap::SectorMark& mark : map.sectors) {
    if (mark.number == 1) continue;  // the start marker stands there
    const Pixel at = view.at(mark.at);
    const Pixel across{-mark.heading.y * 10.0, mark.heading.x * 10.0};
    svg.line({at.x - across.x, at.y - across.y}, {at.x + across.x, at.y + across.y},
             "stroke=\"#222\" stroke-width=\"2\"");
    labels.avoid({{at.x - across.x, at.y - across.y}, {at.x + across.x, at.y + across.y}});
  }
  labels.reserve(drawStartMarker(svg, view.at(map.start), map.heading, middle, left, right));

  if (!map.largestLoss.empty()) {
    Bounds stretch;
    stretch.add(map.largestLoss);
    const Pixel low = view.at({stretch.minX, stretch.minY}), high = view.at({stretch.maxX, stretch.maxY});
    const Pixel centre{(low.x + high.x) / 2.0, (low.y + high.y) / 2.0};
    // The ellipse through the corners of the box the stretch spans, a little wider, holds all of it: a long
    // straight gets a long flat ring, not a circle reaching over the titles. It stays in the map's room.
    const auto semiAxis = [](double span, double before, double after) {
      return std::min({std::max(span / std::numbers::sqrt2 + 12.0, 18.0), before, after});
    };
    const double rx = semiAxis(std::fabs(high.x - low.x), centre.x - room.left, room.right - centre.x);
    const double ry = semiAxis(std::fabs(high.y - low.y), centre.y - room.top, room.bottom - centre.y);
    svg.ellipse(centre, rx, ry, std::string("fill=\"none\" stroke=\"") + lossColour + "\" stroke-width=\"2.5\"");
    const std::string style = std::string("font-size=\"13\" font-weight=\"bold\" fill=\"") + lossColour + "\"" + halo;
    // Beside the ring, then ever further from it, until a place crosses no line.
    std::vector<TextPlace> places;
    for (const double further : {0.0, 16.0, 32.0, 56.0, 88.0, 128.0}) {
      places.push_back({{centre.x + rx + 6 + further, centre.y + 5}, "start"});
      places.push_back({{centre.x - rx - 6 - further, centre.y + 5}, "end"});
      places.push_back({{centre.x, centre.y - ry - 7 - further}, "middle"});
      places.push_back({{centre.x, centre.y + ry + 17 + further}, "middle"});
    }
    if (const auto place = labels.place(map.largestLossLabel, 13.0, places, true)) {
      svg.text(place->at, map.largestLossLabel, style, place->anchor);
    }
  }
  // Each sector's number beside its middle, on the side away from the map's middle if there is room.
  for (const ComparisonMap::SectorMark& mark : map.sectors) {
    const Pixel at = view.at(mark.middle);
    const MapPoint heading = mark.heading;
    MapPoint outward{-heading.y, heading.x};
    if (outward.x * (at.x - middle.x) + outward.y * (at.y - middle.y) < 0) outward = {-outward.x, -outward.y};
    std::vector<TextPlace> candidates;
    for (const double side : {1.0, -1.0}) {
      for (const double distance : {17.0, 27.0, 39.0, 53.0}) {
        candidates.push_back(
            {{at.x + side * outward.x * distance, at.y + side * outward.y * distance + 4.5}, "middle"});
      }
    }
    const std::string number = std::to_string(mark.number);
    if (const auto place = labels.place(number, 12.0, candidates, true)) {
      svg.text(place->at, number, std::string("font-size=\"12\" font-weight=\"bold\" fill=\"#333\"") + halo,
               place->anchor);
    }
  }
  drawScaleBar(svg, {left + panelPad, bottom - 16.0}, view, mapWidth);
  return bottom + panelGap;
}

}  // namespace lumaro_ghost
