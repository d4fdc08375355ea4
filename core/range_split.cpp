#include "core/range_split.h"

#include <algorithm>
#include <cmath>

#include "core/cost_model.h"

namespace aequa {

std::vector<WorkItem> SplitRange(const WorkItem& whole, uint32_t parts) {
  std::vector<WorkItem> lines;
  if (whole.end <= whole.start || parts == 0) return lines;
  const uint32_t count = std::min(parts, whole.end - whole.start);
  uint32_t from = whole.start;
  for (uint32_t i = 1; i <= count; ++i) {
    // Each cut leaves at least one unit to every part still to come.
    uint32_t to = whole.end;
    if (i < count) {
      const double fraction = static_cast<double>(i) / count;
      to = CutAtFraction(whole, whole.start, whole.end, fraction);
      to = std::clamp(to, from + 1, whole.end - (count - i));
    }
    WorkItem part = whole;
    part.lineId = 0;
    part.start = from;
    part.end = to;
    if (part.kind == WORK_SUM) part.current = from;
    lines.push_back(part);
    from = to;
  }
  return lines;
}

uint32_t PartsForCpuTime(const WorkItem& whole, double unitSeconds, double partSeconds,
                         uint32_t maxParts) {
  const double unit = RangeCost(whole, whole.start, whole.start + 1);
  if (whole.end <= whole.start || unit <= 0.0 || partSeconds <= 0.0) return 1;
  const double total = unitSeconds * RangeCost(whole, whole.start, whole.end) / unit;
  const double parts = std::ceil(total / partSeconds);
  if (!(parts < static_cast<double>(maxParts))) return std::max<uint32_t>(maxParts, 1);
  return std::max<uint32_t>(static_cast<uint32_t>(parts), 1);
}

}  // namespace aequa
