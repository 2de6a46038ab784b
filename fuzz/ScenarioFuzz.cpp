// The scenario reader of lumaro-host on any text: no crash and nothing thrown; every line is a step, a
// blank or comment, or an error naming the script and the line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/ErrorLines.h"
#include "fuzz/FuzzCheck.h"
#include "tools/host/Script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const lumaro_host::Script script = lumaro_host::parseScript(text, "fuzz.scenario");
  const std::size_t lines = lineCount(text);
  FUZZ_CHECK(script.steps.size() + script.errors.size() <= lines, "more steps and errors than lines");
  for (const std::string& error : script.errors) checkErrorLine(error, "fuzz.scenario", lines);
  for (const lumaro_host::Step& step : script.steps) {
    FUZZ_CHECK(step.line >= 1 && static_cast<std::size_t>(step.line) <= lines, "a step on line %d", step.line);
  }
  return 0;
}
