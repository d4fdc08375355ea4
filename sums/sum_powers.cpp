#include "sums/sum_powers.h"

#include "compute/sieve.h"
#include "core/shared_words.h"

namespace aequa {
namespace {

template <uint32_t Stride>
void BuildTable(uint32_t count) {
  uint32_t* entry = PtrPowers;
  for (uint32_t x = 0; x < count; ++x, entry += Stride) {
    if (PtrPowers == nullptr || entry + Stride > PowersEnd) {
      InternalError.store(301);
      return;
    }
    U128 power;
    if (!Power128(x, power)) return;
    for (int i = 0; i < 4; ++i) entry[i] = power.w[i];
    if constexpr (Stride == kFilteredEntryWords) {
      uint32_t residues = 0;
      for (int slot = 0; slot < 4; ++slot) {
        const uint32_t prime = SievePrimes[slot];
        if (prime == 1) continue;
        const uint32_t residue = ModSmall128(power, prime);
        if (residue >= prime || residue > 0xFF) {
          InternalError.store(68);
          return;
        }
        residues |= residue << (8 * slot);
      }
      entry[4] = residues;
    }
  }
}

}  // namespace

void BuildSumPowers(uint32_t count) { BuildTable<kStandardEntryWords>(count); }
void BuildSumPowersFiltered(uint32_t count) { BuildTable<kFilteredEntryWords>(count); }

}  // namespace aequa
