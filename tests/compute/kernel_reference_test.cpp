#include <gtest/gtest.h>

#include <map>

#include "compute/kernels.h"
#include "compute/sieve.h"
#include "kernel_harness.h"
#include "support/temp_dir.h"

namespace aequa::test {
namespace {

struct Sweep {
  uint32_t power, left, right, from, to;
};

std::string Label(const KernelCase& c) {
  return "k=" + std::to_string(c.power) + " m=" + std::to_string(c.left) +
         " n=" + std::to_string(c.right) + " x1=" + std::to_string(c.value);
}

// The plain families take right terms largest first: their results are exactly those of the
// plain enumeration in the same order.
void ComparePlain(KernelFamily family, const Sweep& sweep) {
  for (uint32_t x = sweep.from; x <= sweep.to; ++x) {
    const KernelCase c{sweep.power, sweep.left, sweep.right, 2, x};
    const KernelOutcome outcome = RunCase(c, family, NaturalLevel(c));
    ASSERT_EQ(outcome.error, 0) << Label(c);
    EXPECT_EQ(DistinctProper(outcome.results), ReferenceSolutions(c, false, true)) << Label(c);
  }
}

// The sieve families place terms in another order, so a shorter solution hides other
// solutions of the same left terms differently (a depth that completes the sum tries no
// smaller candidate). Where all solutions of a left combination have the same length, the
// results must be exactly the enumeration's; elsewhere every result must be one of them.
// Results with a right term above x1 (the multi-term sieve search can reach them) lie outside
// the enumeration and are checked by the kernel's own verification.
void CompareSieve(KernelFamily family, const Sweep& sweep, int* exactCombinations) {
  for (uint32_t x = sweep.from; x <= sweep.to; ++x) {
    const KernelCase c{sweep.power, sweep.left, sweep.right, 2, x};
    const KernelOutcome outcome = RunCase(c, family, NaturalLevel(c));
    ASSERT_EQ(outcome.error, 0) << Label(c);
    struct Combination {
      std::set<Solution> found, wanted;
      std::set<size_t> lengths;
    };
    std::map<Terms, Combination> byLeft;
    for (const Solution& s : ReferenceSolutions(c, true)) {
      byLeft[s.left].wanted.insert(s);
      byLeft[s.left].lengths.insert(s.right.size());
    }
    for (const Solution& s : DistinctProper(outcome.results)) {
      byLeft[s.left].lengths.insert(s.right.size());
      if (s.right.front() < x) byLeft[s.left].found.insert(s);
    }
    for (const auto& [left, combination] : byLeft) {
      if (combination.lengths.size() == 1) {
        EXPECT_EQ(combination.found, combination.wanted) << Label(c);
        ++*exactCombinations;
      } else {
        for (const Solution& s : combination.found) {
          EXPECT_EQ(combination.wanted.count(s), 1u) << Label(c);
        }
      }
    }
  }
}

TEST(KernelReference, PlainFamiliesFindExactlyTheEnumeratedSolutions) {
  TempDir dir;
  ComparePlain(KernelFamily::PlainSingle, {3, 1, 3, 1, 60});
  ComparePlain(KernelFamily::PlainSingle, {3, 1, 4, 2, 30});
  ComparePlain(KernelFamily::PlainSingle, {4, 1, 4, 2, 30});
  ComparePlain(KernelFamily::PlainSingle, {2, 1, 3, 2, 30});
  ComparePlain(KernelFamily::PlainMulti, {3, 2, 2, 1, 40});
  ComparePlain(KernelFamily::PlainMulti, {3, 2, 3, 2, 20});
  ComparePlain(KernelFamily::PlainMulti, {3, 3, 2, 2, 16});
  ComparePlain(KernelFamily::PlainMulti, {2, 2, 3, 2, 16});
  ComparePlain(KernelFamily::PlainMulti, {4, 2, 3, 2, 20});
}

TEST(KernelReference, SieveFamiliesAgreeWithTheEnumeration) {
  TempDir dir;
  int exact = 0;
  CompareSieve(KernelFamily::SieveSingle, {2, 1, 3, 1, 40}, &exact);
  CompareSieve(KernelFamily::SieveSingle, {2, 1, 2, 1, 100}, &exact);
  CompareSieve(KernelFamily::SieveSingle, {4, 1, 5, 2, 30}, &exact);
  CompareSieve(KernelFamily::SieveSingle, {4, 1, 4, 2, 40}, &exact);
  CompareSieve(KernelFamily::SieveSingle, {6, 1, 4, 2, 20}, &exact);
  const int singleExact = exact;
  CompareSieve(KernelFamily::SieveMulti, {2, 2, 3, 1, 24}, &exact);
  CompareSieve(KernelFamily::SieveMulti, {2, 3, 3, 2, 12}, &exact);
  CompareSieve(KernelFamily::SieveMulti, {2, 2, 2, 2, 30}, &exact);
  CompareSieve(KernelFamily::SieveMulti, {4, 2, 3, 2, 30}, &exact);
  CompareSieve(KernelFamily::SieveMulti, {4, 2, 5, 2, 14}, &exact);
  EXPECT_GT(singleExact, 20);
  EXPECT_GT(exact - singleExact, 20);
}

}  // namespace
}  // namespace aequa::test
