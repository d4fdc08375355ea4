#pragma once
// Cutting the range of a work line into parts of about equal work, by the cost model of the
// searches, so that each part can run on a machine of its own.
#include <cstdint>
#include <vector>

#include "core/work_item.h"

namespace aequa {

// The range [start, end) of `whole` cut into `parts` lines of about equal work, in order,
// each a line of the same search (a SUM part starts at its own start). Fewer lines when the
// range holds fewer units than `parts`; none for an empty range.
std::vector<WorkItem> SplitRange(const WorkItem& whole, uint32_t parts);

// The number of parts that keeps each at or below `partSeconds` of CPU time, when the first
// unit of the range takes `unitSeconds`; at least 1, at most `maxParts`.
uint32_t PartsForCpuTime(const WorkItem& whole, double unitSeconds, double partSeconds,
                         uint32_t maxParts);

}  // namespace aequa
