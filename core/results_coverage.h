#pragma once
// Which units of which search the trusted "done" lines of results files cover, and what was
// done twice. A sum-collision done line only says that everything below its bound was searched
// from the start of its line, so the start comes from the part the file belongs to.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/results_reader.h"
#include "core/work_item.h"

namespace aequa {

// The search of a work line as its done lines name it: SUM (k, m), ADD (k, n), PENTA (5, type).
SearchKey SearchOfLine(const WorkItem& item);

struct DoneTwice {
  SearchKey search;
  Stretch stretch;
  std::string source;  // the file whose lines repeat what was already covered
};

class Coverage {
 public:
  // Adds the trusted done lines of one file. `part` is the work line the file's work started
  // as (its sum-collision lines cover from its start), or null when unknown: such lines are
  // then kept as bounds only. Stretches that were already covered are added to `twice`.
  void AddFile(const std::vector<ResultsLine>& lines, const WorkItem* part,
               const std::string& source, std::vector<DoneTwice>& twice);

  const std::map<SearchKey, StretchSet>& Done() const { return done_; }
  // ADD searches whose done lines came without a start: the highest bound of each.
  const std::map<SearchKey, uint32_t>& BoundsOnly() const { return bounds_; }
  // The units of [from, to) of the line's search that no trusted done line covers.
  std::vector<Stretch> Gaps(const WorkItem& range) const;

 private:
  std::map<SearchKey, StretchSet> done_;
  std::map<SearchKey, uint32_t> bounds_;
};

}  // namespace aequa
