// The field splitter of every ghost-file reader. A text is cut at every occurrence of the delimiter; the
// piece before each occurrence is kept even when empty, and the rest after the last occurrence is kept only
// when it is not empty ("a,b," gives a and b; ",a" gives an empty piece and a).
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The pieces of text, in order. An empty delimiter never matches: the whole text is one piece (none when
// the text is empty).
std::vector<std::string> splitString(std::string_view text, std::string_view delimiter);

// The same cut, without allocating: fills pieces with views into text, front to back, and stops when pieces
// is full. Returns how many were filled, which is the number of pieces splitString gives when that is no
// more than pieces.size().
std::size_t cutFields(std::string_view text, char delimiter, std::span<std::string_view> pieces);
