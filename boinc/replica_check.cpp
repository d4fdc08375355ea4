#include "boinc/replica_check.h"

#include <set>

#include "core/part_file.h"
#include "core/results_merge.h"
#include "core/results_reader.h"
#include "core/work_queue.h"

namespace aequa::boinc {
namespace {

std::set<std::string> ResultBodies(const std::string& text) {
  std::set<std::string> bodies;
  for (const ResultsLine& line : ReadResultsText(text)) {
    if (line.kind == ResultsLineKind::Result) bodies.insert(line.body);
  }
  return bodies;
}

// The first few lines of `a` that `b` lacks, for the report.
std::string Missing(const std::set<std::string>& a, const std::set<std::string>& b,
                    const char* which) {
  std::string out;
  int listed = 0;
  for (const std::string& body : a) {
    if (b.count(body) != 0) continue;
    if (++listed > 5) break;
    out += std::string("  only in ") + which + ": " + body + "\n";
  }
  return out;
}

}  // namespace

std::string CheckReplica(const Replica& replica) {
  MergeInput input;
  input.name = "the replica";
  input.text = replica.results;
  std::string why;
  if (!ReadPartFile(replica.part, input.part, why)) return "the part file: " + why + "\n";
  input.hasPart = true;
  const WorkItem& line = input.part.line;
  // The merge covers the whole range the part names; a replica covers its own part only.
  input.part.range = line;
  const MergeOutcome outcome = MergeResults({input}, {});
  if (outcome.covered && outcome.tagsCheck) return "";
  return "part " + WorkLineText(line) + ":\n" + outcome.report;
}

std::string CompareReplicas(const Replica& a, const Replica& b) {
  PartInfo partA, partB;
  std::string why;
  if (!ReadPartFile(a.part, partA, why)) return "the first part file: " + why + "\n";
  if (!ReadPartFile(b.part, partB, why)) return "the second part file: " + why + "\n";
  if (WorkLineText(partA.line) != WorkLineText(partB.line) ||
      WorkLineText(partA.range) != WorkLineText(partB.range) || partA.index != partB.index ||
      partA.count != partB.count) {
    return "different parts: " + WorkLineText(partA.line) + " and " + WorkLineText(partB.line) +
           "\n";
  }
  const std::set<std::string> resultsA = ResultBodies(a.results);
  const std::set<std::string> resultsB = ResultBodies(b.results);
  if (resultsA == resultsB) return "";
  return "different results:\n" + Missing(resultsA, resultsB, "the first") +
         Missing(resultsB, resultsA, "the second");
}

}  // namespace aequa::boinc
