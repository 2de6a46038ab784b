#include "tools/ghost/picture/PictureSvg.h"

#include <cmath>
#include <string>
#include <utility>

#include "tools/ghost/picture/ComparisonMap.h"
#include "tools/ghost/picture/LabelLayout.h"
#include "tools/ghost/picture/MapPanels.h"
#include "tools/ghost/picture/PictureStyle.h"
#include "tools/ghost/picture/SvgDocument.h"
#include "tools/ghost/picture/TracePanels.h"

namespace lumaro_ghost {

MapPoint headingFrom(const std::vector<MapPoint>& path) {
  if (path.empty()) return {1.0, 0.0};
  double total = 0.0;
  for (std::size_t i = 1; i < path.size(); ++i)
    total += std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y);
  const MapPoint& start = path.front();
  for (const MapPoint& point : path) {
    const double away = std::hypot(point.x - start.x, point.y - start.y);
    if (away > 0.0 && away >= total * 0.005) return {(point.x - start.x) / away, (point.y - start.y) / away};
  }
  return {1.0, 0.0};
}

PicturePanel runPanel(std::string title, std::string caption, std::span<const GhostFrame> frames,
                      std::span<const double> speed) {
  PicturePanel panel;
  panel.title = std::move(title);
  panel.caption = std::move(caption);
  for (const GhostFrame& frame : frames) panel.path.push_back({frame.x, frame.y});
  panel.speed.assign(speed.begin(), speed.end());
  if (!panel.path.empty()) {
    panel.start = panel.path.front();
    panel.heading = headingFrom(panel.path);
  }
  return panel;
}

std::string pictureSvg(const Picture& picture) {
  SvgDocument svg;
  svg.text({margin, 34}, picture.title, "font-size=\"20\" font-weight=\"bold\" fill=\"#111\"");
  double y = 52.0;
  for (const std::string& note : picture.notes) {
    for (const std::string& line : wrapWords(note, 13.0, pictureWidth - 2 * margin)) {
      svg.text({margin, y + 4}, line, "font-size=\"13\" fill=\"#a63603\"");
      y += 20.0;
    }
  }
  y = picture.comparison ? drawComparisonMap(svg, *picture.comparison, y) : drawMapPanels(svg, picture, y);
  if (picture.trace) {
    // Three runs or more have a speed map each: their trace is the difference alone.
    if (picture.trace->others.empty()) y = drawSpeedPanel(svg, *picture.trace, y);
    y = drawDeltaPanel(svg, *picture.trace, y);
  }
  return svg.finish(pictureWidth, std::ceil(y + margin - panelGap));
}

}  // namespace lumaro_ghost
