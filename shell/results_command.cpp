#include "shell/results_command.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "core/checkpoint_file.h"
#include "core/part_file.h"
#include "core/results_coverage.h"
#include "core/results_file.h"
#include "core/results_reader.h"
#include "core/settings.h"
#include "core/work_queue.h"
#include "platform/directories.h"
#include "shell/command_table.h"

namespace aequa::ui {
namespace {

// The valid lines of the work file, read as the queue reads them; nothing is written.
std::vector<WorkItem> QueuedLines() {
  std::vector<WorkItem> queued;
  std::string text;
  if (!ReadWholeFile(kWorkFileName, text)) return queued;
  std::string_view rest = text;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    WorkItem item;
    if (ReadWorkLineText(line, item) != 0) queued.push_back(item);
  }
  return queued;
}

// The part this directory was made for, when it was made by split.
std::optional<PartInfo> DirectoryPart() {
  std::string text, why;
  PartInfo part;
  if (!ReadWholeFile(kPartFileName, text) || !ReadPartFile(text, part, why)) return std::nullopt;
  return part;
}

// The units of a search that are neither done nor still queued: inside the part's range when
// the directory is a part of one, else between the first and the last stretch done.
std::vector<Stretch> GapsOf(const SearchKey& search, const StretchSet& done,
                            const std::optional<PartInfo>& part,
                            const std::vector<WorkItem>& queued) {
  StretchSet open = done;
  for (const WorkItem& item : queued) {
    if (SearchOfLine(item) == search) open.Add(item.start, item.end);
  }
  if (part && SearchOfLine(part->line) == search) {
    return open.Missing(part->line.start, part->line.end);
  }
  if (done.Empty()) return {};
  return open.Missing(done.Stretches().front().from, done.Stretches().back().to);
}

}  // namespace

int RunResultsCommand(const CommandInvocation& args, const std::string& directory,
                      bool /*explicitDir*/) {
  if (!args.values.empty()) return Usage("'results' takes no arguments");
  if (!platform::EnterDirectory(directory, false)) {
    std::fprintf(stderr, "aequa: cannot use the directory %s\n", directory.c_str());
    return kExitRefused;
  }
  std::string text;
  if (!ReadWholeFile(kResultsFileName, text)) {
    std::printf("There is no results file (%s) in %s yet.\n", kResultsFileName,
                directory.c_str());
    return kExitOk;
  }
  const bool all = args.options.count(kResultsFields.all.argument) != 0;
  const std::vector<ResultsLine> lines = ReadResultsText(text);
  const std::optional<PartInfo> part = DirectoryPart();

  size_t results = 0, dones = 0;
  std::vector<std::string> problems;
  for (const ResultsLine& line : lines) {
    if (line.kind == ResultsLineKind::Result) ++results;
    if (line.Trusted()) ++dones;
    if (all || line.kind == ResultsLineKind::Result) std::printf("%s\n", line.text.c_str());
    const std::string where = "Line " + std::to_string(line.number);
    if (line.isSigned && !line.tagMatches) {
      problems.push_back(where + ": the tag does not match: " + line.text);
    } else if (line.kind == ResultsLineKind::Done && !line.isSigned) {
      problems.push_back(where + ": a done line without its tag: " + line.text);
    }
  }

  Coverage coverage;
  std::vector<DoneTwice> twice;
  coverage.AddFile(lines, part ? &part->line : nullptr, kResultsFileName, twice);
  const std::vector<WorkItem> queued = QueuedLines();
  std::printf("\nDone lines (with a matching tag):\n");
  if (coverage.Done().empty() && coverage.BoundsOnly().empty()) std::printf("  none\n");
  std::string gaps;
  for (const auto& [search, done] : coverage.Done()) {
    std::printf("  %s: %s\n", SearchName(search).c_str(), StretchesText(done.Stretches()).c_str());
    const std::vector<Stretch> missing = GapsOf(search, done, part, queued);
    if (!missing.empty()) {
      gaps += "  " + SearchName(search) + ": " + StretchesText(missing) + "\n";
    }
  }
  for (const auto& [search, bound] : coverage.BoundsOnly()) {
    std::printf("  %s: below %u, from the start of its line\n", SearchName(search).c_str(),
                static_cast<unsigned>(bound));
  }
  for (const DoneTwice& d : twice) {
    std::printf("  done twice: %s, %s\n", SearchName(d.search).c_str(),
                StretchesText({d.stretch}).c_str());
  }
  if (!gaps.empty()) std::printf("Gaps (neither done nor queued):\n%s", gaps.c_str());
  if (!problems.empty()) std::printf("\n");
  for (const std::string& problem : problems) std::printf("%s\n", problem.c_str());
  const std::string verdict =
      problems.empty() ? "Every tag checks."
                       : std::to_string(problems.size()) +
                             (problems.size() == 1 ? " line fails its tag check."
                                                   : " lines fail their tag check.");
  std::printf("\n%s results, %s done lines. %s\n", std::to_string(results).c_str(),
              std::to_string(dones).c_str(), verdict.c_str());
  return problems.empty() ? kExitOk : kExitUnchecked;
}

}  // namespace aequa::ui
