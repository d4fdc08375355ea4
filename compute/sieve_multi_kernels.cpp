// The SieveMulti family at the seven precision levels.
#include "compute/kernel_search.h"
#include "compute/kernels.h"

namespace aequa {

const KernelFunction kSieveMultiKernels[kLevelCount] = {
    &RunKernel<KernelFamily::SieveMulti, 1>,  &RunKernel<KernelFamily::SieveMulti, 2>,
    &RunKernel<KernelFamily::SieveMulti, 3>,  &RunKernel<KernelFamily::SieveMulti, 4>,
    &RunKernel<KernelFamily::SieveMulti, 8>,  &RunKernel<KernelFamily::SieveMulti, 16>,
    &RunKernel<KernelFamily::SieveMulti, 32>,
};

}  // namespace aequa
