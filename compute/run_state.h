#pragma once
// The state of the one equal-sums search of the process: filled by the driver from the work
// item, read by the kernels at every step, written with the search path. Only the worker
// thread (or the representation command's thread in its place) touches it.
#include <cstdint>

namespace aequa {

inline constexpr uint32_t kPathCapacity = 4352;  // entries of PathTerms and ResumeTerms
inline constexpr uint32_t kDepthCapacity = 4096; // entries of DepthCounters

extern uint32_t Power;           // k
extern uint32_t LeftTerms;       // m
extern uint32_t RightTerms;      // n, lowered by results and checkpoints
extern uint32_t SearchMode;      // 0 Best, 1 Same, 2 Exact
extern uint32_t CurrentValue;    // x1, the value being searched
extern uint32_t SearchLimit;     // RightTerms + 1
extern uint32_t PrecisionWords;  // W of the run
extern uint32_t Resumed;         // the value continues from its checkpoint
extern uint32_t ResumeRejected;  // the kernel could not rebuild the saved path
extern uint32_t SieveRightTerms; // n the value's search started with: it fixes the sieve
extern uint32_t SearchAbandoned; // the kernel left the value at a poll (halt or slice)
extern uint32_t PathTermCount;   // c, right terms held after the m left terms

extern uint32_t PathTerms[kPathCapacity];
extern uint32_t ResumeTerms[kPathCapacity];
extern uint32_t DepthCounters[kDepthCapacity];

}  // namespace aequa
