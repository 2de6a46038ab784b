#include "race/AutoExport.h"

bool isUnderExportLimit(std::int32_t raceMilliseconds, std::int32_t limitSeconds) {
  const std::int64_t limitMilliseconds = static_cast<std::int64_t>(limitSeconds) * 1000;
  return static_cast<std::int64_t>(raceMilliseconds) < limitMilliseconds;
}
