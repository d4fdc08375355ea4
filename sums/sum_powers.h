#pragma once
// The powers table of the sum-collision search and the representation command: entry x holds
// x^k (four words), and in the filtered format also the residue word of x^k (byte i: x^k mod
// the sieve's prime i, 0 for an inactive slot).
#include <atomic>
#include <cstdint>

#include "compute/powers_table.h"
#include "compute/sieve.h"
#include "sums/u128.h"

namespace aequa {

inline constexpr uint32_t kStandardEntryWords = 4;
inline constexpr uint32_t kFilteredEntryWords = 5;

// Fill entries 0 .. count - 1 of `table` with x^power. False, with `internalError` set, on a
// failure: 300 (a power beyond 128 bits), 301 (past the allocation), 68 (a residue not below
// its prime).
bool BuildSumPowers(PowersTable& table, uint32_t power, uint32_t count,
                    std::atomic<int32_t>& internalError);
bool BuildSumPowersFiltered(PowersTable& table, uint32_t power, const SieveSlots& sieve,
                            uint32_t count, std::atomic<int32_t>& internalError);

inline U128 PowerEntry(const uint32_t* entry) {
  U128 u;
  u.w[0] = entry[0];
  u.w[1] = entry[1];
  u.w[2] = entry[2];
  u.w[3] = entry[3];
  return u;
}

}  // namespace aequa
