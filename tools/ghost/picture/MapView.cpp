#include "tools/ghost/picture/MapView.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/ghost/picture/PictureStyle.h"
#include "tools/ghost/text/NumberText.h"

namespace lumaro_ghost {

void Bounds::add(const std::vector<MapPoint>& points) {
  for (const MapPoint& p : points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
}

std::vector<Pixel> MapView::pixels(const std::vector<MapPoint>& points) const {
  std::vector<Pixel> pixels;
  pixels.reserve(points.size());
  for (const MapPoint& point : points) pixels.push_back(at(point));
  return pixels;
}

Box drawStartMarker(SvgDocument& svg, Pixel at, MapPoint heading, Pixel away, double left, double right, double top) {
  const Pixel tip{at.x + heading.x * 26.0, at.y + heading.y * 26.0};
  svg.line(at, tip, "stroke=\"#111\" stroke-width=\"2.5\"");
  const Pixel side{-heading.y * 6.0, heading.x * 6.0};
  const Pixel back{tip.x - heading.x * 10.0, tip.y - heading.y * 10.0};
  svg.polygon({tip, {back.x + side.x, back.y + side.y}, {back.x - side.x, back.y - side.y}}, "fill=\"#111\"");
  svg.circle(at, 7.0, "fill=\"#fff\" stroke=\"#111\" stroke-width=\"2.5\"");
  MapPoint outward{-heading.y, heading.x};
  if (outward.x * (at.x - away.x) + outward.y * (at.y - away.y) < 0) outward = {-outward.x, -outward.y};
  const std::string style = std::string("font-size=\"13\" font-weight=\"bold\" fill=\"#111\"") + halo;
  Box covered{std::min(at.x, tip.x) - 9.0, std::min(at.y, tip.y) - 9.0, std::max(at.x, tip.x) + 9.0,
              std::max(at.y, tip.y) + 9.0};
  TextPlace label;
  if (std::fabs(outward.y) >= std::fabs(outward.x)) {
    label = {{at.x + outward.x * 20.0, at.y + outward.y * 20.0 + 5.0}, "middle"};
    if (textBox("start", 13.0, label, true).top < top) label = {{at.x - outward.x * 20.0, at.y + 25.0}, "middle"};
  } else {
    // Beside the marker the label starts past its circle; centred there it would cover the circle, and at a
    // map's side it would cross the panel's edge, so it goes to the other side when there is no room.
    constexpr double labelWidth = 40.0;  // "start" in bold 13 px with its halo
    constexpr double clearance = 12.0;
    const bool roomRight = at.x + clearance + labelWidth <= right;
    const bool roomLeft = at.x - clearance - labelWidth >= left;
    const bool toRight = outward.x > 0 ? roomRight || !roomLeft : !roomLeft;
    label = {{at.x + (toRight ? clearance : -clearance), at.y + 5.0}, toRight ? "start" : "end"};
  }
  svg.text(label.at, "start", style, label.anchor);
  const Box text = textBox("start", 13.0, label, true);
  return {std::min(covered.left, text.left), std::min(covered.top, text.top), std::max(covered.right, text.right),
          std::max(covered.bottom, text.bottom)};
}

void drawScaleBar(SvgDocument& svg, Pixel at, const MapView& view, double mapWidth) {
  const double units = niceStep(mapWidth / view.scale, 5.0);
  const double length = units * view.scale;
  svg.line(at, {at.x + length, at.y}, "stroke=\"#333\" stroke-width=\"2\"");
  svg.line({at.x, at.y - 5}, {at.x, at.y + 5}, "stroke=\"#333\" stroke-width=\"2\"");
  svg.line({at.x + length, at.y - 5}, {at.x + length, at.y + 5}, "stroke=\"#333\" stroke-width=\"2\"");
  svg.text({at.x + length + 8, at.y + 4}, fixedText(units, 0) + " units", "font-size=\"12\" fill=\"#333\"");
}

}  // namespace lumaro_ghost
