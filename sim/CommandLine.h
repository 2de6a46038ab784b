// How the host console cuts a command line into words: blanks separate words, and a double quote toggles
// a quoted stretch in which blanks belong to the word. The quotes themselves are not part of any word, and
// a pair of quotes with nothing between them makes an empty word.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/Api.h"

namespace sim {

TESSARO_SDK_API std::vector<std::string> splitCommandLine(std::string_view line);

}  // namespace sim
