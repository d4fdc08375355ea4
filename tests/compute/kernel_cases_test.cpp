#include <gtest/gtest.h>

#include <cstdio>

#include "compute/equal_sums_report.h"
#include "compute/kernels.h"
#include "compute/path_frames.h"
#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "compute/sieve.h"
#include "core/shared_words.h"
#include "kernel_harness.h"
#include "support/temp_dir.h"

namespace aequa::test {
namespace {

const KernelFamily kFamilies[] = {KernelFamily::PlainSingle, KernelFamily::PlainMulti,
                                  KernelFamily::SieveSingle, KernelFamily::SieveMulti};

Solution Sol(Terms left, Terms right) { return {std::move(left), std::move(right)}; }

TEST(Kernel, SixCubedAndItsDepthCounters) {
  TempDir dir;
  const KernelCase c{3, 1, 3, 0, 6};
  const KernelOutcome outcome = RunCase(c, KernelFamily::PlainSingle, 0);
  EXPECT_EQ(outcome.error, 0);
  EXPECT_EQ(outcome.results, (std::vector<Solution>{Sol({6}, {5, 4, 3})}));
  EXPECT_EQ(outcome.counters, (std::vector<uint32_t>{0, 1, 1}));
}

TEST(Kernel, TaxicabWithTwoLeftTerms) {
  TempDir dir;
  const KernelCase c{3, 2, 2, 0, 12};
  const KernelOutcome outcome = RunCase(c, KernelFamily::PlainMulti, NaturalLevel(c));
  EXPECT_EQ(outcome.error, 0);
  EXPECT_EQ(outcome.results, (std::vector<Solution>{Sol({12, 1}, {10, 9})}));
  EXPECT_EQ(TestRun().rightTerms, 1u);  // Best: from now on fewer right terms
}

TEST(Kernel, FourthPowersSkipMultiplesOfFiveAndTwo) {
  TempDir dir;
  ASSERT_EQ(NaturalFamily({4, 1, 4, 2, 10}), KernelFamily::SieveSingle);
  EXPECT_EQ(SetupSieve(4, 1, 4).count, 2u);
  for (uint32_t x : {10u, 12u, 15u, 20u, 25u, 30u, 32u}) {
    const KernelOutcome outcome = RunCase({4, 1, 4, 2, x}, KernelFamily::SieveSingle, 1);
    EXPECT_EQ(outcome.counters, (std::vector<uint32_t>{0, 0, 0, 0})) << x;
  }
  const KernelOutcome searched = RunCase({4, 1, 4, 2, 353}, KernelFamily::SieveSingle, 1);
  EXPECT_GT(searched.counters[0], 0u);
  EXPECT_EQ(searched.results, (std::vector<Solution>{Sol({353}, {315, 272, 120, 30})}));
}

TEST(Kernel, FindsTheFifthPowerSolutionAtBothLevels) {
  TempDir dir;
  const KernelCase c{5, 1, 4, 2, 144};
  ASSERT_EQ(NaturalLevel(c), 1);
  for (int level = 1; level < kLevelCount; ++level) {
    const KernelOutcome outcome = RunCase(c, KernelFamily::PlainSingle, level);
    EXPECT_EQ(outcome.results, (std::vector<Solution>{Sol({144}, {133, 110, 84, 27})}));
  }
}

// Every member of a family, forced to a wider level than needed, finds the same results in
// the same order with the same depth counters.
TEST(Kernel, EveryLevelOfAFamilyAgrees) {
  TempDir dir;
  const KernelCase cases[] = {{3, 1, 4, 2, 31}, {3, 2, 3, 2, 19}, {4, 1, 4, 2, 37},
                              {4, 2, 5, 2, 13}, {2, 2, 3, 0, 23}, {5, 1, 4, 2, 50}};
  for (const KernelCase& c : cases) {
    for (KernelFamily family : kFamilies) {
      if (IsMultiFamily(family) != (c.left > 1)) continue;
      if (IsSieveFamily(family) != (NaturalFamily(c) == family) && IsSieveFamily(family)) continue;
      const int natural = NaturalLevel(c);
      const KernelOutcome base = RunCase(c, family, natural);
      ASSERT_EQ(base.error, 0);
      for (int level = natural + 1; level < kLevelCount; ++level) {
        const KernelOutcome wider = RunCase(c, family, level);
        EXPECT_EQ(wider.error, 0);
        EXPECT_EQ(wider.results, base.results) << c.value << " level " << level;
        EXPECT_EQ(wider.counters, base.counters) << c.value << " level " << level;
      }
    }
  }
}

TEST(Kernel, ALevelTooSmallForTheValueIsAnInternalError) {
  TempDir dir;
  const KernelOutcome outcome = RunCase({5, 1, 4, 2, 85}, KernelFamily::PlainSingle, 0);
  EXPECT_EQ(outcome.error, 62);
}

TEST(Kernel, MissingFramesAreAnInternalError) {
  TempDir dir;
  PrepareRun({3, 1, 3, 2, 20}, 0);
  TestRun().frames.Release();
  EXPECT_EQ(RunPrepared(KernelFamily::PlainSingle, 0).error, 3);
}

// Right terms after a prime step are searched divided by the prime. A candidate is kept off
// the right side when its full-size value is a left term: 9^4 + 3^4 = 8^4 + 6^4 + 5^4 + 5^4
// needs the term 6, searched as 3, which is a left term's value; and 10 on the left must not
// come back as 10 on the right (searched as 5).
TEST(Kernel, SieveMultiComparesFullSizeTermsWithTheLeftSide) {
  TempDir dir;
  const KernelOutcome nine = RunCase({4, 2, 5, 2, 9}, KernelFamily::SieveMulti, 0);
  EXPECT_EQ(nine.error, 0);
  EXPECT_EQ(DistinctProper(nine.results).count(Sol({9, 3}, {8, 6, 5, 5})), 1u);

  const KernelOutcome ten = RunCase({4, 3, 5, 2, 10}, KernelFamily::SieveMulti, 0);
  EXPECT_EQ(ten.error, 0);
  EXPECT_FALSE(ten.results.empty());
  for (const Solution& s : ten.results) {
    EXPECT_LT(s.right.front(), 10u) << ::testing::PrintToString(s);
  }
}

TEST(Kernel, ModesBestAndSameLowerTheRightTerms) {
  TempDir dir;
  const KernelOutcome best = RunCase({2, 1, 4, 0, 25}, KernelFamily::PlainSingle, 0);
  ASSERT_FALSE(best.results.empty());
  for (size_t i = 1; i < best.results.size(); ++i) {
    EXPECT_LE(best.results[i].right.size(), best.results[i - 1].right.size());
  }
  EXPECT_EQ(TestRun().rightTerms + 1, best.results.back().right.size());

  const KernelOutcome same = RunCase({2, 1, 4, 1, 25}, KernelFamily::PlainSingle, 0);
  ASSERT_FALSE(same.results.empty());
  for (const Solution& s : same.results) {
    EXPECT_LE(s.right.size(), same.results.front().right.size());
  }
  const KernelOutcome exact = RunCase({2, 1, 4, 2, 25}, KernelFamily::PlainSingle, 0);
  EXPECT_GT(exact.results.size(), same.results.size());
  EXPECT_EQ(TestRun().rightTerms, 4u);
}

// The right side of each combination of left terms polls even when it has a single term (or
// gives up at once): otherwise the loop over the left terms, which can run for ever in mode
// Exact, would never notice a stop. The halt saves the left terms reached.
TEST(Kernel, EachCombinationOfLeftTermsPollsEvenWithOneRightTerm) {
  TempDir dir;
  for (KernelFamily family : {KernelFamily::PlainMulti, KernelFamily::SieveMulti}) {
    std::remove(CheckpointName(TestRun()).c_str());
    PrepareRun({2, 2, 1, 2, 30}, 0);
    const KernelOutcome outcome = RunPrepared(family, 0, REQ_HALT);
    EXPECT_EQ(outcome.error, 0);
    EXPECT_TRUE(FileExists(CheckpointName(TestRun())));
    EXPECT_EQ(TestRun().pathTermCount, 0u);
    EXPECT_EQ(outcome.flagsAfter, REQ_HALT);
  }
}

struct Pieces {
  std::vector<Solution> results;
  std::vector<uint32_t> counters;
  int pieces = 0;
  int32_t error = 0;
};

// Runs a value to its end in pieces: each piece resumes from the checkpoint and halts at its
// first poll, so that every poll of the uninterrupted run stops the search once. With
// `laterRight`, the pieces after the first run on a line whose n a result has since lowered.
Pieces RunInPieces(const KernelCase& c, KernelFamily family, int level, uint32_t laterRight = 0) {
  Pieces total;
  total.counters.assign(c.right, 0);
  std::remove(("S" + std::to_string(c.left) + "-" + std::to_string(c.value) + "." +
               std::to_string(c.power)).c_str());
  for (;;) {
    TestRun().powers.Release();
    KernelCase piece = c;
    if (laterRight != 0 && total.pieces > 0) piece.right = laterRight;
    PrepareRun(piece, level);
    LoadCheckpoint(TestRun());
    EqualSumsRun& run = TestRun();
    // As the driver does: frames for a larger saved n, and the sieve the value started with.
    if (run.rightTerms > piece.right) {
      run.frames.Allocate(c.left, run.rightTerms, run.precisionWords);
    }
    run.sieve = SetupSieve(c.power, c.left, run.sieveRightTerms);
    if (total.pieces > 0 && TestRun().resumed == 0) {
      total.error = -1;
      return total;
    }
    std::remove(CheckpointName(TestRun()).c_str());
    const KernelOutcome outcome = RunPrepared(family, level, REQ_HALT);
    ++total.pieces;
    total.results.insert(total.results.end(), outcome.results.begin(), outcome.results.end());
    for (uint32_t d = 0; d < c.right; ++d) total.counters[d] += TestRun().depthCounters[d];
    if (outcome.error != 0) {
      total.error = outcome.error;
      return total;
    }
    if (!FileExists(CheckpointName(TestRun()))) return total;  // ran to its end
    if (total.pieces > 5000) {
      total.error = -2;
      return total;
    }
  }
}

TEST(Kernel, StoppingAtEveryPollAndResumingGivesTheUninterruptedRun) {
  TempDir dir;
  const struct {
    KernelCase c;
    KernelFamily family;
  } runs[] = {
      {{3, 1, 4, 2, 28}, KernelFamily::PlainSingle},
      {{2, 1, 4, 0, 65}, KernelFamily::PlainSingle},
      {{3, 2, 3, 2, 12}, KernelFamily::PlainMulti},
      {{2, 2, 3, 0, 13}, KernelFamily::PlainMulti},
      {{4, 1, 6, 2, 27}, KernelFamily::SieveSingle},
      {{2, 1, 3, 1, 85}, KernelFamily::SieveSingle},
      {{4, 1, 4, 2, 353}, KernelFamily::SieveSingle},
      {{4, 2, 5, 2, 9}, KernelFamily::SieveMulti},
      {{2, 2, 3, 0, 13}, KernelFamily::SieveMulti},
  };
  for (const auto& run : runs) {
    const int level = NaturalLevel(run.c) + 1;
    const KernelOutcome whole = RunCase(run.c, run.family, level);
    ASSERT_EQ(whole.error, 0);
    const Pieces pieces = RunInPieces(run.c, run.family, level);
    EXPECT_EQ(pieces.error, 0) << run.c.value;
    EXPECT_GT(pieces.pieces, 3) << run.c.value;
    EXPECT_EQ(pieces.results, whole.results) << run.c.value;
    EXPECT_EQ(pieces.counters, whole.counters) << run.c.value;
    // The same after n was lowered between the pieces: a value resumes with the n it was
    // saved with (the lower n cannot rebuild a deeper saved path).
    const Pieces lowered = RunInPieces(run.c, run.family, level, run.c.right - 1);
    EXPECT_EQ(lowered.error, 0) << run.c.value;
    EXPECT_EQ(lowered.results, whole.results) << run.c.value;
  }
}

TEST(Kernel, ASavedPathThatDoesNotFitIsAnInternalError) {
  TempDir dir;
  const struct {
    KernelCase c;
    KernelFamily family;
    std::vector<uint32_t> path;  // left terms, then right terms
    int32_t code;
  } cases[] = {
      {{3, 1, 4, 2, 28}, KernelFamily::PlainSingle, {28, 5, 3}, 504},     // below the bound
      {{3, 1, 4, 2, 28}, KernelFamily::PlainSingle, {28, 20, 17, 17, 1}, 502},  // no slot left
      {{3, 2, 3, 2, 12}, KernelFamily::PlainMulti, {12, 5, 5, 4}, 408},   // repeats a left term
      {{3, 2, 3, 2, 12}, KernelFamily::PlainMulti, {12, 13, 11}, 2},      // left term too big
      {{4, 1, 4, 2, 31}, KernelFamily::SieveSingle, {31, 30}, 801},       // not coprime to 5
      {{4, 1, 4, 2, 31}, KernelFamily::SieveSingle, {31, 1, 1, 1, 1, 1}, 401},
      {{4, 2, 5, 2, 9}, KernelFamily::SieveMulti, {9, 3, 8, 9}, 408},     // out of order
  };
  for (const auto& bad : cases) {
    PrepareRun(bad.c, 1);
    for (size_t i = 0; i < bad.path.size(); ++i) TestRun().resumeTerms[i] = bad.path[i];
    TestRun().pathTermCount = static_cast<uint32_t>(bad.path.size() - bad.c.left);
    TestRun().resumed = 1;
    EXPECT_EQ(RunPrepared(bad.family, 1).error, bad.code) << bad.code;
  }
}

}  // namespace
}  // namespace aequa::test
