#include <algorithm>
#include <array>
#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "library/ghostfile/SplitString.h"

namespace {

using Pieces = std::vector<std::string>;

TEST(SplitString, KeepsInnerEmptyPiecesAndDropsOnlyAnEmptyLastOne) {
  EXPECT_EQ(splitString("a,,b", ","), (Pieces{"a", "", "b"}));
  EXPECT_EQ(splitString("a,b,", ","), (Pieces{"a", "b"}));
  EXPECT_EQ(splitString(",a", ","), (Pieces{"", "a"}));
  EXPECT_EQ(splitString("a", ","), (Pieces{"a"}));
  EXPECT_EQ(splitString("", ","), Pieces{});
  EXPECT_EQ(splitString(",", ","), (Pieces{""}));
  EXPECT_EQ(splitString(",,", ","), (Pieces{"", ""}));
  EXPECT_EQ(splitString(" a , b ", ","), (Pieces{" a ", " b "}));
}

TEST(SplitString, ALongerDelimiterIsMatchedWhole) {
  EXPECT_EQ(splitString("a::b:c::", "::"), (Pieces{"a", "b:c"}));
  EXPECT_EQ(splitString("abc", ""), (Pieces{"abc"}));
  EXPECT_EQ(splitString("", ""), Pieces{});
}

// The frame reader cuts lines without allocating; it must find the same pieces as the splitter.
TEST(SplitString, CutFieldsFindsThePiecesSplitStringGives) {
  std::mt19937 random(7);
  const std::string alphabet = ",,,ab ";
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 12, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    const Pieces expected = splitString(text, ",");
    std::array<std::string_view, 7> cut;
    const std::size_t count = cutFields(text, ',', cut);
    ASSERT_EQ(count, std::min(expected.size(), cut.size())) << '"' << text << '"';
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(cut[i], expected[i]) << '"' << text << '"';
  }
}

}  // namespace
