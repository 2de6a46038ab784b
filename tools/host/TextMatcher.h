// How an expectation compares a text it sees (a console line, a variable's value, a line of a file) with
// the text it was given: exactly, containing it, or matching it as a regular expression (the whole text
// must match). Patterns run on a linear-time engine (RE2 syntax: no back-references or look-arounds), so
// no pattern and no text can make a check crash or run on for ages.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace lumaro_host {

class TextPattern;

struct TextMatcher {
  enum class Mode { Exact, Containing, Matching };
  Mode mode = Mode::Exact;
  std::string text;
  // The compiled pattern of a Matching test, made by compile() when the step is read.
  std::shared_ptr<const TextPattern> pattern;

  // Compiles text as the pattern of a Matching test: "" when the engine takes it, otherwise why it does not.
  std::string compile();
  // A Matching test nobody compiled compiles its pattern for this one call; a refused pattern accepts nothing.
  bool accepts(const std::string& seen) const;
  // "\"Race started.\"", "containing \"Race ended in\"", "matching \"...\"".
  std::string describe() const;
};

// Quotes a text for a message, with a quote or backslash inside written as in a scenario: \" and \\.
std::string inQuotes(std::string_view text);

}  // namespace lumaro_host
