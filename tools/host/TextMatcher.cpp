#include "tools/host/TextMatcher.h"

#include <utility>

#if defined(LUMARO_HOST_RE2)
#  include <re2/re2.h>
#endif

namespace lumaro_host {

#if defined(LUMARO_HOST_RE2)
class TextPattern {
public:
  explicit TextPattern(const std::string& text) : expression_(text, options()) {}
  std::string error() const { return expression_.ok() ? "" : expression_.error(); }
  bool matchesWhole(const std::string& seen) const { return expression_.ok() && RE2::FullMatch(seen, expression_); }

private:
  static RE2::Options options() {
    RE2::Options options;
    options.set_log_errors(false);  // a refused pattern is reported with its scenario line, not on stderr
    return options;
  }
  RE2 expression_;
};
#else
// A build without the linear-time engine (the Windows cross-build has no RE2) refuses every pattern rather
// than running one on a backtracking engine.
class TextPattern {
public:
  explicit TextPattern(const std::string&) {}
  std::string error() const { return "this lumaro-host is built without regular expressions (use containing)"; }
  bool matchesWhole(const std::string&) const { return false; }
};
#endif

std::string TextMatcher::compile() {
  auto compiled = std::make_shared<const TextPattern>(text);
  std::string error = compiled->error();
  pattern = std::move(compiled);
  return error;
}

bool TextMatcher::accepts(const std::string& seen) const {
  switch (mode) {
    case Mode::Exact: return seen == text;
    case Mode::Containing: return seen.find(text) != std::string::npos;
    case Mode::Matching: return pattern ? pattern->matchesWhole(seen) : TextPattern(text).matchesWhole(seen);
  }
  return false;
}

std::string TextMatcher::describe() const {
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
