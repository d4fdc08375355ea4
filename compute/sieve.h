#pragma once
// The sieve primes of even powers: for each active slot a prime p and a modulus q = p^e with
// x^k mod q equal to 0 or 1 for every x. Residues are held as four bytes of one word, one
// byte per slot, so that the four slots are added, subtracted and tested together.
#include <cstdint>

namespace aequa {

struct SieveSlots {
  uint32_t count = 0;                    // active slots 0..count-1
  uint32_t primes[4] = {1, 1, 1, 1};     // 1 in an inactive slot
  uint32_t moduli[4] = {1, 1, 1, 1};     // 1 in an inactive slot
  uint32_t step[4] = {1, 1, 1, 1};       // p^j for the largest divisor j of k with p^j < 2^32
  uint32_t stepCount[4] = {1, 1, 1, 1};  // k / j
  uint32_t mask = 0xFFFFFFFFu;           // byte i: 0x00 active, 0xFF inactive
};

// The slots for a power and the larger of the left and right term counts.
SieveSlots SetupSieve(uint32_t power, uint32_t leftTerms, uint32_t rightTerms);

}  // namespace aequa
