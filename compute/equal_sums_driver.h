#pragma once
// The equal-sums search of one "SUM" work line: every value of the range in turn, in time
// slices when the line asks for them, with a checkpoint per value.
#include <cstdint>

#include "core/drivers.h"
#include "core/shared_words.h"
#include "core/work_item.h"

namespace aequa {

// Searches the line's values on the calling thread with the given control words. The item's
// progress fields are updated in place and written back to its line. Finished when the range
// is exhausted, Stopped after a halt (or a "done" line the results file could not take),
// Failed after an internal error or an item that cannot be searched (its line dropped).
SearchOutcome ComputeEqualSums(SearchControl& control, WorkItem& item);

// The estimated size in bits of the largest sum for x: k log2(x) + log2(m).
long double EqualSumsBits(uint32_t power, uint64_t x, uint32_t leftTerms);

}  // namespace aequa
