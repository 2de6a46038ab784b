// A small writer of self-contained SVG: shapes, polylines and text in pixel coordinates, every number with
// at most one decimal, every text shown as the terminal shows it (lineText: control, bidirectional and
// invisible characters as escapes) and made safe for XML by xmlText (TextEscapes.h), so that any file name or
// player name gives a picture every browser opens, and no name reorders the caption after it.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

struct Pixel {
  double x = 0.0;
  double y = 0.0;
};

// A number as SVG coordinates are written: rounded to one decimal, without a trailing ".0".
std::string svgNumber(double value);

class SvgDocument {
public:
  // attributes: written as given (style, class, clip-path...), after the geometry.
  void rect(double x, double y, double width, double height, std::string_view attributes);
  void line(Pixel from, Pixel to, std::string_view attributes);
  void circle(Pixel centre, double radius, std::string_view attributes);
  void ellipse(Pixel centre, double radiusX, double radiusY, std::string_view attributes);
  void polyline(const std::vector<Pixel>& points, std::string_view attributes);
  void polygon(const std::vector<Pixel>& points, std::string_view attributes);
  // Pieces of line as one path element, each piece its points joined by straight lines (a piece of fewer
  // than two points is left out).
  void path(const std::vector<std::vector<Pixel>>& pieces, std::string_view attributes);
  // anchor: start, middle or end.
  void text(Pixel at, std::string_view content, std::string_view attributes, std::string_view anchor = "start");
  // Raw markup: definitions, group openings and closings.
  void raw(std::string_view markup);
  // What is drawn until endClip is cut to the rectangle: a name from a file, however long, ends at the edge
  // of its panel instead of running over the next one.
  void beginClip(double x, double y, double width, double height);
  void endClip();

  // The whole document, on a white background of the given size: the size is known only once everything
  // has been laid out.
  std::string finish(double width, double height) const;

private:
  std::ostringstream out_;
  int clips_ = 0;  // each clip has an id of its own
};

}  // namespace lumaro_ghost
