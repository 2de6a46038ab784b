#include "tools/host/NumberWords.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

#include "sim/KismetWords.h"

namespace lumaro_host {
namespace {

std::string quoted(const std::string& word) { return "\"" + word + "\""; }

bool allDigits(const std::string& word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

[[noreturn]] void outOfRange(const std::string& word, const std::string& what, const NumberRange& range) {
  throw BadNumber(what + " must be " + rangeText(range) + ", not " + quoted(word));
}

}  // namespace

std::string numberText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

std::string boundsText(const NumberRange& range) { return numberText(range.least) + " to " + numberText(range.most); }

std::string rangeText(const NumberRange& range) { return "from " + boundsText(range) + range.unit; }

double numberIn(const std::string& word, const std::string& what, const NumberRange& range) {
  const sim::kismetWords::NumberRead<double> read = sim::kismetWords::decimalOfWord(word);
  if (read.fault == sim::kismetWords::NumberFault::NotANumber) {
    throw BadNumber(what + " must be a number, not " + quoted(word));
  }
  if (read.fault == sim::kismetWords::NumberFault::OutOfRange || read.value < range.least || read.value > range.most) {
    outOfRange(word, what, range);
  }
  return read.value;
}

std::int64_t wholeNumberIn(const std::string& word, const std::string& what, const NumberRange& range) {
  if (!allDigits(word)) throw BadNumber(what + " must be a whole number, not " + quoted(word));
  std::uint64_t value = 0;
  const auto read = std::from_chars(word.data(), word.data() + word.size(), value);
  if (read.ec != std::errc() || static_cast<double>(value) < range.least || static_cast<double>(value) > range.most) {
    outOfRange(word, what, range);
  }
  return static_cast<std::int64_t>(value);
}

std::int32_t kismetInt(const std::string& word) {
  const auto read = sim::kismetWords::intOfWord(word);
  if (read.fault == sim::kismetWords::NumberFault::NotANumber) {
    throw BadNumber(quoted(word) + " is not a whole number");
  }
  if (read.fault == sim::kismetWords::NumberFault::OutOfRange) {
    throw BadNumber(quoted(word) + " is out of an int's range");
  }
  return read.value;
}

float kismetFloat(const std::string& word) {
  const auto read = sim::kismetWords::floatOfWord(word);
  if (read.fault == sim::kismetWords::NumberFault::NotANumber) throw BadNumber(quoted(word) + " is not a number");
  if (read.fault == sim::kismetWords::NumberFault::OutOfRange) {
    throw BadNumber(quoted(word) + " is out of a float's range");
  }
  return read.value;
}

std::uint64_t seedNumber(const std::string& word, const std::string& what) {
  if (!allDigits(word)) throw BadNumber(what + " must be a whole number, not " + quoted(word));
  std::uint64_t value = 0;
  if (std::from_chars(word.data(), word.data() + word.size(), value).ec != std::errc()) {
    throw BadNumber(what + " must be from 0 to " + largestSeedText() + ", not " + quoted(word));
  }
  return value;
}

std::string largestSeedText() { return std::to_string(std::numeric_limits<std::uint64_t>::max()); }

}  // namespace lumaro_host
