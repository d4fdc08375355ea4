#include "compute/sieve.h"

#include <algorithm>

namespace aequa {

namespace {

struct SievePair {
  uint32_t prime;
  uint32_t modulus;
};

struct SieveRow {
  uint32_t power;
  SievePair pairs[4];
  int count;
};

// (prime, modulus) pairs per even power, in slot order. k = 26 and odd k have none.
constexpr SieveRow kSieveRows[] = {
    {2, {{3, 3}, {2, 4}}, 2},
    {4, {{5, 5}, {2, 16}}, 2},
    {6, {{7, 7}, {3, 9}, {2, 8}}, 3},
    {8, {{5, 5}, {2, 32}}, 2},
    {10, {{11, 11}, {2, 8}}, 2},
    {12, {{13, 13}, {7, 7}, {3, 9}, {2, 16}}, 4},
    {14, {{2, 8}}, 1},
    {16, {{17, 17}, {2, 64}}, 2},
    {18, {{19, 19}, {3, 27}}, 2},
    {20, {{11, 11}, {5, 25}, {2, 16}}, 3},
    {22, {{23, 23}}, 1},
    {24, {{13, 13}, {2, 32}}, 2},
    {28, {{29, 29}, {2, 16}}, 2},
    {30, {{31, 31}}, 1},
    {32, {{17, 17}, {2, 128}}, 2},
};

}  // namespace

SieveSlots SetupSieve(uint32_t power, uint32_t leftTerms, uint32_t rightTerms) {
  SieveSlots slots;
  const uint32_t t = std::max(leftTerms, rightTerms);
  const uint32_t k = power;
  for (const SieveRow& row : kSieveRows) {
    if (row.power != k) continue;
    for (int i = 0; i < row.count; ++i) {
      if (t < row.pairs[i].modulus) {
        slots.primes[slots.count] = row.pairs[i].prime;
        slots.moduli[slots.count] = row.pairs[i].modulus;
        ++slots.count;
      }
    }
  }
  for (uint32_t i = slots.count; i < 4; ++i) {
    slots.primes[i] = 1;
    slots.moduli[i] = 1;
  }
  slots.mask = 0;
  for (uint32_t i = slots.count; i < 4; ++i) slots.mask |= 0xFFu << (8 * i);
  for (int i = 0; i < 4; ++i) {
    const uint64_t p = slots.primes[i];
    slots.step[i] = static_cast<uint32_t>(p);
    slots.stepCount[i] = k;
    if (p == 1) {
      slots.step[i] = 1;
      slots.stepCount[i] = 1;
      continue;
    }
    uint64_t product = 1;
    for (uint32_t j = 1; j <= k; ++j) {
      product *= p;
      if (product >= (1ull << 32)) break;
      if (k % j == 0) {
        slots.step[i] = static_cast<uint32_t>(product);
        slots.stepCount[i] = k / j;
      }
    }
  }
  return slots;
}

}  // namespace aequa
