#include "shell/merge_command.h"

#include <cstdio>
#include <filesystem>

#include "core/checkpoint_file.h"
#include "core/part_file.h"
#include "core/results_file.h"
#include "core/results_merge.h"
#include "core/work_queue.h"
#include "platform/files.h"
#include "shell/command_table.h"

namespace aequa::ui {
namespace {

namespace fs = std::filesystem;

// A part directory gives its results file and its part description; a file is a results file
// of no known part.
bool ReadInput(const std::string& path, MergeInput& input, fs::path& resultsPath) {
  input.name = path;
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    resultsPath = fs::path(path) / kResultsFileName;
    std::string description, why;
    const std::string partPath = (fs::path(path) / kPartFileName).string();
    if (ReadWholeFile(partPath, description)) {
      input.hasPart = ReadPartFile(description, input.part, why);
      if (!input.hasPart) std::printf("%s: %s\n", partPath.c_str(), why.c_str());
    }
  } else {
    resultsPath = path;
  }
  if (ReadWholeFile(resultsPath.string(), input.text)) return true;
  if (input.hasPart && !fs::exists(resultsPath, ec)) {
    std::printf("%s: no results file yet\n", path.c_str());
    return true;
  }
  std::fprintf(stderr, "aequa: cannot read %s\n", resultsPath.string().c_str());
  return false;
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

}  // namespace

int RunMergeCommand(const CommandInvocation& args) {
  const MergeFields& f = kMergeFields;
  if (args.values.empty()) return Usage("merge needs the parts' directories or results files");
  std::vector<WorkItem> ranges;
  if (auto range = args.options.find(f.range.argument); range != args.options.end()) {
    WorkItem item;
    if (ReadWorkLineText(range->second, item) == 0) {
      return Usage(range->second + " is not a valid work line (for example SUM=5,80,90,1,4)");
    }
    ranges.push_back(item);
  }
  auto output = args.options.find(f.output.argument);
  const fs::path outputPath = output == args.options.end() ? f.output.fallback : output->second;

  std::vector<MergeInput> inputs;
  for (const std::string& path : args.values) {
    MergeInput input;
    fs::path resultsPath;
    if (!ReadInput(path, input, resultsPath)) return kExitRefused;
    if (SameFile(resultsPath, outputPath)) {
      std::fprintf(stderr, "aequa: the output %s is one of the inputs\n",
                   outputPath.string().c_str());
      return kExitUsage;
    }
    inputs.push_back(std::move(input));
  }
  const MergeOutcome outcome = MergeResults(inputs, ranges);
  std::fputs(outcome.report.c_str(), stdout);
  if (!platform::ReplaceFile(outputPath.string(), outcome.merged)) {
    std::fprintf(stderr, "aequa: cannot write %s\n", outputPath.string().c_str());
    return kExitRefused;
  }
  std::printf("Merged results written to %s\n", outputPath.string().c_str());
  return outcome.covered && outcome.tagsCheck ? kExitOk : kExitUnchecked;
}

}  // namespace aequa::ui
