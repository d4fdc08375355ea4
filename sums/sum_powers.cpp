#include "sums/sum_powers.h"

namespace aequa {
namespace {

template <uint32_t Stride>
bool BuildTable(PowersTable& table, uint32_t power, const SieveSlots* sieve, uint32_t count,
                std::atomic<int32_t>& internalError) {
  uint32_t* entry = table.begin();
  for (uint32_t x = 0; x < count; ++x, entry += Stride) {
    if (entry == nullptr || entry + Stride > table.end()) {
      internalError.store(301);
      return false;
    }
    U128 value;
    if (!PowerOf(x, power, value)) {
      internalError.store(300);
      return false;
    }
    for (int i = 0; i < 4; ++i) entry[i] = value.w[i];
    if constexpr (Stride == kFilteredEntryWords) {
      uint32_t residues = 0;
      for (int slot = 0; slot < 4; ++slot) {
        const uint32_t prime = sieve->primes[slot];
        if (prime == 1) continue;
        const uint32_t residue = ModSmall128(value, prime);
        if (residue >= prime || residue > 0xFF) {
          internalError.store(68);
          return false;
        }
        residues |= residue << (8 * slot);
      }
      entry[4] = residues;
    }
  }
  table.filledEnd = entry;
  return true;
}

}  // namespace

bool BuildSumPowers(PowersTable& table, uint32_t power, uint32_t count,
                    std::atomic<int32_t>& internalError) {
  return BuildTable<kStandardEntryWords>(table, power, nullptr, count, internalError);
}

bool BuildSumPowersFiltered(PowersTable& table, uint32_t power, const SieveSlots& sieve,
                            uint32_t count, std::atomic<int32_t>& internalError) {
  return BuildTable<kFilteredEntryWords>(table, power, &sieve, count, internalError);
}

}  // namespace aequa
