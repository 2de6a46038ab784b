#include "tools/ghost/text/TextEscapes.h"

#include <cstddef>
#include <cstdio>

#include "library/ghostfile/HiddenCodePoints.h"

namespace lumaro_ghost {

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";  // U+FFFD

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Code points Unicode keeps out of interchange: U+FDD0 to U+FDEF and the last two of every plane.
bool isNoncharacter(char32_t c) { return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFEu) == 0xFFFEu; }

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
    } else if (isControl(c) || isHiddenCodePoint(c) || (inScript && (c == '<' || c == '>' || c == '&'))) {
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
    if (isHiddenCodePoint(c)) {
      shown += codePointEscape(c);
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

std::string csvField(std::string_view text) {
  std::string shown = lineText(text);
  if (!shown.empty() && std::string_view("=+-@").find(shown.front()) != std::string_view::npos) shown.insert(0, "'");
  if (shown.find_first_of(",\"") == std::string::npos &&
      (shown.empty() || (shown.front() != ' ' && shown.back() != ' '))) {
    return shown;
  }
  std::string quoted = "\"";
  for (const char c : shown) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace lumaro_ghost
