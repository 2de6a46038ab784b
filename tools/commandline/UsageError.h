// A command line that lumaro-ghost or lumaro-host does not understand: thrown by what reads it, with the
// problem in the tool's words and without the tool's name, which the tool puts in front.
#pragma once

#include <stdexcept>
#include <string>

namespace lumaro_tools {

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace lumaro_tools
