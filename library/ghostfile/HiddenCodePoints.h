// UTF-8 read a code point at a time, and the code points that a shared name can hide in: those that reorder
// the text after them or show as nothing. Every text shown to a player or a user (the settings page's list,
// lumaro-ghost's reports) writes them as escapes by this one rule, so a name never shows other than it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// One step of reading UTF-8: the code point at a byte position and the bytes it takes, or a length of 0
// when the bytes there are no UTF-8 (a stray byte, a cut or overlong sequence, a surrogate, past U+10FFFF).
struct CodePoint {
  char32_t value = 0;
  std::size_t length = 0;
};
CodePoint readCodePoint(std::string_view text, std::size_t at);

// C1 controls, the bidirectional formatting characters (marks, embeddings, overrides, isolates), the line and
// paragraph separators and Unicode's default-ignorable code points and other format characters of no width.
bool isHiddenCodePoint(char32_t c);

// "\u202e" for a code point up to U+FFFF, "\U000e0041" past it.
std::string codePointEscape(char32_t c);

// The text with every hidden code point as its escape; everything else, bytes that are no UTF-8 included,
// as it is.
std::string hiddenCodePointsShown(std::string_view text);
