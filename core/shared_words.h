#pragma once
// The words that the user-interface, worker and timer threads share. Nothing else is shared
// between them except the settings store and the log, which have a lock each.
#include <atomic>
#include <cstdint>

namespace aequa {

// Bits of RequestFlags. REQ_HALT and REQ_SLICE are raised by storing the whole word,
// which drops any other pending request; REQ_DISPLAY and REQ_SAVE are or-ed in.
inline constexpr uint32_t REQ_HALT = 1;
inline constexpr uint32_t REQ_SLICE = 2;
inline constexpr uint32_t REQ_DISPLAY = 4;
inline constexpr uint32_t REQ_SAVE = 8;

extern std::atomic<uint32_t> RequestFlags;
extern std::atomic<uint32_t> WorkerRunning;
extern std::atomic<uint32_t> TimerRunning;
extern std::atomic<uint32_t> ElapsedSeconds;
extern std::atomic<uint32_t> SliceLength;
extern std::atomic<int32_t> SliceCounter;
extern std::atomic<int32_t> InternalError;

// True when any bit of `mask` is set in RequestFlags.
inline bool Requested(uint32_t mask) {
  return (RequestFlags.load(std::memory_order_relaxed) & mask) != 0;
}

}  // namespace aequa
