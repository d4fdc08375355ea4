#include "shell/selftest_command.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "compute/kernel_check.h"
#include "core/checkpoint_file.h"
#include "core/results_file.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/work_control.h"
#include "core/work_queue.h"
#include "shell/command_status.h"
#include "shell/scratch_directory.h"
#include "sums/sum_check.h"

namespace aequa::ui {
namespace {

namespace fs = std::filesystem;

// What a case found wrong; empty when it passed.
using CaseBody = std::function<std::string()>;

struct Case {
  std::string name;
  CaseBody body;
};

// The lines the case expects in the results file, each anywhere in it.
std::string Missing(const std::vector<std::string>& expected) {
  std::string text;
  ReadWholeFile(kResultsFileName, text);
  for (const std::string& line : expected) {
    if (text.find(line) == std::string::npos) return "no line \"" + line + "\"";
  }
  return "";
}

void FreshResultsFile() {
  std::error_code ignored;
  fs::remove(kResultsFileName, ignored);
}

// A queue line searched by the worker, as Continue runs it, with its results checked.
CaseBody QueuedSearch(const char* key, std::string value, std::vector<std::string> expected) {
  return [key, value, expected]() -> std::string {
    FreshResultsFile();
    IniAppendLine(WorkFile(), key, value.c_str());
    StartWork();
    WaitForWorkEnd();
    if (LastWorkEnd() != WorkEnd::Finished) return "the search did not finish";
    if (IniLineCount(WorkFile()) != 0) return "the line is still queued";
    return Missing(expected);
  };
}

CaseBody Representations(uint32_t power, uint32_t terms, const char* number,
                         std::vector<std::string> expected) {
  return [=]() -> std::string {
    FreshResultsFile();
    SumCheckResult result;
    if (!StartSumCheck(power, terms, number, &result)) return "the search did not start";
    WaitForWorkEnd();
    const int32_t error = ControlOf(kQuestionControl).internalError.load();
    if (error != 0) return "internal error " + std::to_string(error);
    if (!result.countLineWritten) return "no count line";
    return Missing(expected);
  };
}

CaseBody Kernel(const KernelQuestion& q, KernelFamily family, int level, std::string expected) {
  return [=]() -> std::string {
    const KernelAnswer answer = RunKernelOnce(q, family, level);
    if (answer.error != 0) return "internal error " + std::to_string(answer.error);
    for (const std::string& r : answer.results) {
      if (r == expected) return "";
    }
    std::string found;
    for (const std::string& r : answer.results) found += (found.empty() ? "" : "; ") + r;
    return "no result \"" + expected + "\" (found: " + (found.empty() ? "none" : found) + ")";
  };
}

const char* FamilyName(KernelFamily f) {
  switch (f) {
    case KernelFamily::PlainSingle:
      return "plain, one left term";
    case KernelFamily::PlainMulti:
      return "plain, several left terms";
    case KernelFamily::SieveSingle:
      return "sieve, one left term";
    case KernelFamily::SieveMulti:
      return "sieve, several left terms";
  }
  return "";
}

struct KernelCase {
  KernelQuestion question;
  std::string identity;  // as the case names it
  std::string result;    // as the kernel reports it
};

// One known answer per family, each run at every level from the first that holds it.
std::vector<Case> KernelCases() {
  const KernelCase cases[] = {
      {{3, 1, 3, 2, 6}, "6^3 = 5^3+4^3+3^3", "(3,1,3) 6=5+4+3"},
      {{3, 2, 2, 2, 12}, "12^3+1^3 = 10^3+9^3", "(3,2,2) 12+1=10+9"},
      {{4, 1, 4, 2, 353}, "353^4 = 315^4+272^4+120^4+30^4", "(4,1,4) 353=272+315+120+30"},
      {{4, 1, 6, 2, 3}, "3^4 = 5*2^4+1^4", "(4,1,6) 3=1+2*5"},
      {{4, 2, 5, 2, 9}, "9^4+3^4 = 8^4+6^4+2*5^4", "(4,2,4) 9+3=5*2+8+6"},
  };
  std::vector<Case> out;
  for (const KernelCase& c : cases) {
    const KernelFamily family = NaturalKernelFamily(c.question);
    for (int level = NaturalKernelLevel(c.question); level < kLevelCount; ++level) {
      const int words = kLevelWords[level];
      out.push_back({std::string("kernel ") + FamilyName(family) + ", " + std::to_string(words) +
                         (words == 1 ? " word: " : " words: ") + c.identity,
                     Kernel(c.question, family, level, c.result)});
    }
  }
  return out;
}

std::vector<Case> SearchCases() {
  return {
      {"equal sums: 144^5 = 133^5+110^5+84^5+27^5",
       QueuedSearch("SUM", SumLineValue(5, 144, 145, 1, 4, 0, 0),
                    {"(5,1,4) 144=133+110+84+27"})},
      {"sum collisions: 1729 = 12^3+1^3 = 10^3+9^3",
       QueuedSearch("ADD", AddLineValue(3, 1, 13, 2, 1), {"(3,2,2) at 1729"})},
      {"sum collisions: 635318657 = 59^4+158^4 = 133^4+134^4",
       QueuedSearch("ADD", AddLineValue(4, 1, 159, 2, 1), {"(4,2,2) at 635318657"})},
      {"Penta: 133^5+27^5+84^5-144^5 at a = 133",
       QueuedSearch("PENTA", PentaLineValue(5, 133, 134, 2),
                    {"Penta2:      133^5 +       27^5 +       84^5 -      144^5"})},
      {"representations of 1729 by two cubes",
       Representations(3, 2, "1729",
                       {"1729=12+1", "1729=10+9",
                        "Found 2 sums of 1729 with 2 terms of power 3"})},
      {"representations of 50 by three squares",
       Representations(2, 3, "50",
                       {"50=7+1", "50=5*2", "50=5+4+3",
                        "Found 3 sums of 50 with 3 terms of power 2"})},
  };
}

}  // namespace

int RunSelftest(std::FILE* out) {
  ScratchDirectory scratch;
  if (!scratch.ready()) {
    std::fprintf(out, "aequa: cannot make a temporary directory for the self-test\n");
    return kExitRefused;
  }
  std::vector<Case> cases = SearchCases();
  for (Case& c : KernelCases()) cases.push_back(std::move(c));
  int passed = 0, failed = 0;
  for (const Case& c : cases) {
    const auto begun = std::chrono::steady_clock::now();
    const std::string fault = c.body();
    scratch.Quiet();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    std::fprintf(out, "%s %7.3f s  %s%s%s\n", fault.empty() ? "PASS" : "FAIL", seconds,
                 c.name.c_str(), fault.empty() ? "" : ": ", fault.c_str());
    std::fflush(out);
    ++(fault.empty() ? passed : failed);
  }
  std::fprintf(out, "%d passed, %d failed\n", passed, failed);
  return failed == 0 ? kExitOk : kExitRefused;
}

std::string SelftestSummary(const std::string& report, int status) {
  std::string summary = status == kExitOk ? "The self-test passed." : "The self-test failed.";
  size_t begin = 0;
  while (begin < report.size()) {
    size_t end = report.find('\n', begin);
    if (end == std::string::npos) end = report.size();
    std::string line = report.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.rfind("PASS ", 0) != 0) summary += "\n" + line;
    begin = end + 1;
  }
  return summary;
}

}  // namespace aequa::ui
