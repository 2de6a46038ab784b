#include "tools/ghost/picture/SvgDocument.h"

#include <cmath>
#include <cstdio>

#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

std::string svgNumber(double value) {
  if (!std::isfinite(value)) return "0";
  double rounded = std::round(value * 10.0) / 10.0;
  if (rounded == 0.0) rounded = 0.0;  // no "-0"
  char text[40];
  std::snprintf(text, sizeof text, "%.1f", rounded);
  std::string result = text;
  if (result.size() > 2 && result.compare(result.size() - 2, 2, ".0") == 0) result.resize(result.size() - 2);
  return result;
}

void SvgDocument::rect(double x, double y, double width, double height, std::string_view attributes) {
  out_ << "<rect x=\"" << svgNumber(x) << "\" y=\"" << svgNumber(y) << "\" width=\"" << svgNumber(width)
       << "\" height=\"" << svgNumber(height) << "\" " << attributes << "/>\n";
}

void SvgDocument::line(Pixel from, Pixel to, std::string_view attributes) {
  out_ << "<line x1=\"" << svgNumber(from.x) << "\" y1=\"" << svgNumber(from.y) << "\" x2=\"" << svgNumber(to.x)
       << "\" y2=\"" << svgNumber(to.y) << "\" " << attributes << "/>\n";
}

void SvgDocument::circle(Pixel centre, double radius, std::string_view attributes) {
  out_ << "<circle cx=\"" << svgNumber(centre.x) << "\" cy=\"" << svgNumber(centre.y) << "\" r=\"" << svgNumber(radius)
       << "\" " << attributes << "/>\n";
}

void SvgDocument::ellipse(Pixel centre, double radiusX, double radiusY, std::string_view attributes) {
  out_ << "<ellipse cx=\"" << svgNumber(centre.x) << "\" cy=\"" << svgNumber(centre.y) << "\" rx=\""
       << svgNumber(radiusX) << "\" ry=\"" << svgNumber(radiusY) << "\" " << attributes << "/>\n";
}

namespace {

void writePoints(std::ostringstream& out, const std::vector<Pixel>& points) {
  out << "points=\"";
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) out << ' ';
    out << svgNumber(points[i].x) << ',' << svgNumber(points[i].y);
  }
  out << "\" ";
}

}  // namespace

void SvgDocument::polyline(const std::vector<Pixel>& points, std::string_view attributes) {
  out_ << "<polyline ";
  writePoints(out_, points);
  out_ << attributes << "/>\n";
}

void SvgDocument::polygon(const std::vector<Pixel>& points, std::string_view attributes) {
  out_ << "<polygon ";
  writePoints(out_, points);
  out_ << attributes << "/>\n";
}

void SvgDocument::path(const std::vector<std::vector<Pixel>>& pieces, std::string_view attributes) {
  bool any = false;
  for (const auto& piece : pieces) {
    if (piece.size() < 2) continue;
    out_ << (any ? "" : "<path d=\"");
    any = true;
    for (std::size_t i = 0; i < piece.size(); ++i) {
      out_ << (i == 0 ? 'M' : 'L') << svgNumber(piece[i].x) << ' ' << svgNumber(piece[i].y);
    }
  }
  if (any) out_ << "\" " << attributes << "/>\n";
}

void SvgDocument::text(Pixel at, std::string_view content, std::string_view attributes, std::string_view anchor) {
  out_ << "<text x=\"" << svgNumber(at.x) << "\" y=\"" << svgNumber(at.y) << "\" text-anchor=\"" << anchor << "\" "
       << attributes << '>' << xmlText(lineText(content)) << "</text>\n";
}

void SvgDocument::raw(std::string_view markup) { out_ << markup << '\n'; }

void SvgDocument::beginClip(double x, double y, double width, double height) {
  const std::string id = "clip-" + std::to_string(++clips_);
  out_ << "<clipPath id=\"" << id << "\"><rect x=\"" << svgNumber(x) << "\" y=\"" << svgNumber(y) << "\" width=\""
       << svgNumber(width) << "\" height=\"" << svgNumber(height) << "\"/></clipPath>\n<g clip-path=\"url(#" << id
       << ")\">\n";
}

void SvgDocument::endClip() { out_ << "</g>\n"; }

std::string SvgDocument::finish(double width, double height) const {
  std::ostringstream document;
  document << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << svgNumber(width) << "\" height=\""
           << svgNumber(height) << "\" viewBox=\"0 0 " << svgNumber(width) << ' ' << svgNumber(height)
           << "\" font-family=\"DejaVu Sans, Verdana, Arial, sans-serif\">\n"
           << "<rect width=\"" << svgNumber(width) << "\" height=\"" << svgNumber(height) << "\" fill=\"#fff\"/>\n"
           << out_.str() << "</svg>\n";
  return document.str();
}

}  // namespace lumaro_ghost
