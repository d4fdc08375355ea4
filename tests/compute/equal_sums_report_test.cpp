#include "compute/equal_sums_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compute/run_state.h"
#include "core/checkpoint_file.h"
#include "core/output_log.h"
#include "core/settings.h"
#include "core/shared_words.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

// The run the routines work on, with its control words.
EqualSumsRun& TestRun() {
  static SearchControl control;
  static EqualSumsRun* run = new EqualSumsRun(control);
  return *run;
}

using test::FileExists;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Words(const std::vector<uint32_t>& words) {
  std::string bytes;
  for (uint32_t w : words) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((w >> (8 * i)) & 0xFF));
  }
  return bytes;
}

// A version 4 file: the words followed by their CRC-32.
std::string Signed(const std::vector<uint32_t>& words) {
  std::string bytes = Words(words);
  AppendCrc(bytes);
  return bytes;
}

void SetRun(uint32_t k, uint32_t m, uint32_t n, uint32_t mode, uint32_t x1) {
  TestRun().power = k;
  TestRun().leftTerms = m;
  TestRun().rightTerms = n;
  TestRun().searchLimit = n + 1;
  TestRun().sieveRightTerms = n;
  TestRun().searchMode = mode;
  TestRun().currentValue = x1;
  Settings.NoSave.store(0);
  TestRun().control.requests.store(0);
  TestRun().control.elapsedSeconds.store(0);
  ResetLog();
}

void SetPath(const std::vector<uint32_t>& left, const std::vector<uint32_t>& right) {
  size_t i = 0;
  for (uint32_t t : left) TestRun().pathTerms[i] = TestRun().resumeTerms[i] = t, ++i;
  for (uint32_t t : right) TestRun().pathTerms[i] = TestRun().resumeTerms[i] = t, ++i;
  TestRun().pathTermCount = static_cast<uint32_t>(right.size());
}

TEST(ReportNewResult, WritesTheResultLineToLogAndResultsFile) {
  TempDir dir;
  SetRun(3, 2, 2, 2, 12);
  SetPath({12, 1}, {10, 9});
  ReportNewResult(TestRun());
  EXPECT_EQ(CompletedLine(1), "New result: (3,2,2) 12+1=10+9");
  const std::string results = ReadFile("SOLUTION.TXT");
  EXPECT_NE(results.find("(3,2,2) 12+1=10+9\r\n"), std::string::npos) << results;
  EXPECT_EQ(results.find("New result"), std::string::npos);

  SetRun(4, 3, 5, 2, 7);
  SetPath({7, 7, 5}, {8, 6, 3, 3, 3});
  ReportNewResult(TestRun());
  EXPECT_EQ(CompletedLine(1), "New result: (4,3,5) 7*2+5=8+6+3*3");
}

TEST(ReportNewResult, AppliesTheSearchMode) {
  TempDir dir;
  SetRun(5, 1, 4, 0, 100);  // Best
  SetPath({100}, {90, 80, 70});
  ReportNewResult(TestRun());
  EXPECT_EQ(TestRun().rightTerms, 2u);
  EXPECT_EQ(TestRun().searchLimit, 3u);
  ReportNewResult(TestRun());  // a later 3-term result still reported, n stays 2
  EXPECT_EQ(TestRun().rightTerms, 2u);
  EXPECT_EQ(TestRun().searchLimit, 3u);

  SetRun(5, 1, 4, 1, 100);  // Same
  SetPath({100}, {90, 80, 70});
  ReportNewResult(TestRun());
  EXPECT_EQ(TestRun().rightTerms, 3u);
  EXPECT_EQ(TestRun().searchLimit, 4u);

  SetRun(5, 1, 4, 2, 100);  // Exact
  SetPath({100}, {90, 80, 70});
  ReportNewResult(TestRun());
  EXPECT_EQ(TestRun().rightTerms, 4u);
  EXPECT_EQ(TestRun().searchLimit, 5u);
}

TEST(ReportProgress, HaltLogsTheBreakLineAndSaves) {
  TempDir dir;
  SetRun(5, 1, 5, 0, 100);
  SetPath({100}, {99, 98, 98});
  TestRun().control.elapsedSeconds.store(42);
  TestRun().control.requests.store(REQ_HALT);
  ReportProgress(TestRun());
  EXPECT_EQ(CompletedLine(1), "Break at 5,1,5: 100-99-98*2");
  LogText(TestRun().control, "next\n");  // a halt line stays: the next line follows it
  EXPECT_EQ(CompletedLine(2), "Break at 5,1,5: 100-99-98*2");
  EXPECT_EQ(TestRun().control.requests.load(), REQ_HALT);
  EXPECT_EQ(ReadFile("S1-100.5"), Signed({4, 5, 100, 1, 5, 0, 42, 5, 3, 100, 99, 98, 98}));
}

TEST(ReportProgress, DisplayLineIsReplacedByTheNextOne) {
  TempDir dir;
  SetRun(5, 1, 5, 0, 100);
  SetPath({100}, {99, 98, 98});
  TestRun().control.requests.store(REQ_DISPLAY);
  ReportProgress(TestRun());
  EXPECT_EQ(CompletedLine(1), "5,1,3: 100-99-98*2");
  // (the next progress line of the run replaces it: below)
  EXPECT_EQ(TestRun().control.requests.load(), 0u);
  EXPECT_FALSE(FileExists("S1-100.5"));  // display alone does not save

  SetPath({100}, {97});
  TestRun().control.requests.store(REQ_DISPLAY | REQ_SAVE);
  ReportProgress(TestRun());
  EXPECT_EQ(CompletedLine(1), "5,1,1: 100-97");
  EXPECT_EQ(CompletedLine(2), "");
  EXPECT_TRUE(FileExists("S1-100.5"));
}

TEST(ReportProgress, SliceSavesWithoutLoggingOrClearing) {
  TempDir dir;
  SetRun(4, 2, 3, 1, 30);
  SetPath({30, 30}, {29});
  TestRun().control.requests.store(REQ_SLICE);
  ReportProgress(TestRun());
  EXPECT_EQ(CompletedLine(1), "");
  EXPECT_EQ(TestRun().control.requests.load(), REQ_SLICE);
  EXPECT_EQ(ReadFile("S2-30.4"), Signed({4, 4, 30, 2, 3, 1, 0, 3, 1, 30, 30, 29}));
}

TEST(ReportProgress, WithoutLeftTermsNothingIsSaved) {
  TempDir dir;
  SetRun(3, 0, 3, 0, 0);
  SetPath({}, {10, 10, 4});
  TestRun().control.requests.store(REQ_HALT);
  ReportProgress(TestRun());
  EXPECT_EQ(CompletedLine(1), "Break at 3,0,3: -10*2-4");
  EXPECT_FALSE(FileExists("S0-0.3"));
}

TEST(SaveCheckpoint, RotatesTheBackupAndHonoursNoSave) {
  TempDir dir;
  SetRun(5, 1, 4, 0, 1000);
  SetPath({1000}, {990});
  SaveCheckpoint(TestRun());
  EXPECT_FALSE(FileExists("S5-1.BAK"));
  const std::string first = ReadFile("S1-1000.5");
  SetPath({1000}, {980, 700});
  SaveCheckpoint(TestRun());
  EXPECT_EQ(ReadFile("S5-1.BAK"), first);
  EXPECT_EQ(ReadFile("S1-1000.5"), Signed({4, 5, 1000, 1, 4, 0, 0, 4, 2, 1000, 980, 700}));
  EXPECT_FALSE(FileExists("S1-1000.5.tmp"));

  TestRun().currentValue = 1001;
  Settings.NoSave.store(1);
  SaveCheckpoint(TestRun());
  EXPECT_FALSE(FileExists("S1-1001.5"));
  EXPECT_EQ(ReadFile("S5-1.BAK"), first);
  Settings.NoSave.store(0);
}

TEST(LoadCheckpoint, RoundTripAndAdjustedRightTerms) {
  TempDir dir;
  SetRun(5, 2, 4, 1, 77);
  SetPath({77, 5}, {70, 60, 50});
  TestRun().control.elapsedSeconds.store(99);
  SaveCheckpoint(TestRun());
  for (uint32_t& t : TestRun().resumeTerms) t = 0;
  SetRun(5, 2, 5, 1, 77);
  LoadCheckpoint(TestRun());
  EXPECT_EQ(TestRun().resumed, 1u);
  EXPECT_EQ(TestRun().control.elapsedSeconds.load(), 99u);
  EXPECT_EQ(TestRun().pathTermCount, 3u);
  EXPECT_EQ(TestRun().rightTerms, 4u);
  EXPECT_EQ(TestRun().searchLimit, 5u);
  EXPECT_EQ(CompletedLine(1), "Adjusting number of right terms");
  EXPECT_EQ(std::vector<uint32_t>(TestRun().resumeTerms, TestRun().resumeTerms + 6),
            (std::vector<uint32_t>{77, 5, 70, 60, 50, 0xFFFFFFFFu}));

  // Saved before a result lowered n: resumed with the n it was saved with, whose saved path
  // the lower n could not rebuild.
  SetRun(5, 2, 3, 1, 77);
  LoadCheckpoint(TestRun());
  EXPECT_EQ(TestRun().resumed, 1u);
  EXPECT_EQ(TestRun().rightTerms, 4u);
  EXPECT_EQ(TestRun().searchLimit, 5u);
  EXPECT_EQ(CompletedLine(1), "Resuming with n=4, as the value was saved");
}

TEST(LoadCheckpoint, AcceptsOlderVersionsWithoutElapsed) {
  TempDir dir;
  SetRun(5, 1, 4, 0, 100);
  WriteFile("S1-100.5", Words({1, 5, 100, 1, 4, 0, 2, 100, 90, 80}));
  TestRun().control.elapsedSeconds.store(7);
  LoadCheckpoint(TestRun());
  EXPECT_EQ(TestRun().resumed, 1u);
  EXPECT_EQ(TestRun().control.elapsedSeconds.load(), 0u);
  EXPECT_EQ(TestRun().pathTermCount, 2u);
  EXPECT_EQ(TestRun().resumeTerms[2], 80u);

  WriteFile("S1-100.5", Words({2, 5, 100, 1, 4, 0, 12, 1, 100, 95}));
  LoadCheckpoint(TestRun());
  EXPECT_EQ(TestRun().resumed, 1u);
  EXPECT_EQ(TestRun().control.elapsedSeconds.load(), 12u);
  EXPECT_EQ(TestRun().resumeTerms[1], 95u);
}

TEST(LoadCheckpoint, FilesThatCannotBeTrustedAreSetAsideAndTheValueSearchedAfresh) {
  TempDir dir;
  SetRun(5, 1, 4, 0, 100);
  LoadCheckpoint(TestRun());  // missing
  EXPECT_EQ(TestRun().resumed, 0u);

  WriteFile("S1-100.5", Words({5, 5, 100, 1, 4, 0, 0, 1, 100, 90}));
  LoadCheckpoint(TestRun());
  EXPECT_EQ(TestRun().resumed, 0u);
  EXPECT_EQ(CompletedLine(1), "Bad file version");
  EXPECT_NE(ReadFile("SOLUTION.TXT").find("Bad file version"), std::string::npos);

  // Another line's file (same name, another mode) is left alone.
  WriteFile("S1-100.5", Signed({4, 5, 100, 1, 4, 1, 0, 4, 1, 100, 90}));
  LoadCheckpoint(TestRun());
  EXPECT_EQ(TestRun().resumed, 0u);
  EXPECT_TRUE(FileExists("S1-100.5"));

  std::string flipped = Signed({4, 5, 100, 1, 4, 0, 0, 4, 1, 100, 90});
  flipped[40] ^= 1;  // the saved right term 90 becomes 91: still a path, but not this one
  std::string cut = Words({3, 5, 100, 1, 4, 0, 0, 1, 100, 90});
  cut.pop_back();
  const std::vector<std::string> rejected = {
      flipped,
      Signed({4, 5, 100, 1, 4, 0, 0, 4, 1, 100, 90, 7}),  // a word too many
      Words({4, 5, 100, 1, 4, 0, 0, 4, 1, 100, 90}),      // no checksum
      Signed({4, 5, 100, 1, 4, 0, 0, 3, 1, 100, 90}),     // started with fewer terms than n
      Words({3, 5, 101, 1, 4, 0, 0, 1, 100, 90}),      // another value
      Words({3, 4, 100, 1, 4, 0, 0, 1, 100, 90}),      // another power
      Words({3, 5, 100, 1, 4, 0, 0, 1, 99, 90}),       // the path of another value
      Words({3, 5, 100, 1, 4, 0, 0, 4, 100, 90, 80, 70, 60}),  // deeper than n allows
      Words({3, 5, 100, 1, 4, 0, 0, 3, 100, 90}),      // terms cut short
      Words({3, 5, 100, 1, 4, 0, 0}),                  // no count
      Words({3, 5, 100, 1, 4, 0, 0, 4352, 100, 90}),   // would overrun the path arrays
      Words({3, 5, 100, 1, 4, 0, 0, 0xFFFFFFFFu}),     // count wraps with the left terms
      Words({3, 5, 100, 1, 0, 0, 0, 1, 100, 90}),      // no right terms left
      cut,
  };
  for (size_t i = 0; i < rejected.size(); ++i) {
    WriteFile("S1-100.5", rejected[i]);
    std::remove("S1-100.5.BAD");
    ResetLog();
    LoadCheckpoint(TestRun());
    EXPECT_EQ(TestRun().resumed, 0u) << i;
    EXPECT_EQ(TestRun().rightTerms, 4u) << i;
    EXPECT_FALSE(FileExists("S1-100.5")) << i;
    EXPECT_EQ(ReadFile("S1-100.5.BAD"), rejected[i]) << i;
    EXPECT_NE(CompletedLine(1).find("The checkpoint S1-100.5 "), std::string::npos) << i;
  }
}

}  // namespace
}  // namespace aequa
