// The number readers of ghost files against std::stoi and std::stof: for any field, the same error kind,
// and for a number the same value, a float bit for bit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "library/ghostfile/NumberReading.h"
#include "tests/support/LiteralReading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string field(reinterpret_cast<const char*>(data), size);

  const IntReading expectedInt = literal::stoiReading(field);
  const IntReading actualInt = readInt(field);
  FUZZ_CHECK(actualInt.error == expectedInt.error, "readInt(\"%s\"): error %d, stoi gives %d", field.c_str(),
             static_cast<int>(actualInt.error), static_cast<int>(expectedInt.error));
  FUZZ_CHECK(actualInt.error != NumberError::None || actualInt.value == expectedInt.value,
             "readInt(\"%s\") = %d, stoi gives %d", field.c_str(), actualInt.value, expectedInt.value);

  const FloatReading expectedFloat = literal::stofReading(field);
  const FloatReading actualFloat = readFloat(field);
  FUZZ_CHECK(actualFloat.error == expectedFloat.error, "readFloat(\"%s\"): error %d, stof gives %d", field.c_str(),
             static_cast<int>(actualFloat.error), static_cast<int>(expectedFloat.error));
  FUZZ_CHECK(actualFloat.error != NumberError::None || literal::sameBits(actualFloat.value, expectedFloat.value),
             "readFloat(\"%s\") = %a, stof gives %a", field.c_str(), static_cast<double>(actualFloat.value),
             static_cast<double>(expectedFloat.value));
  return 0;
}
