#pragma once
// Fills the run's powers table for the values 0..x1 in a kernel family's entry format, and
// records where the filled entries end (powers.filledEnd).
#include <cstdint>

#include "compute/kernel_layout.h"
#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "compute/sieve.h"

namespace aequa {

// False, with the internal error set (61 table too small, 62 power beyond W words, 67 overrun,
// 68 residue not 0 or 1, 921 modular value out of range), when the table cannot be built.
template <KernelFamily F, int W>
bool BuildPowersFor(EqualSumsRun& run, uint32_t x1) {
  using L = Layout<F, W>;
  const int entry = L::Entry();
  uint32_t* table = run.powers.begin();
  if (table == nullptr) {
    run.control.internalError.store(61);
    return false;
  }
  const uint64_t available = static_cast<uint64_t>(run.powers.end() - run.powers.begin());
  for (uint64_t x = 0; x <= x1; ++x) {
    // The whole entry must fit, not only its start.
    if ((x + 1) * static_cast<uint64_t>(entry) > available) {
      run.control.internalError.store(61);
      return false;
    }
    uint32_t* e = table + x * static_cast<uint64_t>(entry);
    SetSmall<W>(e, static_cast<uint32_t>(x));
    for (uint32_t i = 1; i < run.power; ++i) {
      if (MulSmall<W>(e, static_cast<uint32_t>(x))) {
        run.control.internalError.store(62);
        return false;
      }
    }
    if constexpr (IsSieveFamily(F)) {
      uint32_t residues = 0;
      for (uint32_t slot = 0; slot < 4; ++slot) {
        const uint32_t p = run.sieve.primes[slot];
        const uint32_t r = p <= 1 ? 0 : ModSmall<W>(e, p);
        if (r > 1) {
          run.control.internalError.store(68);
          return false;
        }
        residues |= r << (8 * slot);
      }
      e[L::Residues()] = residues;
    }
    if constexpr (F == KernelFamily::SieveMulti) {
      const uint32_t step = run.sieve.step[0];
      const uint32_t mod = step == 0 ? 0 : ModSmall<W>(e, step);
      if (mod >= step) {
        run.control.internalError.store(921);
        return false;
      }
      e[L::ValueMod()] = mod;
    }
    if constexpr (IsMultiFamily(F)) e[L::UseCount()] = 0;
  }
  run.powers.filledEnd = table + (static_cast<uint64_t>(x1) + 1) * entry;
  if (F == KernelFamily::SieveSingle && run.powers.filledEnd > run.powers.end()) {
    run.control.internalError.store(67);
    return false;
  }
  return true;
}

// The same for a family and level (0..6) chosen at run time.
bool BuildPowers(EqualSumsRun& run, KernelFamily family, int level, uint32_t x1);

}  // namespace aequa
