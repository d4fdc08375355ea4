#pragma once
// The collision lines of one pass, held until the pass ends. A pass that overflows its pool
// lowers its ceiling, and the values at and above the final ceiling are searched again in the
// next window: their lines are dropped here, so each collision is written once whatever the
// pool size. A pass cut short by a stop writes none (its window is searched again).
#include <cstdint>
#include <vector>

#include "core/shared_words.h"
#include "sums/u128.h"

namespace aequa {

class CollisionReports {
 public:
  // Forgets the lines of the previous pass.
  void Clear() { reports_.clear(); }
  // Notes "(k,m,n) at value" (the caller has applied the report filter).
  void Add(const U128& value, uint32_t m, uint32_t n) { reports_.push_back({value, m, n}); }
  // Logs and appends to the results file, in one write, the lines of values below `ceiling`,
  // in the order they were found. False when the results file could not take them (they are
  // then held by it and the work stops).
  bool Write(SearchControl& control, uint32_t power, const U128& ceiling);

 private:
  struct Report {
    U128 value;
    uint32_t m;
    uint32_t n;
  };
  std::vector<Report> reports_;
};

}  // namespace aequa
