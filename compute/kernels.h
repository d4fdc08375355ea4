#pragma once
// The 28 equal-sums kernels: four families, one member per precision level.
#include "compute/kernel_layout.h"
#include "compute/run_state.h"

namespace aequa {

// A kernel searches the run's current value; it reports through the run's control words
// (internal error, requests).
using KernelFunction = void (*)(EqualSumsRun& run);

// The member of `family` at `level` (0..6).
KernelFunction SelectKernel(KernelFamily family, int level);

// The family the driver uses: sieve active or not, one left term or more.
KernelFamily ChooseFamily(bool sieveActive, bool singleLeftTerm);

extern const KernelFunction kPlainSingleKernels[kLevelCount];
extern const KernelFunction kPlainMultiKernels[kLevelCount];
extern const KernelFunction kSieveSingleKernels[kLevelCount];
extern const KernelFunction kSieveMultiKernels[kLevelCount];

}  // namespace aequa
