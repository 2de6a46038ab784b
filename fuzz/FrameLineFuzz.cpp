// One frame line: decodeFrameLine against the literal field-by-field reading (splitString, stoi, stof).
// Same kind, same failing field and error, and a frame bit for bit the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "tests/support/LiteralReading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  GhostFrame expected;
  GhostFrame actual;
  const FrameLineResult want = literal::decodeLine(line, expected);
  const FrameLineResult got = decodeFrameLine(line, actual);
  FUZZ_CHECK(got.kind == want.kind, "kind %d, the literal reading gives %d", static_cast<int>(got.kind),
             static_cast<int>(want.kind));
  if (want.kind == FrameLineResult::Kind::BadNumber) {
    FUZZ_CHECK(got.badField == want.badField && got.error == want.error, "bad field %d error %d, expected %d %d",
               static_cast<int>(got.badField), static_cast<int>(got.error), static_cast<int>(want.badField),
               static_cast<int>(want.error));
  }
  if (want.kind == FrameLineResult::Kind::Frame) {
    FUZZ_CHECK(literal::sameFrame(actual, expected), "the frames differ");
  }
  return 0;
}
