#include "compute/kernels.h"

namespace aequa {

KernelFunction SelectKernel(KernelFamily family, int level) {
  if (level < 0 || level >= kLevelCount) return nullptr;
  switch (family) {
    case KernelFamily::PlainSingle: return kPlainSingleKernels[level];
    case KernelFamily::PlainMulti: return kPlainMultiKernels[level];
    case KernelFamily::SieveSingle: return kSieveSingleKernels[level];
    case KernelFamily::SieveMulti: return kSieveMultiKernels[level];
  }
  return nullptr;
}

KernelFamily ChooseFamily(bool sieveActive, bool singleLeftTerm) {
  if (sieveActive) return singleLeftTerm ? KernelFamily::SieveSingle : KernelFamily::SieveMulti;
  return singleLeftTerm ? KernelFamily::PlainSingle : KernelFamily::PlainMulti;
}

}  // namespace aequa
