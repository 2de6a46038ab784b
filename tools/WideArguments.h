// Windows gives a program its command line in UTF-16; the narrow arguments are in the ANSI code page, which cannot
// name every file a player or map maker may hold ("猫.scenario") and which would be misread as UTF-8 ("Zoë.map").
// Both tools enter through wmain and take their words from here, as UTF-8, once; a path is made from such a word
// by pathFromUtf8 (library/platform/PathText.h) and by nothing else.
#pragma once

#if defined(_WIN32)
#  include <string>
#  include <vector>

namespace lumaro_tools {

// The words after the program's name, in UTF-8.
std::vector<std::string> utf8Arguments(int argc, const wchar_t* const* argv);

// While it lives, the console shows what the tool writes as UTF-8; the console's own code page comes back after.
class Utf8ConsoleOutput {
public:
  Utf8ConsoleOutput();
  ~Utf8ConsoleOutput();
  Utf8ConsoleOutput(const Utf8ConsoleOutput&) = delete;
  Utf8ConsoleOutput& operator=(const Utf8ConsoleOutput&) = delete;

private:
  unsigned int codePage_;
};

}  // namespace lumaro_tools
#endif
