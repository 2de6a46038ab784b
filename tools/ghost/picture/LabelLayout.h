// Where the labels of a picture go so that none covers another or lies across a line: each label is tried
// at its candidate places in order and takes the first that overlaps no label placed before it, crosses no
// line to avoid (a run's path, a sector line) and stays within the panel; a label with no such place is
// left out. Text widths are estimated from the number of characters.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ghost/picture/SvgDocument.h"

namespace lumaro_ghost {

struct Box {
  double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
  bool overlaps(const Box& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
  // Whether any part of the segment from a to b lies inside the box.
  bool crossedBy(Pixel a, Pixel b) const;
};

// Where a text stands: its anchor point (on the baseline) and its anchor (start, middle or end).
struct TextPlace {
  Pixel at;
  std::string_view anchor = "start";
};

// The box a text covers, with its white halo.
Box textBox(std::string_view text, double fontSize, const TextPlace& place, bool bold = false);

// A text cut at its blanks into lines that fit a width (as textBox measures them), never inside a word: a
// word wider than the width stands on a line of its own.
std::vector<std::string> wrapWords(std::string_view text, double fontSize, double width);

class LabelLayout {
public:
  explicit LabelLayout(Box bounds) : bounds_(bounds) {}
  // A box no label may cover (a marker, a label placed by other means).
  void reserve(const Box& box) { taken_.push_back(box); }
  // A line no label may lie across, as drawn: its points joined by straight segments.
  void avoid(const std::vector<Pixel>& line);
  // The first candidate place where the text covers nothing taken and stays in bounds; it is then taken.
  std::optional<TextPlace> place(std::string_view text, double fontSize, const std::vector<TextPlace>& candidates,
                                 bool bold = false);

private:
  Box bounds_;
  std::vector<Box> taken_;
  std::vector<Box> lineBoxes_;             // the box of each line avoided, to pass it over at once
  std::vector<std::vector<Pixel>> lines_;  // the lines avoided
};

}  // namespace lumaro_ghost
