#include <cstddef>
#include <vector>

#include <benchmark/benchmark.h>

#include "host/HostClock.h"
#include "sim/Driver.h"
#include "sim/Track.h"
#include "tools/host/ScenarioTick.h"

// The simulated car's place on its track, looked up at every game tick of a drive (three times on the racing
// line): its cost must not grow with the map's points, up to the 10,000 a map may hold. A zig-zag of that
// many points, driven a tick's way at a time (the car's default speed over lumaro-host's 8 ms tick: 11.2 units),
// beside one of 100 points.
static void BM_TrackPose(benchmark::State& state) {
  const auto points = static_cast<std::size_t>(state.range(0));
  std::vector<sim::TrackPoint> path;
  for (std::size_t i = 0; i + 2 < points; ++i) {
    path.push_back({static_cast<double>(i) * 100.0, i % 2 == 0 ? 0.0 : 400.0, 0.0});
  }
  path.push_back({static_cast<double>(points - 3) * 100.0, 3000.0, 0.0});
  path.push_back({0.0, 3000.0, 0.0});
  const sim::Track track(path, {50.0, -600.0, 0.0}, {50.0, 300.0, 0.0});
  const double tickWay = sim::defaultCarSpeed * Tessaro::secondsOfTicks(lumaro_host::scenarioTickLength);
  double distance = 0.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(track.poseAt(distance));
    distance += tickWay;
  }
}
BENCHMARK(BM_TrackPose)->Arg(100)->Arg(10'000);
