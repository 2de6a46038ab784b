#include "tools/ghost/LabelLayout.h"

#include <cstddef>
#include <string>

#include "tools/ghost/TextEscapes.h"

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

std::optional<TextPlace> LabelLayout::place(std::string_view text, double fontSize,
                                            const std::vector<TextPlace>& candidates, bool bold) {
  for (const TextPlace& candidate : candidates) {
    const Box box = textBox(text, fontSize, candidate, bold);
    if (box.left < bounds_.left || box.right > bounds_.right || box.top < bounds_.top || box.bottom > bounds_.bottom) {
      continue;
    }
    bool free = true;
    for (const Box& taken : taken_) free = free && !box.overlaps(taken);
    if (!free) continue;
    taken_.push_back(box);
    return candidate;
  }
  return std::nullopt;
}

}  // namespace lumaro_ghost
