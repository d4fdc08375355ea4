#include "core/work_queue.h"

#include <gtest/gtest.h>

#include <string>

#include "core/output_log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/work_control.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class WorkQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    IniFreeAll();
    ResetLog();
    SetFileNames();
  }
  void TearDown() override { IniFreeAll(); }

  // The kind of the only line, and the message it produced (empty when valid).
  std::pair<uint32_t, std::string> Parse(const std::string& line, WorkItem& item) {
    IniFreeAll();
    ResetLog();
    WriteFile("worksum.ini", line + "\r\n");
    uint32_t kind = ParseWorkLine(1, item);
    return {kind, CompletedLine(1)};
  }

  TempDir dir;
};

TEST_F(WorkQueue, ReadsLinesWithAdjustmentsThatApplyToTheItemOnly) {
  WriteFile("worksum.ini", "sum=3,1,100,2,2\r\nADD=4,10,20,2,0\r\n");
  WorkItem item;
  ASSERT_EQ(ParseWorkLine(1, item), WORK_SUM);
  EXPECT_EQ(item.power, 3u);
  EXPECT_EQ(item.start, 2u);
  EXPECT_EQ(item.current, 2u);
  EXPECT_EQ(item.end, 100u);
  EXPECT_EQ(item.variant, 0u);
  EXPECT_EQ(item.duration, 0u);
  ASSERT_EQ(ParseWorkLine(2, item), WORK_ADD);
  EXPECT_EQ(item.megabytes, 1u);
  EXPECT_EQ(item.terms, 2u);
  ASSERT_EQ(ParseWorkLine(3, item), 0u);
  IniRelease(WorkFile());
  EXPECT_EQ(ReadFile("worksum.ini"), "sum=3,1,100,2,2\r\nADD=4,10,20,2,0\r\n");
}

TEST_F(WorkQueue, EveryCheckGivesItsMessageAndDeletesTheLine) {
  struct Case {
    const char* line;
    const char* message;  // empty: accepted
  };
  const Case cases[] = {
      {"SUM=5,100,200,5,5,0,150,0", "Illegal number of left terms in INI file: SUM=5,100,200,5,5,0,150,0"},
      {"SUM=5,100,200,5,5,2,150,0", ""},
      {"SUM=5,100,200,0,5,0,150,0", "Illegal number of left terms in INI file: SUM=5,100,200,0,5,0,150,0"},
      {"SUM=5,100,200,0,5,2,150,0", ""},
      {"SUM=2,2,10,1,0,0,0,0", "Illegal number of right terms in INI file: SUM=2,2,10,1,0,0,0,0"},
      {"SUM=1,2,10,1,2", "Illegal power in INI file: SUM=1,2,10,1,2"},
      {"SUM=4096,2,10,1,2", "Illegal power in INI file: SUM=4096,2,10,1,2"},
      {"SUM=3,100,100,2,2", "No range in INI file: SUM=3,100,100,2,2"},
      {"SUM=100,2,2000000,2,2,0,0,0", "Overflow on endrange in INI file: SUM=100,2,2000000,2,2,0,0,0"},
      {"SUM=100,2000000,2000001,2,2,0,0,0", "Overflow on startrange in INI file: SUM=100,2000000,2000001,2,2,0,0,0"},
      {"SUM=100,2,3,2,2,0,0,0", ""},
      {"SUM=-1,2,10,1,2", "Illegal power in INI file: SUM=-1,2,10,1,2"},
      {"ADD=4096,1,10,2,1", "Illegal power in INI file: ADD=4096,1,10,2,1"},
      {"ADD=4,1,10,1,1", "Illegal number of terms in INI file: ADD=4,1,10,1,1"},
      {"ADD=4,1,10,256,1", "Illegal number of terms in INI file: ADD=4,1,10,256,1"},
      // Empty or wrapped ranges would be reported "done" unsearched.
      {"ADD=4,10,1,2,1", "No range in INI file: ADD=4,10,1,2,1"},
      {"ADD=3,4294967291,100,2,1", "No range in INI file: ADD=3,4294967291,100,2,1"},
      {"ADD=3,0,100,2,1", "No range in INI file: ADD=3,0,100,2,1"},
      {"PENTA=4,1,10,0", "Illegal power in INI file: PENTA=4,1,10,0"},
      {"PENTA=5,10,10,0", "No range in INI file: PENTA=5,10,10,0"},
      {"penta=5,1,10,3", ""},
      // A field that is not a number is named when reading stopped there broke a rule.
      {"SUM=5,90,abc,1,4", "Not a number for end in INI file: SUM=5,90,abc,1,4"},
      {"SUM=5,80x,90,1,4", "Not a number for start in INI file: SUM=5,80x,90,1,4"},
      {"SUM=5,80,90,1,", "Not a number for right terms in INI file: SUM=5,80,90,1,"},
      {"SUM=1,80,90,1,4,x", "Illegal power in INI file: SUM=1,80,90,1,4,x"},
      {"ADD=4,1,10,two,1", "Not a number for terms in INI file: ADD=4,1,10,two,1"},
      {"PENTA=5,1,1e5,3", "Not a number for end in INI file: PENTA=5,1,1e5,3"},
      {"PENTA=5,1,10,3 and more", ""},
      {"FOO=1", "Illegal line in INI file: FOO=1"},
      {"SUMS=3,1,100,2,2", "Illegal line in INI file: SUMS=3,1,100,2,2"},
  };
  for (const Case& c : cases) {
    WorkItem item;
    auto [kind, message] = Parse(c.line, item);
    SCOPED_TRACE(c.line);
    if (c.message[0] == '\0') {
      EXPECT_NE(kind, 0u);
      EXPECT_EQ(message, "");
      EXPECT_EQ(IniLineCount(WorkFile()), 1u);
    } else {
      EXPECT_EQ(kind, 0u);
      EXPECT_EQ(message, c.message);
      EXPECT_EQ(IniLineCount(WorkFile()), 0u);
      EXPECT_EQ(ReadFile("worksum.ini"), "");
      EXPECT_NE(ReadFile("SOLUTION.TXT").find(std::string(c.message) + "\r\n"),
                std::string::npos);
    }
  }
}

TEST_F(WorkQueue, RightTermsAreCappedAndCurrentIsKeptInsideTheRange) {
  WorkItem item;
  ASSERT_EQ(Parse("SUM=4,100,200,2,9999,0,0,0", item).first, WORK_SUM);
  EXPECT_EQ(item.rightTerms, 4096u);
  EXPECT_EQ(item.current, 100u);
  ASSERT_EQ(Parse("SUM=4,100,200,2,3,0,150,7", item).first, WORK_SUM);
  EXPECT_EQ(item.current, 150u);
  EXPECT_EQ(item.duration, 7u);
  ASSERT_EQ(Parse("SUM=4,100,200,2,3,0,200,0", item).first, WORK_SUM);
  EXPECT_EQ(item.current, 100u);
  // Fields stop at the first one that does not match; the rest are 0.
  ASSERT_EQ(Parse("SUM=4,100,200,2,3,x,150", item).first, WORK_SUM);
  EXPECT_EQ(item.variant, 0u);
  EXPECT_EQ(item.current, 100u);
  // Values written with %lu read back unchanged.
  ASSERT_EQ(Parse("PENTA=5,1,4294967295,7", item).first, WORK_PENTA);
  EXPECT_EQ(item.end, 4294967295u);
}

TEST_F(WorkQueue, InvalidLinesBeforeTheFirstValidOneAreRemoved) {
  WriteFile("worksum.ini", "FOO=1\nSUM=3,5,5,1,2\nADD=1,1,1,1,1\nPENTA=5,1,10,2\nBAR=2\n");
  WorkItem item;
  EXPECT_EQ(ParseWorkLine(1, item), WORK_PENTA);
  EXPECT_EQ(item.variant, 2u);
  EXPECT_EQ(CompletedLine(1), "Illegal power in INI file: ADD=1,1,1,1,1");
  EXPECT_EQ(CompletedLine(3), "Illegal line in INI file: FOO=1");
  EXPECT_EQ(ReadFile("worksum.ini"), "PENTA=5,1,10,2\r\nBAR=2\r\n");
  // Running off the end after deleting the last line gives 0.
  EXPECT_EQ(ParseWorkLine(2, item), 0u);
  EXPECT_EQ(IniLineCount(WorkFile()), 1u);
}

// (A line whose start has moved keeps where it began after its other fields.)
TEST_F(WorkQueue, ProgressGoesToTheLineTheSearchTookAndToNoOther) {
  // Lines that the old matching took for one line: same power, left terms, end and mode.
  WriteFile("worksum.ini",
            "SUM=5,80,84,1,4,0,80,0\nSUM=5,82,84,1,3,0,82,0\nADD=4,10,20,2,1\nADD=4,10,20,2,1\n");
  WorkItem sum;
  ASSERT_EQ(ParseWorkLine(1, sum), WORK_SUM);
  sum.start = 83;
  sum.current = 83;
  EXPECT_TRUE(UpdateWorkLine(sum));
  WorkItem add;
  ASSERT_EQ(ParseWorkLine(4, add), WORK_ADD);
  add.start = 15;
  EXPECT_TRUE(UpdateWorkLine(add));
  EXPECT_EQ(ReadFile("worksum.ini"),
            "SUM=5,83,84,1,4,0,83,0,80,0\r\nSUM=5,82,84,1,3,0,82,0\r\nADD=4,10,20,2,1\r\n"
            "ADD=4,15,20,2,1,10,0\r\n");
  // The line is found again after the file was edited in front of it; finished, it alone
  // is deleted.
  WriteFile("worksum.ini", "PENTA=5,1,10,0\r\n" + ReadFile("worksum.ini"));
  IniHold(WorkFile(), 1);
  sum.start = 84;
  EXPECT_TRUE(UpdateWorkLine(sum));
  EXPECT_EQ(ReadFile("worksum.ini"),
            "PENTA=5,1,10,0\r\nSUM=5,82,84,1,3,0,82,0\r\nADD=4,10,20,2,1\r\n"
            "ADD=4,15,20,2,1,10,0\r\n");
  // A line that is gone gets no progress, and nothing else does either.
  EXPECT_FALSE(UpdateWorkLine(sum));
  EXPECT_NE(CompletedLine(1).find("is no longer in the work file"), std::string::npos);
}

TEST_F(WorkQueue, EnteringARangeAlreadyQueuedIsRefusedAndAnOverlapIsNamed) {
  ASSERT_TRUE(AddWorkLine("SUM", SumLineValue(5, 80, 90, 1, 4, 0, 0).c_str(), false));
  EXPECT_FALSE(AddWorkLine("SUM", SumLineValue(5, 80, 90, 1, 4, 0, 0).c_str(), false));
  EXPECT_EQ(CompletedLine(1), "This range is already queued");
  EXPECT_TRUE(AddWorkLine("SUM", SumLineValue(5, 85, 95, 1, 3, 0, 0).c_str(), false));
  EXPECT_EQ(CompletedLine(1), "This range overlaps the queued line SUM=5,80,90,1,4,0,80,0");
  ResetLog();
  // Another search over the same values is no overlap: other left terms, power or type.
  EXPECT_TRUE(AddWorkLine("SUM", SumLineValue(5, 80, 90, 2, 4, 0, 0).c_str(), false));
  EXPECT_TRUE(AddWorkLine("ADD", AddLineValue(3, 1, 100, 2, 1).c_str(), false));
  EXPECT_TRUE(AddWorkLine("ADD", AddLineValue(3, 1, 100, 3, 1).c_str(), false));
  EXPECT_TRUE(AddWorkLine("PENTA", PentaLineValue(5, 1, 100, 0).c_str(), false));
  EXPECT_TRUE(AddWorkLine("PENTA", PentaLineValue(5, 1, 100, 1).c_str(), false));
  EXPECT_EQ(CompletedLine(1), "");
  EXPECT_FALSE(AddWorkLine("ADD", AddLineValue(3, 1, 100, 2, 1).c_str(), false));
  EXPECT_EQ(IniLineCount(WorkFile()), 7u);
}

TEST_F(WorkQueue, StatusReportListsTheQueueAsAdjusted) {
  const std::string kNotStarted = "  0.0% done, 0:00:00 CPU, time left not known yet\n";
  WriteFile("worksum.ini",
            "SUM=3,1,100,2,2\nSUM=5,80,90,1,4,1,85,60\nFOO=1\nADD=4,10,20,2,0\nPENTA=5,1,10,7\n");
  EXPECT_EQ(BuildStatusReport(),
            "Below is a report on the work you have queued.\n"
            "1. k=3, from 2 to 100, m=2, n=2 (current=2)\n" +
                kNotStarted + "2. k=5, from 80 to 90, m=1, n=4 (current=85, duration=60)\n" +
                kNotStarted + "3. k=4, from 10 to 20, 2 terms, 1 megabytes\n" + kNotStarted +
                "4. Penta7 on k=5, from 1 to 10\n" + kNotStarted);
  // The invalid line was reported and removed from the file.
  EXPECT_EQ(ReadFile("worksum.ini"),
            "SUM=3,1,100,2,2\r\nSUM=5,80,90,1,4,1,85,60\r\nADD=4,10,20,2,0\r\nPENTA=5,1,10,7\r\n");
}

TEST_F(WorkQueue, StatusReportOfAnEmptyQueueWritesTheEmptyFile) {
  EXPECT_EQ(BuildStatusReport(), "You have no work queued up.");
  EXPECT_TRUE(test::FileExists("worksum.ini"));
  EXPECT_EQ(ReadFile("worksum.ini"), "");
}

TEST_F(WorkQueue, StatusReportStopsListingAt1800Characters) {
  std::string lines;
  for (int i = 0; i < 60; ++i) lines += "SUM=5,1000000,2000000,1,4,0,1500000,3600\n";
  WriteFile("worksum.ini", lines);
  std::string report = BuildStatusReport();
  EXPECT_LT(report.size(), 2000u);
  EXPECT_GE(report.size(), 1800u);
  EXPECT_EQ(IniLineCount(WorkFile()), 60u);
}

TEST_F(WorkQueue, AddingRespectsTheQueueLimit) {
  for (uint32_t i = 0; i < 20; ++i) {
    ASSERT_TRUE(AddWorkLine("PENTA", PentaLineValue(5, 1, 10, i).c_str(), false));
  }
  EXPECT_FALSE(AddWorkLine("PENTA", "5,1,10,20", false));
  EXPECT_EQ(CompletedLine(1), "Range truncated.  Maximum number of exponents exceeded.");
  EXPECT_EQ(ReadFile("SOLUTION.TXT"), "");  // screen only
  IniSetInt(SettingsFile(), "MaxExponents", 21);
  EXPECT_TRUE(AddWorkLine("PENTA", "5,1,10,20", false));
  EXPECT_EQ(IniLineCount(WorkFile()), 21u);
  // A limit above the store's 128 lines is capped there.
  IniSetInt(SettingsFile(), "MaxExponents", 1000);
  for (uint32_t i = 0; i < 200; ++i) {
    AddWorkLine("PENTA", PentaLineValue(5, 100 + i, 110 + i, 0).c_str(), false);
  }
  EXPECT_EQ(IniLineCount(WorkFile()), 128u);
}

TEST_F(WorkQueue, DialogValuesAreFormattedAsTheyAreQueued) {
  EXPECT_EQ(SumLineValue(5, 80, 90, 1, 4, 0, 0), "5,80,90,1,4,0,80,0");
  EXPECT_EQ(AddLineValue(3, static_cast<uint32_t>(-5), 100, 2, 1), "3,4294967291,100,2,1");
  EXPECT_EQ(PentaLineValue(5, 1000, 1010, 21), "5,1000,1010,21");
}

}  // namespace
}  // namespace aequa
