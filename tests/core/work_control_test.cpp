#include "core/work_control.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/coordinator.h"
#include "core/drivers.h"
#include "core/output_log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/status_display.h"
#include "core/timing.h"
#include "core/work_queue.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// --- The timer's request protocol, run on the test thread with simulated sleeps. -----------

struct Observed {
  uint32_t second;
  uint32_t flags;
};
std::vector<Observed> observed;
uint32_t stopAtSecond = 0;
bool consumeRequests = true;

// Each 100 ms sleep of the timer comes here: note the requests raised so far (and, like a
// search, take them), and halt the timer once the simulated time is up.
// The timer serves the search threads that are active: worker 0 stands for one here, and
// ends (so that the timer ends too) once the simulated time is up.
void SimulatedSleep(uint32_t) {
  SearchControl& control = ControlOf(0);
  uint32_t flags = consumeRequests ? control.requests.exchange(0) : control.requests.load();
  if (flags != 0 && flags != REQ_HALT) {
    if (observed.empty() || observed.back().second != control.elapsedSeconds.load() ||
        observed.back().flags != flags) {
      observed.push_back({control.elapsedSeconds.load(), flags});
    }
  }
  if (control.elapsedSeconds.load() >= stopAtSecond) WorkerRunning.store(0);
}

class Timer : public ::testing::Test {
 protected:
  void SetUp() override {
    observed.clear();
    consumeRequests = true;
    SearchControl& control = ControlOf(0);
    control.requests = 0;
    control.elapsedSeconds = 0;
    control.sliceLength = 0;
    control.active = true;
    WorkerRunning = 1;
    Settings.DisplayFrequency = 30;
    Settings.SaveFrequency = 15;
    SetSleepHook(&SimulatedSleep);
  }
  void TearDown() override {
    ControlOf(0).active = false;
    WorkerRunning = 0;
    SetSleepHook(nullptr);
  }
};

std::vector<uint32_t> SecondsWith(uint32_t bit) {
  std::vector<uint32_t> seconds;
  for (const Observed& o : observed) {
    if (o.flags & bit) seconds.push_back(o.second);
  }
  return seconds;
}

TEST_F(Timer, DisplayEveryPeriodAndSaveEveryFifteenMinutes) {
  stopAtSecond = 1800;
  TimerMain(0);
  EXPECT_EQ(TimerRunning.load(), 0u);
  std::vector<uint32_t> displays = SecondsWith(REQ_DISPLAY);
  ASSERT_EQ(displays.size(), 60u);
  for (size_t i = 0; i < displays.size(); ++i) EXPECT_EQ(displays[i], 30u * (i + 1));
  EXPECT_EQ(SecondsWith(REQ_SAVE), (std::vector<uint32_t>{900, 1800}));
  EXPECT_TRUE(SecondsWith(REQ_SLICE).empty());
}

TEST_F(Timer, SliceRequestReplacesPendingRequests) {
  consumeRequests = false;  // nobody takes the requests
  Settings.DisplayFrequency = 7;
  ControlOf(0).sliceLength = 10;
  stopAtSecond = 10;
  TimerMain(0);
  // At second 7 the display request is pending; at second 10 the slice replaces it.
  ASSERT_GE(observed.size(), 2u);
  EXPECT_EQ(observed.front().second, 7u);
  EXPECT_EQ(observed.front().flags, REQ_DISPLAY);
  EXPECT_EQ(observed.back().second, 10u);
  EXPECT_EQ(observed.back().flags, REQ_SLICE);
}

TEST_F(Timer, SlicesRepeatAndDisplayFollowsAChangedFrequency) {
  ControlOf(0).sliceLength = 4;
  Settings.DisplayFrequency = 1000;
  stopAtSecond = 12;
  TimerMain(0);
  EXPECT_EQ(SecondsWith(REQ_SLICE), (std::vector<uint32_t>{4, 8, 12}));
  EXPECT_TRUE(SecondsWith(REQ_DISPLAY).empty());
}

// --- The worker, with fake searches. ------------------------------------------------------

void InstantSleep(uint32_t) { std::this_thread::yield(); }

std::vector<std::string> LogLines() {
  std::vector<std::string> lines;
  for (int i = kLogLines; i >= 1; --i) {
    std::string line = CompletedLine(i);
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

std::atomic<int> sumCalls{0};
SearchOutcome SumUntilHalted(SearchControl& control, WorkItem&) {
  ++sumCalls;
  while (!control.Requested(REQ_HALT)) std::this_thread::yield();
  return SearchOutcome::Stopped;
}

std::vector<uint32_t> addStarts;
SearchOutcome AddFailsOnFirst(SearchControl& control, WorkItem& item) {
  addStarts.push_back(item.start);
  if (addStarts.size() == 1) {
    return FailLine(control, item, "Internal error 303 on 3,1,100,2\n", "A3-2");
  }
  item.start = item.end;
  UpdateWorkLine(item);
  return SearchOutcome::Finished;
}

SearchOutcome PentaFinishes(SearchControl&, WorkItem& item) {
  item.start = item.end;
  UpdateWorkLine(item);
  return SearchOutcome::Finished;
}

class Worker : public ::testing::Test {
 protected:
  void SetUp() override {
    IniFreeAll();
    ResetLog();
    SetFileNames();
    Settings.Workers = 1;
    Settings.NoSave = 0;
    Settings.Priority = 9;  // a priority that a busy machine still serves
    Settings.Affinity = 99;
    Settings.DisplayFrequency = 30;
    Settings.SaveFrequency = 15;
    sumCalls = 0;
    addStarts.clear();
    RegisterDrivers(SearchDrivers{});
    SetSleepHook(&InstantSleep);
  }
  void TearDown() override {
    FinishWork();
    SetSleepHook(nullptr);
    RegisterDrivers(SearchDrivers{});
    IniFreeAll();
  }
  TempDir dir;
};

TEST_F(Worker, AnEmptyQueueEndsWithTheFinishedMessages) {
  StartWork();
  WaitForWorkEnd();
  const std::string send = std::string("Please send the solution.txt file to ") +
                           CoordinatorEmail();
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"There are no more work to do.", send,
                                                  "Computation finished.",
                                                  "Ask for a new range."}));
  EXPECT_EQ(WorkerRunning.load(), 0u);
  EXPECT_EQ(TimerRunning.load(), 0u);
  EXPECT_EQ(LastStatusText(), "Aequa - IDLE");
  EXPECT_TRUE(ContinueEnabled());
  EXPECT_FALSE(StopEnabled());
}

TEST_F(Worker, StopHaltsTheSearchAndEndsWithTheHaltMessages) {
  Settings.NoSave = 1;
  WriteFile("worksum.ini", "SUM=5,80,90,1,4,0,80,0\r\n");
  RegisterDrivers({&SumUntilHalted, nullptr, nullptr});
  StartWork();
  EXPECT_FALSE(ContinueEnabled());
  while (sumCalls.load() == 0) std::this_thread::yield();
  EXPECT_TRUE(StopEnabled());
  StopWork();
  EXPECT_FALSE(StopEnabled());
  WaitForWorkEnd();
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"No saving, all computations will be lost",
                                                  "Execution halted.",
                                                  "Choose Test/Continue to restart."}));
  EXPECT_EQ(IniLineCount(WorkFile()), 1u);
}

TEST_F(Worker, ACollisionSearchErrorDropsItsLineAndWorkGoesOn) {
  WriteFile("worksum.ini", "ADD=3,1,100,2,1\r\nADD=4,5,50,3,2\r\nPENTA=5,1,10,0\r\n");
  WriteFile("A3-2", "");  // the checkpoint the failed line left; only a file that is there is named
  RegisterDrivers({nullptr, &AddFailsOnFirst, &PentaFinishes});
  StartWork();
  WaitForWorkEnd();
  EXPECT_EQ(addStarts, (std::vector<uint32_t>{1, 5}));
  std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Internal error 303 on 3,1,100,2");
  EXPECT_EQ(lines[1], std::string("Please send file A3-2 to ") + CoordinatorEmail());
  EXPECT_EQ(lines.back(), "Ask for a new range.");
  EXPECT_EQ(ReadFile("worksum.ini"), "");
  EXPECT_NE(ReadFile("SOLUTION.TXT").find("Internal error 303 on 3,1,100,2\r\n"),
            std::string::npos);
}

std::atomic<int> firstSplitWanted{-1};
SearchOutcome PentaNotesSplitWanted(SearchControl& control, WorkItem& item) {
  int unset = -1;
  firstSplitWanted.compare_exchange_strong(unset, static_cast<int>(control.splitWanted.load()));
  return PentaFinishes(control, item);
}

// A worker that takes the only line while another worker has none has its line cut before
// the first unit; a lone worker does not.
TEST_F(Worker, TheOnlyLineIsCutAtOnceWhenAnotherWorkerHasNone) {
  RegisterDrivers({nullptr, nullptr, &PentaNotesSplitWanted});
  for (uint32_t workers : {1u, 2u}) {
    Settings.Workers = workers;
    firstSplitWanted = -1;
    WriteFile("worksum.ini", "PENTA=5,1,100,0\r\n");
    IniFreeAll();
    StartWork();
    WaitForWorkEnd();
    EXPECT_EQ(firstSplitWanted.load(), workers == 2 ? 1 : 0) << workers << " workers";
  }
}

TEST_F(Worker, ALineWithoutASearchStaysQueuedAndTheWorkerStops) {
  WriteFile("worksum.ini", "FOO=1\r\nPENTA=5,1,10,0\r\n");
  StartWork();
  WaitForWorkEnd();
  std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Illegal line in INI file: FOO=1");
  EXPECT_EQ(lines[1], "This program cannot search PENTA lines; the line stays in the queue.");
  EXPECT_EQ(ReadFile("worksum.ini"), "PENTA=5,1,10,0\r\n");
}

TEST_F(Worker, FinishWorkStopsRedrawingAndWaitsForBothThreads) {
  WriteFile("worksum.ini", "SUM=5,80,90,1,4,0,80,0\r\n");
  RegisterDrivers({&SumUntilHalted, nullptr, nullptr});
  StartWork();
  while (sumCalls.load() == 0) std::this_thread::yield();
  FinishWork();
  EXPECT_TRUE(NoRedraw.load());
  EXPECT_EQ(WorkerRunning.load(), 0u);
  EXPECT_EQ(TimerRunning.load(), 0u);
  EXPECT_EQ(CompletedLine(1), "Choose Test/Continue to restart.");
}

TEST_F(Worker, AddingWorkStartsItWhenIdle) {
  RegisterDrivers({nullptr, nullptr, &PentaFinishes});
  ASSERT_TRUE(AddWorkLine("PENTA", "5,1,10,0"));
  WaitForWorkEnd();
  EXPECT_EQ(CompletedLine(1), "Ask for a new range.");
  EXPECT_EQ(ReadFile("worksum.ini"), "");
}

}  // namespace
}  // namespace aequa
