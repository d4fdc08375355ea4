#include "penta/penta_starts.h"

#include <gtest/gtest.h>

#include "penta/penta_types.h"

namespace aequa::penta {
namespace {

using I128 = __int128;

I128 Fifth(int64_t x) { return static_cast<I128>(x) * x * x * x * x; }

int64_t Mod(I128 x, int64_t m) {
  int64_t r = static_cast<int64_t>(x % m);
  return r < 0 ? r + m : r;
}

// Walks a few b and c of each 5-adic type exactly as its loops would, and checks every first d
// with exact arithmetic: below the step, the signed fifth-power sum divisible by 3125, the
// parity (step 1250) or the 32-adic condition (step 20000), and no smaller member below it.
TEST(FiveAdicStart, EveryFirstDIsTheSmallestMemberOfItsClass) {
  int checked = 0;
  for (int t = 0; t <= 11; ++t) {
    const PentaType& type = kPentaTypes[t];
    for (int32_t a = 1; a < 100000; a += (a < 400 ? 1 : 7919)) {
      if (a % 5 == 0) continue;
      const bool odd = (a & 1) != 0;
      if (odd != (type.a == ACondition::Odd)) continue;
      // b and c are taken from the type's classes: b = +-a (mod 5) as its b-loop has it.
      const int32_t bSign = (type.bStart == BStart::AMod5 || type.bStart == BStart::AMod160) ? 1 : -1;
      for (int32_t b = ((bSign * a) % 5 + 5) % 5; b < 3000; b += 5 * 37) {
        if (b == 0) continue;
        for (int32_t c = 1; c < 100000; c += 997) {
          if (c % 5 == 0) continue;
          for (int l = 0; l < type.loopCount; ++l) {
            const DLoop& loop = type.loops[l];
            const int64_t sumFifth = FifthMod3125(a) + type.signB * FifthMod3125(b) +
                                     type.signC * FifthMod3125(c);
            const int32_t termSum = a + type.signB * b + type.signC * c;
            const int32_t d = FiveAdicStart(static_cast<int32_t>(sumFifth), termSum,
                                            loop.signD, loop.step);
            ASSERT_GE(d, 0) << "type " << t << " a=" << a << " b=" << b << " c=" << c;
            ASSERT_LT(d, loop.step);
            auto member = [&](int64_t x) {
              const I128 s = Fifth(a) + type.signB * Fifth(b) + type.signC * Fifth(c) +
                             loop.signD * Fifth(x);
              if (Mod(s, 3125) != 0) return false;
              if (loop.step == 1250) return x % 2 == 0;
              return Mod(static_cast<I128>(termSum) + loop.signD * x, 32) == 0;
            };
            ASSERT_TRUE(member(d)) << "type " << t << " a=" << a << " b=" << b << " c=" << c;
            if (checked % 97 == 0) {
              for (int64_t x = 0; x < d; ++x) ASSERT_FALSE(member(x)) << t << " " << x;
            }
            ++checked;
          }
        }
      }
    }
  }
  EXPECT_GT(checked, 100000);
}

TEST(FiveAdicStart, NoClassWhenTheSumIsNotAFifthPowerResidue) {
  // 2 is not a fifth power modulo 25, so no d makes 2 + d^5 divisible by 3125.
  EXPECT_EQ(FiveAdicStart(2, 0, 1, 1250), -1);
  EXPECT_EQ(FiveAdicStart(-2, 0, -1, 20000), -1);
  EXPECT_EQ(FiveAdicStart(1, 0, -1, 1250), 626);  // 626^5 = 1 (mod 3125), 626 even
}

// Every 2-adic rule at every step it is used with, for every odd c below 1024: the first d
// lies below the step, is a multiple of 5 and has the rule's residue.
TEST(TwoAdicStart, FirstDIsTheSmallestMultipleOfFiveWithTheRulesResidue) {
  struct Rule {
    DStart rule;
    int32_t step;
    int32_t modulus;  // the residue the step keeps: 32 for step 160, 64 for 320, 1024 for 5120
  };
  const Rule rules[] = {{DStart::M32, 160, 32},   {DStart::P32, 160, 32},
                        {DStart::M64, 320, 64},   {DStart::P64, 320, 64},
                        {DStart::P64, 160, 32},   {DStart::M1024, 5120, 1024},
                        {DStart::P1024, 5120, 1024}};
  for (const Rule& r : rules) {
    for (int32_t c = 1; c < 1024; c += 2) {
      const int32_t d = TwoAdicStart(r.rule, c, r.step);
      int32_t wanted = 0;  // d = wanted (mod r.modulus)
      switch (r.rule) {
        case DStart::M32: wanted = -c; break;
        case DStart::P32: wanted = c; break;
        case DStart::M64: wanted = 32 - c; break;
        case DStart::P64: wanted = c - 32; break;
        case DStart::M1024: wanted = -c; break;
        case DStart::P1024: wanted = c; break;
        default: break;
      }
      SCOPED_TRACE(testing::Message() << "rule " << static_cast<int>(r.rule) << " step "
                                      << r.step << " c=" << c << " d=" << d);
      ASSERT_GE(d, 0);
      ASSERT_LT(d, r.step);
      ASSERT_EQ(d % 5, 0);
      ASSERT_EQ(((d - wanted) % r.modulus + r.modulus) % r.modulus, 0);
    }
  }
}

TEST(TwoAdicStart, EveryTwoAdicLoopOfTheTableUsesAKnownStep) {
  for (int t = 12; t < kTypeCount; ++t) {
    for (int l = 0; l < kPentaTypes[t].loopCount; ++l) {
      const DLoop& loop = kPentaTypes[t].loops[l];
      const bool is1024 = loop.start == DStart::M1024 || loop.start == DStart::P1024;
      const bool is64 = loop.start == DStart::M64 || loop.start == DStart::P64;
      EXPECT_TRUE(is1024 ? loop.step == 5120 : is64 ? (loop.step == 320 || loop.step == 160)
                                                    : loop.step == 160)
          << t;
    }
  }
}

}  // namespace
}  // namespace aequa::penta
