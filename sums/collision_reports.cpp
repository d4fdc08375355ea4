#include "sums/collision_reports.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/output_log.h"
#include "core/results_file.h"

namespace aequa {

void CollisionReports::DropFrom(const U128& bound) {
  reports_.erase(std::remove_if(reports_.begin(), reports_.end(),
                                [&](const Report& r) { return !Less128(r.value, bound); }),
                 reports_.end());
}

bool CollisionReports::Write(SearchControl& control, uint32_t power) {
  if (reports_.empty()) return true;
  std::string lines;
  for (const Report& r : reports_) {
    char head[64];
    std::snprintf(head, sizeof head, "(%d,%d,%d) at ", static_cast<int>(power),
                  static_cast<int>(r.m), static_cast<int>(r.n));
    const size_t begin = lines.size();
    lines += head + Decimal128(r.value) + "\n";
    AnnounceResult(lines.c_str() + begin);
  }
  reports_.clear();
  LogText(control, lines.c_str());
  return AppendResults(lines.c_str()) != 0;
}

}  // namespace aequa
