#pragma once
// How much work the units of a queue line are, relative to each other: the values x of an
// equal-sums line, the term bounds of a sum-collision line, the values of a of a Penta line.
// Used to cut a line into parts of equal work and to weigh its progress. Measured on the
// searches: an equal-sums value costs about x^(n+m-2), the sums below x^k of at most n terms
// number about x^n, and a Penta a costs about the same for every a.
#include <cstdint>

#include "core/work_item.h"

namespace aequa {

// The work of units [from, to) of the line, in arbitrary units (0 for an empty range).
double RangeCost(const WorkItem& item, uint32_t from, uint32_t to);

// The unit c in (from, to) that cuts [from, to) into [from, c) and [c, to) of about equal
// work; `from` when the range holds fewer than two units.
uint32_t BalancedCut(const WorkItem& item, uint32_t from, uint32_t to);

// The unit c in [from, to] such that [from, c) holds `fraction` (0..1) of the range's work.
uint32_t CutAtFraction(const WorkItem& item, uint32_t from, uint32_t to, double fraction);

}  // namespace aequa
