// Lines as ghost files are read: ends at LF (a CR just before it dropped, a lone CR kept), a last line without
// an end, and a line longer than the limit stopping the reading or cut to the limit; the first line read alike.
#include <cstddef>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "library/ghostfile/LineReader.h"

namespace {

std::string a(std::size_t count) { return std::string(count, 'a'); }

struct LineRow {
  std::string name;
  std::string text;
  LongLine atLongLine;
  std::vector<std::string> lines;
  bool tooLong = false;
  std::size_t limit = 4096;
};

TEST(LineReader, GivesEachLineByItsEndAndStopsAtOrCutsALineLongerThanTheLimit) {
  const LongLine stop = LongLine::Stop, cut = LongLine::Cut;
  const std::vector<LineRow> rows = {
      {"LF", "a\nb\n", stop, {"a", "b"}},
      {"CR LF", "a\r\nb\r\n", stop, {"a", "b"}},
      {"a lone CR is no line end", "a\rb\n", stop, {"a\rb"}},
      {"only the CR just before the LF goes", "a\r\r\n", stop, {"a\r"}},
      {"a last line without an end", "a\nb", stop, {"a", "b"}},
      {"a CR at the stream's end stays", "a\nb\r", stop, {"a", "b\r"}},
      {"an empty stream", "", stop, {}},
      {"empty lines", "\n\r\n", stop, {"", ""}},
      {"4096 bytes and LF", a(4096) + "\nb", stop, {a(4096), "b"}},
      {"4096 bytes and CR LF", a(4096) + "\r\n", stop, {a(4096)}},
      {"4096 bytes at the stream's end", a(4096), stop, {a(4096)}},
      {"4097 bytes and LF", "ok\n" + a(4097) + "\nafter\n", stop, {"ok"}, true},
      {"4097 bytes at the stream's end", a(4097), stop, {}, true},
      {"4096 bytes and a CR at the stream's end", a(4096) + "\r", stop, {}, true},
      {"no line feed in a megabyte", a(1 << 20), stop, {}, true},
      // The reader reads ahead 64 KiB at a time: here the LF comes only in the second read, after the CR.
      {"CR LF split over two reads", a(65535) + "\r\nb", stop, {a(65535), "b"}, false, 65535},
      {"4097 bytes and LF, cut", "ok\n" + a(4097) + "\nafter\n", cut, {"ok", a(4096), "after"}},
      {"4097 bytes and CR LF, cut", a(4097) + "\r\nafter", cut, {a(4096), "after"}},
      {"a line longer than a read, cut", a(100000) + "\nafter\n", cut, {a(4096), "after"}},
      {"4097 bytes at the stream's end, cut", a(4097), cut, {a(4096)}},
  };
  for (const LineRow& row : rows) {
    std::istringstream in(row.text);
    LineReader reader(in, row.limit, row.atLongLine);
    std::vector<std::string> lines;
    for (std::string_view line; reader.next(line);) lines.emplace_back(line);
    EXPECT_EQ(lines, row.lines) << row.name;
    EXPECT_EQ(reader.lineTooLong(), row.tooLong) << row.name;
    if (row.atLongLine == cut) continue;
    // The first line by the same rules, from a stream and from plain reads.
    const std::optional<std::string> first = row.lines.empty() ? std::nullopt : std::optional(row.lines[0]);
    std::istringstream again(row.text);
    EXPECT_EQ(readFirstLine(again, row.limit), first) << row.name;
    std::size_t taken = 0;
    const auto read = [&](char* into, std::size_t count) {
      const std::size_t got = row.text.copy(into, count, taken);
      taken += got;
      return got;
    };
    EXPECT_EQ(readFirstLineFrom(read, row.limit), first) << row.name;
  }
}

TEST(LineReader, StopsReadingAtALineTooLongToKeepWithoutReadingOn) {
  const std::string text = a(1 << 20);
  std::istringstream in(text);
  LineReader reader(in, 4096);
  std::string_view line;
  EXPECT_FALSE(reader.next(line));
  EXPECT_TRUE(reader.lineTooLong());
  EXPECT_LT(in.tellg(), static_cast<std::streamoff>(text.size()));
  EXPECT_GT(in.tellg(), 4096);
}

TEST(LineReader, SkipsALineOfAnyLengthAndCountsTheBytesTaken) {
  std::istringstream in("ab\r\ncd\n" + a(100000) + "\nef");
  LineReader reader(in, 10);
  std::string_view line;
  ASSERT_TRUE(reader.next(line));
  EXPECT_EQ(line, "ab");
  EXPECT_EQ(reader.taken(), 4u);
  EXPECT_TRUE(reader.skipLine());
  EXPECT_EQ(reader.taken(), 7u);
  EXPECT_TRUE(reader.skipLine());  // ten thousand times the limit
  EXPECT_EQ(reader.taken(), 100008u);
  ASSERT_TRUE(reader.next(line));
  EXPECT_EQ(line, "ef");
  EXPECT_EQ(reader.taken(), 100010u);
  EXPECT_FALSE(reader.next(line));
  EXPECT_FALSE(reader.skipLine());
  EXPECT_FALSE(reader.lineTooLong());
}

}  // namespace
