#pragma once
// The collision lines of one pass, held until the pass ends. A pass that overflows its pool
// lowers its ceiling, and the values at and above the final ceiling are searched again in the
// next window: their lines are dropped here, so each collision is written once whatever the
// pool size. A pass cut short by a stop writes none (its window is searched again).
#include <cstdint>

#include "sums/u128.h"

namespace aequa {

// Forgets the lines of the previous pass.
void ClearCollisionReports();
// Notes "(k,m,n) at value" (the caller has applied the report filter).
void AddCollisionReport(const U128& value, uint32_t m, uint32_t n);
// Logs and appends to the results file, in one write, the lines of values below `ceiling`,
// in the order they were found. False when the results file could not take them (they are
// then held by it and the work stops).
bool WriteCollisionReports(const U128& ceiling);

}  // namespace aequa
