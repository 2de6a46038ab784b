#include "tools/WideArguments.h"

#if defined(_WIN32)
#  include <windows.h>

#  include <cstddef>
#  include <iostream>

namespace lumaro_tools {
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

std::vector<std::string> utf8Arguments(int argc, const wchar_t* const* argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(utf8(argv[i]));
  return arguments;
}

Utf8ConsoleOutput::Utf8ConsoleOutput() : codePage_(GetConsoleOutputCP()) { SetConsoleOutputCP(CP_UTF8); }

Utf8ConsoleOutput::~Utf8ConsoleOutput() {
  std::cout.flush();
  std::cerr.flush();
  if (codePage_ != 0) SetConsoleOutputCP(codePage_);
}

}  // namespace lumaro_tools
#endif
