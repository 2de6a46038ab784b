// A whole ghost file: readGhostFrames against the literal getline reading. The reader takes its file in
// chunks and keeps an unfinished line across refills; so that lines straddle a refill (and a line outgrows
// the buffer) without megabyte inputs, the first byte of the input may ask for a header line that pads the
// fuzzed text up to a few bytes before the reader's first or second refill.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "fuzz/LiteralReading.h"

namespace {

// The reader's chunk size; a padding longer than it makes the reader grow its buffer, too.
constexpr std::size_t refill = std::size_t{1} << 16;

std::string paddedText(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return {};
  const std::uint8_t mode = data[0];
  std::string text;
  if (mode & 0x80U) {
    // Bits 0-5: how many bytes before the refill the fuzzed text starts; bit 6: one chunk further on.
    const std::size_t before = mode & 0x3FU;
    const std::size_t end = (mode & 0x40U) ? 2 * refill : refill;
    text.assign(end - before - 1, 'H');
    text += '\n';
  }
  text.append(reinterpret_cast<const char*>(data + 1), size - 1);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = paddedText(data, size);
  const literal::FileReading expected = literal::readFile(text);

  std::istringstream in(text);
  std::vector<GhostFrame> frames;
  const FrameReadReport report = readGhostFrames(in, frames);

  FUZZ_CHECK(frames.size() == expected.frames.size(), "%zu frames, the literal reading gives %zu", frames.size(),
             expected.frames.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    FUZZ_CHECK(literal::sameFrame(frames[i], expected.frames[i]), "frame %zu differs", i);
  }
  FUZZ_CHECK(report.skippedLines == expected.report.skippedLines, "%zu lines skipped, expected %zu",
             report.skippedLines, expected.report.skippedLines);
  FUZZ_CHECK(report.badLine.has_value() == expected.report.badLine.has_value(), "a bad line %s",
             report.badLine ? "reported where there is none" : "missed");
  if (report.badLine) {
    const BadFrameLine& bad = *report.badLine;
    const BadFrameLine& want = *expected.report.badLine;
    FUZZ_CHECK(bad.lineNumber == want.lineNumber && bad.field == want.field && bad.error == want.error,
               "bad line %zu field %d error %d, expected line %zu field %d error %d", bad.lineNumber,
               static_cast<int>(bad.field), static_cast<int>(bad.error), want.lineNumber,
               static_cast<int>(want.field), static_cast<int>(want.error));
  }
  return 0;
}
