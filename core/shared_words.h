#pragma once
// The words that the user-interface, search and timer threads share: one set of request and
// counter words per search thread (its SearchControl), and the two running flags of the pool.
// Nothing else is shared between them except the settings store and the log, which have a
// lock each.
#include <atomic>
#include <cstdint>

namespace aequa {

// Request bits. REQ_HALT and REQ_SLICE are raised by storing the whole word, which drops
// any other pending request; REQ_DISPLAY and REQ_SAVE are or-ed in.
inline constexpr uint32_t REQ_HALT = 1;
inline constexpr uint32_t REQ_SLICE = 2;
inline constexpr uint32_t REQ_DISPLAY = 4;
inline constexpr uint32_t REQ_SAVE = 8;

// The words of one search thread. The searches poll `requests` and act on its bits; the
// timer counts the seconds of the thread's value or window and its time slices.
struct SearchControl {
  std::atomic<uint32_t> requests{0};
  std::atomic<uint32_t> elapsedSeconds{0};
  std::atomic<uint32_t> sliceLength{0};   // seconds per time slice, 0 for none
  std::atomic<int32_t> sliceCounter{0};   // seconds counted in the current slice
  std::atomic<int32_t> internalError{0};  // the number of a failed consistency check
  // Another worker is idle: at its next boundary the search gives part of its line away.
  std::atomic<uint32_t> splitWanted{0};
  std::atomic<uint32_t> saves{0};         // checkpoints and progress written so far
  std::atomic<bool> active{false};        // a thread searches with these words
  uint32_t index = 0;                     // 0.. for the workers; see kQuestionControl

  bool Requested(uint32_t mask) const {
    return (requests.load(std::memory_order_relaxed) & mask) != 0;
  }
  // Drops every request but a halt (a halt raised meanwhile is kept).
  void ClearRequestsButHalt() { requests.fetch_and(REQ_HALT); }
  // Raises REQ_SLICE in place of any other request, but never over a pending halt.
  void RaiseSlice() {
    uint32_t flags = requests.load();
    while ((flags & REQ_HALT) == 0 && !requests.compare_exchange_weak(flags, REQ_SLICE)) {
    }
  }
};

inline constexpr uint32_t kMaxWorkers = 64;
// The control of the representation command, which runs beside the workers.
inline constexpr uint32_t kQuestionControl = kMaxWorkers;

// The control of worker `index` (0..kMaxWorkers-1) or of the representation command.
SearchControl& ControlOf(uint32_t index);

// Search threads running (workers and the representation command), and the timer.
extern std::atomic<uint32_t> WorkerRunning;
extern std::atomic<uint32_t> TimerRunning;

// Raises REQ_HALT for every search thread (Stop, exit, a results file that cannot be
// written).
void RequestHaltEverywhere();
// True when any active search thread has a halt pending.
bool HaltPending();

}  // namespace aequa
