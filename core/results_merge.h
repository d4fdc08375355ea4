#pragma once
// Merging the results files of the parts of a range: every signed line's tag is checked, the
// trusted "done" lines must cover each whole range with no gap, parts and lines given twice
// are listed, and the result and done lines are written as one sorted file.
#include <string>
#include <vector>

#include "core/part_file.h"
#include "core/work_item.h"

namespace aequa {

struct MergeInput {
  std::string name;  // as the report names it
  std::string text;  // the results file
  bool hasPart = false;
  PartInfo part;     // the part the results belong to, when known
};

struct MergeOutcome {
  std::string merged;      // the merged results file, CR LF line ends
  std::string report;      // the findings, one a line
  bool covered = false;    // every range is covered by trusted done lines
  bool tagsCheck = true;   // no tag failed, and no done line came without one
};

// The ranges to cover are those the inputs' parts name, and `ranges`. When `ranges` holds one
// line, an input of no known part is taken as a run of that line.
MergeOutcome MergeResults(const std::vector<MergeInput>& inputs,
                          const std::vector<WorkItem>& ranges);

}  // namespace aequa
