#include "penta/penta_tables.h"

#include <gtest/gtest.h>

#include <set>

namespace aequa::penta {
namespace {

int32_t PowMod(int64_t x, int32_t p) {
  int64_t r = 1;
  for (int i = 0; i < 5; ++i) r = r * (x % p) % p;
  return static_cast<int32_t>(r);
}

std::set<int32_t> FifthPowers(int32_t p, bool withZero) {
  std::set<int32_t> s;
  for (int32_t x = withZero ? 0 : 1; x < p; ++x) s.insert(PowMod(x, p));
  return s;
}

// s is excluded when no fifth powers D, E (from `powers`) give s + D = E mod p.
std::set<int32_t> Unreachable(int32_t p, const std::set<int32_t>& powers) {
  std::set<int32_t> s;
  for (int32_t r = 0; r < p; ++r) {
    bool reachable = false;
    for (int32_t d : powers) reachable = reachable || powers.count((r + d) % p) != 0;
    if (!reachable) s.insert(r);
  }
  return s;
}

class TablesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(BuildTables(tables)); }
  penta::Tables tables;
};

TEST_F(TablesTest, ResidueTablesHoldFifthPowersModP) {
  for (int i = 0; i < kPrimeCount; ++i) {
    const int32_t p = kPrimes[i];
    const uint32_t* table = tables.residues[i];
    for (int32_t x = 0; x < kTermLimit; x += (x < 2000 ? 1 : 997)) {
      ASSERT_EQ(table[x], static_cast<uint32_t>(PowMod(x, p))) << "p=" << p << " x=" << x;
    }
    EXPECT_EQ(table[kTermLimit - 1], static_cast<uint32_t>(PowMod(kTermLimit - 1, p)));
  }
}

TEST_F(TablesTest, MarkListsAreTheFifthPowersAndEveryCopyIsMarked) {
  for (int i = 0; i < kPrimeCount; ++i) {
    const int32_t p = kPrimes[i];
    auto list = FifthPowerResidues(i);
    EXPECT_EQ(std::set<int32_t>(list.begin(), list.end()), FifthPowers(p, true)) << p;
    EXPECT_EQ(list.size(), static_cast<size_t>(1 + (p - 1) / 5));
    const auto powers = FifthPowers(p, true);
    for (int32_t j = 0; j < 4 * p; ++j) {
      ASSERT_EQ(tables.marks[i][j], powers.count(j % p)) << "p=" << p << " j=" << j;
    }
  }
}

TEST_F(TablesTest, ExclusionListsMatchWhatTheyDescribe) {
  for (int j = 0; j < kExclusionCount; ++j) {
    const int32_t p = kPrimes[kFirstExclusionPrime + j];
    auto list = ExcludedTripleSums(j);
    const std::set<int32_t> held(list.begin(), list.end());
    for (int32_t s = 0; s < 3 * p; ++s) {
      ASSERT_EQ(tables.exclusions[j][s], held.count(s % p)) << "p=" << p << " s=" << s;
    }
    if (p != 11) {
      EXPECT_EQ(held, Unreachable(p, FifthPowers(p, false))) << p;
      continue;
    }
    // For 11 the list {3, 8} is a part of the unreachable sums {3..8}. Triples it lets
    // through with a sum of 4..7 can never pass the quadruple test at 11, so the shorter list
    // costs time, never a candidate.
    const auto all = FifthPowers(11, true);
    const auto unreachable = Unreachable(11, all);
    EXPECT_EQ(held, (std::set<int32_t>{3, 8}));
    for (int32_t s : held) EXPECT_TRUE(unreachable.count(s)) << s;
    for (int32_t s : unreachable) {
      for (int32_t d : all) {
        EXPECT_EQ(all.count((s + d) % 11), 0u) << "s=" << s;
        EXPECT_EQ(all.count((s - d + 11) % 11), 0u) << "s=" << s;
      }
    }
  }
}

int allocations = 0;
uint32_t* FailingFifth(size_t entries) {
  return ++allocations == 5 ? nullptr : new uint32_t[entries];
}

TEST(TablesAllocation, AFailedTableLeavesTheSetIncompleteAndReleasable) {
  allocations = 0;
  penta::Tables tables;
  EXPECT_FALSE(BuildTables(tables, &FailingFifth));
  EXPECT_FALSE(TablesComplete(tables));
  EXPECT_EQ(tables.residues[4], nullptr);
  EXPECT_NE(tables.residues[5], nullptr);
  ReleaseTables(tables);
  for (const uint32_t* table : tables.residues) EXPECT_EQ(table, nullptr);
  ReleaseTables(tables);  // twice is harmless
  EXPECT_TRUE(BuildTables(tables));
}

}  // namespace
}  // namespace aequa::penta
