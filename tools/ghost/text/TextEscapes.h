// Text from ghost files as each output of the tool takes it. A shared file's names may hold any bytes at all:
// invalid UTF-8, control characters, code points a markup language forbids, characters that reorder or
// retitle a terminal. Every output has one rule here, and every text that reaches it passes through it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "library/ghostfile/HiddenCodePoints.h"  // IWYU pragma: export

namespace lumaro_ghost {

// For SVG and HTML: & < > " as entities; control characters (C0, DEL, C1) dropped; noncharacters (U+FFFE,
// U+FFFF, U+FDD0 to U+FDEF and the like, which XML forbids or discourages) and bytes that are no UTF-8 as
// U+FFFD. The result is character data every XML and HTML parser accepts.
std::string xmlText(std::string_view text);

// For JSON: the text quoted, with " and \ escaped, control characters (C0, DEL, C1) and the line and
// paragraph separators as \uXXXX, and bytes that are no UTF-8 as U+FFFD.
std::string jsonString(std::string_view text);

// For JSON inside an HTML script element (a page's data block): as jsonString, with < > & as \u003c \u003e
// \u0026 too, so that no text can end the element, open a comment in it or start a character reference.
std::string scriptJsonString(std::string_view text);

// For a terminal: the line feed kept; tab and carriage return as "\t" and "\r"; other C0 controls, DEL and
// bytes that are no UTF-8 as "\x1b" and the like; C1 controls, the bidirectional formatting characters
// (which would reorder what follows them on the line), the line and paragraph separators and Unicode's
// default-ignorable code points, which show as nothing (the soft hyphen, zero-width space and joiners, word
// joiner, byte order mark, variation selectors, tags), as "\u202e" and, past the first 65536 code points,
// "\U000e0041" and the like. Both streams of the tool pass through it, and the SVG and HTML show a file's
// texts as it gives them.
std::string terminalText(std::string_view text);

// One text within a line (a file name, say): as terminalText, with the line feed as "\n" too, so that no
// name can start a line of its own in a report.
std::string lineText(std::string_view text);

// For one CSV field: as lineText (so no name can start a row, reorder a line or hide), then quoted when it holds
// a comma, a double quote or a blank at either end, a double quote doubled; and a leading = + - @ after an
// apostrophe, so that no spreadsheet takes a name for a formula.
std::string csvField(std::string_view text);

}  // namespace lumaro_ghost
