// The plugin's settings page as a player sees it in the stand-in host: a row of text for each row of
// controls, each control drawn with the value of the console variable it is bound to, rather than the page
// file's code lines. The page's order is kept; "7|" puts the next control on the same row, "8|" draws a
// rule, and the controls between "10|!VARIABLE" and "11|" are greyed out while VARIABLE is on.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaro_host {

// One entry of a drop-down's list.
struct ListOption {
  std::string label;
  std::string value;
};

// The entries of a ghost list ("label@value" joined by "&"): the blank entry " @ " and every entry whose
// label ends with "(value)", a ghost's file name as labels show it (its hidden code points as escapes); an "@"
// or "&" inside a name is read around.
std::vector<ListOption> ghostListOptions(std::string_view list);

// A console variable's value, by name; nothing when there is no such variable.
using VariableValue = std::function<std::optional<std::string>(const std::string& name)>;

// The rows of the page whose file lines are given, without their line ends.
std::vector<std::string> pageRows(const std::vector<std::string>& lines, const VariableValue& valueOf);

}  // namespace lumaro_host
