// How an expectation compares a text it sees (a console line, a variable's value, a line of a file) with
// the text it was given: exactly, containing it, or matching it as a regular expression (ECMAScript
// grammar, the whole text must match).
#pragma once

#include <string>
#include <string_view>

namespace lumaro_host {

struct TextTest {
  enum class Mode { Exact, Containing, Matching };
  Mode mode = Mode::Exact;
  std::string text;

  // Throws std::regex_error for a regular expression that does not compile.
  bool accepts(const std::string& seen) const;
  // "\"Race started.\"", "containing \"Race ended in\"", "matching \"...\"".
  std::string describe() const;
};

// Quotes a text for a message, with a quote or backslash inside written as in a scenario: \" and \\.
std::string inQuotes(std::string_view text);

}  // namespace lumaro_host
