// The map-file reader of lumaro-host on any text: no crash and nothing thrown; either a map or errors, each
// naming the file and a line of it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/ErrorLines.h"
#include "fuzz/FuzzCheck.h"
#include "tools/host/MapFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const lumaro_host::MapFileResult result = lumaro_host::parseMapFile(text, "fuzz.map");
  FUZZ_CHECK(result.map.has_value() == result.errors.empty(), "a map %s errors",
             result.map ? "together with" : "without");
  for (const std::string& error : result.errors) checkErrorLine(error, "fuzz.map", lineCount(text));
  return 0;
}
