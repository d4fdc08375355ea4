// The equal-sums search end to end: the `aequa` program on a temporary data directory.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "compute/equal_sums_driver.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa::test {
namespace {

std::string Words(const std::vector<uint32_t>& words) {
  std::string bytes;
  for (uint32_t w : words) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((w >> (8 * i)) & 0xFF));
  }
  return bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class EqualSumsRun : public ::testing::Test {
 protected:
  // Normal priority: with the default (idle) one, a loaded machine can starve the search.
  void SetUp() override { WriteFile(dir.file("aequo.ini"), "Priority=9\r\nWorkers=1\r\n"); }

  TempDir dir{false};
  std::string d = dir.path();

  std::string Read(const std::string& name) const { return ReadFile(dir.file(name)); }
  // The result lines of the results file, without the "done" lines and stamps.
  std::vector<std::string> ResultLines() const {
    std::vector<std::string> results;
    for (const std::string& line : Lines(Read("SOLUTION.TXT"))) {
      if (line.rfind("(", 0) == 0 && line.find('=') != std::string::npos) results.push_back(line);
    }
    return results;
  }
};

TEST_F(EqualSumsRun, FindsTheFifthPowerIdentityAndEmptiesTheQueue) {
  const ProcessResult r = RunAequa({"--dir", d, "new", "5", "140", "150", "1", "4"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Searching (5,1,4) at 140 (35.646415 bits)"), std::string::npos);
  EXPECT_NE(r.out.find("New result: (5,1,4) 144=133+110+84+27"), std::string::npos);
  EXPECT_NE(r.out.find("(5,1,3) 149 done in"), std::string::npos);  // Best lowered n
  EXPECT_EQ(ResultLines(), (std::vector<std::string>{"(5,1,4) 144=133+110+84+27"}));
  EXPECT_EQ(Read("worksum.ini").find("SUM"), std::string::npos);
  EXPECT_FALSE(FileExists(dir.file("S1-144.5")));
}

// A value saved with n = 5 on a line whose n a result has since lowered to 4 resumes with the
// n it was saved with; the lower n could not rebuild its saved path (internal error 504).
TEST_F(EqualSumsRun, AValueSavedBeforeNWasLoweredResumesWithItsSavedN) {
  BackgroundAequa first({"--dir", d, "new", "5", "3000", "3001", "1", "5"});
  ASSERT_TRUE(first.WaitForOutput("Searching (5,1,5) at 3000"));
  first.Signal(SIGINT);
  ASSERT_NE(first.Wait().out.find("Break at 5,1,5: 3000-"), std::string::npos);
  ASSERT_TRUE(FileExists(dir.file("S1-3000.5")));
  WriteFile(dir.file("worksum.ini"), "SUM=5,3000,3001,1,4,0,3000,0\r\n");

  BackgroundAequa resumed({"--dir", d, "continue"});
  ASSERT_TRUE(resumed.WaitForOutput("Resuming with n=5, as the value was saved"));
  ASSERT_TRUE(resumed.WaitForOutput("Searching (5,1,5) at 3000"));
  resumed.Signal(SIGINT);
  const ProcessResult r = resumed.Wait();
  EXPECT_EQ(r.out.find("Internal error"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Break at 5,1,5: 3000-"), std::string::npos) << r.out;
  EXPECT_EQ(Read("worksum.ini"), "SUM=5,3000,3001,1,4,0,3000,0\r\n");
  EXPECT_TRUE(FileExists(dir.file("S1-3000.5")));
}

// A checkpoint whose path the search cannot rebuild is set aside for the coordinator and the
// value is searched afresh; the line is not dropped.
TEST_F(EqualSumsRun, ACheckpointThatDoesNotFitIsSetAsideAndTheValueSearchedAfresh) {
  WriteFile(dir.file("worksum.ini"), "SUM=5,300,302,1,5,0,300,0\r\n");
  const std::string bad = Words({3, 5, 300, 1, 5, 0, 0, 2, 300, 5, 3});  // 5 is far too small
  WriteFile(dir.file("S1-300.5"), bad);
  const ProcessResult r = RunAequa({"--dir", d, "continue"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("The checkpoint S1-300.5 does not fit its line; it is set aside as "
                       "S1-300.5.BAD and the work is searched afresh"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("(5,1,5) 300 done in"), std::string::npos);
  EXPECT_NE(r.out.find("(5,1,5) 301 done in"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.file("S1-300.5.BAD")), bad);
  EXPECT_EQ(Read("worksum.ini"), "");
}

// A halt keeps the line with the lowered n and the value being searched; Continue resumes it.
TEST_F(EqualSumsRun, HaltKeepsProgressAndContinueResumes) {
  BackgroundAequa run({"--dir", d, "new", "5", "144", "100000", "1", "4"});
  ASSERT_TRUE(run.WaitForOutput("(5,1,3) 160 done in"));
  run.Signal(SIGINT);
  const ProcessResult stopped = run.Wait();
  EXPECT_EQ(stopped.status, 4);  // halted with work left
  EXPECT_NE(stopped.out.find("Execution halted."), std::string::npos);

  unsigned start = 0, current = 0, end = 0, n = 0;
  const std::string line = Read("worksum.ini");
  ASSERT_EQ(std::sscanf(line.c_str(), "SUM=5,%u,%u,1,%u,0,%u,0", &start, &end, &n, &current), 4)
      << line;
  EXPECT_EQ(end, 100000u);
  EXPECT_EQ(n, 3u);  // lowered by the result at 144
  EXPECT_EQ(current, start);
  EXPECT_GT(start, 160u);

  // Shorten the range so that Continue finishes.
  const std::string s = std::to_string(start);
  WriteFile(dir.file("worksum.ini"),
            "SUM=5," + s + "," + std::to_string(start + 2) + ",1,3,0," + s + ",0\r\n");
  const ProcessResult resumed = RunAequa({"--dir", d, "continue"});
  EXPECT_EQ(resumed.status, 0) << resumed.err;
  EXPECT_NE(resumed.out.find("Searching (5,1,3) at " + s), std::string::npos) << resumed.out;
  EXPECT_NE(resumed.out.find("(5,1,3) " + std::to_string(start + 1) + " done"),
            std::string::npos);
  EXPECT_EQ(Read("worksum.ini").find("SUM"), std::string::npos);
  EXPECT_FALSE(FileExists(dir.file("S1-" + s + ".5")));
}

// In mode Exact with more left terms than right terms the right side gives up at once for
// every combination of left terms; the search must still notice a stop request.
TEST_F(EqualSumsRun, AStopEndsAnExactSearchWithMoreLeftTermsThanRightTerms) {
  BackgroundAequa run({"--dir", d, "new", "5", "60", "70", "20", "5", "--mode", "exact"});
  ASSERT_TRUE(run.WaitForOutput("Searching (5,20,5) at 60")) << run.Output();
  run.Signal(SIGTERM);
  ASSERT_TRUE(run.WaitForExit()) << "the search did not stop";
  const ProcessResult stopped = run.Wait();
  EXPECT_EQ(stopped.status, 4);
  EXPECT_NE(stopped.out.find("Execution halted."), std::string::npos);
  EXPECT_EQ(Read("worksum.ini"), "SUM=5,60,70,20,5,2,60,0\r\n");
  // The checkpoint holds the left terms reached; Continue resumes from it.
  ASSERT_TRUE(FileExists(dir.file("S20-60.5")));
  BackgroundAequa resumed({"--dir", d, "continue"});
  ASSERT_TRUE(resumed.WaitForOutput("Searching (5,20,5) at 60")) << resumed.Output();
  resumed.Signal(SIGINT);
  ASSERT_TRUE(resumed.WaitForExit());
  EXPECT_EQ(resumed.Wait().status, 4);
  EXPECT_EQ(Read("SOLUTION.TXT").find("Internal error"), std::string::npos);
}

// A resumed search walks down its saved path, one level of recursion per right term: a saved
// path of 4000 cubes of 1 (16^3 is 4096 of them) goes about as deep as a search can.
TEST_F(EqualSumsRun, TheDeepestSearchFitsOnTheStackOfTheSearchThread) {
  std::string checkpoint;
  auto word = [&](uint32_t w) {
    for (int i = 0; i < 4; ++i) checkpoint.push_back(static_cast<char>((w >> (8 * i)) & 0xFF));
  };
  // Version 3, power 3, value 16, 1 left term, 4096 right terms, mode Exact, 0 seconds, the
  // path: 16, then 4000 ones.
  for (uint32_t w : {3u, 3u, 16u, 1u, 4096u, 2u, 0u, 4000u, 16u}) word(w);
  for (int i = 0; i < 4000; ++i) word(1);
  WriteFile(dir.file("S1-16.3"), checkpoint);
  WriteFile(dir.file("worksum.ini"), "SUM=3,16,17,1,4096,2,16,0\r\n");
  const ProcessResult r = RunAequa({"--dir", d, "continue"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("New result: (3,1,4096) 16=1*4096"), std::string::npos);
  EXPECT_NE(r.out.find("(3,1,4096) 16 done in"), std::string::npos);
  EXPECT_EQ(Read("worksum.ini"), "");
}

// Two lines that share power, left terms, end and mode are two ranges: each is searched with
// its own n, and progress goes to the line that was searched.
TEST_F(EqualSumsRun, TwoLinesOfTheSameSearchAreEachSearched) {
  ASSERT_EQ(RunAequa({"--dir", d, "new", "5", "80", "84", "1", "4", "--queue-only"}).status, 0);
  ASSERT_EQ(RunAequa({"--dir", d, "new", "5", "82", "84", "1", "3", "--queue-only"}).status, 0);
  const ProcessResult r = RunAequa({"--dir", d, "continue"});
  EXPECT_EQ(r.status, 0) << r.err;
  for (const char* value : {"80", "81", "82", "83"}) {
    EXPECT_NE(r.out.find(std::string("(5,1,4) ") + value + " done in"), std::string::npos) << value;
  }
  for (const char* value : {"82", "83"}) {
    EXPECT_NE(r.out.find(std::string("(5,1,3) ") + value + " done in"), std::string::npos) << value;
  }
  EXPECT_EQ(Read("worksum.ini"), "");
}

TEST_F(EqualSumsRun, ItemsOutsideTheSearchLimitsAreDropped) {
  WriteFile(dir.file("worksum.ini"), "SUM=5,10,20,0,3,2,10,0\r\nSUM=3,10,12,2,2,2,10,0\r\n");
  const ProcessResult r = RunAequa({"--dir", d, "continue"});
  EXPECT_NE(r.out.find("Cannot search 5,10,0,3"), std::string::npos) << r.out;
  EXPECT_NE(Read("SOLUTION.TXT").find("Cannot search"), std::string::npos);
  EXPECT_EQ(Read("worksum.ini").find("SUM=5"), std::string::npos);
}

TEST(EqualSumsBits, ChoosesTheLevelOfTheLargestSum) {
  EXPECT_NEAR(static_cast<double>(EqualSumsBits(5, 1000, 1)), 49.83, 0.01);
  EXPECT_NEAR(static_cast<double>(EqualSumsBits(5, 80, 1)), 31.609640, 1e-6);
  EXPECT_EQ(EqualSumsBits(4, 256, 1), 32.0L);
}

}  // namespace
}  // namespace aequa::test

#endif
