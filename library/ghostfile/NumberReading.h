// Number reading for ghost-file fields, with the results of the standard conversions stoi and stof: leading
// white space is skipped, then an optional sign and the number, and the rest of the field is ignored
// ("12abc" reads 12, "3-Lap" reads 3). A field with no number, or one out of range, is an error, not a value.
#pragma once

#include <cstdint>
#include <string_view>

// NotFinite is never a conversion's result: readers whose fields must be finite (a ghost's frame fields) report
// an infinity or a NaN that was read with it.
enum class NumberError { None, NoNumber, OutOfRange, NotFinite };

struct IntReading {
  std::int32_t value = 0;
  NumberError error = NumberError::None;
};

struct FloatReading {
  float value = 0.0f;
  NumberError error = NumberError::None;
};

// A decimal integer as stoi reads it (strtol in base 10, then the 32-bit signed range).
IntReading readInt(std::string_view field);

// A float as stof reads it (strtof): decimal and hexadecimal forms, inf and nan in their spellings, and the
// range error strtof reports for results that overflow or fall below the normal range.
FloatReading readFloat(std::string_view field);
