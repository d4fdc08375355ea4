#include "sums/collision_reports.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/output_log.h"
#include "core/results_file.h"
#include "sums/sum_run_state.h"

namespace aequa {
namespace {

struct Report {
  U128 value;
  uint32_t m;
  uint32_t n;
};

std::vector<Report> reports;

}  // namespace

void ClearCollisionReports() { reports.clear(); }

void AddCollisionReport(const U128& value, uint32_t m, uint32_t n) {
  reports.push_back({value, m, n});
}

bool WriteCollisionReports(const U128& ceiling) {
  std::string lines;
  for (const Report& r : reports) {
    if (!Less128(r.value, ceiling)) continue;
    char head[64];
    std::snprintf(head, sizeof head, "(%d,%d,%d) at ", static_cast<int>(SumRun.k),
                  static_cast<int>(r.m), static_cast<int>(r.n));
    const std::string line = head + Decimal128(r.value) + "\n";
    LogText(line.c_str());
    AnnounceResult(line.c_str());
    lines += line;
  }
  reports.clear();
  return lines.empty() || AppendResults(lines.c_str()) != 0;
}

}  // namespace aequa
