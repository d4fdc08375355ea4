#pragma once
// The state of one equal-sums search: filled by the driver from the work item, read by the
// kernels at every step, written with the search path. The thread that runs the search owns
// it; the only words other threads touch are those of its SearchControl.
#include <cstdint>

#include "compute/path_frames.h"
#include "compute/powers_table.h"
#include "compute/sieve.h"
#include "core/shared_words.h"

namespace aequa {

inline constexpr uint32_t kPathCapacity = 4352;  // entries of pathTerms and resumeTerms
inline constexpr uint32_t kDepthCapacity = 4096; // entries of depthCounters

struct EqualSumsRun {
  explicit EqualSumsRun(SearchControl& control) : control(control) {}
  EqualSumsRun(const EqualSumsRun&) = delete;
  EqualSumsRun& operator=(const EqualSumsRun&) = delete;

  SearchControl& control;   // requests, elapsed seconds, slices, internal error
  uint32_t power = 0;        // k
  uint32_t leftTerms = 0;    // m
  uint32_t rightTerms = 0;   // n, lowered by results and checkpoints
  uint32_t searchMode = 0;   // 0 Best, 1 Same, 2 Exact
  uint32_t currentValue = 0; // x1, the value being searched
  uint32_t searchLimit = 0;  // rightTerms + 1
  uint32_t precisionWords = 0;
  uint32_t resumed = 0;          // the value continues from its checkpoint
  uint32_t resumeRejected = 0;   // the kernel could not rebuild the saved path
  uint32_t sieveRightTerms = 0;  // n the value's search started with: it fixes the sieve
  uint32_t searchAbandoned = 0;  // the kernel left the value at a poll (halt or slice)
  uint32_t pathTermCount = 0;    // c, right terms held after the m left terms

  uint32_t pathTerms[kPathCapacity] = {};
  uint32_t resumeTerms[kPathCapacity] = {};
  uint32_t depthCounters[kDepthCapacity] = {};

  PowersTable powers;
  PathFrames frames;
  SieveSlots sieve;
};

}  // namespace aequa
