#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GhostFileHelpers.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/NumberReading.h"

namespace {

std::string printed(float value) {
  char text[128];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  return text;
}

std::string location(float value) {
  char text[locationTextCapacity];
  return std::string(text, formatLocation(text, value));
}

std::string frameLine(const GhostFrame& frame) {
  char text[frameLineCapacity];
  return std::string(text, formatFrameLine(text, frame));
}

GhostFrame frameOf(std::int32_t time, float x, float y, float z, float pitch, float yaw, float roll) {
  return ghostFrame(time, x, y, z, pitch, yaw, roll);
}

TEST(GhostLocationText, IsPrintfPercentPointTwoFOfTheWidenedValue) {
  EXPECT_EQ(location(-0.001f), "-0.00");
  EXPECT_EQ(location(-0.0f), "-0.00");
  // Decimal halves are not halves in binary: 0.005f is 0.00499999988..., so it rounds down, not up.
  EXPECT_EQ(location(0.005f), "0.00");
  EXPECT_EQ(location(0.015f), "0.01");
  EXPECT_EQ(location(2.675f), "2.67");
  EXPECT_EQ(location(-1234.567f), "-1234.57");
  EXPECT_EQ(location(FLT_MAX), "340282346638528859811704183484516925440.00");
  EXPECT_EQ(location(-1e30f), printed(-1e30f));
  EXPECT_EQ(location(16777216.0f), "16777216.00");
  EXPECT_EQ(location(0.125f), "0.12");  // exact binary halves round to even, as printf does
  EXPECT_EQ(location(0.375f), "0.38");
}

TEST(GhostLocationText, AgreesWithSnprintfOnALargeRandomSample) {
  std::mt19937 random(3);
  // Every float bit pattern is as likely: huge, tiny, subnormal, negative, inf and nan included.
  for (int round = 0; round < 2'000'000; ++round) {
    const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    ASSERT_EQ(location(value), printed(value)) << std::hexfloat << value;
  }
  // Map-sized coordinates, where hundredths decide.
  std::uniform_real_distribution<float> onMap(-20000.0f, 20000.0f);
  for (int round = 0; round < 1'000'000; ++round) {
    const float value = onMap(random);
    ASSERT_EQ(location(value), printed(value)) << std::hexfloat << value;
  }
  // Values written in decimal as halves of a hundredth.
  for (int hundredths = -200000; hundredths <= 200000; ++hundredths) {
    const auto value = static_cast<float>((hundredths + 0.5) / 100.0);
    ASSERT_EQ(location(value), printed(value)) << std::hexfloat << value;
  }
}

TEST(GhostRotationText, IsTruncatedTowardZero) {
  EXPECT_EQ(rotationUnits(-91.7f), -91);
  EXPECT_EQ(rotationUnits(91.7f), 91);
  EXPECT_EQ(rotationUnits(-0.5f), 0);
  EXPECT_EQ(rotationUnits(16384.0f), 16384);
  EXPECT_EQ(rotationUnits(-2147483648.0f), INT32_MIN);
  EXPECT_EQ(rotationUnits(2147483648.0f), INT32_MIN);
  EXPECT_EQ(rotationUnits(NAN), INT32_MIN);
  EXPECT_EQ(frameLine(frameOf(-5, 0, 0, 0, -91.7f, -0.9f, 65535.9f)), "-5,0.00,0.00,0.00,-91,0,65535\r\n");
}

TEST(GhostFile, TheTwoFrameExampleIsWrittenByteForByte) {
  const GhostFrame frames[] = {frameOf(0, -1234.567f, 250.0f, 17.01f, 0.0f, 16384.0f, 0.0f),
                               frameOf(16, -1230.12f, 250.0f, 17.01f, -91.0f, 16384.0f, 0.0f)};
  std::ostringstream out;
  writeGhost(out, GhostHeader{"TestMap", "Player", 16, 1, "1.1"}, frames);
  EXPECT_EQ(out.str(),
            "TestMap,Player,16,1-Lap,1.1\r\n"
            "0,-1234.57,250.00,17.01,0,16384,0\r\n"
            "16,-1230.12,250.00,17.01,-91,16384,0\r\n");
}

TEST(GhostFile, AGhostLargerThanOneWriteBlockKeepsEveryLineWhole) {
  std::vector<GhostFrame> frames;
  std::string expected = "M,P,0,3-Lap,1.1\r\n";
  for (int i = 0; i < 5000; ++i) {
    frames.push_back(frameOf(i, -12345.678f * static_cast<float>(i), 1e20f, 0.5f, -32768.0f, 32767.0f, 1.0f));
    expected += frameLine(frames.back());
  }
  std::ostringstream out;
  writeGhost(out, GhostHeader{"M", "P", 0, 3, "1.1"}, frames);
  EXPECT_EQ(out.str(), expected);
}

TEST(GhostFile, FrameLinesAgreeWithSnprintfForIntegersOfEveryLength) {
  std::mt19937 random(5);
  std::vector<std::int32_t> integers = {0,          -1,        9,         10,           99,
                                        100,        99999999,  100000000, -100000000,   999999999,
                                        1000000000, INT32_MAX, INT32_MIN, INT32_MIN + 1};
  for (int round = 0; round < 200'000; ++round) {
    // Every length from one to ten digits as likely.
    std::uint64_t value = random();
    for (int cut = static_cast<int>(random() % 10); cut > 0; --cut) value /= 10;
    integers.push_back(static_cast<std::int32_t>(random() % 2 == 0 ? value : 0 - value));
  }
  std::uniform_real_distribution<float> onMap(-20000.0f, 20000.0f);
  for (std::size_t i = 0; i + 3 < integers.size(); ++i) {
    const GhostFrame frame = frameOf(integers[i], onMap(random), onMap(random) * 1e4f, onMap(random) / 1e4f,
                                     static_cast<float>(integers[i + 1]), static_cast<float>(integers[i + 2]),
                                     static_cast<float>(integers[i + 3]));
    char expected[frameLineCapacity];
    std::snprintf(expected, sizeof expected, "%d,%.2f,%.2f,%.2f,%d,%d,%d\r\n", frame.time, static_cast<double>(frame.x),
                  static_cast<double>(frame.y), static_cast<double>(frame.z), rotationUnits(frame.pitch),
                  rotationUnits(frame.yaw), rotationUnits(frame.roll));
    ASSERT_EQ(frameLine(frame), expected);
  }
}

std::vector<GhostFrame> readAll(const std::string& bytes, FrameReadReport* report = nullptr) {
  std::istringstream in(bytes);
  std::vector<GhostFrame> frames;
  const FrameReadReport result = readGhostFrames(in, frames);
  if (report != nullptr) *report = result;
  return frames;
}

TEST(GhostFile, ReadsBackWhatWasWrittenWithLocationsRoundedToHundredths) {
  std::mt19937 random(9);
  std::uniform_real_distribution<float> onMap(-20000.0f, 20000.0f);
  std::vector<GhostFrame> frames;
  frames.reserve(2000);
  for (int i = 0; i < 2000; ++i) {
    frames.push_back(frameOf(i * 8 - 100, onMap(random), onMap(random), onMap(random),
                             static_cast<float>(static_cast<int>(random() % 65536) - 32768), 16384.0f, -1.0f));
  }
  std::ostringstream out;
  writeGhost(out, GhostHeader{"M", "P", 0, 1, "1.1"}, frames);
  const std::vector<GhostFrame> back = readAll(out.str());
  ASSERT_EQ(back.size(), frames.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    GhostFrame expected = frames[i];
    expected.x = std::stof(printed(frames[i].x));
    expected.y = std::stof(printed(frames[i].y));
    expected.z = std::stof(printed(frames[i].z));
    EXPECT_EQ(back[i], expected) << i;
  }
  EXPECT_TRUE(std::signbit(readAll("h\n0,-0.00,0,0,0,0,0\n").at(0).x));
}

TEST(GhostFile, CrLfAndLfFilesReadTheSameAndTheLastLineNeedsNoEnd) {
  const std::vector<GhostFrame> expected = {frameOf(0, -1234.57f, 250.0f, 17.01f, 0.0f, 16384.0f, 0.0f),
                                            frameOf(16, -1230.12f, 250.0f, 17.01f, -91.0f, 16384.0f, 0.0f)};
  const std::string crlf = "h\r\n0,-1234.57,250.00,17.01,0,16384,0\r\n16,-1230.12,250.00,17.01,-91,16384,0\r\n";
  const std::string lf = "h\n0,-1234.57,250.00,17.01,0,16384,0\n16,-1230.12,250.00,17.01,-91,16384,0\n";
  const std::string unended = "h\r\n0,-1234.57,250.00,17.01,0,16384,0\n16,-1230.12,250.00,17.01,-91,16384,0";
  EXPECT_EQ(readAll(crlf), expected);
  EXPECT_EQ(readAll(lf), expected);
  EXPECT_EQ(readAll(unended), expected);
}

TEST(GhostFile, TheFirstLineIsAlwaysTheHeaderAndExtraFieldsAreIgnored) {
  EXPECT_TRUE(readAll("").empty());
  EXPECT_TRUE(readAll("TestMap,Player,16,1-Lap,1.1").empty());
  EXPECT_TRUE(readAll("0,1,2,3,4,5,6\r\n").empty());
  EXPECT_EQ(readAll("h\n 12abc,\t1.5x, 2,+3,4.9,-5.9,6e0,junk,,\n"),
            std::vector<GhostFrame>{frameOf(12, 1.5f, 2.0f, 3.0f, 4.9f, -5.9f, 6.0f)});
}

TEST(GhostFile, LinesWithFewerThanSevenFieldsAreSkippedAndCounted) {
  FrameReadReport report;
  const auto frames =
      readAll("h\r\n1,0,0,0,0,0,0\r\n\r\n2,0,0,0\r\n3,0,0,0,0,0,\r\nnot a frame\r\n4,0,0,0,0,0,0\r\n", &report);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].time, 1);
  EXPECT_EQ(frames[1].time, 4);
  EXPECT_EQ(report.skippedLines, 4u);
  EXPECT_FALSE(report.badLine);
}

TEST(GhostFile, ReadingStopsAtTheFirstBadNumberKeepingTheFramesBeforeIt) {
  FrameReadReport report;
  auto frames = readAll("h\n1,0,0,0,0,0,0\n2,0,0,0\n3,0,0,abc,0,0,0\n4,0,0,0,0,0,0\n", &report);
  EXPECT_EQ(frames.size(), 1u);
  EXPECT_EQ(report.skippedLines, 1u);
  ASSERT_TRUE(report.badLine);
  EXPECT_EQ(report.badLine->lineNumber, 4u);
  EXPECT_EQ(report.badLine->field, FrameField::Z);
  EXPECT_EQ(report.badLine->error, NumberError::NoNumber);

  frames = readAll("h\n1,0,0,0,0,0,0\n2,0,0,0,0,0,1e39\n", &report);
  EXPECT_EQ(frames.size(), 1u);
  ASSERT_TRUE(report.badLine);
  EXPECT_EQ(report.badLine->lineNumber, 3u);
  EXPECT_EQ(report.badLine->field, FrameField::Roll);
  EXPECT_EQ(report.badLine->error, NumberError::OutOfRange);

  frames = readAll("h\n3000000000,0,0,0,0,0,0\n", &report);
  EXPECT_TRUE(frames.empty());
  ASSERT_TRUE(report.badLine);
  EXPECT_EQ(report.badLine->field, FrameField::Time);
  EXPECT_EQ(report.badLine->error, NumberError::OutOfRange);
  // A line ending in two commas has seven fields, the last one empty: that is a bad number, not a short line.
  readAll("h\n1,0,0,0,0,0,,\n", &report);
  ASSERT_TRUE(report.badLine);
  EXPECT_EQ(report.badLine->field, FrameField::Roll);
}

// A stream of `size` bytes that are all the same byte, made as they are read; counts what was taken.
class EndlessLine : public std::streambuf {
public:
  explicit EndlessLine(std::string head, std::size_t size) : head_(std::move(head)), left_(size) {}
  std::size_t taken() const { return taken_; }

protected:
  int_type underflow() override {
    if (left_ == 0) return traits_type::eof();
    const std::size_t count = std::min(left_, chunk_.size());
    if (!head_.empty()) {
      const std::size_t headCount = std::min(head_.size(), count);
      std::copy_n(head_.begin(), headCount, chunk_.begin());
      std::fill(chunk_.begin() + static_cast<std::ptrdiff_t>(headCount), chunk_.end(), '1');
      head_.erase(0, headCount);
    } else {
      std::fill(chunk_.begin(), chunk_.end(), '1');
    }
    left_ -= count;
    taken_ += count;
    setg(chunk_.data(), chunk_.data(), chunk_.data() + count);
    return traits_type::to_int_type(chunk_[0]);
  }

private:
  std::string head_;
  std::size_t left_;
  std::size_t taken_ = 0;
  std::string chunk_ = std::string(1 << 16, '1');
};

TEST(GhostFile, LinesUpToTheLimitAreReadWholeAcrossReadBuffers) {
  const std::string longHeader(ghostLineLimit, 'h');
  const std::string padding(ghostLineLimit - 13, ' ');
  std::string bytes = longHeader + "\r\n" + padding + "7,1,2,3,4,5,6\r\n";
  // Enough short lines before the last one that it straddles the reader's buffers.
  for (int i = 0; i < 20000; ++i) bytes += "8,1,2,3,4,5,6\n";
  bytes += padding + "9,1,2,3,4,5,6";
  FrameReadReport report;
  const auto frames = readAll(bytes, &report);
  ASSERT_EQ(frames.size(), 20002u);
  EXPECT_EQ(frames.front().time, 7);
  EXPECT_EQ(frames.back().time, 9);
  EXPECT_FALSE(report.tooLongLine);
}

// Mended: a line was gathered whole however long it was, so a crafted ghost of a few gigabytes without a
// line feed took that much memory and many seconds to import.
TEST(GhostFile, ALineLongerThanTheLimitStopsTheReadKeepingTheFramesBeforeIt) {
  FrameReadReport report;
  const std::string frame = "1,0,0,0,0,0,0\n";
  auto frames = readAll("h\n" + frame + std::string(ghostLineLimit - frame.size() + 2, ' ') + frame + frame, &report);
  EXPECT_EQ(frames.size(), 1u);
  ASSERT_TRUE(report.tooLongLine);
  EXPECT_EQ(*report.tooLongLine, 3u);
  EXPECT_FALSE(report.badLine);

  // The limit counts the line without its line end, CR LF or LF alike, and a last line without one.
  const std::string atLimit(ghostLineLimit, 'h');
  readAll(atLimit + "\r\n" + frame, &report);
  EXPECT_FALSE(report.tooLongLine);
  readAll("h\n" + std::string(ghostLineLimit - 13, ' ') + "2,0,0,0,0,0,0", &report);
  EXPECT_FALSE(report.tooLongLine);
  // The header is skipped whatever its length.
  frames = readAll(atLimit + "h\r\n" + frame, &report);
  EXPECT_EQ(frames.size(), 1u);
  EXPECT_FALSE(report.tooLongLine);
  readAll("h\n" + atLimit + "1", &report);
  ASSERT_TRUE(report.tooLongLine);
  EXPECT_EQ(*report.tooLongLine, 2u);

  // A 64 MiB second line is given up on after a small part of it has been read.
  EndlessLine endless("h\n", std::size_t{64} << 20);
  std::istream in(&endless);
  frames.clear();
  report = readGhostFrames(in, frames);
  EXPECT_TRUE(frames.empty());
  ASSERT_TRUE(report.tooLongLine);
  EXPECT_EQ(*report.tooLongLine, 2u);
  EXPECT_LT(endless.taken(), std::size_t{1} << 20);
}

}  // namespace
