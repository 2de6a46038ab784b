// What each byte means to the settings page's file, the one rule every text the page shows is kept by. CR and
// LF end a line and "|" ends a field, anywhere on the page; in the ghost list "&" ends an entry and "@" a
// label. The other control bytes (below 0x20, and 0x7F) are no text: the list keeps them out of its entries.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The line end the page is written with.
inline constexpr std::string_view pageLineEnd = "\r\n";

// The separators: of a line's fields, of the ghost list's entries, and of an entry's label from its value.
inline constexpr char pageFieldSeparator = '|';
inline constexpr char pageEntrySeparator = '&';
inline constexpr char pageLabelSeparator = '@';

// What a line after the title is: the number its first field holds. A button runs a command, a check box, a
// slider, a text box and a colour control set a variable, a text is shown as it stands; "same row" puts the
// next control beside the one before, "rule" draws a line across the page, and "greyed out when" ... "greyed
// out end" greys the controls between while the variable named (or, after "!", its opposite) is off.
enum class PageControl : int {
  Button = 0,
  CheckBox = 1,
  Slider = 5,
  GhostList = 6,
  SameRow = 7,
  Rule = 8,
  Text = 9,
  GreyedOutWhen = 10,
  GreyedOutEnd = 11,
  TextBox = 12,
  Color = 13,
};

// Before the variable a "greyed out when" line names: the condition is that variable's opposite.
inline constexpr char pageConditionNot = '!';

// A control's first field as the page writes it: its number, "6" for the ghost list.
inline std::string pageControlField(PageControl control) { return std::to_string(static_cast<int>(control)); }

// The start of a control's line, its first field and the field separator: "6|" for the ghost list.
inline std::string pageControlStart(PageControl control) { return pageControlField(control) + pageFieldSeparator; }

// A byte that ends a line, or a line or a field, wherever it stands.
constexpr bool isPageLineEnd(char c) { return c == '\r' || c == '\n'; }
constexpr bool isPageFieldEnd(char c) { return isPageLineEnd(c) || c == pageFieldSeparator; }

// A byte that only the ghost list gives a meaning to.
constexpr bool isPageListSeparator(char c) { return c == pageEntrySeparator || c == pageLabelSeparator; }

// A control byte: below 0x20, or 0x7F.
constexpr bool isControlByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// A byte that can stand in a text field (the status line): anything but a line or field end.
constexpr bool isPageFieldByte(char c) { return !isPageFieldEnd(c); }

// A byte that can stand in a ghost list entry, label or value: a field byte that is neither a list separator
// nor a control byte.
constexpr bool isPageListByte(char c) { return isPageFieldByte(c) && !isPageListSeparator(c) && !isControlByte(c); }

// A ghost list entry: the label the player sees, the label separator, and the value the pick sets.
inline std::string pageListEntry(std::string_view label, std::string_view value) {
  std::string entry;
  entry.reserve(label.size() + 1 + value.size());
  entry += label;
  entry += pageLabelSeparator;
  entry += value;
  return entry;
}

// The label of an entry the page wrote: up to its label separator (an entry holds one), the whole entry when
// it holds none.
constexpr std::string_view pageEntryLabel(std::string_view entry) {
  return entry.substr(0, entry.rfind(pageLabelSeparator));
}

// The page's lines as the host reads them: CR LF, a lone CR or a lone LF ends one, and a page whose last line
// has no end has that line all the same.
inline std::vector<std::string> pageLines(std::string_view page) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < page.size()) {
    std::size_t end = at;
    while (end < page.size() && !isPageLineEnd(page[end])) ++end;
    lines.emplace_back(page.substr(at, end - at));
    at = end + (page.compare(end, pageLineEnd.size(), pageLineEnd) == 0 ? pageLineEnd.size() : 1);
  }
  return lines;
}
