#include "compute/sieve.h"

#include <algorithm>

namespace aequa {

uint32_t SieveCount = 0;
uint32_t SievePrimes[4] = {1, 1, 1, 1};
uint32_t SieveModuli[4] = {1, 1, 1, 1};
uint32_t SieveStep[4] = {1, 1, 1, 1};
uint32_t SieveStepCount[4] = {1, 1, 1, 1};
uint32_t SieveMask = 0xFFFFFFFFu;

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

void SetupSieve(const WorkItem& item) {
  SieveCount = 0;
  const uint32_t t = std::max(item.leftTerms, item.rightTerms);
  const uint32_t k = item.power;
  for (const SieveRow& row : kSieveRows) {
    if (row.power != k) continue;
    for (int i = 0; i < row.count; ++i) {
      if (t < row.pairs[i].modulus) {
        SievePrimes[SieveCount] = row.pairs[i].prime;
        SieveModuli[SieveCount] = row.pairs[i].modulus;
        ++SieveCount;
      }
    }
  }
  for (uint32_t i = SieveCount; i < 4; ++i) {
    SievePrimes[i] = 1;
    SieveModuli[i] = 1;
  }
  SieveMask = 0;
  for (uint32_t i = SieveCount; i < 4; ++i) SieveMask |= 0xFFu << (8 * i);
  for (int i = 0; i < 4; ++i) {
    const uint64_t p = SievePrimes[i];
    SieveStep[i] = static_cast<uint32_t>(p);
    SieveStepCount[i] = k;
    if (p == 1) {
      SieveStep[i] = 1;
      SieveStepCount[i] = 1;
      continue;
    }
    uint64_t product = 1;
    for (uint32_t j = 1; j <= k; ++j) {
      product *= p;
      if (product >= (1ull << 32)) break;
      if (k % j == 0) {
        SieveStep[i] = static_cast<uint32_t>(product);
        SieveStepCount[i] = k / j;
      }
    }
  }
}

}  // namespace aequa
