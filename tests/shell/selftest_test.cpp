// The self-test passes on sound searches and fails, naming the case, when one kernel is
// broken: here one that searches the value below the one it is given.
#include "shell/selftest_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "compute/kernel_check.h"
#include "compute/run_state.h"
#include "shell/command_status.h"
#include "shell/search_registry.h"
#include "support/temp_dir.h"

namespace aequa::ui {
namespace {

KernelFunction realKernel = nullptr;
void OffByOne(EqualSumsRun& run) {
  run.currentValue -= 1;
  realKernel(run);
}
KernelFunction BreakSieveMultiAtFourWords(KernelFamily family, int level, KernelFunction real) {
  if (family != KernelFamily::SieveMulti || level != 3) return real;
  realKernel = real;
  return &OffByOne;
}

std::string RunAndCapture(int& status) {
  test::TempDir dir;
  const std::string path = dir.file("selftest.txt");
  std::FILE* out = std::fopen(path.c_str(), "w");
  status = RunSelftest(out);
  std::fclose(out);
  return test::ReadFile(path);
}

// A line of the report without its line end (CR LF on Windows).
std::string Bare(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// The report's last line: "N passed, M failed".
std::string CountLine(const std::string& report) {
  const size_t begin = report.rfind('\n', report.size() - 2) + 1;
  return Bare(report.substr(begin, report.size() - 1 - begin));
}

TEST(Selftest, EveryCasePassesAndABrokenKernelFailsItsCaseOnly) {
  RegisterSearches();
  int status = -1;
  std::string report = RunAndCapture(status);
  EXPECT_EQ(status, kExitOk) << report;
  EXPECT_EQ(report.find("FAIL"), std::string::npos) << report;
  EXPECT_EQ(SelftestSummary(report, status), "The self-test passed.\n" + CountLine(report));
  for (const char* name : {"equal sums: 144^5", "sum collisions: 1729", "635318657",
                           "Penta: 133^5", "representations of 1729", "representations of 50",
                           "kernel sieve, several left terms, 32 words"}) {
    EXPECT_NE(report.find(name), std::string::npos) << name;
  }

  SetKernelSubstitute(&BreakSieveMultiAtFourWords);
  report = RunAndCapture(status);
  SetKernelSubstitute(nullptr);
  EXPECT_EQ(status, kExitRefused);
  const size_t fail = report.find("FAIL");
  ASSERT_NE(fail, std::string::npos) << report;
  EXPECT_EQ(report.find("FAIL", fail + 1), std::string::npos) << report;
  const std::string line = Bare(report.substr(fail, report.find('\n', fail) - fail));
  EXPECT_NE(line.find("kernel sieve, several left terms, 4 words"), std::string::npos) << line;
  EXPECT_NE(report.find(" passed, 1 failed"), std::string::npos) << report;
  // The window shows the failed case and the count, not the forty lines of the report.
  const std::string summary = SelftestSummary(report, status);
  EXPECT_EQ(summary, "The self-test failed.\n" + line + "\n" + CountLine(report));
}

}  // namespace
}  // namespace aequa::ui
