#pragma once
// The sleeps of the worker protocol (the timer's 100 ms steps, the 50 ms shutdown waits).
// Tests replace them so that the protocol runs in milliseconds instead of seconds.
#include <cstdint>

namespace aequa {

void ProtocolSleep(uint32_t ms);

using SleepHook = void (*)(uint32_t ms);
// Null restores real sleeping.
void SetSleepHook(SleepHook hook);

}  // namespace aequa
