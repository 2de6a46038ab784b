// The field splitter: splitString against a plain cut written out character by character, and cutFields
// against splitString. The first byte of the input gives the delimiter's length (0 to 3); the delimiter's
// bytes follow, the text is the rest.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "library/ghostfile/SplitString.h"

namespace {

// Cut at every place the delimiter starts, scanning from the left and resuming after each match; keep the
// last piece only when it is not empty. No delimiter: the text whole, when there is one.
std::vector<std::string> plainCut(std::string_view text, std::string_view delimiter) {
  std::vector<std::string> pieces;
  if (delimiter.empty()) {
    if (!text.empty()) pieces.emplace_back(text);
    return pieces;
  }
  std::string piece;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text.compare(at, delimiter.size(), delimiter) == 0) {
      pieces.push_back(piece);
      piece.clear();
      at += delimiter.size();
    } else {
      piece += text[at++];
    }
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t delimiterLength = std::min<std::size_t>(data[0] % 4, size - 1);
  const std::string_view delimiter = input.substr(1, delimiterLength);
  const std::string_view text = input.substr(1 + delimiterLength);

  const std::vector<std::string> pieces = splitString(text, delimiter);
  const std::vector<std::string> expected = plainCut(text, delimiter);
  FUZZ_CHECK(pieces == expected, "splitString gives %zu pieces, the plain cut %zu", pieces.size(), expected.size());

  // The field cut of the frame reader: the same pieces for a one-byte delimiter, up to the room given.
  if (delimiter.size() == 1) {
    std::array<std::string_view, 8> room;
    const std::size_t count = cutFields(text, delimiter[0], room);
    FUZZ_CHECK(count == std::min(pieces.size(), room.size()), "cutFields fills %zu of %zu pieces", count,
               pieces.size());
    for (std::size_t i = 0; i < count; ++i) {
      FUZZ_CHECK(room[i] == pieces[i], "cutFields piece %zu differs", i);
    }
  }
  return 0;
}
