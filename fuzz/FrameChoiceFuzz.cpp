// The frame choice of playback against the plain scan it claims to answer like: for any frames and any
// elapsed time, the same kind and the same pose bit for bit. Half the inputs have their times put in order,
// so that the search path is taken as often as the scan.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/FuzzCheck.h"
#include "host/HostClock.h"
#include "host/Values.h"
#include "library/ghostfile/GhostFrame.h"
#include "playback/FrameChoice.h"
#include "tests/support/LiteralReading.h"

namespace {

bool sameVector(const Vector& a, const Vector& b) {
  return literal::sameBits(a.X, b.X) && literal::sameBits(a.Y, b.Y) && literal::sameBits(a.Z, b.Z);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool ordered = input.ConsumeBool();
  const bool smallTimes = input.ConsumeBool();
  // Playback's elapsed time is a difference of 64-bit clock ticks in milliseconds: within these bounds.
  constexpr std::int64_t reach = INT64_MAX / Tessaro::ticksPerMillisecond;
  const std::int64_t elapsed = smallTimes ? input.ConsumeIntegralInRange<std::int64_t>(-5, 100)
                                          : input.ConsumeIntegralInRange<std::int64_t>(-reach, reach);
  std::vector<GhostFrame> frames(input.ConsumeIntegralInRange<std::size_t>(0, 64));
  for (GhostFrame& frame : frames) {
    // Small times make equal times and exact hits common; full-range ones reach the wrap of the span.
    frame.time =
        smallTimes ? input.ConsumeIntegralInRange<std::int32_t>(-3, 100) : input.ConsumeIntegral<std::int32_t>();
    frame.x = input.ConsumeFloatingPoint<float>();
    frame.y = input.ConsumeFloatingPoint<float>();
    frame.z = input.ConsumeFloatingPoint<float>();
    frame.pitch = input.ConsumeFloatingPoint<float>();
    frame.yaw = input.ConsumeFloatingPoint<float>();
    frame.roll = input.ConsumeFloatingPoint<float>();
  }
  if (ordered) {
    std::stable_sort(frames.begin(), frames.end(),
                     [](const GhostFrame& a, const GhostFrame& b) { return a.time < b.time; });
  }

  const bool inOrder = framesInTimeOrder(frames);
  FUZZ_CHECK(!ordered || inOrder, "sorted frames are not in time order");
  const FrameChoice scan = chooseFrameByScan(frames, elapsed);
  const FrameChoice chosen = chooseFrame(frames, elapsed, inOrder);
  FUZZ_CHECK(chosen.kind == scan.kind, "kind %d, the scan gives %d (%zu frames, elapsed %lld)",
             static_cast<int>(chosen.kind), static_cast<int>(scan.kind), frames.size(),
             static_cast<long long>(elapsed));
  if (scan.kind == FrameChoiceKind::Show) {
    FUZZ_CHECK(
        sameVector(chosen.pose.position, scan.pose.position) && sameVector(chosen.pose.rotation, scan.pose.rotation),
        "the pose differs from the scan's (%zu frames, elapsed %lld)", frames.size(), static_cast<long long>(elapsed));
  }
  return 0;
}
