#pragma once
// The sum-collision search: numbers below end^k that are sums of at most n k-th powers in more
// than one way, found window by window with the sum tree.
#include <cstdint>

#include "core/drivers.h"
#include "core/work_item.h"
#include "sums/sum_run.h"

namespace aequa {

struct SumSearchOptions {
  uint32_t poolNodeLimit = 0;  // caps the tree's pool (0: none), to force many windows
};

// The driver of "ADD" work lines. Advances the item's start (and its work line) as windows are
// finished; at a window's end it gives the upper part of its line to an idle worker.
SearchOutcome RunSumSearch(SearchControl& control, WorkItem& item,
                           const SumSearchOptions& options);
SearchOutcome RunSumSearch(SearchControl& control, WorkItem& item);

// One pass over [windowLow, ceiling) with the standard or the filtered table.
void SumPass(SumRun& run);
void SumPassFiltered(SumRun& run);
// After a pass with evictions: the next window starts at the ceiling and is twice as wide as
// the part the pass covered (or reaches endPower).
void NextWindow(SumRun& run);

// Whether a sum with this residue word goes into the tree: not when all its terms are
// divisible by one of the active primes (a byte of the word, or-ed with the sieve mask, is 0).
inline bool Admitted(uint32_t residues, uint32_t mask) {
  const uint32_t v = residues | mask;
  return ((v - 0x01010101u) & ~v & 0x80808080u) == 0;
}

}  // namespace aequa
