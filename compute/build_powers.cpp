#include "compute/build_powers.h"

#include <cmath>

namespace aequa {

namespace {

template <KernelFamily F>
bool BuildAtLevel(EqualSumsRun& run, int level, uint32_t x1) {
  switch (level) {
    case 0: return BuildPowersFor<F, 1>(run, x1);
    case 1: return BuildPowersFor<F, 2>(run, x1);
    case 2: return BuildPowersFor<F, 3>(run, x1);
    case 3: return BuildPowersFor<F, 4>(run, x1);
    case 4: return BuildPowersFor<F, 8>(run, x1);
    case 5: return BuildPowersFor<F, 16>(run, x1);
    case 6: return BuildPowersFor<F, 32>(run, x1);
    default: run.control.internalError.store(62); return false;
  }
}

}  // namespace

bool BuildPowers(EqualSumsRun& run, KernelFamily family, int level, uint32_t x1) {
  switch (family) {
    case KernelFamily::PlainSingle: return BuildAtLevel<KernelFamily::PlainSingle>(run, level, x1);
    case KernelFamily::PlainMulti: return BuildAtLevel<KernelFamily::PlainMulti>(run, level, x1);
    case KernelFamily::SieveSingle: return BuildAtLevel<KernelFamily::SieveSingle>(run, level, x1);
    case KernelFamily::SieveMulti: return BuildAtLevel<KernelFamily::SieveMulti>(run, level, x1);
  }
  return false;
}

int LevelForBits(long double bits) {
  for (int level = 0; level < kLevelCount; ++level) {
    if (bits < 32.0L * kLevelWords[level]) return level;
  }
  return kLevelCount;
}

}  // namespace aequa
