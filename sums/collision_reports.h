#pragma once
// The collision lines found since the search last saved its progress, held until it saves
// again: the lines reach the results file just before the checkpoint that claims their
// windows, so a crash between two saves loses neither lines nor work, and writes no line
// twice. A pass that overflows its pool lowers its ceiling, and the values at and above the
// final ceiling are searched again in the next window: their lines are dropped, so each
// collision is written once whatever the pool size. So are those of a pass cut short by a stop.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/shared_words.h"
#include "sums/u128.h"

namespace aequa {

class CollisionReports {
 public:
  // Forgets every held line.
  void Clear() { reports_.clear(); }
  // Notes "(k,m,n) at value" (the caller has applied the report filter).
  void Add(const U128& value, uint32_t m, uint32_t n) { reports_.push_back({value, m, n}); }
  // Drops the lines of values at or above `bound`: their window is searched again.
  void DropFrom(const U128& bound);
  size_t size() const { return reports_.size(); }
  // Logs and appends to the results file, in one write, every held line in the order they
  // were found, and forgets them. False when the results file could not take them (they are
  // then held by it and the work stops).
  bool Write(SearchControl& control, uint32_t power);

 private:
  struct Report {
    U128 value;
    uint32_t m;
    uint32_t n;
  };
  std::vector<Report> reports_;
};

}  // namespace aequa
