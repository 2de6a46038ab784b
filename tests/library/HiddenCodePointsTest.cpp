// The code points a name can hide in, at the edges of each range Unicode gives them, and UTF-8 read a code point
// at a time: every shortest form from one to four bytes, and overlong forms, surrogates and cut sequences refused.
#include <cstddef>
#include <ios>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "library/ghostfile/HiddenCodePoints.h"

namespace {

TEST(HiddenCodePoints, EachRangeIsHiddenFromItsFirstToItsLastCodePointAndNotOneFurther) {
  struct Range {
    char32_t first, last;
  };
  const Range ranges[] = {
      {0x80, 0x9F},                        // C1 controls
      {0xAD, 0xAD},       {0x34F, 0x34F},  // soft hyphen, combining grapheme joiner
      {0x600, 0x605},     {0x6DD, 0x6DD},     {0x70F, 0x70F},   {0x890, 0x891}, {0x8E2, 0x8E2},  // prepended marks
      {0x61C, 0x61C},                                                                            // Arabic letter mark
      {0x115F, 0x1160},   {0x3164, 0x3164},   {0xFFA0, 0xFFA0},                                  // Hangul fillers
      {0x17B4, 0x17B5},   {0x180B, 0x180F},    // Khmer inherent vowels, Mongolian selectors
      {0x200B, 0x200F},                        // zero-width space, joiners, direction marks
      {0x2028, 0x202E},                        // line and paragraph separators, embeddings, overrides
      {0x2060, 0x206F},                        // word joiner, invisible operators, isolates
      {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},    // variation selectors, zero-width no-break space
      {0xFFF0, 0xFFFB},                        // interlinear annotation
      {0x110BD, 0x110BD}, {0x110CD, 0x110CD},  // Kaithi number signs
      {0x13430, 0x1343F},                      // hieroglyph format controls
      {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A},  // shorthand format controls, musical beams
      {0xE0000, 0xE0FFF},                      // tags and variation selectors supplement
  };
  for (const Range& range : ranges) {
    EXPECT_TRUE(isHiddenCodePoint(range.first)) << std::hex << static_cast<unsigned>(range.first);
    EXPECT_TRUE(isHiddenCodePoint(range.last)) << std::hex << static_cast<unsigned>(range.last);
    EXPECT_FALSE(isHiddenCodePoint(range.first - 1)) << std::hex << static_cast<unsigned>(range.first - 1);
    EXPECT_FALSE(isHiddenCodePoint(range.last + 1)) << std::hex << static_cast<unsigned>(range.last + 1);
  }
}

TEST(HiddenCodePoints, ReadsEachShortestFormAndRefusesEverythingElse) {
  struct Row {
    std::string_view text;
    std::size_t at;
    char32_t value;
    std::size_t length;  // 0: no UTF-8
  };
  const Row rows[] = {
      {"A", 0, 0x41, 1},
      {"\xC2\x80", 0, 0x80, 2},
      {"\xDF\xBF", 0, 0x7FF, 2},
      {"\xE0\xA0\x80", 0, 0x800, 3},
      {"\xED\x9F\xBF", 0, 0xD7FF, 3},
      {"\xEE\x80\x80", 0, 0xE000, 3},
      {"\xEF\xBF\xBF", 0, 0xFFFF, 3},
      {"\xF0\x90\x80\x80", 0, 0x10000, 4},
      {"\xF4\x8F\xBF\xBF", 0, 0x10FFFF, 4},
      {"x\xE2\x80\xAE", 1, 0x202E, 3},
      {"\xC0\x80", 0, 0, 0},          // overlong NUL
      {"\xC1\xBF", 0, 0, 0},          // overlong U+007F
      {"\xE0\x9F\xBF", 0, 0, 0},      // overlong U+07FF
      {"\xF0\x8F\xBF\xBF", 0, 0, 0},  // overlong U+FFFF
      {"\xF0\x82\x80\xAE", 0, 0, 0},  // overlong U+202E
      {"\xED\xA0\x80", 0, 0, 0},      // the first surrogate
      {"\xED\xBF\xBF", 0, 0, 0},      // the last surrogate
      {"\xF4\x90\x80\x80", 0, 0, 0},  // U+110000
      {"\xF5\x80\x80\x80", 0, 0, 0},
      {"\x80", 0, 0, 0},
      {"\xBF", 0, 0, 0},
      {"\xFF", 0, 0, 0},
      {"\xC2", 0, 0, 0},
      {"\xE2\x80", 0, 0, 0},
      {"\xF3\xA0\x81", 0, 0, 0},
      {"\xE2\x80"
       "A",
       0, 0, 0},
  };
  for (const Row& row : rows) {
    const CodePoint point = readCodePoint(row.text, row.at);
    EXPECT_EQ(point.length, row.length) << testing::PrintToString(std::string(row.text));
    if (row.length == 0) continue;
    EXPECT_EQ(point.value, row.value) << testing::PrintToString(std::string(row.text));
  }
}

TEST(HiddenCodePoints, ShowsEachHiddenCodePointAsItsEscapeAndEveryOtherByteAsItIs) {
  struct Row {
    std::string_view text, shown;
  };
  const Row rows[] = {
      {"Ann", "Ann"},
      {"\xC2\x80", "\\u0080"},
      {"\xC2\x9F", "\\u009f"},
      {"\xC2\xA0", "\xC2\xA0"},  // no-break space
      {"A\xE2\x80\xAE"
       "B",
       "A\\u202eB"},
      {"\xEF\xBB\xBF", "\\ufeff"},
      {"\xF3\xA0\x80\x80", "\\U000e0000"},
      {"\xF3\xA0\x81\x81", "\\U000e0041"},
      {"\xF3\xA0\xBF\xBF", "\\U000e0fff"},
      {"\xF3\xA1\x80\x80", "\xF3\xA1\x80\x80"},
      {"\xF0\x9D\x85\xB3", "\\U0001d173"},
      {"\xF0\x9D\x85\xBB", "\xF0\x9D\x85\xBB"},
      {"\xF0\x9F\x8F\x81", "\xF0\x9F\x8F\x81"},  // a chequered flag
      {"\x85", "\x85"},                          // U+0085's code as a lone byte is no UTF-8
      {"\xC0\x80", "\xC0\x80"},
      {"\xF0\x82\x80\xAE", "\xF0\x82\x80\xAE"},
      {"\xED\xA0\x80", "\xED\xA0\x80"},
      {"\xE2\xE2\x80\xAE", "\xE2\\u202e"},
      {"\xE2\x80\xE2\x80\x8B", "\xE2\x80\\u200b"},
      {"a\xF3\xA0\x81", "a\xF3\xA0\x81"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(hiddenCodePointsShown(row.text), row.shown) << testing::PrintToString(std::string(row.text));
  }
  EXPECT_EQ(codePointEscape(0xFFFF), "\\uffff");
  EXPECT_EQ(codePointEscape(0x10000), "\\U00010000");
  EXPECT_EQ(codePointEscape(0x10FFFF), "\\U0010ffff");
}

}  // namespace
