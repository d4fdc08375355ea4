#include "sums/collision_reports.h"

#include <cstdio>
#include <string>

#include "core/output_log.h"
#include "core/results_file.h"

namespace aequa {

bool CollisionReports::Write(SearchControl& control, uint32_t power, const U128& ceiling) {
  std::string lines;
  for (const Report& r : reports_) {
    if (!Less128(r.value, ceiling)) continue;
    char head[64];
    std::snprintf(head, sizeof head, "(%d,%d,%d) at ", static_cast<int>(power),
                  static_cast<int>(r.m), static_cast<int>(r.n));
    const std::string line = head + Decimal128(r.value) + "\n";
    LogText(control, line.c_str());
    AnnounceResult(line.c_str());
    lines += line;
  }
  reports_.clear();
  return lines.empty() || AppendResults(lines.c_str()) != 0;
}

}  // namespace aequa
