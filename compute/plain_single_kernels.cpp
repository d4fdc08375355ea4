// The PlainSingle family at the seven precision levels.
#include "compute/kernel_search.h"
#include "compute/kernels.h"

namespace aequa {

const KernelFunction kPlainSingleKernels[kLevelCount] = {
    &RunKernel<KernelFamily::PlainSingle, 1>,  &RunKernel<KernelFamily::PlainSingle, 2>,
    &RunKernel<KernelFamily::PlainSingle, 3>,  &RunKernel<KernelFamily::PlainSingle, 4>,
    &RunKernel<KernelFamily::PlainSingle, 8>,  &RunKernel<KernelFamily::PlainSingle, 16>,
    &RunKernel<KernelFamily::PlainSingle, 32>,
};

}  // namespace aequa
