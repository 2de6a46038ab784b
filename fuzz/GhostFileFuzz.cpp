// A whole ghost file: readGhostFrames against the literal getline reading. The reader takes its file in
// chunks and keeps an unfinished line across refills; so that lines straddle a refill (and a line outgrows
// the buffer) without megabyte inputs, the first byte of the input may ask for a header line that pads the
// fuzzed text up to a few bytes before the reader's first or second refill.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <streambuf>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "tests/support/LiteralReading.h"

namespace {

// The reader's chunk size; a padding longer than it makes the reader grow its buffer, too.
constexpr std::size_t refill = std::size_t{1} << 16;

// The text to read: the padding, kept from one input to the next while its length stays, then the input.
const std::string& paddedText(const std::uint8_t* data, std::size_t size) {
  static std::string text;
  static std::size_t paddingNow = 0;
  std::size_t padding = 0;
  if (size > 0 && (data[0] & 0x80U)) {
    // Bits 0-5: how many bytes before the refill the fuzzed text starts; bit 6: one chunk further on.
    const std::size_t before = data[0] & 0x3FU;
    padding = ((data[0] & 0x40U) ? 2 * refill : refill) - before;
  }
  if (padding != paddingNow) {
    text.assign(padding, 'H');
    if (padding > 0) text[padding - 1] = '\n';
    paddingNow = padding;
  }
  text.resize(padding);
  if (size > 0) text.append(reinterpret_cast<const char*>(data + 1), size - 1);
  return text;
}

// A stream over text without copying it.
class TextBuffer : public std::streambuf {
public:
  explicit TextBuffer(const std::string& text) {
    char* start = const_cast<char*>(text.data());
    setg(start, start, start + text.size());
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& text = paddedText(data, size);
  TextBuffer literalBuffer(text);
  std::istream literalIn(&literalBuffer);
  const literal::FileReading expected = literal::readFile(literalIn);

  TextBuffer buffer(text);
  std::istream in(&buffer);
  std::vector<GhostFrame> frames;
  const FrameReadReport report = readGhostFrames(in, frames);

  FUZZ_CHECK(frames.size() == expected.frames.size(), "%zu frames, the literal reading gives %zu", frames.size(),
             expected.frames.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    FUZZ_CHECK(literal::sameFrame(frames[i], expected.frames[i]), "frame %zu differs", i);
  }
  FUZZ_CHECK(report.skippedLines == expected.report.skippedLines, "%zu lines skipped, expected %zu",
             report.skippedLines, expected.report.skippedLines);
  FUZZ_CHECK(report.tooLongLine == expected.report.tooLongLine, "the stop at a long line %s",
             report.tooLongLine ? "is reported where there is none" : "is missed");
  FUZZ_CHECK(report.badLine.has_value() == expected.report.badLine.has_value(), "a bad line %s",
             report.badLine ? "reported where there is none" : "missed");
  if (report.badLine) {
    const BadFrameLine& bad = *report.badLine;
    const BadFrameLine& want = *expected.report.badLine;
    FUZZ_CHECK(bad.lineNumber == want.lineNumber && bad.field == want.field && bad.error == want.error,
               "bad line %zu field %d error %d, expected line %zu field %d error %d", bad.lineNumber,
               static_cast<int>(bad.field), static_cast<int>(bad.error), want.lineNumber, static_cast<int>(want.field),
               static_cast<int>(want.error));
  }
  return 0;
}
