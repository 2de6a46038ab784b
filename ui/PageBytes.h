// What each byte means to the settings page's file, the one rule every text the page shows is kept by. CR and
// LF end a line and "|" ends a field, anywhere on the page; in the ghost list "&" ends an entry and "@" a
// label. The other control bytes (below 0x20, and 0x7F) are no text: the list keeps them out of its entries.
#pragma once

// The separators: of a line's fields, of the ghost list's entries, and of an entry's label from its value.
inline constexpr char pageFieldSeparator = '|';
inline constexpr char pageEntrySeparator = '&';
inline constexpr char pageLabelSeparator = '@';

// A byte that ends a line or a field wherever it stands.
constexpr bool isPageFieldEnd(char c) { return c == '\r' || c == '\n' || c == pageFieldSeparator; }

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
