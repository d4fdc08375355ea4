#include "core/results_merge.h"

#include <algorithm>
#include <map>

#include "core/results_coverage.h"
#include "core/results_reader.h"
#include "core/work_queue.h"

namespace aequa {
namespace {

// Findings of one kind beyond this many are counted, not listed.
constexpr size_t kListedFindings = 20;

struct Listing {
  std::vector<std::string> lines;
  size_t count = 0;
  void Add(const std::string& line) {
    if (++count <= kListedFindings) lines.push_back(line);
  }
  void AppendTo(std::string& report) const {
    for (const std::string& line : lines) report += line + "\n";
    if (count > lines.size()) {
      report += "  ... and " + std::to_string(count - lines.size()) + " more\n";
    }
  }
};

bool SameRange(const WorkItem& a, const WorkItem& b) { return WorkLineText(a) == WorkLineText(b); }

std::string Where(const MergeInput& input, const ResultsLine& line) {
  return input.name + ", line " + std::to_string(line.number);
}

// The line an input's work started as: its part's, or else the one range the caller gave for
// its search (a results file of a whole run).
const WorkItem* Placed(const MergeInput& input, const std::vector<WorkItem>& ranges) {
  if (input.hasPart) return &input.part.line;
  return ranges.size() == 1 ? &ranges.front() : nullptr;
}

}  // namespace

MergeOutcome MergeResults(const std::vector<MergeInput>& inputs,
                          const std::vector<WorkItem>& ranges) {
  MergeOutcome outcome;
  Listing parts, tags, twice, repeated, unplaced;

  // The whole ranges, each once, and the parts given more than once.
  std::vector<WorkItem> wholes;
  auto addWhole = [&](const WorkItem& range) {
    for (const WorkItem& w : wholes) {
      if (SameRange(w, range)) return;
    }
    wholes.push_back(range);
  };
  for (const WorkItem& range : ranges) addWhole(range);
  std::map<std::string, std::string> partSeen;  // part line -> first input that had it
  for (const MergeInput& input : inputs) {
    if (!input.hasPart) continue;
    addWhole(input.part.range);
    const std::string key = WorkLineText(input.part.line);
    auto [seen, fresh] = partSeen.emplace(key, input.name);
    if (!fresh) {
      parts.Add("Part " + std::to_string(input.part.index) + " of " +
                std::to_string(input.part.count) + " (" + key + ") is given twice: " +
                seen->second + " and " + input.name);
    }
  }

  Coverage coverage;
  std::vector<DoneTwice> doneTwice;
  // By body: the first copy of each line. A result may stand twice in one file (a number with
  // a third representation meets the tree twice): it is kept as often as the file that has it
  // most often, and only copies in different files are given more than once.
  std::map<std::string, ResultsLine> results, dones;
  std::map<std::string, size_t> copies;
  std::map<std::string, std::vector<std::string>> sources;
  for (const MergeInput& input : inputs) {
    const std::vector<ResultsLine> lines = ReadResultsText(input.text);
    std::map<std::string, size_t> inFile;
    for (const ResultsLine& line : lines) {
      if (line.isSigned && !line.tagMatches) {
        tags.Add(Where(input, line) + ": the tag does not match: " + line.text);
        continue;
      }
      if (line.kind == ResultsLineKind::Done && !line.isSigned) {
        tags.Add(Where(input, line) + ": a done line without its tag: " + line.text);
        continue;
      }
      if (line.kind == ResultsLineKind::Result) {
        results.emplace(line.body, line);
        if (++inFile[line.body] == 1) sources[line.body].push_back(input.name);
      } else if (line.kind == ResultsLineKind::Done) {
        dones.emplace(line.body, line);
        const WorkItem* placed = Placed(input, ranges);
        if (line.fromLineStart && (placed == nullptr || !(SearchOfLine(*placed) == line.search))) {
          unplaced.Add(Where(input, line) + ": no part tells where this line's range starts: " +
                       line.text);
        }
      }
    }
    for (const auto& [body, count] : inFile) copies[body] = std::max(copies[body], count);
    coverage.AddFile(lines, Placed(input, ranges), input.name, doneTwice);
  }
  outcome.tagsCheck = tags.count == 0;
  for (const DoneTwice& d : doneTwice) {
    twice.Add("Done twice: " + SearchName(d.search) + ", " + StretchesText({d.stretch}) +
              " (again in " + d.source + ")");
  }
  for (const auto& [body, names] : sources) {
    if (names.size() < 2) continue;
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    repeated.Add("Given more than once: " + body + " (" + list + ")");
  }

  std::string& report = outcome.report;
  parts.AppendTo(report);
  tags.AppendTo(report);
  twice.AppendTo(report);
  repeated.AppendTo(report);
  unplaced.AppendTo(report);
  outcome.covered = !wholes.empty();
  if (wholes.empty()) {
    report += "No part names its range (part.ini): give the whole range with --range\n";
  }
  for (const WorkItem& whole : wholes) {
    const std::vector<Stretch> gaps = coverage.Gaps(whole);
    if (gaps.empty()) {
      report += "Covered: " + WorkLineText(whole) + "\n";
    } else {
      outcome.covered = false;
      report += "Gaps in " + WorkLineText(whole) + ": " + StretchesText(gaps) + "\n";
    }
  }

  std::vector<ResultsLine> sorted;
  for (auto& [body, line] : results) sorted.insert(sorted.end(), copies[body], line);
  std::sort(sorted.begin(), sorted.end(), ResultOrder);
  std::vector<ResultsLine> sortedDone;
  for (auto& [body, line] : dones) sortedDone.push_back(line);
  std::sort(sortedDone.begin(), sortedDone.end(), ResultOrder);
  for (const ResultsLine& line : sorted) outcome.merged += line.text + "\r\n";
  for (const ResultsLine& line : sortedDone) outcome.merged += line.text + "\r\n";

  report += std::to_string(sorted.size()) + " results and " + std::to_string(sortedDone.size()) +
            " done lines from " + std::to_string(inputs.size()) + " files.\n";
  if (outcome.covered && outcome.tagsCheck) {
    report += "Every range is covered and every tag checks.\n";
  } else {
    report += std::string(outcome.covered ? "" : "Not every range is covered. ") +
              (outcome.tagsCheck ? "" : "Some lines failed their tag check.") + "\n";
  }
  return outcome;
}

}  // namespace aequa
