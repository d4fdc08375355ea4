#pragma once
// Where the d-loops start. A loop runs over one residue class of d modulo its step, from the
// class's smallest non-negative member.
#include <array>
#include <cstdint>

#include "penta/penta_types.h"

namespace aequa::penta {

namespace detail {

// x^5 mod 3125 depends only on x mod 625.
constexpr std::array<uint16_t, 625> MakeFifthMod3125() {
  std::array<uint16_t, 625> t{};
  for (uint64_t x = 0; x < 625; ++x) t[x] = static_cast<uint16_t>(x * x * x * x * x % 3125);
  return t;
}
// For a unit r modulo 3125 that is a fifth power, the one unit x below 625 with
// x^5 = r (mod 3125); -1 for every other r. (x -> x^5 is one-to-one on the units mod 625.)
constexpr std::array<int16_t, 3125> MakeFifthRoot3125() {
  std::array<int16_t, 3125> t{};
  for (auto& v : t) v = -1;
  const auto fifth = MakeFifthMod3125();
  for (int x = 0; x < 625; ++x) {
    if (x % 5 != 0) t[fifth[x]] = static_cast<int16_t>(x);
  }
  return t;
}
inline constexpr std::array<uint16_t, 625> kFifthMod3125 = MakeFifthMod3125();
inline constexpr std::array<int16_t, 3125> kFifthRoot3125 = MakeFifthRoot3125();

}  // namespace detail

// x^5 mod 3125 for 0 <= x.
inline int32_t FifthMod3125(int32_t x) { return detail::kFifthMod3125[x % 625]; }

// The first d of a 5-adic loop. `fifthSum` is a^5 +- b^5 +- c^5 modulo 3125 (any integer
// congruent to it), `termSum` is a +- b +- c (same signs), `signD` the sign of d. Returns the
// smallest d >= 0 such that fifthSum + signD * d^5 = 0 (mod 3125) and, for step 1250, d is
// even; for step 20000, termSum + signD * d = 0 (mod 32). -1 when no such d exists.
inline int32_t FiveAdicStart(int32_t fifthSum, int32_t termSum, int32_t signD, int32_t step) {
  int32_t target = (-signD * fifthSum) % 3125;
  if (target < 0) target += 3125;
  const int32_t root = detail::kFifthRoot3125[target];
  if (root < 0) return -1;
  if (step == 1250) return (root & 1) != 0 ? root + 625 : root;
  // d = root + 625 k with d = -signD * termSum (mod 32); 625 = 17 (mod 32) and 17 * 17 = 1.
  const int32_t wanted = -signD * termSum;
  return root + 625 * (((wanted - root) * 17) & 31);
}

// The seed of the 5-adic lift of an adding loop: 25 - ((a + b + c) mod 25), made even by
// adding 25. Type 2 skips its adding loop when the seed exceeds c.
inline int32_t FiveAdicSeed(int32_t termSum) {
  const int32_t seed = 25 - termSum % 25;
  return (seed & 1) != 0 ? seed + 25 : seed;
}

// The first d of a 2-adic loop for an odd c > 0: a multiple of 5 with the rule's residue
// (modulo 32, 64 or 1024), reduced below the loop's step.
inline int32_t TwoAdicStart(DStart rule, int32_t c, int32_t step) {
  int32_t v = 0;
  int32_t lift = 64;
  switch (rule) {
    case DStart::M32: v = 32 - (c & 31); break;
    case DStart::P32: v = c & 31; break;
    case DStart::M64: v = 32 - (c & 63); if (v < 0) v += 64; break;
    case DStart::P64: v = (c & 63) - 32; if (v < 0) v += 64; break;
    case DStart::M1024: v = 1024 - (c & 1023); lift = 1024; break;
    case DStart::P1024: v = c & 1023; lift = 1024; break;
    default: return -1;
  }
  // lift = 4 (mod 5), so v + (v mod 5) * lift = 5v = 0 (mod 5); lift is a multiple of 32.
  return (v + v % 5 * lift) % step;
}

}  // namespace aequa::penta
