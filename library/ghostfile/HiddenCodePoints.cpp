#include "library/ghostfile/HiddenCodePoints.h"

#include <cstdio>

namespace {

bool isC1Control(char32_t c) { return c >= 0x80 && c <= 0x9F; }

// Characters that show as nothing and so hide in a name (or join, split and restyle the characters beside
// them): Unicode's default-ignorable code points (the soft hyphen, the zero-width space and joiners, the word
// joiner, the Mongolian vowel separator, the variation selectors, the tags and the rest), the other format
// characters of no width (interlinear annotation marks, hieroglyph format controls) and the prepended
// concatenation marks, drawn over the digits after them (U+0600 to U+0605 and the like), and the line and
// paragraph separators, which a terminal may break the line at. The bidirectional formatting characters (U+061C,
// U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069), which reorder the text after them, are among them.
bool isInvisible(char32_t c) {
  return c == 0x00AD || c == 0x034F || (c >= 0x0600 && c <= 0x0605) || c == 0x061C || c == 0x06DD || c == 0x070F ||
         c == 0x0890 || c == 0x0891 || c == 0x08E2 || c == 0x115F || c == 0x1160 || c == 0x17B4 || c == 0x17B5 ||
         (c >= 0x180B && c <= 0x180F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x206F) || c == 0x3164 || (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || c == 0xFFA0 ||
         (c >= 0xFFF0 && c <= 0xFFFB) || c == 0x110BD || c == 0x110CD || (c >= 0x13430 && c <= 0x1343F) ||
         (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0x1D173 && c <= 0x1D17A) || (c >= 0xE0000 && c <= 0xE0FFF);
}

}  // namespace

CodePoint readCodePoint(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  std::size_t length = 0;
  char32_t minimum = 0;
  char32_t code = 0;
  if (lead < 0x80) return {lead, 1};
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1Fu, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0Fu, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07u, minimum = 0x10000;
  } else {
    return {};
  }
  if (at + length > text.size()) return {};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0u) != 0x80u) return {};
    code = (code << 6) | (byte(at + i) & 0x3Fu);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  return {code, length};
}

bool isHiddenCodePoint(char32_t c) { return isC1Control(c) || isInvisible(c); }

std::string codePointEscape(char32_t c) {
  char text[12];
  std::snprintf(text, sizeof text, c <= 0xFFFF ? "\\u%04x" : "\\U%08x", static_cast<unsigned>(c));
  return text;
}

std::string hiddenCodePointsShown(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const CodePoint point = readCodePoint(text, at);
    const std::size_t length = point.length == 0 ? 1 : point.length;
    if (point.length != 0 && isHiddenCodePoint(point.value)) {
      shown += codePointEscape(point.value);
    } else {
      shown.append(text.substr(at, length));
    }
    at += length;
  }
  return shown;
}
