// lumaro-ghost: inspect, check, compare and draw ghost files. Everything but this entry is a library, so the
// tool's own tests drive the same code.
#include <iostream>
#include <string>
#include <vector>

#include "tools/ghost/GhostTool.h"

#if defined(_WIN32)
#  include <windows.h>

namespace {

std::string utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string converted(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), size, nullptr, nullptr);
  converted.pop_back();  // the terminating zero
  return converted;
}

}  // namespace

// Windows gives a program its command line in UTF-16; the narrow arguments are in the ANSI code page, which
// cannot name every file a player may hold ("猫.ghost") and which would be misread as UTF-8 ("Café.ghost").
// The tool takes and writes UTF-8, so the console shows what it writes in UTF-8 while the tool runs.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(utf8(argv[i]));
  const UINT consoleCodePage = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  const int status = lumaro_ghost::runGhostTool(arguments, std::cout, std::cerr);
  std::cout.flush();
  std::cerr.flush();
  if (consoleCodePage != 0) SetConsoleOutputCP(consoleCodePage);
  return status;
}
#else
int main(int argc, char** argv) {
  return lumaro_ghost::runGhostTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
#endif
