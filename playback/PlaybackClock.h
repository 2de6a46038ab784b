// Playback time on the plugin's clock, whose readings are 64-bit counts of 100-ns ticks. Elapsed time is
// whole milliseconds truncated toward zero; a paused interval is cut down to whole milliseconds through a
// 32-bit float, so its sub-millisecond rest stays playback time.
#pragma once

#include <cstdint>

// Milliseconds from start to now.
std::int64_t playbackElapsed(std::int64_t now, std::int64_t start);

// How far a pause from lastTick to now moves a start, the playback's or the recorded run's, in ticks: whole
// milliseconds only. The one home of the pause rule.
std::int64_t pauseShift(std::int64_t now, std::int64_t lastTick);
