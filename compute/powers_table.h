#pragma once
// The table of k-th powers: one block of 32-bit words, entry x at PtrPowers + x * entry size.
// Shared by the equal-sums and the sum-collision searches, which fill it in their own formats.
#include <cstddef>
#include <cstdint>

namespace aequa {

extern uint32_t* PtrPowers;  // start of the table, null when none is allocated
extern uint32_t* PowersEnd;  // end of the allocation

// Allocates `bytes` (rounded up to whole words). A table still allocated is reported with
// "PtrPowers not Null\n" and freed first. Returns false, with no table, when memory is short.
bool AllocPowers(uint64_t bytes);
void FreePowers();

}  // namespace aequa
