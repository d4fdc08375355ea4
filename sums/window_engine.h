#pragma once
// The windowed collision engine of the sum-collision search: it cuts the values into windows
// sized to its memory, writes every sum of a window (value and term count, in the order the
// pass makes them) into a buffer, sorts the buffer stably by value and reads the collisions
// off the runs of equal values. Each value's run keeps the pass's order, so the lines and
// their term counts are those of the sum tree with a pool that never fills. (An open-addressing
// table of the same memory in place of the sort took twice the time on the cubes below 10^12:
// it misses the cache on nearly every sum, where the sort streams.)
//
// All its state lives in the object: several engines may run side by side.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "sums/u128.h"

namespace aequa {

// A 128-bit value as two 64-bit halves: the arithmetic of windows past 64 bits.
struct U64Pair {
  uint64_t lo = 0;
  uint64_t hi = 0;
};

struct WindowEngineSetup {
  uint32_t k = 2;                 // power
  uint32_t n = 2;                 // most terms of a sum (1 .. 255)
  uint32_t end = 0;               // terms below end
  const uint32_t* powers = nullptr;  // entry x: x^k in four words, then the residue word
  uint32_t stride = 4;            // words per entry: 4, or 5 with the residue word
  uint32_t sieveMask = 0;         // with stride 5: sums whose residue word fails it are left out
  uint64_t memoryBytes = 0;       // bound of the window buffers
  std::function<bool(uint32_t m, uint32_t n)> wanted;  // the report filter
  std::function<bool()> stop;     // asked now and then during a pass; true ends it
};

// One collision line: the value, the fewest terms seen before and the terms of this sum.
struct CollisionLine {
  U128 value;
  uint32_t m;
  uint32_t n;
};

class WindowEngine {
 public:
  explicit WindowEngine(const WindowEngineSetup& setup);
  ~WindowEngine();
  WindowEngine(const WindowEngine&) = delete;
  WindowEngine& operator=(const WindowEngine&) = delete;

  // The end of the next window from `low`, not past `high`: as wide as the density of the
  // windows so far says the buffer holds (the whole rest at first).
  U128 PlanWindow(const U128& low, const U128& high);
  // Searches [low, ceiling) and returns the end of what it searched (at most ceiling, lowered
  // when the buffer fills). Calls `sink` for each collision line below that end, in ascending
  // value order. A stop returns `low` and sinks nothing.
  U128 Search(const U128& low, const U128& ceiling,
              const std::function<void(const CollisionLine&)>& sink);

  // Entries a window buffer holds with 64-bit and with 128-bit entries.
  size_t NarrowCapacity() const { return bufferBytes_ / 16; }
  size_t WideCapacity() const { return bufferBytes_ / 32; }
  // Sums written in the latest Search, and the times it had to make room.
  uint64_t LastSums() const { return lastSums_; }
  uint32_t LastOverflows() const { return lastOverflows_; }

 private:
  template <typename Value, typename Entry, bool Filtered>
  friend class WindowPass;

  WindowEngineSetup setup_;
  size_t bufferBytes_ = 0;
  std::unique_ptr<uint64_t[]> buffer_;      // two halves: the entries and the sort's spare
  std::vector<uint64_t> narrowPowers_;      // x^k, UINT64_MAX when above 64 bits
  std::vector<U64Pair> widePowers_;         // x^k, made when a window first needs them
  std::vector<uint32_t> residues_;          // residue words (filtered variant)
  std::vector<CollisionLine> lines_;        // the lines of the window being searched
  double density_ = 0;                      // sums per unit of value in the latest window
  double lastWidth_ = 0;                    // width of the latest window searched
  uint64_t lastSums_ = 0;
  uint32_t lastOverflows_ = 0;
};

}  // namespace aequa
