#include "sums/sum_checkpoint.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/output_log.h"
#include "core/shared_words.h"
#include "support/temp_dir.h"
#include "sums/sum_run_state.h"

namespace aequa {
namespace {

std::string Words(std::initializer_list<uint32_t> words) {
  std::string bytes;
  for (uint32_t w : words) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((w >> (8 * i)) & 0xFF));
  }
  return bytes;
}

std::vector<std::string> logged;
void Capture(const char* line, bool) { logged.push_back(line); }

class SumCheckpointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLogLineSink(&Capture);
    logged.clear();
    SumRun.k = 4;
    SumRun.n = 3;
    SumRun.start = 10;
    WindowLow = U128::Of(10000);
    ElapsedSeconds.store(99);
  }
  void TearDown() override { SetLogLineSink(nullptr); }
  // Writes A4-3 and loads it into a run that starts at 10 from 10^4.
  void Load(const std::string& bytes) {
    test::WriteFile("A4-3", bytes);
    SumRun.start = 10;
    WindowLow = U128::Of(10000);
    ElapsedSeconds.store(99);
    LoadSumCheckpoint();
  }
  test::TempDir dir_;
};

TEST_F(SumCheckpointTest, SavesVersionFiveAndKeepsThePreviousAsBackup) {
  EXPECT_EQ(SumCheckpointName(), "A4-3");
  EXPECT_EQ(SumCheckpointBackupName(), "A4-3.BAK");
  WindowLow.w[0] = 0x11223344;
  WindowLow.w[3] = 0x01020304;
  ElapsedSeconds.store(7);
  SaveSumCheckpoint();
  const std::string first = test::ReadFile("A4-3");
  EXPECT_EQ(first, Words({5, 4, 3, 10, 7, 0x11223344, 0, 0, 0x01020304}));
  EXPECT_FALSE(test::FileExists("A4-3.BAK"));
  WindowLow = U128::Of(12345);
  SaveSumCheckpoint();
  EXPECT_EQ(test::ReadFile("A4-3.BAK"), first);
  EXPECT_FALSE(test::FileExists("A4-3.tmp"));

  WindowLow = U128();
  LoadSumCheckpoint();
  EXPECT_EQ(WindowLow, U128::Of(12345));
  EXPECT_EQ(ElapsedSeconds.load(), 7u);

  DeleteSumCheckpoint();
  EXPECT_FALSE(test::FileExists("A4-3"));
  EXPECT_FALSE(test::FileExists("A4-3.BAK"));
}

TEST_F(SumCheckpointTest, ReadsEveryOlderLayout) {
  // Version 1: one skipped word, no elapsed.
  Load(Words({1, 4, 3, 10, 77, 500, 0, 0, 0}));
  EXPECT_EQ(WindowLow, U128::Of(500));
  EXPECT_EQ(ElapsedSeconds.load(), 0u);
  // Versions 2 and 4: a skipped word, then elapsed.
  for (uint32_t version : {2u, 4u}) {
    Load(Words({version, 4, 3, 10, 77, 31, 600, 0, 0, 1}));
    EXPECT_EQ(WindowLow.w[0], 600u);
    EXPECT_EQ(WindowLow.w[3], 1u);
    EXPECT_EQ(ElapsedSeconds.load(), 31u);
  }
  // Version 3: a saved start above the run's start raises it.
  Load(Words({3, 4, 3, 10, 77, 32, 25, 700, 0, 0, 0}));
  EXPECT_EQ(WindowLow, U128::Of(700));
  EXPECT_EQ(ElapsedSeconds.load(), 32u);
  EXPECT_EQ(SumRun.start, 25u);
  Load(Words({3, 4, 3, 10, 77, 32, 5, 700, 0, 0, 0}));
  EXPECT_EQ(SumRun.start, 10u);
  // Version 0: the window low follows the first four words.
  Load(Words({0, 4, 3, 10, 800, 0, 0, 0}));
  EXPECT_EQ(WindowLow, U128::Of(800));
  EXPECT_TRUE(logged.empty());
}

TEST_F(SumCheckpointTest, ForeignNewerAndShortFilesChangeNothing) {
  Load(Words({5, 4, 2, 10, 7, 900, 0, 0, 0}));  // other term count
  EXPECT_EQ(WindowLow, U128::Of(10000));
  EXPECT_EQ(ElapsedSeconds.load(), 0u);
  EXPECT_TRUE(logged.empty());

  Load(Words({6, 4, 3, 10, 900, 0, 0, 0}));
  EXPECT_EQ(WindowLow, U128::Of(10000));
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0], "Bad file version");
  EXPECT_NE(test::ReadFile("SOLUTION.TXT").find("Bad file version\r\n"), std::string::npos);
  logged.clear();

  // Each layout cut short by one byte, and an empty file.
  const std::string full[] = {Words({1, 4, 3, 10, 77, 500, 0, 0, 0}),
                              Words({2, 4, 3, 10, 77, 31, 600, 0, 0, 0}),
                              Words({3, 4, 3, 10, 77, 32, 25, 700, 0, 0, 0}),
                              Words({5, 4, 3, 10, 7, 900, 0, 0, 0}), std::string()};
  for (const std::string& bytes : full) {
    Load(bytes.substr(0, bytes.empty() ? 0 : bytes.size() - 1));
    EXPECT_EQ(WindowLow, U128::Of(10000));
    EXPECT_EQ(ElapsedSeconds.load(), 0u);
    EXPECT_EQ(SumRun.start, 10u);
  }
  EXPECT_TRUE(logged.empty());
}

TEST_F(SumCheckpointTest, AnUnwritableCheckpointIsReportedAndTheOldStateKept) {
  SaveSumCheckpoint();
  const std::string first = test::ReadFile("A4-3");
  // A directory in the way of the temporary file makes the write fail.
  std::filesystem::create_directory("A4-3.tmp");
  WindowLow = U128::Of(1);
  SaveSumCheckpoint();
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.back(), "Cannot save data");
  EXPECT_EQ(test::ReadFile("A4-3"), first);
  EXPECT_EQ(test::ReadFile("A4-3.BAK"), first);
}

}  // namespace
}  // namespace aequa
