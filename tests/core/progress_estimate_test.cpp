#include "core/progress_estimate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "core/line_clock.h"
#include "core/output_log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/status_display.h"
#include "core/work_queue.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

using test::ReadFile;
using test::WriteFile;

WorkItem Line(uint32_t kind, uint32_t origin, uint32_t start, uint32_t end) {
  WorkItem item;
  item.kind = kind;
  item.power = 5;
  item.leftTerms = 1;
  item.rightTerms = 2;  // SUM: a value costs about x^(m+n-2) = x
  item.variant = 2;
  item.first = origin;
  item.start = start;
  item.end = end;
  return item;
}

TEST(ProgressEstimate, ShareDoneAndTimeLeftFollowTheCostModelAndTheMeasuredRate) {
  struct Case {
    const char* what;
    WorkItem item;
    uint32_t cpu;
    double percent;
    int64_t left;
    double perHour;
  };
  const Case cases[] = {
      // Penta: every a costs the same; 25 of 100 in 250 s leaves 750 s.
      {"uniform", Line(WORK_PENTA, 100, 125, 200), 250, 25.0, 750, 360.0},
      // x costs x: [10, 20) is 150 of the 400 of [10, 30); 150 in 300 s leaves 250 at 0.5/s.
      {"weighted", Line(WORK_SUM, 10, 20, 30), 300, 37.5, 500, 120.0},
      {"nothing done yet", Line(WORK_PENTA, 100, 100, 200), 40, 0.0, -1, 0.0},
      {"no CPU time measured", Line(WORK_PENTA, 100, 150, 200), 0, 50.0, -1, 0.0},
      {"first start lost", Line(WORK_PENTA, 0, 150, 200), 90, 0.0, -1, 0.0},
  };
  for (const Case& c : cases) {
    const LineProgress p = EstimateProgress(c.item, c.cpu);
    EXPECT_NEAR(p.percent, c.percent, 1e-9) << c.what;
    EXPECT_EQ(p.secondsLeft, c.left) << c.what;
    EXPECT_NEAR(p.unitsPerHour, c.perHour, 1e-9) << c.what;
    EXPECT_EQ(p.cpuSeconds, c.cpu) << c.what;
  }
}

TEST(ProgressEstimate, TextsGiveHoursMinutesSecondsAndDays) {
  EXPECT_EQ(DurationText(0), "0:00:00");
  EXPECT_EQ(DurationText(3723), "1:02:03");
  EXPECT_EQ(DurationText(2 * 86400 + 61), "2d 00:01:01");
  LineProgress p = EstimateProgress(Line(WORK_PENTA, 100, 125, 200), 250);
  EXPECT_EQ(ProgressText(p), "25.0% done, 0:04:10 CPU, about 0:12:30 left");
  p = EstimateProgress(Line(WORK_PENTA, 100, 100, 200), 0);
  EXPECT_EQ(ProgressText(p), "0.0% done, 0:00:00 CPU, time left not known yet");
}

// The line clock stands still unless the test moves it.
std::atomic<uint32_t> fakeMs{0};
uint32_t FakeClock() { return fakeMs.load(); }

class LineHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    IniFreeAll();
    ResetLog();
    SetFileNames();
    SetLineClockHook(&FakeClock);
    fakeMs.store(5000);
  }
  void TearDown() override {
    SetLineClockHook(nullptr);
    IniFreeAll();
  }
  // One session of a search: reads line 1, spends `seconds` of CPU and moves its start.
  void Session(uint32_t seconds, uint32_t newStart) {
    WorkItem item;
    ASSERT_NE(ParseWorkLine(1, item), 0u);
    fakeMs.fetch_add(seconds * 1000);
    item.start = newStart;
    ASSERT_TRUE(UpdateWorkLine(item));
  }
  test::TempDir dir;
};

TEST_F(LineHistory, FirstStartAndCpuTimeTravelWithTheLineAcrossSessions) {
  WriteFile("worksum.ini", "PENTA=5,100,200,2\r\n");
  Session(250, 125);
  EXPECT_EQ(ReadFile("worksum.ini"), "PENTA=5,125,200,2,100,250\r\n");
  EXPECT_NE(BuildStatusReport().find("25.0% done, 0:04:10 CPU, about 0:12:30 left"),
            std::string::npos);
  ShowStatus(ControlOf(0), "k=5, from 125 to 200");
  EXPECT_EQ(LastStatusText(), "Aequa - k=5, from 125 to 200 [25.0%, 0:12:30 left]");
  Session(50, 150);
  EXPECT_EQ(ReadFile("worksum.ini"), "PENTA=5,150,200,2,100,300\r\n");
  WorkItem item;
  ASSERT_EQ(ParseWorkLine(1, item), WORK_PENTA);
  const LineProgress p = EstimateProgress(item, item.cpuSeconds);
  EXPECT_DOUBLE_EQ(p.percent, 50.0);
  EXPECT_EQ(p.secondsLeft, 300);
  // Finished, the line is gone and so is its progress from the status.
  Session(10, 200);
  EXPECT_EQ(ReadFile("worksum.ini"), "");
  ShowStatus("idle");
  EXPECT_EQ(LastStatusText(), "Aequa - idle");
}

TEST_F(LineHistory, LinesWithoutHistoryReadAndWriteAsBefore) {
  // Written by an older program, and an untouched line written back: no trailing fields.
  WriteFile("worksum.ini", "SUM=5,80,90,1,4,0,80,0\r\nADD=3,1,1000,2,4\r\n");
  WorkItem item;
  ASSERT_EQ(ParseWorkLine(1, item), WORK_SUM);
  EXPECT_EQ(item.first, 80u);
  EXPECT_EQ(item.cpuSeconds, 0u);
  ASSERT_TRUE(UpdateWorkLine(item));
  EXPECT_EQ(ReadFile("worksum.ini"), "SUM=5,80,90,1,4,0,80,0\r\nADD=3,1,1000,2,4\r\n");
  // The fields this program adds are past those the older reader takes; a first start that
  // lies above the start, or is 0, is not believed.
  WriteFile("worksum.ini", "SUM=5,85,90,1,4,0,86,0,80,60\r\nADD=3,500,1000,2,4,600,9\r\n");
  IniFreeAll();
  ASSERT_EQ(ParseWorkLine(1, item), WORK_SUM);
  EXPECT_EQ(item.current, 86u);
  EXPECT_EQ(item.first, 80u);
  EXPECT_EQ(item.cpuSeconds, 60u);
  ASSERT_EQ(ParseWorkLine(2, item), WORK_ADD);
  EXPECT_EQ(item.first, 500u);
  EXPECT_EQ(item.cpuSeconds, 0u);
}

}  // namespace
}  // namespace aequa
