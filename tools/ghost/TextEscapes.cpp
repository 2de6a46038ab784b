#include "tools/ghost/TextEscapes.h"

#include <cstdio>

namespace lumaro_ghost {

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";  // U+FFFD

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Code points Unicode keeps out of interchange: U+FDD0 to U+FDEF and the last two of every plane.
bool isNoncharacter(char32_t c) { return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFEu) == 0xFFFEu; }

// The characters that change the direction of the text after them: the marks and the embeddings,
// overrides and isolates.
bool isBidiControl(char32_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// Characters that show as nothing and so hide in a name (or join, split and restyle the characters beside
// them): Unicode's default-ignorable code points (the soft hyphen, the zero-width space and joiners, the word
// joiner, the Mongolian vowel separator, the variation selectors, the tags and the rest), the other format
// characters of no width (interlinear annotation marks, hieroglyph format controls) and the prepended
// concatenation marks, drawn over the digits after them (U+0600 to U+0605 and the like), and the line and
// paragraph separators, which a terminal may break the line at.
bool isInvisible(char32_t c) {
  return c == 0x00AD || c == 0x034F || (c >= 0x0600 && c <= 0x0605) || c == 0x061C || c == 0x06DD || c == 0x070F ||
         c == 0x0890 || c == 0x0891 || c == 0x08E2 || c == 0x115F || c == 0x1160 || c == 0x17B4 || c == 0x17B5 ||
         (c >= 0x180B && c <= 0x180F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x206F) || c == 0x3164 || (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || c == 0xFFA0 ||
         (c >= 0xFFF0 && c <= 0xFFFB) || c == 0x110BD || c == 0x110CD || (c >= 0x13430 && c <= 0x1343F) ||
         (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0x1D173 && c <= 0x1D17A) || (c >= 0xE0000 && c <= 0xE0FFF);
}

std::string hexEscape(const char* format, unsigned value) {
  char text[12];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// A code point as a JSON escape: \uXXXX, or a pair of them (UTF-16's surrogates) past U+FFFF.
std::string jsonEscape(char32_t c) {
  if (c <= 0xFFFF) return hexEscape("\\u%04x", static_cast<unsigned>(c));
  const unsigned rest = static_cast<unsigned>(c) - 0x10000u;
  return hexEscape("\\u%04x", 0xD800u + (rest >> 10)) + hexEscape("\\u%04x", 0xDC00u + (rest & 0x3FFu));
}

// The JSON string; inScript: with the characters markup reads as escapes too.
std::string quotedJson(std::string_view text, bool inScript) {
  std::string quoted = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const CodePoint point = readCodePoint(text, at);
    if (point.length == 0) {
      quoted += replacement;
      ++at;
      continue;
    }
    const char32_t c = point.value;
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(c);
    } else if (isControl(c) || isBidiControl(c) || isInvisible(c) || (inScript && (c == '<' || c == '>' || c == '&'))) {
      // Escaped in the JSON itself, so that the text stays what it was whatever reads it, a terminal included.
      quoted += jsonEscape(c);
    } else {
      quoted.append(text.substr(at, point.length));
    }
    at += point.length;
  }
  return quoted + "\"";
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

std::string xmlText(std::string_view text) {
  std::string safe;
  for (std::size_t at = 0; at < text.size();) {
    const CodePoint point = readCodePoint(text, at);
    if (point.length == 0) {
      safe += replacement;
      ++at;
      continue;
    }
    const char32_t c = point.value;
    if (c == '&') {
      safe += "&amp;";
    } else if (c == '<') {
      safe += "&lt;";
    } else if (c == '>') {
      safe += "&gt;";
    } else if (c == '"') {
      safe += "&quot;";
    } else if (isNoncharacter(c)) {
      safe += replacement;
    } else if (!isControl(c)) {
      safe.append(text.substr(at, point.length));
    }
    at += point.length;
  }
  return safe;
}

std::string jsonString(std::string_view text) { return quotedJson(text, false); }

std::string scriptJsonString(std::string_view text) { return quotedJson(text, true); }

namespace {

std::string shownText(std::string_view text, bool keepLineFeeds) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const CodePoint point = readCodePoint(text, at);
    const char32_t c = point.value;
    if (point.length == 0 || c < 0x20 || c == 0x7F) {
      const auto byte = static_cast<unsigned char>(text[at]);
      shown += byte == '\n'   ? (keepLineFeeds ? "\n" : "\\n")
               : byte == '\t' ? "\\t"
               : byte == '\r' ? "\\r"
                              : hexEscape("\\x%02x", byte);
      ++at;
      continue;
    }
    if (isControl(c) || isBidiControl(c) || isInvisible(c)) {
      shown += hexEscape(c <= 0xFFFF ? "\\u%04x" : "\\U%08x", static_cast<unsigned>(c));
    } else {
      shown.append(text.substr(at, point.length));
    }
    at += point.length;
  }
  return shown;
}

}  // namespace

std::string terminalText(std::string_view text) { return shownText(text, true); }

std::string lineText(std::string_view text) { return shownText(text, false); }

}  // namespace lumaro_ghost
