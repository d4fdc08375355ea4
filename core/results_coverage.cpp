#include "core/results_coverage.h"

#include <algorithm>

namespace aequa {

SearchKey SearchOfLine(const WorkItem& item) {
  switch (item.kind) {
    case WORK_SUM:
      return {WORK_SUM, item.power, item.leftTerms};
    case WORK_ADD:
      return {WORK_ADD, item.power, item.terms};
    default:
      return {WORK_PENTA, item.power, item.variant};
  }
}

void Coverage::AddFile(const std::vector<ResultsLine>& lines, const WorkItem* part,
                       const std::string& source, std::vector<DoneTwice>& twice) {
  // The stretches of this file, joined first: a sum-collision line repeats the start of the
  // lines before it, which is no work done twice.
  std::map<SearchKey, StretchSet> mine;
  for (const ResultsLine& line : lines) {
    if (!line.Trusted()) continue;
    if (!line.fromLineStart) {
      mine[line.search].Add(line.from, line.to);
    } else if (part != nullptr && part->kind == WORK_ADD &&
               SearchOfLine(*part) == line.search) {
      mine[line.search].Add(part->start, line.to);
    } else {
      uint32_t& bound = bounds_[line.search];
      bound = std::max(bound, line.to);
    }
  }
  for (const auto& [search, stretches] : mine) {
    StretchSet& all = done_[search];
    for (const Stretch& s : stretches.Stretches()) {
      for (const Stretch& overlap : all.Add(s.from, s.to)) {
        twice.push_back({search, overlap, source});
      }
    }
  }
}

std::vector<Stretch> Coverage::Gaps(const WorkItem& range) const {
  auto found = done_.find(SearchOfLine(range));
  if (found == done_.end()) {
    if (range.start >= range.end) return {};
    return {{range.start, range.end}};
  }
  return found->second.Missing(range.start, range.end);
}

}  // namespace aequa
