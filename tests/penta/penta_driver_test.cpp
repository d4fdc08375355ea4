#include "penta/penta_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/output_log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/work_queue.h"
#include "penta/penta_search.h"
#include "penta/penta_tables.h"
#include "support/temp_dir.h"

namespace aequa::penta {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<int32_t> searched;
int32_t saveAt = -1, haltAt = -1, haltAfter = -1, errorAt = -1, resultAt = -1;
const char* const kResult = "Penta0: a result line";
std::string workFileAtNextA;

// Stands in for a routine: records a and raises what the test asks for at a given a.
void FakeRoutine(PentaRun& run, int32_t a) {
  if (!searched.empty() && searched.back() == saveAt) workFileAtNextA = ReadFile(WorkFile());
  searched.push_back(a);
  ++run.candidates;
  if (a == resultAt) run.held.emplace_back(kResult);  // found before any stop inside the a
  if (a == saveAt) run.control.requests.fetch_or(REQ_SAVE | REQ_DISPLAY);
  if (a == haltAt) {  // a stop inside the a: the routine leaves it unfinished
    run.control.requests.store(REQ_HALT);
    run.stoppedEarly = true;
  }
  if (a == haltAfter) run.control.requests.store(REQ_HALT);  // a stop as the a was finished
  if (a == errorAt) run.control.internalError.store(7);
}

std::vector<std::string> logLines;
void CollectLog(const char* line, bool) { logLines.emplace_back(line); }

class Driver : public ::testing::Test {
 protected:
  void SetUp() override {
    IniFreeAll();
    SetFileNames();
    ResetLog();
    SetLogLineSink(&CollectLog);
    searched.clear();
    logLines.clear();
    workFileAtNextA.clear();
    saveAt = haltAt = haltAfter = errorAt = resultAt = -1;
    Settings.ForceDisplay = 0;
  }
  void TearDown() override {
    SetLogLineSink(nullptr);
    IniFreeAll();
  }
  SearchOutcome Run(WorkItem& item) { return RunPentaLine(control, item, options); }
  SearchControl control;
  PentaOptions options{&FakeRoutine, nullptr, nullptr};
  WorkItem Line(uint32_t start, uint32_t end, uint32_t type, uint32_t power = 5) {
    WriteFile(WorkFile(), "PENTA=" + std::to_string(power) + "," + std::to_string(start) + "," +
                              std::to_string(end) + "," + std::to_string(type) + "\r\n");
    // Read as the worker reads it, so that progress finds its line (a power other than 5 is
    // refused by the reader, and then goes to the driver as an item of no line).
    IniHold(WorkFile(), 1);
    WorkItem item;
    if (ParseWorkLine(1, item) != 0) return item;
    item.kind = WORK_PENTA;
    item.power = power;
    item.start = start;
    item.end = end;
    item.variant = type;
    return item;
  }
  bool Logged(const std::string& prefix) {
    for (const auto& l : logLines) {
      if (l.rfind(prefix, 0) == 0) return true;
    }
    return false;
  }
  TempDir dir;
};

TEST_F(Driver, ARangeIsSearchedReportedAndRemoved) {
  WorkItem item = Line(990, 995, 0);
  EXPECT_EQ(Run(item), SearchOutcome::Finished);
  EXPECT_EQ(searched, (std::vector<int32_t>{990, 991, 992, 993, 994}));
  EXPECT_TRUE(Logged("Searching 5 5's on 994 Penta0"));
  EXPECT_TRUE(Logged("(5,0) 990-994 done in 0 seconds (5 candidates) S3:"));
  EXPECT_EQ(ReadFile(WorkFile()), "");
  EXPECT_EQ(LastStatusText(), "Aequa - k=5, from 994 to 995");
  EXPECT_NE(ReadFile("SOLUTION.TXT").find("(5,0) 990-994 done in"), std::string::npos);
}

TEST_F(Driver, AStartAtOrPastTheEndWritesNothingAndDropsTheLine) {
  WorkItem item = Line(10, 20, 3);
  item.start = 20;  // the line's progress reached its end
  EXPECT_EQ(Run(item), SearchOutcome::Finished);
  EXPECT_TRUE(searched.empty());
  EXPECT_TRUE(logLines.empty());
  EXPECT_EQ(ReadFile(WorkFile()), "");
}

TEST_F(Driver, APowerOtherThanFiveSearchesNothing) {
  WorkItem item = Line(10, 20, 0, 3);
  EXPECT_EQ(Run(item), SearchOutcome::Stopped);
  EXPECT_TRUE(searched.empty());
  EXPECT_TRUE(Logged("Unimplemented Penta routine"));
  EXPECT_NE(ReadFile("SOLUTION.TXT").find("Unimplemented Penta routine"), std::string::npos);
}

TEST_F(Driver, Type21IsAnInternalErrorAndLeavesTheQueue) {
  options.routine = nullptr;
  WorkItem item = Line(1002, 1010, 21);
  EXPECT_EQ(Run(item), SearchOutcome::Failed);
  EXPECT_TRUE(Logged("Unimplemented Penta routine"));
  EXPECT_TRUE(Logged("Internal error 6000 on 5,1002,1010,21"));
  EXPECT_EQ(ReadFile(WorkFile()), "");
}

TEST_F(Driver, ASaveRequestReportsTheStretchAndTheRunGoesOn) {
  saveAt = 1000;
  WorkItem item = Line(990, 1005, 0);
  EXPECT_EQ(Run(item), SearchOutcome::Finished);
  EXPECT_TRUE(Logged("(5,0) 990-1000 done in 0 seconds (11 candidates) S3:"));
  EXPECT_TRUE(Logged("(5,0) 1001-1004 done in 0 seconds (4 candidates) S3:"));
  EXPECT_EQ(workFileAtNextA, "PENTA=5,1001,1005,0,990,0\r\n");
  EXPECT_EQ(searched.size(), 15u);
  EXPECT_EQ(control.requests.load(), 0u);
  EXPECT_EQ(ReadFile(WorkFile()), "");
}

TEST_F(Driver, AStopLeavesTheAThatWasBeingSearched) {
  saveAt = -1;
  haltAt = 1000;
  resultAt = 1000;
  WorkItem item = Line(990, 1010, 0);
  EXPECT_EQ(Run(item), SearchOutcome::Stopped);
  EXPECT_TRUE(Logged("(5,0) 990-999 done in"));
  EXPECT_EQ(item.start, 1000u);
  EXPECT_EQ(ReadFile(WorkFile()), "PENTA=5,1000,1010,0,990,0\r\n");
  // Resumed, it starts with that a.
  control.requests = 0;
  haltAt = -1;
  searched.clear();
  EXPECT_EQ(Run(item), SearchOutcome::Finished);
  EXPECT_EQ(searched.front(), 1000);
  // The a's result line is written once, when the a is searched to its end.
  const std::string results = ReadFile("SOLUTION.TXT");
  EXPECT_NE(results.find(kResult), std::string::npos);
  EXPECT_EQ(results.find(kResult), results.rfind(kResult)) << results;
}

// The a was searched to its end when the stop came: it counts, and is not searched again (its
// candidates would be written twice).
TEST_F(Driver, AStopAsAnAEndsCountsThatA) {
  haltAfter = 1000;
  WorkItem item = Line(990, 1010, 0);
  EXPECT_EQ(Run(item), SearchOutcome::Stopped);
  EXPECT_TRUE(Logged("(5,0) 990-1000 done in"));
  EXPECT_EQ(ReadFile(WorkFile()), "PENTA=5,1001,1010,0,990,0\r\n");
}

TEST_F(Driver, AStopRightAfterASaveWritesNoEmptyReport) {
  saveAt = 995;
  haltAt = 996;
  WorkItem item = Line(990, 1010, 0);
  EXPECT_EQ(Run(item), SearchOutcome::Stopped);
  int reports = 0;
  for (const auto& l : logLines) reports += l.find(" done in ") != std::string::npos;
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(ReadFile(WorkFile()), "PENTA=5,996,1010,0,990,0\r\n");
}

TEST_F(Driver, ForceDisplayReportsEveryAAndStillAdvances) {
  Settings.ForceDisplay = 1;
  WorkItem item = Line(990, 993, 4);
  EXPECT_EQ(Run(item), SearchOutcome::Finished);
  EXPECT_EQ(searched, (std::vector<int32_t>{990, 991, 992}));
  EXPECT_TRUE(Logged("(5,4) 990-990 done in"));
  EXPECT_TRUE(Logged("(5,4) 991-991 done in"));
  EXPECT_TRUE(Logged("(5,4) 992-992 done in"));
  EXPECT_EQ(ReadFile(WorkFile()), "");
}

TEST_F(Driver, AnInternalErrorOfTheRoutineDropsTheLine) {
  errorAt = 992;
  WorkItem item = Line(990, 1000, 5);
  EXPECT_EQ(Run(item), SearchOutcome::Failed);
  EXPECT_TRUE(Logged("Internal error 7 on 5,992,1000,5"));
  EXPECT_EQ(searched.back(), 992);
  EXPECT_EQ(ReadFile(WorkFile()), "");
}

uint32_t* NoMemory(size_t) { return nullptr; }

TEST_F(Driver, AResidueTableThatCannotBeAllocatedRefusesTheLine) {
  options.allocator = &NoMemory;
  WorkItem item = Line(990, 1000, 0);
  EXPECT_EQ(Run(item), SearchOutcome::Failed);
  EXPECT_TRUE(searched.empty());
  EXPECT_TRUE(Logged("Internal error 6001 on 5,990,1000,0"));
  EXPECT_EQ(ReadFile(WorkFile()), "");
}

}  // namespace
}  // namespace aequa::penta
