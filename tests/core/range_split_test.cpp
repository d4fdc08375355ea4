#include "core/range_split.h"

#include <gtest/gtest.h>

#include "core/cost_model.h"
#include "core/part_file.h"
#include "core/work_queue.h"

namespace aequa {
namespace {

WorkItem Line(const char* text) {
  WorkItem item;
  EXPECT_NE(ReadWorkLineText(text, item), 0u) << text;
  return item;
}

// The parts follow each other without a hole or an overlap, keep the search of the whole,
// and each holds about its share of the work (within the work of one unit at its ends).
TEST(RangeSplit, PartsTileTheRangeWithEqualWork) {
  for (const char* text : {"SUM=5,80,1000,1,4,0,80,0", "SUM=4,2,400,2,2,2,2,60",
                           "ADD=3,1,100000,2,8", "PENTA=5,1000,2000,0"}) {
    const WorkItem whole = Line(text);
    for (uint32_t parts : {1u, 3u, 7u}) {
      const std::vector<WorkItem> lines = SplitRange(whole, parts);
      ASSERT_EQ(lines.size(), parts) << text;
      uint32_t next = whole.start;
      const double share = RangeCost(whole, whole.start, whole.end) / parts;
      for (const WorkItem& part : lines) {
        EXPECT_EQ(part.start, next) << text;
        next = part.end;
        EXPECT_EQ(WorkLineText(part).substr(0, 4), WorkLineText(whole).substr(0, 4));
        if (part.kind == WORK_SUM) {
          EXPECT_EQ(part.current, part.start);
        }
        const double slack = RangeCost(whole, part.start == whole.start ? part.start : part.start - 1,
                                       part.start + 1) +
                             RangeCost(whole, part.end - 1, part.end + 1);
        EXPECT_NEAR(RangeCost(whole, part.start, part.end), share, slack) << text;
      }
      EXPECT_EQ(next, whole.end) << text;
    }
  }
}

TEST(RangeSplit, NeverMorePartsThanUnits) {
  const std::vector<WorkItem> lines = SplitRange(Line("PENTA=5,10,13,4"), 10);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2].start, 12u);
  EXPECT_EQ(lines[2].end, 13u);
  // Steep costs leave every part at least one unit.
  const std::vector<WorkItem> steep = SplitRange(Line("SUM=5,2,12,1,40,0,2,0"), 10);
  ASSERT_EQ(steep.size(), 10u);
  for (const WorkItem& part : steep) EXPECT_EQ(part.end - part.start, 1u);
}

TEST(RangeSplit, PartsForACpuTimeFollowTheCostOfTheFirstUnit) {
  // Penta units cost the same: 1000 units of 2 s are 2000 s, 7 parts of at most 300 s.
  const WorkItem penta = Line("PENTA=5,1000,2000,0");
  EXPECT_EQ(PartsForCpuTime(penta, 2.0, 300, 1000), 7u);
  EXPECT_EQ(PartsForCpuTime(penta, 2.0, 1e9, 1000), 1u);
  EXPECT_EQ(PartsForCpuTime(penta, 2.0, 1, 50), 50u);
  // Equal sums with n + m - 2 = 3: the range 100..200 costs (200^4 - 100^4) / (101^4 - 100^4),
  // about 369 times its first value.
  EXPECT_EQ(PartsForCpuTime(Line("SUM=5,100,200,1,4,0,100,0"), 1.0, 100, 1000), 4u);
}

TEST(PartFile, RoundTripsAndRefusesWhatIsNoPart) {
  PartInfo part{2, 3, Line("ADD=3,500,1000,2,8"), Line("ADD=3,1,2000,2,8")};
  const std::string text = PartFileText(part);
  EXPECT_NE(text.find("\r\nLine=ADD=3,500,1000,2,8\r\n"), std::string::npos) << text;
  PartInfo read;
  std::string why;
  ASSERT_TRUE(ReadPartFile(text, read, why)) << why;
  EXPECT_EQ(read.index, 2u);
  EXPECT_EQ(read.count, 3u);
  EXPECT_EQ(WorkLineText(read.line), "ADD=3,500,1000,2,8");
  EXPECT_EQ(WorkLineText(read.range), "ADD=3,1,2000,2,8");

  const struct {
    const char* text;
    const char* why;
  } bad[] = {
      {"Part=4\nParts=3\nLine=ADD=3,500,1000,2,8\nRange=ADD=3,1,2000,2,8\n", "Part and Parts"},
      {"Part=1\nParts=3\nLine=ADD=3,500,1000,1,8\nRange=ADD=3,1,2000,2,8\n", "work lines"},
      {"Part=1\nParts=3\nLine=ADD=3,500,3000,2,8\nRange=ADD=3,1,2000,2,8\n", "not a part"},
      {"Part=1\nParts=3\nLine=ADD=3,500,1000,3,8\nRange=ADD=3,1,2000,2,8\n", "not a part"},
      {"", "Part and Parts"},
  };
  for (const auto& b : bad) {
    EXPECT_FALSE(ReadPartFile(b.text, read, why)) << b.text;
    EXPECT_NE(why.find(b.why), std::string::npos) << why;
  }
}

}  // namespace
}  // namespace aequa
