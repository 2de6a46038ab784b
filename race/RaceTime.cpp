#include "race/RaceTime.h"

std::string formatRaceTime(std::int32_t milliseconds) {
  const std::int32_t minutes = milliseconds / raceTimeGroupMilliseconds[0];
  const std::int32_t rest = milliseconds - minutes * raceTimeGroupMilliseconds[0];
  const std::int32_t seconds = rest / raceTimeGroupMilliseconds[1];
  const std::int32_t millis = rest - seconds * raceTimeGroupMilliseconds[1];

  std::string text;
  if (minutes < 10) text += '0';
  text += std::to_string(minutes);
  text += ':';
  if (seconds < 10) text += '0';
  text += std::to_string(seconds);
  text += ':';
  if (millis < 10) {
    text += "00";
  } else if (millis < 100) {
    text += '0';
  }
  text += std::to_string(millis);
  return text;
}
