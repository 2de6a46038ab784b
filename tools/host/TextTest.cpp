#include "tools/host/TextTest.h"

#include <regex>

namespace lumaro_host {

bool TextTest::accepts(const std::string& seen) const {
  switch (mode) {
    case Mode::Exact: return seen == text;
    case Mode::Containing: return seen.find(text) != std::string::npos;
    case Mode::Matching: return std::regex_match(seen, std::regex(text, std::regex::ECMAScript));
  }
  return false;
}

std::string TextTest::describe() const {
  switch (mode) {
    case Mode::Exact: return inQuotes(text);
    case Mode::Containing: return "containing " + inQuotes(text);
    case Mode::Matching: return "matching " + inQuotes(text);
  }
  return inQuotes(text);
}

std::string inQuotes(std::string_view text) {
  std::string result = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') result += '\\';
    result += c;
  }
  return result + "\"";
}

}  // namespace lumaro_host
