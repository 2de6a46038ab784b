// Text for a terminal: the tool's reports quote what ghost files hold (names, header fields), and a file
// shared by another player may hold control bytes. Those are written as escapes, never as themselves.
#pragma once

#include <string>
#include <string_view>

namespace lumaro_ghost {

// text with every control byte but the line feed written as an escape: "\t", "\r", else "\x1b" and the like.
std::string terminalText(std::string_view text);

}  // namespace lumaro_ghost
