#include <memory>

#include <gtest/gtest.h>

#include "race/RaceTime.h"

TEST(RaceTime, MinutesSecondsAndMillisecondsWithTheirPadding) {
  EXPECT_EQ(formatRaceTime(5), "00:00:005");
  EXPECT_EQ(formatRaceTime(83456), "01:23:456");
  EXPECT_EQ(formatRaceTime(600000), "10:00:000");
  EXPECT_EQ(formatRaceTime(3723004), "62:03:004");
  EXPECT_EQ(formatRaceTime(6000000), "100:00:000");
  EXPECT_EQ(formatRaceTime(0), "00:00:000");
  EXPECT_EQ(formatRaceTime(60050), "01:00:050");
  EXPECT_EQ(formatRaceTime(59999), "00:59:999");
}
