// Time slices of the equal-sums search, run in this process with a fast timer: a counted
// second lasts about 10 ms, so values that take a fraction of a real second get many slices
// whatever the machine's speed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "compute/equal_sums_driver.h"
#include "core/checkpoint_file.h"
#include "core/drivers.h"
#include "core/output_log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "core/timing.h"
#include "core/work_control.h"
#include "core/work_queue.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

std::mutex linesLock;
std::vector<std::string> lines;

void Collect(const char* line, bool) {
  std::lock_guard<std::mutex> guard(linesLock);
  lines.push_back(line);
}

void FastSleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::microseconds(ms * 10)); }

class Slices : public ::testing::Test {
 protected:
  void SetUp() override {
    IniFreeAll();
    ResetLog();
    lines.clear();
    SetFileNames();
    LoadSettings();
    Settings.DisplayFrequency.store(1000);
    Settings.Workers.store(1);
    Settings.Priority.store(9);  // a priority that a busy machine still serves
    SearchDrivers drivers;
    drivers.equalSums = &ComputeEqualSums;
    RegisterDrivers(drivers);
    SetSleepHook(&FastSleep);
    SetLogLineSink(&Collect);
  }
  void TearDown() override {
    SetLogLineSink(nullptr);
    SetSleepHook(nullptr);
    IniFreeAll();
  }
  void Run(const std::string& value) {
    ASSERT_TRUE(AddWorkLine("SUM", value.c_str()));
    WaitForWorkEnd();
  }
  // The number of each log line that matches `pattern` (one %d, then %n) to its end.
  std::vector<int> Scan(const char* pattern) {
    std::vector<int> found;
    for (const std::string& line : lines) {
      int x = 0;
      int used = -1;
      if (std::sscanf(line.c_str(), pattern, &x, &used) == 1 && used >= 0) found.push_back(x);
    }
    return found;
  }
  test::TempDir dir;
};

// Unfinished values take turns, smallest first, each resumed from its checkpoint; every value
// ends with one "done" line (none is searched again) and no checkpoint.
TEST_F(Slices, ValuesTakeTurnsAndResumeFromTheirCheckpoints) {
  Run(SumLineValue(5, 400, 402, 1, 5, 0, 1));
  const std::vector<int> searched = Scan("Searching (5,1,5) at %d%n");
  ASSERT_GE(searched.size(), 4u);
  EXPECT_EQ(searched[0], 400);
  EXPECT_EQ(searched[1], 401);
  EXPECT_EQ(searched[2], 400);
  const std::vector<int> done = Scan("(5,1,5) %d done in%n");
  EXPECT_EQ(std::multiset<int>(done.begin(), done.end()), (std::multiset<int>{400, 401}));
  // Every turn ends with its slice or with the value done.
  EXPECT_EQ(searched.size(), done.size() + Scan("(5,1,5) %d tested 1 seconds%n").size());
  EXPECT_EQ(test::ReadFile("worksum.ini"), "");
  EXPECT_FALSE(test::FileExists("S1-400.5"));
  EXPECT_FALSE(test::FileExists("S1-401.5"));
}

// A finished-value mark of power 5, one left term, n right terms and `mode`.
std::string Mark(uint32_t n, uint32_t mode) {
  std::string bytes;
  for (uint32_t word : {1u, 5u, 1u, n, mode}) PutWord(bytes, word);
  AppendCrc(bytes);
  return bytes;
}

// A value that finished in its turn before a smaller one keeps a mark: its turns are skipped
// (it is not searched twice) and the mark goes once the line's start passes it. A mark of
// another line (another mode, fewer right terms) is not trusted.
TEST_F(Slices, AValueFinishedBeforeASmallerOneIsNotSearchedAgain) {
  test::WriteFile("S1-401.5.DONE", Mark(5, 0));
  test::WriteFile("S1-402.5.DONE", Mark(5, 2));
  test::WriteFile("S1-403.5.DONE", Mark(4, 0));
  Run(SumLineValue(5, 400, 404, 1, 5, 0, 1));
  const std::vector<int> searched = Scan("Searching (5,1,5) at %d%n");
  EXPECT_EQ(std::set<int>(searched.begin(), searched.end()), (std::set<int>{400, 402, 403}));
  const std::vector<int> done = Scan("(5,1,5) %d done in%n");
  EXPECT_EQ(std::multiset<int>(done.begin(), done.end()), (std::multiset<int>{400, 402, 403}));
  EXPECT_EQ(test::ReadFile("worksum.ini"), "");
  EXPECT_FALSE(test::FileExists("S1-401.5.DONE"));
}

TEST_F(Slices, NoSaveGivesEachValueOneSliceAndWritesNoCheckpoint) {
  Settings.NoSave.store(1);
  Run(SumLineValue(5, 500, 502, 1, 5, 0, 1));
  Settings.NoSave.store(0);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "No saving, all computations will be lost") << lines.back();
  EXPECT_EQ(Scan("Searching (5,1,5) at %d%n"), (std::vector<int>{500, 501}));
  EXPECT_EQ(Scan("(5,1,5) %d tested 1 seconds%n"), (std::vector<int>{500, 501}));
  EXPECT_EQ(test::ReadFile("worksum.ini"), "");
  EXPECT_FALSE(test::FileExists("S1-500.5"));
  EXPECT_FALSE(test::FileExists("S5-1.BAK"));
}

// A result lowers n while other values hold checkpoints saved with the higher n: those values
// resume with the n they were saved with, and every value is finished.
TEST_F(Slices, ValuesSavedBeforeALowerNResumeAndFinish) {
  // 144^5 = 133^5+110^5+84^5+27^5 lowers n from 4 to 3 while 140..143 wait with n = 4.
  Run(SumLineValue(5, 140, 146, 1, 4, 0, 1));
  for (const std::string& line : lines) EXPECT_EQ(line.find("Internal error"), std::string::npos) << line;
  // (A value finished in the middle of the range is searched again when the turns come back
  // to it: only the start of the range records progress.)
  const std::vector<int> done = Scan("(5,1,%*d) %d done in%n");
  EXPECT_EQ(std::set<int>(done.begin(), done.end()), (std::set<int>{140, 141, 142, 143, 144, 145}));
  EXPECT_EQ(test::ReadFile("worksum.ini"), "");
  EXPECT_NE(test::ReadFile("SOLUTION.TXT").find("(5,1,4) 144=133+110+84+27"), std::string::npos);
}

}  // namespace
}  // namespace aequa
