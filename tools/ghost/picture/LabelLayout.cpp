#include "tools/ghost/picture/LabelLayout.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>

#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

Box textBox(std::string_view text, double fontSize, const TextPlace& place, bool bold) {
  std::size_t characters = 0;
  for (std::size_t at = 0; at < text.size(); ++characters) {
    const CodePoint point = readCodePoint(text, at);
    at += point.length == 0 ? 1 : point.length;
  }
  // About six tenths of the font size a character, a little more in bold; the halo adds two pixels a side.
  const double width = static_cast<double>(characters) * fontSize * (bold ? 0.66 : 0.6) + 4.0;
  const double left = place.anchor == "middle" ? place.at.x - width / 2.0
                      : place.anchor == "end"  ? place.at.x - width + 2.0
                                               : place.at.x - 2.0;
  return {left, place.at.y - fontSize * 0.85 - 2.0, left + width, place.at.y + fontSize * 0.25 + 2.0};
}

std::vector<std::string> wrapWords(std::string_view text, double fontSize, double width) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t blank = std::min(text.find(' ', at), text.size());
    const std::string_view word = text.substr(at, blank - at);
    const std::string longer = line.empty() ? std::string(word) : line + " " + std::string(word);
    const Box box = textBox(longer, fontSize, {{0.0, 0.0}, "start"});
    if (!line.empty() && box.right - box.left > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = longer;
    }
    at = blank + 1;
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

bool Box::crossedBy(Pixel a, Pixel b) const {
  // The segment a + t (b - a), t in [0, 1], clipped to the box one side at a time.
  double enter = 0.0, leave = 1.0;
  const double dx = b.x - a.x, dy = b.y - a.y;
  for (const auto& [towards, room] : {std::pair{-dx, a.x - left}, std::pair{dx, right - a.x}, std::pair{-dy, a.y - top},
                                      std::pair{dy, bottom - a.y}}) {
    if (towards == 0.0) {
      if (room < 0.0) return false;
      continue;
    }
    const double t = room / towards;
    if (towards < 0.0) {
      enter = std::max(enter, t);
    } else {
      leave = std::min(leave, t);
    }
    if (enter > leave) return false;
  }
  return true;
}

void LabelLayout::avoid(const std::vector<Pixel>& line) {
  if (line.empty()) return;
  Box box{line.front().x, line.front().y, line.front().x, line.front().y};
  for (const Pixel& point : line) {
    box.left = std::min(box.left, point.x), box.right = std::max(box.right, point.x);
    box.top = std::min(box.top, point.y), box.bottom = std::max(box.bottom, point.y);
  }
  lineBoxes_.push_back(box);
  lines_.push_back(line);
}

std::optional<TextPlace> LabelLayout::place(std::string_view text, double fontSize,
                                            const std::vector<TextPlace>& candidates, bool bold) {
  for (const TextPlace& candidate : candidates) {
    const Box box = textBox(text, fontSize, candidate, bold);
    if (box.left < bounds_.left || box.right > bounds_.right || box.top < bounds_.top || box.bottom > bounds_.bottom) {
      continue;
    }
    bool free = true;
    for (const Box& taken : taken_) free = free && !box.overlaps(taken);
    for (std::size_t i = 0; free && i < lines_.size(); ++i) {
      const Box& around = lineBoxes_[i];
      // A box the line's own box only touches is crossed by no segment of it.
      if (!(box.left <= around.right && around.left <= box.right && box.top <= around.bottom &&
            around.top <= box.bottom)) {
        continue;
      }
      const std::vector<Pixel>& line = lines_[i];
      for (std::size_t k = 1; free && k < line.size(); ++k) free = !box.crossedBy(line[k - 1], line[k]);
      if (line.size() == 1) free = !box.crossedBy(line[0], line[0]);
    }
    if (!free) continue;
    taken_.push_back(box);
    return candidate;
  }
  return std::nullopt;
}

}  // namespace lumaro_ghost
