// lumaro-ghost: inspect, check, compare and draw ghost files. Everything but this entry is a library, so the
// tool's own tests drive the same code.
#include <iostream>
#include <string>
#include <vector>

#include "tools/ghost/GhostTool.h"

#if defined(_WIN32)
#  include "tools/WideArguments.h"

// The tool takes and writes UTF-8: its words as Windows gives them, in UTF-16, converted once.
int wmain(int argc, wchar_t** argv) {
  const lumaro_tools::Utf8ConsoleOutput console;
  return lumaro_ghost::runGhostTool(lumaro_tools::utf8Arguments(argc, argv), std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  return lumaro_ghost::runGhostTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
#endif
