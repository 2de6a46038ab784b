#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <random>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "library/ghostfile/NumberReading.h"
#include "support/LiteralReading.h"

namespace {

using literal::stoiReading;

void expectReadsLikeStoi(const std::string& text) {
  const IntReading expected = stoiReading(text);
  const IntReading actual = readInt(text);
  ASSERT_EQ(actual.error, expected.error) << '"' << text << '"';
  if (expected.error == NumberError::None) {
    ASSERT_EQ(actual.value, expected.value) << '"' << text << '"';
  }
}

void expectReadsLikeStof(const std::string& text) {
  const FloatReading reference = literal::stofReading(text);
  const float expected = reference.value;
  const NumberError expectedError = reference.error;
  const FloatReading actual = readFloat(text);
  ASSERT_EQ(actual.error, expectedError) << '"' << text << '"';
  if (expectedError != NumberError::None) return;
  if (std::isnan(expected)) {
    ASSERT_TRUE(std::isnan(actual.value)) << '"' << text << '"';
    ASSERT_EQ(std::signbit(actual.value), std::signbit(expected)) << '"' << text << '"';
  } else {
    ASSERT_EQ(std::bit_cast<std::uint32_t>(actual.value), std::bit_cast<std::uint32_t>(expected)) << '"' << text << '"';
  }
}

TEST(ReadInt, StopsAtTheFirstCharacterThatIsNoDigit) {
  EXPECT_EQ(readInt("12abc").value, 12);
  EXPECT_EQ(readInt("3-Lap").value, 3);
  EXPECT_EQ(readInt("01").value, 1);
  EXPECT_EQ(readInt(" \t-42,").value, -42);
  EXPECT_EQ(readInt("+7").value, 7);
  EXPECT_EQ(readInt("Lap").error, NumberError::NoNumber);
  EXPECT_EQ(readInt("").error, NumberError::NoNumber);
  EXPECT_EQ(readInt("- 1").error, NumberError::NoNumber);
  EXPECT_EQ(readInt("2147483648").error, NumberError::OutOfRange);
  EXPECT_EQ(readInt("-2147483648").value, INT32_MIN);
}

TEST(ReadInt, AgreesWithStoi) {
  const char* table[] = {"0",
                         "-0",
                         "+-1",
                         "--1",
                         "1e5",
                         "0x1F",
                         " \v\f\r\n9",
                         "2147483647",
                         "-2147483649",
                         "99999999999999999999999",
                         "-00000000000000000000002147483648",
                         "12 34",
                         ("\xa0"
                          "5"),  // a no-break space byte, then 5
                         "+"};
  for (const char* text : table) expectReadsLikeStoi(text);
  std::mt19937 random(11);
  const std::string alphabet = " \t+-0123456789012345678901234567890123456789xL";
  for (int round = 0; round < 200000; ++round) {
    std::string text(random() % 16, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    expectReadsLikeStoi(text);
  }
}

TEST(ReadFloat, AgreesWithStofOnEveryFormStrtofAccepts) {
  const char* table[] = {"17.01",
                         "-0.00",
                         "-0",
                         "+1.5",
                         "  \t2.5x",
                         ".5",
                         "5.",
                         ".",
                         "-.",
                         "e5",
                         "1e",
                         "1e+",
                         "1e-2",
                         "1E+05",
                         "abc",
                         "",
                         " ",
                         "-",
                         "inf",
                         "-INF",
                         "Infinity",
                         "infinit",
                         "nan",
                         "-nan",
                         "NAN(123abc)",
                         "nan(",
                         "0x1.8p1",
                         "0X1P-3",
                         "0x",
                         "-0x",
                         "0xg",
                         "1e39",
                         "-1e39",
                         "3.4028235e38",
                         "3.40282357e38",
                         "3.4028236e38",
                         "1e-38",
                         "1.17549435e-38",
                         "1.1754943e-38",
                         "1.4e-45",
                         "1e-46",
                         "-1e-50",
                         "0e999999",
                         "0.0000e-99999",
                         "1e-999999",
                         "00000000000000000000000000000000001.5",
                         "0.000000000000000000000000000000000000000000000000001",
                         "123456789012345678901234567890",
                         "1,5",
                         "16384",
                         "-91"};
  for (const char* text : table) expectReadsLikeStof(text);
}

TEST(ReadFloat, AgreesWithStofOnALargeRandomSample) {
  std::mt19937 random(5);
  char text[96];
  const char* formats[] = {"%.2f", "%.9g", "%a", "%.3e", "%.20g", "%.0f"};
  for (int round = 0; round < 300000; ++round) {
    const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    std::snprintf(text, sizeof text, formats[round % 6], static_cast<double>(value));
    expectReadsLikeStof(text);
  }
  // Short decimals as ghost files hold them, and digit counts around 2^24 = 16777216.
  std::uniform_real_distribution<double> onMap(-300000.0, 300000.0);
  const char* shortFormats[] = {"%.2f", "%.1f", "%.4f", "%.0f", "%.10f", "%.11f"};
  for (int round = 0; round < 300000; ++round) {
    std::snprintf(text, sizeof text, shortFormats[round % 6], onMap(random) / ((round % 3) == 0 ? 1000.0 : 1.0));
    expectReadsLikeStof(text);
  }
  for (const char* edge : {"16777216", "16777217", "1677721.6", "1677721.7", "-167772.17", "0.0000000001",
                           "0.00000000001", "1.0000000001", "000000000000016777217.5", "9999999999.5"}) {
    expectReadsLikeStof(edge);
  }
  // Decimal texts of random digits and exponents, around both ends of the float range too.
  const std::string digits = "0123456789";
  for (int round = 0; round < 300000; ++round) {
    std::string number;
    const int length = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) number += digits[random() % 10];
    if (random() % 2) number.insert(random() % number.size(), ".");
    const int exponent = static_cast<int>(random() % 100) - 60;
    number += "e" + std::to_string(exponent);
    expectReadsLikeStof(number);
  }
}

}  // namespace
