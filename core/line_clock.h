#pragma once
// The CPU clock that measures the time spent on a work line: the calling search thread's CPU
// time. Tests put a fake clock in its place.
#include <cstdint>

namespace aequa {

// Milliseconds of CPU time, from an arbitrary start, of the calling thread (or of the hook).
uint32_t LineCpuMilliseconds();

using LineClockHook = uint32_t (*)();
// Null restores the thread's CPU clock.
void SetLineClockHook(LineClockHook hook);

}  // namespace aequa
