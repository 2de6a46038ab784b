// The fast road through frame lines must never be seen: every line it takes gives, bit for bit, what the
// general decoder gives, and whole files read the same as the literal reader (getline, splitString,
// stoi/stof) reads them.
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "GhostFileHelpers.h"
#include "library/ghostfile/FrameLineScan.h"
#include "library/ghostfile/GhostFileRead.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/SplitString.h"
#include "playback/FrameChoice.h"
#include "support/TempFolder.h"

namespace {

// The seven values as bits, in written order, so that -0 and 0 differ and a NaN equals itself.
std::array<std::uint32_t, 7> bitsOf(const GhostFrame& frame) {
  return {static_cast<std::uint32_t>(frame.time),    std::bit_cast<std::uint32_t>(frame.x),
          std::bit_cast<std::uint32_t>(frame.y),     std::bit_cast<std::uint32_t>(frame.z),
          std::bit_cast<std::uint32_t>(frame.pitch), std::bit_cast<std::uint32_t>(frame.yaw),
          std::bit_cast<std::uint32_t>(frame.roll)};
}

// A line as a NUL-ended text; the scan's answer is checked against the general decoder of the same line.
// The text as the scan needs it: a NUL and padding after it.
std::string padded(const std::string& text) { return text + std::string(frameScanPadding, '\0'); }

void expectScanAgreesWithDecoder(const std::string& lineWithEnd) {
  GhostFrame scanned{};
  const std::string text = padded(lineWithEnd);
  const char* const next = scanFrameLine(text.c_str(), scanned);
  if (next == nullptr) return;  // declined: the general road reads it
  const auto feed = lineWithEnd.find('\n');
  ASSERT_NE(feed, std::string::npos) << lineWithEnd;
  ASSERT_EQ(next, text.c_str() + feed + 1) << lineWithEnd;
  std::string_view line(lineWithEnd.data(), feed);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  GhostFrame decoded{};
  const FrameLineResult result = decodeFrameLine(line, decoded);
  ASSERT_EQ(result.kind, FrameLineResult::Kind::Frame) << lineWithEnd;
  ASSERT_EQ(bitsOf(scanned), bitsOf(decoded)) << lineWithEnd;
}

bool scans(const std::string& lineWithEnd) {
  GhostFrame frame{};
  return scanFrameLine(padded(lineWithEnd).c_str(), frame) != nullptr;
}

GhostFrame scanned(const std::string& lineWithEnd) {
  GhostFrame frame{};
  EXPECT_NE(scanFrameLine(padded(lineWithEnd).c_str(), frame), nullptr) << lineWithEnd;
  return frame;
}

TEST(FrameLineScan, TakesTheWritersFormsAndReadsThemAsStoiAndStofDo) {
  const GhostFrame frame = scanned("-16,-1234.57,250.00,17.01,-91,16384,0\r\n");
  EXPECT_EQ(bitsOf(frame),
            bitsOf(ghostFrame(-16, std::stof("-1234.57"), 250.0f, std::stof("17.01"), -91.0f, 16384.0f, 0.0f)));
  EXPECT_TRUE(std::signbit(scanned("0,-0.00,0,0,-0,0,0\n").x));
  EXPECT_TRUE(std::signbit(scanned("0,-0.00,0,0,-0,0,0\n").pitch));
  // Eight digits at most, read as one word; a ninth takes the general road.
  EXPECT_EQ(scanned("99999999,0,0,0,0,0,0\n").time, 99999999);
  EXPECT_EQ(scanned("-12345678,0,0,0,0,0,0\n").time, -12345678);
  EXPECT_EQ(scanned("00000007,0,0,0,0,0,0\n").time, 7);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(scanned("0,167772.16,0,0,0,0,0\n").x),
            std::bit_cast<std::uint32_t>(std::stof("167772.16")));
  EXPECT_EQ(scanned("0,.5,5.,-.5,99999999,0,0\n").pitch, std::stof("99999999"));
  EXPECT_EQ(scanned("0,0,0,0,0,0,0.12345678\n").roll, std::stof("0.12345678"));
}

TEST(FrameLineScan, DeclinesEveryOtherFormSoThatTheGeneralRoadReadsIt) {
  for (const char* line : {
           "0,0,0,0,0,0,0",            // no line end before the text ends
           "0,0,0,0,0,0,0\r",          // a CR alone ends no line
           "0,0,0,0,0,0,0,extra\n",    // extra fields
           "0,0,0,0,0,0\n",            // too few fields
           "0,0,0,0,0,0,\n",           // the empty last field that the splitter drops
           "123456789,0,0,0,0,0,0\n",  // more than eight digits
           "1234567890,0,0,0,0,0,0\n",
           "+1,0,0,0,0,0,0\n",           // signs other than minus
           " 1,0,0,0,0,0,0\n",           // leading blanks
           "1x,0,0,0,0,0,0\n",           // text after the number
           "0,1e5,0,0,0,0,0\n",          // exponents
           "0,0x10,0,0,0,0,0\n",         // hexadecimal
           "0,inf,0,0,0,0,0\n",          // inf and nan
           "0,.,0,0,0,0,0\n",            // a point without digits
           "0,-,0,0,0,0,0\n",            // a sign without digits
           "0,167772.17,0,0,0,0,0\n",    // more than 2^24 hundredths
           "0,123456789,0,0,0,0,0\n",    // more than eight digits before the point
           "0,1.123456789,0,0,0,0,0\n",  // or after it
           "0,0,0,0,0,0,0\r\r\n",        // a CR that stays in the line
       }) {
    EXPECT_FALSE(scans(line)) << line;
    expectScanAgreesWithDecoder(line);
  }
}

TEST(FrameLineScan, AgreesWithTheGeneralDecoderOnRandomLines) {
  std::mt19937 random(12);
  // Lines built from the bytes that matter, biased towards the writer's forms.
  const std::string alphabet = "0123456789012345678901234567890123456789-.,,,,\r\n e+x";
  for (int round = 0; round < 300'000; ++round) {
    std::string line;
    const std::size_t length = 10 + random() % 50;
    for (std::size_t i = 0; i < length; ++i) line += alphabet[random() % alphabet.size()];
    line += random() % 2 == 0 ? "\r\n" : "\n";
    expectScanAgreesWithDecoder(line);
    if (HasFatalFailure()) return;
  }
  // Written frames, with every integer length and locations from tiny to beyond the fast range.
  for (int round = 0; round < 300'000; ++round) {
    const auto integer = [&random] {
      const int digits = static_cast<int>(random() % 11);
      auto value = static_cast<std::int64_t>(random() % 10'000'000'000ULL);
      for (int i = digits; i < 10; ++i) value /= 10;
      return static_cast<std::int32_t>(random() % 2 == 0 ? value : -value);
    };
    const auto location = [&random] {
      const double scale = std::pow(10.0, static_cast<double>(random() % 12) - 3.0);
      return static_cast<float>((static_cast<double>(random()) / 4294967296.0 - 0.5) * scale);
    };
    const GhostFrame frame = ghostFrame(integer(), location(), location(), location(), static_cast<float>(integer()),
                                        static_cast<float>(integer()), static_cast<float>(integer()));
    char text[frameLineCapacity + 1];
    char* const end = formatFrameLine(text, frame);
    *end = '\0';
    expectScanAgreesWithDecoder(text);
    if (HasFatalFailure()) return;
  }
  // Whole numbers up to 2^24 with one to eight places, where the quotient's rounding is finest.
  for (int round = 0; round < 300'000; ++round) {
    std::string digits = std::to_string(random() % ((1U << 24) + 1));
    const std::size_t places = 1 + random() % 8;
    if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
    expectScanAgreesWithDecoder("0," + digits.insert(digits.size() - places, ".") + ",0,0,0,0,0\n");
    if (HasFatalFailure()) return;
  }
}

// The literal reader: getline, splitString, stoi and stof; a line of fewer than seven fields is skipped and
// the first conversion error ends the reading, as the ghost reader does.
std::vector<GhostFrame> readLiterally(const std::string& bytes) {
  std::istringstream in(bytes);
  std::vector<GhostFrame> frames;
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    if (!in.eof() && !line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> fields = splitString(line, ",");
    if (fields.size() < 7) continue;
    try {
      const std::int32_t time = std::stoi(fields[0]);
      frames.push_back(ghostFrame(time, std::stof(fields[1]), std::stof(fields[2]), std::stof(fields[3]),
                                  std::stof(fields[4]), std::stof(fields[5]), std::stof(fields[6])));
    } catch (const std::logic_error&) {
      break;
    }
  }
  return frames;
}

TEST(GhostFileReading, ReadsEveryFileAsTheLiteralReaderDoes) {
  std::mt19937 random(21);
  const std::vector<std::string> lines = {"0,-1234.57,250.00,17.01,0,16384,0",
                                          "16,-1230.12,250.00,17.01,-91,16384,0",
                                          "8, 1.5,2,3,4,5,6",
                                          "9,1e3,2,3,4,5,6x",
                                          "10,0,0,0,0,0,0,extra",
                                          "",
                                          "11,0,0",
                                          "12,0,0,0,0,0,",
                                          "-5,.5,5.,-.5,0,0,-0",
                                          "13,0x1p3,2,3,4,5,6",
                                          "14,167772.17,2,3,4,5,6",
                                          "15,0,0,0,0,0,0\r",
                                          "2147483647,1,1,1,1,1,1"};
  for (int round = 0; round < 300; ++round) {
    std::string bytes = "Map,Player,0,1-Lap,1.1\r\n";
    const std::size_t count = random() % 3000;
    for (std::size_t i = 0; i < count; ++i) {
      bytes += lines[random() % lines.size()];
      bytes += random() % 4 == 0 ? "\n" : "\r\n";
    }
    if (random() % 3 == 0) bytes += "99,1,2,3,4,5,6";  // a last line without its end
    std::istringstream in(bytes);
    std::vector<GhostFrame> frames;
    readGhostFrames(in, frames);
    const std::vector<GhostFrame> expected = readLiterally(bytes);
    ASSERT_EQ(frames.size(), expected.size()) << "round " << round;
    for (std::size_t i = 0; i < frames.size(); ++i) ASSERT_EQ(bitsOf(frames[i]), bitsOf(expected[i])) << i;
  }
}

// Each run of lines read from the buffer is announced with the bytes taken before it: after the header, and
// after a line only the general decoder reads (an eighth field).
TEST(GhostFileReading, EachRunOfLinesIsAnnouncedWithTheBytesTakenBeforeIt) {
  std::istringstream in("h\r\n1,2,3,4,5,6,7\r\n1,2,3,4,5,6,7,8\r\n1,2,3,4,5,6,7\r\n");
  std::vector<GhostFrame> frames;
  std::vector<std::uint64_t> taken;
  readGhostFrames(in, frames, [&taken](std::uint64_t bytes) { taken.push_back(bytes); });
  EXPECT_EQ(frames.size(), 3U);
  EXPECT_EQ(taken, (std::vector<std::uint64_t>{3, 3 + 15 + 17}));
}

TEST(GhostFileReading, TellsWhetherTheFramesAreInTimeOrder) {
  const auto order = [](const std::string& bytes) {
    std::istringstream in(bytes);
    std::vector<GhostFrame> frames;
    const FrameReadReport report = readGhostFrames(in, frames);
    EXPECT_EQ(report.inTimeOrder, framesInTimeOrder(frames)) << bytes;
    return report.inTimeOrder;
  };
  EXPECT_TRUE(order("h\n"));
  EXPECT_TRUE(order("h\n5,0,0,0,0,0,0\n5,0,0,0,0,0,0\n6,0,0,0,0,0,0\n"));
  EXPECT_FALSE(order("h\n5,0,0,0,0,0,0\n4,0,0,0,0,0,0\n6,0,0,0,0,0,0\n"));
  // Both roads count: a line only the general decoder reads breaks the order too.
  EXPECT_FALSE(order("h\n5,0,0,0,0,0,0\n 4,0,0,0,0,0,0\n"));
  // A skipped line is no frame, and a bad line ends the frames before it is compared.
  EXPECT_TRUE(order("h\n5,0,0,0,0,0,0\n1,0,0\n6,0,0,0,0,0,0\n2,x,0,0,0,0,0\n"));
}

// The room is taken once, for as many frames as the file's size allows (a frame line is at least fourteen
// bytes); an earlier ghost's room is never kept.
TEST(GhostFileReading, ALoadedGhostHoldsTheRoomItsFileSizeAllows) {
  TempFolder folder;
  const auto file = folder.path() / "run.ghost";
  std::vector<GhostFrame> frames;
  // Written lines, and hand-made lines of the shortest kind.
  for (const std::string& frameLine :
       {std::string("12,-1234.57,250.00,17.01,0,16384,0\r\n"), std::string("1,0,0,0,0,0,0\n")}) {
    std::string bytes = "h\r\n";
    for (int i = 0; i < 5000; ++i) bytes += frameLine;
    writeBytes(file, bytes);
    const GhostFileRead read = readGhostFile(file, frames);
    EXPECT_TRUE(read.opened);
    EXPECT_EQ(frames.size(), 5000u);
    EXPECT_EQ(frames.capacity(), bytes.size() / 14);
  }
  writeBytes(file, "h\r\n");
  readGhostFile(file, frames);
  EXPECT_TRUE(frames.empty());
  EXPECT_EQ(frames.capacity(), 0u);
}

TEST(GhostFileReading, AHugeSparseFileAsksForNoMoreRoomThanARealGhostCouldNeed) {
  // A terabyte of holes after a header and one frame: sized from its length, the room would be more than
  // the machine has, and the import would fail on the allocation instead of stopping at the long line.
  TempFolder folder;
  const auto file = folder.path() / "planted.ghost";
  writeBytes(file, "h\r\n1,0,0,0,0,0,0\r\n");
  std::error_code error;
  std::filesystem::resize_file(file, std::uintmax_t{1} << 40, error);
  if (error) GTEST_SKIP() << "this file system holds no terabyte sparse file: " << error.message();
  std::vector<GhostFrame> frames;
  const GhostFileRead read = readGhostFile(file, frames);
  EXPECT_TRUE(read.opened);
  EXPECT_EQ(frames.size(), 1u);
  EXPECT_EQ(read.report.tooLongLine, std::optional<std::size_t>(3));
}

TEST(GhostFileReading, NothingIsReadFromAFolderOrAMissingFile) {
  TempFolder folder;
  std::vector<GhostFrame> frames = {ghostFrame(1, 1, 1, 1, 1, 1, 1)};
  EXPECT_FALSE(readGhostFile(folder.path(), frames).opened);
  EXPECT_TRUE(frames.empty());
  frames = {ghostFrame(1, 1, 1, 1, 1, 1, 1)};
  EXPECT_FALSE(readGhostFile(folder.path() / "none", frames).opened);
  EXPECT_TRUE(frames.empty());
}

}  // namespace
