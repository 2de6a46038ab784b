#include <cstdint>

#include <benchmark/benchmark.h>

#include "race/RaceTime.h"

// The settings page formats one time per listed ghost on every regeneration.
static void BM_FormatRaceTime(benchmark::State& state) {
  std::int32_t ms = 83456;
  for (auto _ : state) {
    benchmark::DoNotOptimize(formatRaceTime(ms));
    ms = (ms + 7919) % 6000000;
  }
}
BENCHMARK(BM_FormatRaceTime);
