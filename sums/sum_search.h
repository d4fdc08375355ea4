#pragma once
// The sum-collision search: numbers below end^k that are sums of at most n k-th powers in more
// than one way, found window by window with the sum tree.
#include <cstdint>

#include "core/work_item.h"

namespace aequa {

// The driver of "ADD" work lines. Advances the item's start (and its work line) as windows are
// finished; a failure is left in InternalError, a stop in RequestFlags.
void RunSumSearch(WorkItem& item);

// One pass over [WindowLow, Ceiling) with the standard or the filtered table.
void SumPass();
void SumPassFiltered();
// After a pass with evictions: the next window starts at Ceiling and is twice as wide as the
// part the pass covered (or reaches EndPower).
void NextWindow();

// Whether a sum with this residue word goes into the tree: not when all its terms are
// divisible by one of the active primes (a byte of the word, or-ed with SieveMask, is 0).
inline bool Admitted(uint32_t residues, uint32_t mask) {
  const uint32_t v = residues | mask;
  return ((v - 0x01010101u) & ~v & 0x80808080u) == 0;
}

}  // namespace aequa
