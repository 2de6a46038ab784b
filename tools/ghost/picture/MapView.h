// What the map panels of a picture share: the top-down view (x to the right, y downward) that puts the
// game's units on pixels at one scale, the start marker with the direction of travel, and the scale bar.
#pragma once

#include <limits>
#include <vector>

#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/picture/LabelLayout.h"
#include "tools/ghost/picture/SvgDocument.h"

namespace lumaro_ghost {

struct Bounds {
  double minX = std::numeric_limits<double>::infinity();
  double minY = std::numeric_limits<double>::infinity();
  double maxX = -std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();
  void add(const std::vector<MapPoint>& points);
  bool empty() const { return !(minX <= maxX); }
};

struct MapView {
  double left = 0.0;
  double top = 0.0;
  double scale = 1.0;
  Bounds bounds;
  Pixel at(MapPoint p) const { return {left + (p.x - bounds.minX) * scale, top + (p.y - bounds.minY) * scale}; }
  std::vector<Pixel> pixels(const std::vector<MapPoint>& points) const;
};

// The start: a circle on it, an arrow the way the run sets off, and "start" beside it, clear of the
// marker, on the side away from `away` (the map's middle), within left and right (the panel's edges) and
// below top (what a panel shows above its map): a label that would rise above top goes below the marker.
// Returns the box the marker and its label cover.
Box drawStartMarker(SvgDocument& svg, Pixel at, MapPoint heading, Pixel away, double left, double right,
                    double top = -1e300);

// A bar of a round number of units, about a fifth of the map's width, with its length written beside it.
void drawScaleBar(SvgDocument& svg, Pixel at, const MapView& view, double mapWidth);

}  // namespace lumaro_ghost
