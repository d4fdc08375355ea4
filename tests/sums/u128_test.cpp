#include "sums/u128.h"

#include <gtest/gtest.h>

#include "sums/sum_run.h"

namespace aequa {
namespace {

U128 Words(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3) {
  U128 u;
  u.w[0] = w0;
  u.w[1] = w1;
  u.w[2] = w2;
  u.w[3] = w3;
  return u;
}

TEST(U128, CompareAddAndSubtractAcrossWords) {
  EXPECT_EQ(Compare128(Words(5, 1, 0, 0), Words(7, 0, 0, 0)), 1);
  EXPECT_EQ(Compare128(Words(0, 0, 0, 1), Words(~0u, ~0u, ~0u, 0)), 1);
  EXPECT_EQ(Compare128(Words(3, 0, 0, 0), Words(3, 0, 0, 0)), 0);
  EXPECT_EQ(Compare128(Words(2, 0, 0, 0), Words(3, 0, 0, 0)), -1);
  U128 a = Words(~0u, ~0u, ~0u, 0);
  EXPECT_FALSE(Add128(a, U128::Of(1)));
  EXPECT_EQ(a, Words(0, 0, 0, 1));
  EXPECT_FALSE(Sub128(a, U128::Of(1)));
  EXPECT_EQ(a, Words(~0u, ~0u, ~0u, 0));
  U128 top = Words(~0u, ~0u, ~0u, ~0u);
  EXPECT_TRUE(Add128(top, U128::Of(1)));
  EXPECT_TRUE(top.IsZero());
  EXPECT_TRUE(Sub128(top, U128::Of(1)));
}

TEST(U128, PowersDivisionAndDecimalText) {
  SearchControl control;
  SumRun run(control);
  run.k = 3;
  U128 p;
  ASSERT_TRUE(RunPower(run, 12, p));
  EXPECT_EQ(p, U128::Of(1728));
  run.k = 127;
  EXPECT_TRUE(RunPower(run, 2, p));
  EXPECT_EQ(p, Words(0, 0, 0, 0x80000000u));
  run.k = 128;
  EXPECT_FALSE(RunPower(run, 2, p));
  EXPECT_EQ(control.internalError.load(), 300);

  EXPECT_EQ(DivSmall128(Words(1, 3, 0, 0), 2), Words(0x80000000u, 1, 0, 0));
  EXPECT_EQ(ModSmall128(Words(1, 3, 0, 0), 2), 1u);
  EXPECT_EQ(Decimal128(U128()), "0");
  EXPECT_EQ(Decimal128(Words(~0u, ~0u, ~0u, ~0u)), "340282366920938463463374607431768211455");
}

TEST(U128, ParsesDigitsUntilTheFirstOtherCharacter) {
  U128 v;
  EXPECT_EQ(ParseDecimal128("340282366920938463463374607431768211455", v), ParseStop::End);
  EXPECT_EQ(v, Words(~0u, ~0u, ~0u, ~0u));
  EXPECT_EQ(ParseDecimal128("", v), ParseStop::End);
  EXPECT_TRUE(v.IsZero());
  EXPECT_EQ(ParseDecimal128("12a4", v), ParseStop::NotADigit);
  EXPECT_EQ(v, U128::Of(12));
  EXPECT_EQ(ParseDecimal128("340282366920938463463374607431768211456", v), ParseStop::TooLarge);
}

}  // namespace
}  // namespace aequa
