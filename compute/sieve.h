#pragma once
// The sieve primes of even powers: for each active slot a prime p and a modulus q = p^e with
// x^k mod q equal to 0 or 1 for every x. Residues are held as four bytes of one word, one
// byte per slot, so that the four slots are added, subtracted and tested together.
#include <cstdint>

#include "core/work_item.h"

namespace aequa {

extern uint32_t SieveCount;         // active slots 0..SieveCount-1
extern uint32_t SievePrimes[4];     // 1 in an inactive slot
extern uint32_t SieveModuli[4];     // 1 in an inactive slot
extern uint32_t SieveStep[4];       // p^j for the largest divisor j of k with p^j < 2^32
extern uint32_t SieveStepCount[4];  // k / j
extern uint32_t SieveMask;          // byte i: 0x00 active, 0xFF inactive

// Chooses the slots for the item's power and the larger of its left and right terms.
void SetupSieve(const WorkItem& item);

}  // namespace aequa
