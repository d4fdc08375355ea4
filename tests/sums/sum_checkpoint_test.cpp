#include "sums/sum_checkpoint.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/checkpoint_file.h"
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

std::string Signed(std::initializer_list<uint32_t> words) {
  std::string bytes = Words(words);
  AppendCrc(bytes);
  return bytes;
}

std::vector<std::string> logged;
void Capture(const char* line, bool) { logged.push_back(line); }

// A run of power 4 and 3 terms over [10, 100): values from 10^4 to 10^8.
class SumCheckpointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLogLineSink(&Capture);
    logged.clear();
    SumRun.k = 4;
    SumRun.n = 3;
    SumRun.start = 10;
    SumRun.end = 100;
    EndPower = U128::Of(100000000);
    WindowLow = U128::Of(10000);
    ElapsedSeconds.store(99);
  }
  void TearDown() override { SetLogLineSink(nullptr); }
  // Writes A4-3 and loads it into the run, which starts from 10^4.
  void Load(const std::string& bytes) {
    test::WriteFile("A4-3", bytes);
    std::remove("A4-3.BAD");
    logged.clear();
    SumRun.start = 10;
    WindowLow = U128::Of(10000);
    ElapsedSeconds.store(99);
    LoadSumCheckpoint();
  }
  bool SetAside(const std::string& bytes) {
    return !test::FileExists("A4-3") && test::ReadFile("A4-3.BAD") == bytes &&
           WindowLow == U128::Of(10000) && ElapsedSeconds.load() == 0 && !logged.empty() &&
           logged.back().rfind("The checkpoint A4-3 ", 0) == 0;
  }
  test::TempDir dir_;
};

TEST_F(SumCheckpointTest, SavesVersionSixAndKeepsThePreviousAsBackup) {
  EXPECT_EQ(SumCheckpointName(), "A4-3");
  EXPECT_EQ(SumCheckpointBackupName(), "A4-3.BAK");
  WindowLow = U128::Of(0x11223344);
  ElapsedSeconds.store(7);
  SaveSumCheckpoint();
  const std::string first = test::ReadFile("A4-3");
  EXPECT_EQ(first, Signed({6, 4, 3, 10, 7, 0x11223344, 0, 0, 0, 100}));
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
  Load(Words({1, 4, 3, 10, 77, 50000, 0, 0, 0}));
  EXPECT_EQ(WindowLow, U128::Of(50000));
  EXPECT_EQ(ElapsedSeconds.load(), 0u);
  // Versions 2 and 4: a skipped word, then elapsed.
  for (uint32_t version : {2u, 4u}) {
    Load(Words({version, 4, 3, 10, 77, 31, 60000, 0, 0, 0}));
    EXPECT_EQ(WindowLow, U128::Of(60000));
    EXPECT_EQ(ElapsedSeconds.load(), 31u);
  }
  // Version 3: a second saved start, here below the line's.
  Load(Words({3, 4, 3, 10, 77, 32, 5, 70000, 0, 0, 0}));
  EXPECT_EQ(WindowLow, U128::Of(70000));
  EXPECT_EQ(ElapsedSeconds.load(), 32u);
  EXPECT_EQ(SumRun.start, 10u);
  // Version 0: the window low follows the first four words.
  Load(Words({0, 4, 3, 10, 80000, 0, 0, 0}));
  EXPECT_EQ(WindowLow, U128::Of(80000));
  Load(Words({5, 4, 3, 10, 7, 90000, 0, 0, 0}));
  EXPECT_EQ(WindowLow, U128::Of(90000));
  EXPECT_TRUE(logged.empty());
  // A window low below the line's start (the line was written just before its checkpoint):
  // the search goes on from the line's start.
  Load(Words({5, 4, 3, 9, 7, 6561, 0, 0, 0}));
  EXPECT_EQ(WindowLow, U128::Of(10000));
  EXPECT_TRUE(test::FileExists("A4-3"));
}

TEST_F(SumCheckpointTest, FilesThatClaimMoreThanWasSearchedAreSetAside) {
  std::string flipped = Signed({6, 4, 3, 10, 7, 20000, 0, 0, 0, 100});
  flipped[22] ^= 0x40;  // a window low far past the searched values, checksum unchanged
  const std::string files[] = {
      flipped,
      Words({6, 4, 3, 10, 7, 20000, 0, 0, 0, 100, 0}),           // no valid checksum
      Signed({6, 4, 3, 10, 7, 0, 0, 0, 1, 100}),                 // window low past 100^4
      Words({5, 4, 3, 10, 7, 0, 1, 0, 0}),                       // the same, version 5
      Words({5, 4, 3, 50, 7, 6250000, 0, 0, 0}),                 // left by a range started at 50
      Words({3, 4, 3, 10, 77, 32, 25, 700000, 0, 0, 0}),          // version 3 with its start past the line's
      Words({5, 4, 2, 10, 7, 90000, 0, 0, 0}),                   // another term count
      Words({5, 5, 3, 10, 7, 90000, 0, 0, 0}),                   // another power
      // Each layout cut short by one byte.
      Words({1, 4, 3, 10, 77, 50000, 0, 0}),
      Words({3, 4, 3, 10, 77, 32, 5, 70000, 0, 0}),
      Signed({6, 4, 3, 10, 7, 20000, 0, 0, 0, 100}).substr(0, 43),
      Words({6}),
  };
  for (const std::string& bytes : files) {
    Load(bytes);
    EXPECT_TRUE(SetAside(bytes)) << (logged.empty() ? "" : logged.back());
    EXPECT_EQ(SumRun.start, 10u);
  }
}

TEST_F(SumCheckpointTest, OtherLinesAndNewerVersionsAreLeftAlone) {
  // Another line of the same power and terms (another end) owns the file.
  Load(Signed({6, 4, 3, 10, 7, 20000, 0, 0, 0, 90}));
  EXPECT_EQ(WindowLow, U128::Of(10000));
  EXPECT_TRUE(test::FileExists("A4-3"));
  EXPECT_TRUE(logged.empty());
  // An empty file is no checkpoint at all.
  Load(std::string());
  EXPECT_EQ(WindowLow, U128::Of(10000));

  Load(Words({7, 4, 3, 10, 90000, 0, 0, 0}));
  EXPECT_EQ(WindowLow, U128::Of(10000));
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0], "Bad file version");
  EXPECT_NE(test::ReadFile("SOLUTION.TXT").find("Bad file version\r\n"), std::string::npos);
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
