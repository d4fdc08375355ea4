#pragma once
// The equal-sums search of one "SUM" work line: every value of the range in turn, in time
// slices when the line asks for them, with a checkpoint per value.
#include <cstdint>

#include "core/work_item.h"

namespace aequa {

// 0 when the range is exhausted; 1 when the worker must stop (a halt, a precision overflow,
// an internal error or an item that cannot be searched). The item's progress fields are
// updated in place and written back to the work file.
int32_t ComputeEqualSums(WorkItem& item);

// The estimated size in bits of the largest sum for x: k log2(x) + log2(m).
long double EqualSumsBits(uint32_t power, uint64_t x, uint32_t leftTerms);

}  // namespace aequa
