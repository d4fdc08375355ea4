#pragma once
// The state of the one sum-collision run of the process (or of the representation command in
// its place): set up by the driver, read and written by the passes and the sum tree. Only the
// worker thread touches it.
#include <cstdint>

#include "sums/u128.h"

namespace aequa {

struct SumRunState {
  uint32_t k = 2;         // power
  uint32_t start = 0;     // every value below start^k is finished
  uint32_t end = 0;       // terms are below end, values below end^k
  uint32_t n = 2;         // most terms of a sum
  uint32_t poolSize = 0;  // nodes of the sum tree
};

extern SumRunState SumRun;

extern U128 WindowLow;        // first value of the current window
extern U128 Ceiling;          // end of the current window (excluded), lowered by evictions
extern U128 EndPower;         // end^k
extern uint32_t EvictionCount;
extern uint32_t DeletionCount;
extern U128 RunningSum;       // the sum being built by a pass
extern uint32_t RunningResidues;  // its residue word (filtered variant)

}  // namespace aequa
