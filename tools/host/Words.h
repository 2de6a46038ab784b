// How a line of a scenario or a map file is cut into words. Blanks separate words. "Double quotes" make
// one word of what they hold, with \" and \\ standing for a quote and a backslash; 'single quotes' make
// one word of exactly what they hold. Outside quotes, a word that begins with # starts a comment that
// runs to the end of the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumaro_host {

struct Words {
  std::vector<std::string> words;
  std::string error;  // empty when the line could be cut; otherwise what is wrong with it
};

Words splitWords(std::string_view line);

// The first word of a line (up to the first blank, no quoting) and the rest of the line after the blanks
// that follow it, trailing blanks removed: how a console step keeps its line exactly as typed.
struct Head {
  std::string_view first;
  std::string_view rest;
};
Head splitHead(std::string_view line);

// The text of a file without the UTF-8 byte order mark some editors put at its start.
std::string_view withoutByteOrderMark(std::string_view text);

// Blanks and tabs at both ends removed; a carriage return at the end (a file with CR LF line ends) too.
std::string_view trimmed(std::string_view text);

}  // namespace lumaro_host
