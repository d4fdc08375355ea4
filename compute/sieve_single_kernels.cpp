// The SieveSingle family at the seven precision levels.
#include "compute/kernel_search.h"
#include "compute/kernels.h"

namespace aequa {

const KernelFunction kSieveSingleKernels[kLevelCount] = {
    &RunKernel<KernelFamily::SieveSingle, 1>,  &RunKernel<KernelFamily::SieveSingle, 2>,
    &RunKernel<KernelFamily::SieveSingle, 3>,  &RunKernel<KernelFamily::SieveSingle, 4>,
    &RunKernel<KernelFamily::SieveSingle, 8>,  &RunKernel<KernelFamily::SieveSingle, 16>,
    &RunKernel<KernelFamily::SieveSingle, 32>,
};

}  // namespace aequa
