// The PlainMulti family at the seven precision levels.
#include "compute/kernel_search.h"
#include "compute/kernels.h"

namespace aequa {

const KernelFunction kPlainMultiKernels[kLevelCount] = {
    &RunKernel<KernelFamily::PlainMulti, 1>,  &RunKernel<KernelFamily::PlainMulti, 2>,
    &RunKernel<KernelFamily::PlainMulti, 3>,  &RunKernel<KernelFamily::PlainMulti, 4>,
    &RunKernel<KernelFamily::PlainMulti, 8>,  &RunKernel<KernelFamily::PlainMulti, 16>,
    &RunKernel<KernelFamily::PlainMulti, 32>,
};

}  // namespace aequa
