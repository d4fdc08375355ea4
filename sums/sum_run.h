#pragma once
// The state of one sum-collision search: filled by the driver from its work line, read and
// written by the passes, the sum tree and the checkpoint code. The worker that runs the search
// owns it; other threads reach it only through the words of its SearchControl.
#include <cstdint>
#include <string>

#include "compute/powers_table.h"
#include "compute/sieve.h"
#include "core/shared_words.h"
#include "sums/collision_reports.h"
#include "sums/sum_tree.h"
#include "sums/u128.h"

namespace aequa {

struct SumRun {
  explicit SumRun(SearchControl& control) : control(control), tree(*this) {}
  SumRun(const SumRun&) = delete;
  SumRun& operator=(const SumRun&) = delete;

  SearchControl& control;  // requests, elapsed seconds, internal error
  uint32_t k = 2;          // power
  uint32_t first = 0;      // where the line's range began (names its checkpoint)
  uint32_t start = 0;      // every value below start^k is finished
  uint32_t end = 0;        // terms are below end, values below end^k
  uint32_t n = 2;          // most terms of a sum
  uint32_t poolSize = 0;   // nodes of the sum tree

  U128 windowLow;          // first value of the current window
  U128 ceiling;            // end of the current window (excluded), lowered by evictions
  U128 endPower;           // end^k
  uint32_t evictionCount = 0;
  uint32_t deletionCount = 0;
  U128 runningSum;               // the sum being built by a pass
  uint32_t runningResidues = 0;  // its residue word (filtered variant)

  PowersTable powers;  // x^k, four words (five with the residue word) an entry
  SieveSlots sieve;    // the residue filter's primes; none active for the standard pass
  CollisionReports reports;
  SumTree tree;
};

// out = x^k for the run's power; an overflow sets internal error 300 and returns false.
bool RunPower(SumRun& run, uint32_t x, U128& out);

}  // namespace aequa
