#include "tools/ghost/text/NumberText.h"

#include <cmath>
#include <cstdio>

namespace lumaro_ghost {

std::string fixedText(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string jsonNumber(double value, int decimals) {
  if (!std::isfinite(value)) return "null";
  std::string text = fixedText(value, decimals);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

std::string countText(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string sizeText(std::size_t bytes) {
  constexpr std::size_t kilobyte = 1024;
  if (bytes < kilobyte) return countText(bytes, "byte", "bytes");
  const std::size_t kilobytes = (bytes + kilobyte / 2) / kilobyte;
  if (kilobytes < kilobyte) return std::to_string(kilobytes) + " KB";
  return fixedText(static_cast<double>(bytes) / static_cast<double>(kilobyte * kilobyte), 1) + " MB";
}

std::string signedSeconds(double seconds, std::string_view minus) {
  if (std::fabs(seconds) < levelSeconds) return fixedText(0.0, signedSecondsDecimals) + std::string(secondsUnit);
  return std::string(seconds < 0 ? minus : plusSign) + fixedText(std::fabs(seconds), signedSecondsDecimals) +
         std::string(secondsUnit);
}

}  // namespace lumaro_ghost
