#include "tools/ghost/SvgDocument.h"

#include <cmath>
#include <cstdio>

namespace lumaro_ghost {

namespace {

// The length of the UTF-8 sequence starting at text[at], or 0 when it is not one.
std::size_t utf8Length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  std::size_t length = 0;
  unsigned minimum = 0;
  unsigned code = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1Fu, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0Fu, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07u, minimum = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0u) != 0x80u) return 0;
    code = (code << 6) | (byte(at + i) & 0x3Fu);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::string xmlText(std::string_view text) {
  std::string safe;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8Length(text, at);
    if (length == 0) {
      safe += "\xEF\xBF\xBD";
      ++at;
      continue;
    }
    const char c = text[at];
    if (length == 1) {
      if (c == '&') {
        safe += "&amp;";
      } else if (c == '<') {
        safe += "&lt;";
      } else if (c == '>') {
        safe += "&gt;";
      } else if (c == '"') {
        safe += "&quot;";
      } else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
        safe += c;
      }
    } else {
      safe.append(text.substr(at, length));
    }
    at += length;
  }
  return safe;
}

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

void SvgDocument::text(Pixel at, std::string_view content, std::string_view attributes, std::string_view anchor) {
  out_ << "<text x=\"" << svgNumber(at.x) << "\" y=\"" << svgNumber(at.y) << "\" text-anchor=\"" << anchor << "\" "
       << attributes << '>' << xmlText(content) << "</text>\n";
}

void SvgDocument::raw(std::string_view markup) { out_ << markup << '\n'; }

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
