#pragma once
// Wall-clock time and its local-time text, the calling thread's CPU time, and sleeping.
#include <cstdint>
#include <string>

namespace aequa::platform {

int64_t NowSeconds();

// Local date and time as 24 characters: weekday, month, two-digit day, time and year,
// for example "Wed Jan 02 02:03:55 1980".
std::string LocalTimeText(int64_t seconds);

void SleepMilliseconds(uint32_t ms);

// Milliseconds from an arbitrary start, never going back (for deadlines).
int64_t MonotonicMilliseconds();

// CPU time the calling thread has used, in milliseconds.
int64_t ThreadCpuMilliseconds();

}  // namespace aequa::platform
