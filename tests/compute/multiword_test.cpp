#include "compute/multiword.h"

#include <gtest/gtest.h>

#include <random>

#include "compute/build_powers.h"
#include "compute/kernel_layout.h"
#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "compute/sieve.h"
#include "core/shared_words.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

using u128 = unsigned __int128;

u128 ToWide(const uint32_t* a, int words) {
  u128 v = 0;
  for (int i = words - 1; i >= 0; --i) v = (v << 32) | a[i];
  return v;
}

void FromWide(u128 v, uint32_t* a, int words) {
  for (int i = 0; i < words; ++i, v >>= 32) a[i] = static_cast<uint32_t>(v);
}

TEST(Multiword, WorkedExamples) {
  uint32_t a[2] = {1, 3};  // 3 * 2^32 + 1
  uint32_t q[2];
  EXPECT_EQ(DivSmall<2>(a, 2, q), 1u);
  EXPECT_EQ(q[1], 1u);
  EXPECT_EQ(q[0], 0x80000000u);
  const uint32_t x[2] = {5, 1};
  const uint32_t y[2] = {7, 0};
  EXPECT_EQ(Compare<2>(x, y), 1);
  EXPECT_TRUE(Less<2>(y, x));
  EXPECT_FALSE(Less<2>(x, x));
}

}  // namespace

// The width of the W = 0 instantiations, which only this test and the benchmark use.
int DynamicWordCount = 1;

namespace {

// Every operation at W = 1..4 and at the run-time width agrees with 128-bit arithmetic.
template <int W>
void CheckAgainstWide(std::mt19937_64& rng, int dynamicWords) {
  const int words = W > 0 ? W : dynamicWords;
  DynamicWordCount = dynamicWords;
  const u128 mask = words == 4 ? ~u128{0} : ((u128{1} << (32 * words)) - 1);
  for (int round = 0; round < 2000; ++round) {
    u128 va = ((u128{rng()} << 64) | rng()) & mask;
    u128 vb = ((u128{rng()} << 64) | rng()) & mask;
    if (round % 3 == 0) vb >>= (rng() % 100);  // small and equal-top-word cases
    if (round % 7 == 0) vb = va;
    uint32_t a[4], b[4], r[4];
    FromWide(va, a, words);
    FromWide(vb, b, words);
    EXPECT_EQ(Compare<W>(a, b), va < vb ? -1 : va > vb ? 1 : 0);
    EXPECT_EQ(Less<W>(a, b), va < vb);
    EXPECT_EQ(Add<W>(a, b, r), ((va + vb) & mask) < va);
    EXPECT_EQ(ToWide(r, words), (va + vb) & mask);
    EXPECT_EQ(Sub<W>(a, b, r), va < vb);
    EXPECT_EQ(ToWide(r, words), (va - vb) & mask);
    EXPECT_EQ(IsZero<W>(r), va == vb);
    const uint32_t d = static_cast<uint32_t>(rng() >> (32 + rng() % 32)) | 1u;
    EXPECT_EQ(DivSmall<W>(a, d, r), static_cast<uint32_t>(va % d));
    EXPECT_EQ(ToWide(r, words), va / d);
    EXPECT_EQ(ModSmall<W>(a, d), static_cast<uint32_t>(va % d));
    CopyWords<W>(r, a);
    const bool overflow = MulSmall<W>(r, d);
    EXPECT_EQ(ToWide(r, words), (va * d) & mask);
    if (words < 4) {
      EXPECT_EQ(overflow, ((va * d) >> (32 * words)) != 0);
    }
  }
}

TEST(Multiword, AgreesWithWideArithmetic) {
  std::mt19937_64 rng(12345);
  CheckAgainstWide<1>(rng, 1);
  CheckAgainstWide<2>(rng, 2);
  CheckAgainstWide<3>(rng, 3);
  CheckAgainstWide<4>(rng, 4);
  for (int words = 1; words <= 4; ++words) CheckAgainstWide<0>(rng, words);
}

TEST(Multiword, CarryRunsThroughEveryWord) {
  uint32_t a[32], one[32], r[32];
  for (uint32_t& w : a) w = 0xFFFFFFFFu;
  SetSmall<32>(one, 1);
  EXPECT_TRUE(Add<32>(a, one, r));
  EXPECT_TRUE(IsZero<32>(r));
  EXPECT_TRUE(Sub<32>(r, one, r));
  EXPECT_EQ(Compare<32>(r, a), 0);
  SetSmall<16>(r, 7);
  r[15] = 1;
  EXPECT_EQ(DivSmall<16>(r, 2, r), 1u);
  EXPECT_EQ(r[14], 0x80000000u);
  EXPECT_EQ(r[15], 0u);
}

TEST(Multiword, LevelForBitsIsStrict) {
  EXPECT_EQ(LevelForBits(31.9L), 0);
  EXPECT_EQ(LevelForBits(32.0L), 1);
  EXPECT_EQ(LevelForBits(127.99L), 3);
  EXPECT_EQ(LevelForBits(128.0L), 4);
  EXPECT_EQ(LevelForBits(1023.9L), 6);
  EXPECT_EQ(LevelForBits(1024.0L), kLevelCount);
}

class BuildPowersTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  SearchControl control;
  EqualSumsRun& run = *new EqualSumsRun(control);
  void TearDown() override { delete &run; }
  void Sieve(uint32_t k, uint32_t left, uint32_t right) { run.sieve = SetupSieve(k, left, right); }
};

TEST_F(BuildPowersTest, LevelZeroHoldsFifthPowersUpTo84) {
  run.power = 5;
  ASSERT_TRUE(run.powers.Allocate(4 * 100));
  EXPECT_TRUE(BuildPowers(run, KernelFamily::PlainSingle, 0, 84));
  EXPECT_EQ(run.powers.begin()[84], 4182119424u);
  EXPECT_EQ(run.powers.filledEnd, run.powers.begin() + 85);
  EXPECT_FALSE(BuildPowers(run, KernelFamily::PlainSingle, 0, 85));
  EXPECT_EQ(run.control.internalError.load(), 62);
}

TEST_F(BuildPowersTest, EntriesCarryUseCountsResiduesAndModularValues) {
  run.power = 4;
  Sieve(4, 2, 3);  // slots (5, 5) and (2, 16)
  ASSERT_TRUE(run.powers.Allocate(4 * 5 * 31));
  ASSERT_TRUE(BuildPowers(run, KernelFamily::SieveMulti, 1, 30));
  using L = Layout<KernelFamily::SieveMulti, 2>;
  for (uint32_t x = 0; x <= 30; ++x) {
    const uint32_t* e = run.powers.begin() + x * L::Entry();
    const uint64_t power = uint64_t{x} * x * x * x;
    EXPECT_EQ(e[0] | (uint64_t{e[1]} << 32), power);
    EXPECT_EQ(e[L::UseCount()], 0u);
    const uint32_t expected = (x % 5 != 0 ? 1u : 0u) | (x % 2 != 0 ? 0x100u : 0u);
    EXPECT_EQ(e[L::Residues()], expected) << x;
    EXPECT_EQ(e[L::ValueMod()], power % 625u);
  }
}

TEST_F(BuildPowersTest, TooSmallATableIsReportedBeforeWriting) {
  run.power = 4;
  Sieve(4, 1, 3);
  ASSERT_TRUE(run.powers.Allocate(4 * 2 * 10 + 4));  // ten entries of two words and half of one
  EXPECT_TRUE(BuildPowers(run, KernelFamily::SieveSingle, 0, 9));
  EXPECT_FALSE(BuildPowers(run, KernelFamily::SieveSingle, 0, 10));
  EXPECT_EQ(run.control.internalError.load(), 61);
}

}  // namespace
}  // namespace aequa
