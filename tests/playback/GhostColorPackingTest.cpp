// Colour packing: the examples the map's script decodes, the 0.001 rule, and levels chosen so that each
// single- or double-precision step shows in the result if it is taken in the other precision.
#include <bit>
#include <cstdint>
#include <memory>

#include <gtest/gtest.h>

#include "playback/GhostColorPacking.h"

namespace {

float packed(float red, float green, float blue) {
  const GhostColorParts parts = ghostColorParts({red, green, blue, 255.0f});
  return packGhostColor(parts.red, parts.green, parts.blue);
}

// Bit-exact comparison: the map's script reads the float's decimals.
void expectSameFloat(float actual, float expected) {
  EXPECT_EQ(std::bit_cast<std::uint32_t>(actual), std::bit_cast<std::uint32_t>(expected))
      << actual << " vs " << expected;
}

TEST(GhostColorPacking, TheExamples) {
  expectSameFloat(packed(255, 255, 255), (0.9f + 10.0f) + 0.099f);  // no 0.001: blue is not below 254
  expectSameFloat(packed(255, 0, 0), (0.0f + 10.001f) + 0.0f);
  expectSameFloat(packed(0, 255, 0), (0.9f + 0.0f) + 0.0f);
  expectSameFloat(packed(0, 0, 255), (0.0f + 0.0f) + 0.099f);
  expectSameFloat(packed(128, 64, 32), (0.2f + 5.001f) + 0.012f);
  expectSameFloat(packed(0, 0, 0), 0.0f);
  EXPECT_NEAR(packed(255, 255, 255), 10.999f, 1e-5f);
  EXPECT_NEAR(packed(128, 64, 32), 5.213f, 1e-5f);
}

TEST(GhostColorPacking, TheExtraThousandthOnlyBelowBlue254) {
  const GhostColorParts below = ghostColorParts({255, 0, 253, 255});
  expectSameFloat(below.red, 10.001f);
  expectSameFloat(below.blue, 0.098f);
  const GhostColorParts at = ghostColorParts({255, 0, 254, 255});
  expectSameFloat(at.red, 10.0f);
  expectSameFloat(at.blue, 0.099f);
}

TEST(GhostColorPacking, RedBelowATenthOfFullIsZeroAndGetsNoThousandth) {
  expectSameFloat(ghostColorParts({25, 0, 0, 255}).red, 0.0f);
  expectSameFloat(ghostColorParts({25.4f, 0, 0, 255}).red, 0.0f);
  expectSameFloat(ghostColorParts({26, 0, 0, 255}).red, 1.001f);
}

TEST(GhostColorPacking, RedIsScaledInSinglePrecision) {
  // 178.5 / 255 * 10 is 7 exactly; the float quotient rounds up to it, the same quotient times 10 in
  // double stays just below and would truncate to 6.
  expectSameFloat(ghostColorParts({178.5f, 0, 255, 255}).red, 7.0f);
  expectSameFloat(ghostColorParts({178.5f, 0, 0, 255}).red, 7.001f);
}

TEST(GhostColorPacking, GreenAndBlueDivideInSingleAndRoundInDouble) {
  // 212.5 / 255 is 5/6: in double the green half-way point rounds up to 0.8, the float quotient lies
  // just below it.
  expectSameFloat(ghostColorParts({0, 212.5f, 212.5f, 255}).green, 0.7f);
  expectSameFloat(ghostColorParts({0, 212.5f, 212.5f, 255}).blue, 0.082f);
  // Levels whose scaled value lies just below a half-way point in double but reaches it in float.
  expectSameFloat(ghostColorParts({0, 0x1.c55554p+3f, 0, 255}).green, 0.0f);
  expectSameFloat(ghostColorParts({0, 0, 0x1.49b26ap+0f, 255}).blue, 0.0f);
}

TEST(GhostColorPacking, GreenAndRedAreAddedFirst) {
  // (26, 15, 95): red 1.001, green 0.1, blue 0.037. Adding red and blue first gives another float.
  expectSameFloat(packed(26, 15, 95), (0.1f + 1.001f) + 0.037f);
  EXPECT_NE((0.1f + 1.001f) + 0.037f, 0.1f + (1.001f + 0.037f));
}

}  // namespace
