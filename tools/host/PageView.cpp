#include "tools/host/PageView.h"

#include <cstdlib>
#include <utility>

#include "library/ghostfile/GhostFileName.h"
#include "sim/Console.h"
#include "ui/GhostChoice.h"
#include "ui/PageBytes.h"

namespace lumaro_host {
namespace {

std::vector<std::string> fieldsOf(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t bar = line.find(pageFieldSeparator, begin);
    fields.push_back(line.substr(begin, bar - begin));
    if (bar == std::string::npos) return fields;
    begin = bar + 1;
  }
}

// A check box is ticked as the plugin reads its setting.
bool isOn(const std::optional<std::string>& value) { return value && sim::boolValue(*value); }

// How a player sees one control; "" for the codes that draw nothing of their own.
std::string control(const std::vector<std::string>& fields, const VariableValue& valueOf,
                    std::vector<std::string>& listRows) {
  const auto field = [&](std::size_t index) { return index < fields.size() ? fields[index] : std::string(); };
  // The rest of the line from a field on, bars and all (a text, a ghost's name in the list).
  const auto rest = [&](std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < fields.size(); ++i) {
      if (i > from) text += pageFieldSeparator;
      text += fields[i];
    }
    return text;
  };
  const std::string value = fields.size() > 2 ? valueOf(field(2)).value_or("") : "";
  switch (static_cast<PageControl>(std::atoi(fields[0].c_str()))) {
    case PageControl::Button: return "[ " + field(1) + " ]";
    case PageControl::CheckBox: return (isOn(valueOf(field(2))) ? "[x] " : "[ ] ") + field(1);
    case PageControl::Slider: return field(1) + ": " + value + "  (a slider from " + field(3) + " to " + field(4) + ")";
    case PageControl::Text: return rest(1);
    case PageControl::TextBox:
    case PageControl::Color: return field(1) + ": [" + value + "]";
    case PageControl::GhostList: {
      std::string chosen;
      for (const ListOption& option : ghostListOptions(rest(3))) {
        const bool isChosen = option.value == value;
        if (isChosen) chosen = option.label;
        listRows.push_back((isChosen ? "    * " : "      ") +
                           (option.label == blankGhostChoice ? "(blank)" : option.label));
      }
      return field(1) + ": [" + chosen + " v]";
    }
    default: return "(a control the stand-in host does not know: " + fields[0] + ")";
  }
}

}  // namespace

std::vector<ListOption> ghostListOptions(std::string_view list) {
  std::vector<ListOption> options;
  std::size_t begin = 0;
  while (begin <= list.size()) {
    std::size_t end = list.find(pageEntrySeparator, begin);
    if (end == std::string_view::npos) end = list.size();
    const std::string entry(list.substr(begin, end - begin));
    for (std::size_t at = entry.find(pageLabelSeparator); at != std::string::npos;
         at = entry.find(pageLabelSeparator, at + 1)) {
      ListOption option{entry.substr(0, at), entry.substr(at + 1)};
      const std::string tail = ghostChoiceLabelEnd(labelledFileName(option.value));
      const bool isGhost = option.label.size() >= tail.size() &&
                           option.label.compare(option.label.size() - tail.size(), tail.size(), tail) == 0;
      if (isGhost || (option.label == blankGhostChoice && option.value == blankGhostChoice)) {
        options.push_back(std::move(option));
        break;
      }
    }
    begin = end + 1;
  }
  return options;
}

std::vector<std::string> pageRows(const std::vector<std::string>& lines, const VariableValue& valueOf) {
  std::vector<std::string> rows;
  if (lines.empty()) return rows;
  rows.push_back(lines[0]);
  rows.emplace_back(lines[0].size(), '=');
  bool sameRow = false;  // a "same row" came: the next control joins the row of the one before
  std::size_t controlRow = 0;
  bool greyedOut = false;  // inside "greyed out when !VARIABLE" ... "greyed out end" while VARIABLE is on
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> fields = fieldsOf(lines[i]);
    const std::string& code = fields[0];
    if (code == pageControlField(PageControl::SameRow)) {
      sameRow = true;
      continue;
    }
    if (code == pageControlField(PageControl::GreyedOutWhen)) {
      const std::string condition = fields.size() > 1 ? fields[1] : "";
      greyedOut =
          condition.rfind(pageConditionNot, 0) == 0 ? isOn(valueOf(condition.substr(1))) : !isOn(valueOf(condition));
      continue;
    }
    if (code == pageControlField(PageControl::GreyedOutEnd)) {
      greyedOut = false;
      continue;
    }
    if (code == pageControlField(PageControl::Rule)) {
      rows.emplace_back(60, '-');
      sameRow = false;
      continue;
    }
    std::vector<std::string> listRows;
    std::string drawn = control(fields, valueOf, listRows);
    if (greyedOut) drawn += " (greyed out)";
    if (sameRow && controlRow > 1) {
      rows[controlRow] += "  " + drawn;
    } else {
      controlRow = rows.size();
      rows.push_back(drawn);
    }
    rows.insert(rows.end(), listRows.begin(), listRows.end());
    sameRow = false;
  }
  return rows;
}

}  // namespace lumaro_host
