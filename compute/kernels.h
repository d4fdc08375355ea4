#pragma once
// The 28 equal-sums kernels: four families, one member per precision level.
#include "compute/kernel_layout.h"

namespace aequa {

// A kernel searches CurrentValue on the run state; it reports through InternalError and
// RequestFlags.
using KernelFunction = void (*)();

// The member of `family` at `level` (0..6).
KernelFunction SelectKernel(KernelFamily family, int level);

// The family the driver uses: sieve active or not, one left term or more.
KernelFamily ChooseFamily(bool sieveActive, bool singleLeftTerm);

extern const KernelFunction kPlainSingleKernels[kLevelCount];
extern const KernelFunction kPlainMultiKernels[kLevelCount];
extern const KernelFunction kSieveSingleKernels[kLevelCount];
extern const KernelFunction kSieveMultiKernels[kLevelCount];

}  // namespace aequa
