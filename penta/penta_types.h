#pragma once
// The twenty-one Penta types as data. Every routine has the same shape (see penta_search.h):
// a condition on a, a b-loop, a c-loop, a triple filter with the signs of b and c, and one or
// two d-loops, each with the sign of d, a start rule, a step and the moduli it tests. This
// file is the type table; the shape reads nothing else.
#include <array>
#include <cstdint>

namespace aequa::penta {

enum class ACondition : uint8_t { Even, Odd, Mod4Is0, Mod4Is2 };

// Where the b-loop starts, from a.
enum class BStart : uint8_t {
  FiveMinusAMod5,   // 5 - (a mod 5), plus 5 when even
  AMod5,            // a mod 5, plus 5 when even
  MinusAMod160,     // 160 - (a mod 160)
  AMod160,          // a mod 160
  TenMinusAMod20,   // 10 - (a mod 20), plus 20 when negative
  TwentyMinusAMod20 // 20 - (a mod 20)
};

// Where the c-loop starts, from b.
enum class CStart : uint8_t {
  MinusBMod32,  // 32 - (b mod 32)
  BMod32,       // b mod 32
  Two,
  One
};

// Loop bounds: "while term < limit", "while term <= a", ...
enum class Bound : uint8_t { Limit, AtMostA, BelowA, AtMostB, BelowB, BelowC };

// Start rules of the d-loops. The 5-adic ones start at the smallest d of the class that makes
// the loop's signed sum of fifth powers divisible by 3125 (and, for step 20000, the signed sum
// of the terms divisible by 32; for step 1250, d even). The 2-adic ones start at the smallest
// multiple of 5 with the rule's residue.
enum class DStart : uint8_t { FiveAdic1250, FiveAdic20000, M32, P32, M64, P64, M1024, P1024 };

// Which of the sixteen moduli a d-loop tests.
enum class Moduli : uint8_t { All, No311, No281And271, No311And281And271 };

// A d-value a loop never reports.
enum class SkipD : uint8_t { None, EqualToA, EqualToB };

struct DLoop {
  int8_t signD;        // +1 adds d^5, -1 subtracts it
  DStart start;
  int32_t step;
  Moduli moduli;
  Bound bound;         // Limit, or BelowC
  SkipD skip;
  bool onlyWhenCBelowB;     // type 1: the subtracting loop needs c < b
  bool skipWhenSeedAboveC;  // type 2: the adding loop is skipped when its 5-adic seed > c
  const char* label;   // printf format of a candidate: a, b, c, d as "%8ld"
};

struct PentaType {
  ACondition a;
  BStart bStart;
  int32_t bStep;
  Bound bBound;
  CStart cStart;
  int32_t cStep;
  Bound cBound;
  bool cSkipsB;        // the c-loop skips c = b
  int8_t signB;        // signs of b^5 and c^5 in the triple and every quadruple
  int8_t signC;
  const char* progress;
  int32_t loopCount;
  std::array<DLoop, 2> loops;
};

inline constexpr int kTypeCount = 21;

namespace types {
using enum ACondition;
using enum BStart;
using enum CStart;
using enum Bound;
using enum DStart;
using enum Moduli;
using enum SkipD;

inline constexpr const char* kPlusPlus = "%ld+%ld+%ld\n";
inline constexpr const char* kPlusMinus = "%ld+%ld-%ld\n";

constexpr DLoop Loop(int8_t sign, DStart start, int32_t step, const char* label,
                     Moduli moduli = All) {
  return DLoop{sign, start, step, moduli, Limit, None, false, false, label};
}
constexpr DLoop With(DLoop loop, SkipD skip) { return loop.skip = skip, loop; }
constexpr DLoop WithBound(DLoop loop, Bound bound) { return loop.bound = bound, loop; }
constexpr DLoop OnlyWhenCBelowB(DLoop loop) { return loop.onlyWhenCBelowB = true, loop; }
constexpr DLoop SkipWhenSeedAboveC(DLoop loop) { return loop.skipWhenSeedAboveC = true, loop; }

constexpr PentaType Type(ACondition a, BStart bs, int32_t bStep, Bound bb, CStart cs,
                         int32_t cStep, Bound cb, int8_t sb, int8_t sc, const char* progress,
                         DLoop first) {
  return PentaType{a, bs, bStep, bb, cs, cStep, cb, false, sb, sc, progress, 1, {first, first}};
}
constexpr PentaType Type(ACondition a, BStart bs, int32_t bStep, Bound bb, CStart cs,
                         int32_t cStep, Bound cb, int8_t sb, int8_t sc, const char* progress,
                         DLoop first, DLoop second) {
  return PentaType{a, bs, bStep, bb, cs, cStep, cb, false, sb, sc, progress, 2, {first, second}};
}
constexpr PentaType SkippingCEqualToB(PentaType type) { return type.cSkipsB = true, type; }

// clang-format off
inline constexpr std::array<PentaType, kTypeCount> kPentaTypes = {
//       a        b-loop                                c-loop                      b   c  progress
/* 0*/ Type(Even, FiveMinusAMod5, 10, Limit,           MinusBMod32, 32, AtMostB,  +1, +1, kPlusPlus,
            With(Loop(-1, FiveAdic1250, 1250, "Penta0: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5"), EqualToA),
            Loop(+1, FiveAdic1250, 1250, "Penta0: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5")),
/* 1*/ SkippingCEqualToB(
       Type(Even, FiveMinusAMod5, 10, Limit,           BMod32, 32, Limit,         +1, -1, kPlusMinus,
            Loop(+1, FiveAdic1250, 1250, "Penta1: %8ld^5 + %8ld^5 - %8ld^5 + %8ld^5"),
            OnlyWhenCBelowB(Loop(-1, FiveAdic1250, 1250, "Penta1: %8ld^5 + %8ld^5 - %8ld^5 - %8ld^5")))),
/* 2*/ Type(Odd, MinusAMod160, 160, AtMostA,           Two, 2, Limit,             +1, +1, kPlusPlus,
            Loop(-1, FiveAdic1250, 1250, "Penta2: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5"),
            SkipWhenSeedAboveC(Loop(+1, FiveAdic1250, 1250, "Penta2: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5"))),
/* 3*/ Type(Odd, MinusAMod160, 160, AtMostA,           Two, 2, Limit,             +1, -1, kPlusMinus,
            Loop(-1, FiveAdic1250, 1250, "Penta3: %8ld^5 + %8ld^5 - %8ld^5 - %8ld^5", No281And271)),
/* 4*/ Type(Odd, FiveMinusAMod5, 10, AtMostA,          One, 2, BelowB,            +1, +1, kPlusMinus,
            Loop(+1, FiveAdic20000, 20000, "Penta4: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5", No311)),
/* 5*/ Type(Odd, FiveMinusAMod5, 10, AtMostA,          One, 2, Limit,             +1, -1, kPlusMinus,
            Loop(-1, FiveAdic20000, 20000, "Penta5: %8ld^5 + %8ld^5 - %8ld^5 - %8ld^5")),
/* 6*/ Type(Even, AMod5, 10, Limit,                    BMod32, 32, BelowB,        -1, +1, kPlusPlus,
            Loop(-1, FiveAdic1250, 1250, "Penta6: %8ld^5 - %8ld^5 + %8ld^5 - %8ld^5")),
/* 7*/ Type(Odd, FiveMinusAMod5, 10, AtMostA,          One, 2, Limit,             +1, +1, kPlusPlus,
            Loop(-1, FiveAdic20000, 20000, "Penta7: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5", No311)),
/* 8*/ Type(Even, AMod5, 10, Limit,                    MinusBMod32, 32, AtMostB,  -1, -1, kPlusPlus,
            Loop(+1, FiveAdic1250, 1250, "Penta8: %8ld^5 - %8ld^5 - %8ld^5 + %8ld^5")),
/* 9*/ Type(Odd, AMod160, 160, BelowA,                 Two, 2, Limit,             -1, +1, kPlusPlus,
            Loop(-1, FiveAdic1250, 1250, "Penta9: %8ld^5 - %8ld^5 + %8ld^5 - %8ld^5")),
/*10*/ Type(Odd, AMod5, 10, BelowA,                    One, 2, Limit,             -1, +1, kPlusPlus,
            With(Loop(-1, FiveAdic20000, 20000, "Penta10: %8ld^5 - %8ld^5 + %8ld^5 - %8ld^5", No311), EqualToB)),
/*11*/ Type(Odd, AMod160, 160, Limit,                  Two, 2, Limit,             -1, +1, kPlusPlus,
            WithBound(Loop(+1, FiveAdic1250, 1250, "Penta11: %8ld^5 - %8ld^5 + %8ld^5 + %8ld^5"), BelowC)),
/*12*/ Type(Mod4Is0, TenMinusAMod20, 20, Limit,        One, 2, Limit,             +1, +1, kPlusPlus,
            Loop(+1, M32, 160, "Penta12: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5")),
/*13*/ Type(Mod4Is0, TwentyMinusAMod20, 20, BelowA,    One, 2, Limit,             +1, +1, kPlusPlus,
            Loop(+1, M64, 320, "Penta13: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5 "),
            Loop(+1, M1024, 5120, "Penta13: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5 ")),
/*14*/ Type(Mod4Is2, TwentyMinusAMod20, 20, BelowA,    One, 2, Limit,             +1, +1, kPlusPlus,
            Loop(+1, M32, 160, "Penta14: %8ld^5 + %8ld^5 + %8ld^5 + %8ld^5")),
/*15*/ Type(Mod4Is0, TenMinusAMod20, 20, Limit,        One, 2, Limit,             +1, +1, kPlusPlus,
            Loop(-1, P32, 160, "Penta15: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5")),
/*16*/ Type(Mod4Is0, TwentyMinusAMod20, 20, BelowA,    One, 2, Limit,             +1, +1, kPlusPlus,
            Loop(-1, P64, 320, "Penta16: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5"),
            Loop(-1, P1024, 5120, "Penta16: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5", No311And281And271)),
/*17*/ Type(Mod4Is2, TwentyMinusAMod20, 20, BelowA,    One, 2, Limit,             +1, +1, kPlusPlus,
            Loop(-1, P64, 160, "Penta17: %8ld^5 + %8ld^5 + %8ld^5 - %8ld^5")),
/*18*/ Type(Mod4Is0, TenMinusAMod20, 20, Limit,        One, 2, Limit,             +1, -1, kPlusPlus,
            Loop(+1, P32, 160, "Penta18: %8ld^5 + %8ld^5 - %8ld^5 + %8ld^5")),
/*19*/ Type(Mod4Is0, TwentyMinusAMod20, 20, BelowA,    One, 2, Limit,             +1, -1, kPlusPlus,
            Loop(+1, P64, 320, "Penta19: %8ld^5 + %8ld^5 - %8ld^5 + %8ld^5"),
            Loop(+1, P1024, 5120, "Penta19: %8ld^5 + %8ld^5 - %8ld^5 + %8ld^5", No311And281And271)),
/*20*/ Type(Mod4Is2, TwentyMinusAMod20, 20, BelowA,    One, 2, Limit,             +1, -1, kPlusPlus,
            Loop(+1, P64, 160, "Penta20: %8ld^5 + %8ld^5 - %8ld^5 + %8ld^5")),
};
// clang-format on
}  // namespace types

using types::kPentaTypes;

// The loops' arithmetic, shared by the routines and anything that walks their space.
inline constexpr bool Accepts(ACondition condition, int32_t a) {
  switch (condition) {
    case ACondition::Even: return (a & 1) == 0;
    case ACondition::Odd: return (a & 1) != 0;
    case ACondition::Mod4Is0: return (a & 3) == 0;
    case ACondition::Mod4Is2: return (a & 3) == 2;
  }
  return false;
}

inline constexpr int32_t FirstB(BStart start, int32_t a) {
  int32_t b = 0;
  switch (start) {
    case BStart::FiveMinusAMod5: b = 5 - a % 5; return (b & 1) == 0 ? b + 5 : b;
    case BStart::AMod5: b = a % 5; return (b & 1) == 0 ? b + 5 : b;
    case BStart::MinusAMod160: return 160 - a % 160;
    case BStart::AMod160: return a % 160;
    case BStart::TenMinusAMod20: b = 10 - a % 20; return b < 0 ? b + 20 : b;
    case BStart::TwentyMinusAMod20: return 20 - a % 20;
  }
  return 0;
}

inline constexpr int32_t FirstC(CStart start, int32_t b) {
  switch (start) {
    case CStart::MinusBMod32: return 32 - (b & 31);
    case CStart::BMod32: return b & 31;
    case CStart::Two: return 2;
    case CStart::One: return 1;
  }
  return 0;
}

// The exclusive end of a loop: "term < end".
inline constexpr int32_t EndOf(Bound bound, int32_t a, int32_t b, int32_t c, int32_t limit) {
  switch (bound) {
    case Bound::Limit: return limit;
    case Bound::AtMostA: return a + 1;
    case Bound::BelowA: return a;
    case Bound::AtMostB: return b + 1;
    case Bound::BelowB: return b;
    case Bound::BelowC: return c;
  }
  return 0;
}

}  // namespace aequa::penta
