#include "compute/build_powers.h"

#include <cmath>

namespace aequa {

uint32_t* PowersFilledEnd = nullptr;
int DynamicWordCount = 1;

namespace {

template <KernelFamily F>
bool BuildAtLevel(int level, uint32_t x1) {
  switch (level) {
    case 0: return BuildPowersFor<F, 1>(x1);
    case 1: return BuildPowersFor<F, 2>(x1);
    case 2: return BuildPowersFor<F, 3>(x1);
    case 3: return BuildPowersFor<F, 4>(x1);
    case 4: return BuildPowersFor<F, 8>(x1);
    case 5: return BuildPowersFor<F, 16>(x1);
    case 6: return BuildPowersFor<F, 32>(x1);
    default: InternalError.store(62); return false;
  }
}

}  // namespace

bool BuildPowers(KernelFamily family, int level, uint32_t x1) {
  switch (family) {
    case KernelFamily::PlainSingle: return BuildAtLevel<KernelFamily::PlainSingle>(level, x1);
    case KernelFamily::PlainMulti: return BuildAtLevel<KernelFamily::PlainMulti>(level, x1);
    case KernelFamily::SieveSingle: return BuildAtLevel<KernelFamily::SieveSingle>(level, x1);
    case KernelFamily::SieveMulti: return BuildAtLevel<KernelFamily::SieveMulti>(level, x1);
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
