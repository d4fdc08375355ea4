#include "sums/sum_checkpoint.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/checkpoint_file.h"
#include "core/output_log.h"
#include "core/shared_words.h"
#include "support/temp_dir.h"

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
    run_->first = 10;
    run_->k = 4;
    run_->n = 3;
    run_->start = 10;
    run_->end = 100;
    run_->endPower = U128::Of(100000000);
    run_->windowLow = U128::Of(10000);
    control_.elapsedSeconds.store(99);
  }
  void TearDown() override { SetLogLineSink(nullptr); }
  // Writes A4-3 (the name all lines of power 4 and 3 terms once shared) and loads it into the
  // run, which starts from 10^4.
  void Load(const std::string& bytes) {
    test::WriteFile("A4-3", bytes);
    std::remove("A4-3.BAD");
    std::remove("A4-3-10-100");
    logged.clear();
    run_->start = 10;
    run_->windowLow = U128::Of(10000);
    control_.elapsedSeconds.store(99);
    LoadSumCheckpoint(*run_);
  }
  bool SetAside(const std::string& bytes) {
    return !test::FileExists("A4-3") && test::ReadFile("A4-3.BAD") == bytes &&
           run_->windowLow == U128::Of(10000) && control_.elapsedSeconds.load() == 0 && !logged.empty() &&
           logged.back().rfind("The checkpoint A4-3 ", 0) == 0;
  }
  test::TempDir dir_;
  SearchControl control_;
  std::unique_ptr<SumRun> run_ = std::make_unique<SumRun>(control_);
};

TEST_F(SumCheckpointTest, SavesVersionSixAndKeepsThePreviousAsBackup) {
  EXPECT_EQ(SumCheckpointName(*run_), "A4-3-10-100");
  EXPECT_EQ(SumCheckpointBackupName(*run_), "A4-3-10-100.BAK");
  run_->windowLow = U128::Of(0x11223344);
  control_.elapsedSeconds.store(7);
  SaveSumCheckpoint(*run_);
  const std::string first = test::ReadFile("A4-3-10-100");
  EXPECT_EQ(first, Signed({6, 4, 3, 10, 7, 0x11223344, 0, 0, 0, 100}));
  EXPECT_FALSE(test::FileExists("A4-3-10-100.BAK"));
  run_->windowLow = U128::Of(12345);
  SaveSumCheckpoint(*run_);
  EXPECT_EQ(test::ReadFile("A4-3-10-100.BAK"), first);
  EXPECT_FALSE(test::FileExists("A4-3-10-100.tmp"));

  run_->windowLow = U128();
  LoadSumCheckpoint(*run_);
  EXPECT_EQ(run_->windowLow, U128::Of(12345));
  EXPECT_EQ(control_.elapsedSeconds.load(), 7u);

  DeleteSumCheckpoint(*run_);
  EXPECT_FALSE(test::FileExists("A4-3-10-100"));
  EXPECT_FALSE(test::FileExists("A4-3-10-100.BAK"));
}

TEST_F(SumCheckpointTest, ReadsEveryOlderLayout) {
  // Version 1: one skipped word, no elapsed.
  Load(Words({1, 4, 3, 10, 77, 50000, 0, 0, 0}));
  EXPECT_EQ(run_->windowLow, U128::Of(50000));
  EXPECT_EQ(control_.elapsedSeconds.load(), 0u);
  // Versions 2 and 4: a skipped word, then elapsed.
  for (uint32_t version : {2u, 4u}) {
    Load(Words({version, 4, 3, 10, 77, 31, 60000, 0, 0, 0}));
    EXPECT_EQ(run_->windowLow, U128::Of(60000));
    EXPECT_EQ(control_.elapsedSeconds.load(), 31u);
  }
  // Version 3: a second saved start, here below the line's.
  Load(Words({3, 4, 3, 10, 77, 32, 5, 70000, 0, 0, 0}));
  EXPECT_EQ(run_->windowLow, U128::Of(70000));
  EXPECT_EQ(control_.elapsedSeconds.load(), 32u);
  EXPECT_EQ(run_->start, 10u);
  // Version 0: the window low follows the first four words.
  Load(Words({0, 4, 3, 10, 80000, 0, 0, 0}));
  EXPECT_EQ(run_->windowLow, U128::Of(80000));
  Load(Words({5, 4, 3, 10, 7, 90000, 0, 0, 0}));
  EXPECT_EQ(run_->windowLow, U128::Of(90000));
  EXPECT_TRUE(logged.empty());
  // A window low below the line's start (the line was written just before its checkpoint):
  // the search goes on from the line's start.
  Load(Words({5, 4, 3, 9, 7, 6561, 0, 0, 0}));
  EXPECT_EQ(run_->windowLow, U128::Of(10000));
  EXPECT_TRUE(test::FileExists("A4-3"));
}

// Lines of the same power and terms never share a file; the shared file of an older queue is
// taken over by the first line that can resume from it, and no later line reads it again.
TEST_F(SumCheckpointTest, EachLineHasItsOwnFileAndTakesOverTheSharedOne) {
  Load(Signed({6, 4, 3, 10, 7, 20000, 0, 0, 0, 100}));
  EXPECT_EQ(run_->windowLow, U128::Of(20000));
  EXPECT_FALSE(test::FileExists("A4-3"));
  EXPECT_EQ(test::ReadFile("A4-3-10-100"), Signed({6, 4, 3, 10, 7, 20000, 0, 0, 0, 100}));

  // A second line of power 4 and 3 terms over [10, 90) finds nothing of the first.
  SearchControl other;
  SumRun second(other);
  second.k = 4;
  second.n = 3;
  second.first = second.start = 10;
  second.end = 90;
  second.endPower = U128::Of(65610000);
  second.windowLow = U128::Of(10000);
  LoadSumCheckpoint(second);
  EXPECT_EQ(second.windowLow, U128::Of(10000));
  second.windowLow = U128::Of(15000);
  SaveSumCheckpoint(second);
  EXPECT_TRUE(test::FileExists("A4-3-10-90"));
  run_->windowLow = U128();
  LoadSumCheckpoint(*run_);
  EXPECT_EQ(run_->windowLow, U128::Of(20000));
  DeleteSumCheckpoint(second);
  EXPECT_TRUE(test::FileExists("A4-3-10-100"));
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
    EXPECT_EQ(run_->start, 10u);
  }
}

TEST_F(SumCheckpointTest, OtherLinesAndNewerVersionsAreLeftAlone) {
  // Another line of the same power and terms (another end) owns the file.
  Load(Signed({6, 4, 3, 10, 7, 20000, 0, 0, 0, 90}));
  EXPECT_EQ(run_->windowLow, U128::Of(10000));
  EXPECT_TRUE(test::FileExists("A4-3"));
  EXPECT_TRUE(logged.empty());
  // An empty file is no checkpoint at all.
  Load(std::string());
  EXPECT_EQ(run_->windowLow, U128::Of(10000));

  Load(Words({7, 4, 3, 10, 90000, 0, 0, 0}));
  EXPECT_EQ(run_->windowLow, U128::Of(10000));
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0], "Bad file version");
  EXPECT_NE(test::ReadFile("SOLUTION.TXT").find("Bad file version\r\n"), std::string::npos);
}

TEST_F(SumCheckpointTest, AnUnwritableCheckpointIsReportedAndTheOldStateKept) {
  SaveSumCheckpoint(*run_);
  const std::string first = test::ReadFile("A4-3-10-100");
  // A directory in the way of the temporary file makes the write fail.
  std::filesystem::create_directory("A4-3-10-100.tmp");
  run_->windowLow = U128::Of(1);
  SaveSumCheckpoint(*run_);
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.back(), "Cannot save data");
  EXPECT_EQ(test::ReadFile("A4-3-10-100"), first);
  EXPECT_EQ(test::ReadFile("A4-3-10-100.BAK"), first);
}

}  // namespace
}  // namespace aequa
