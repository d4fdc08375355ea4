#pragma once
// Runs one equal-sums kernel, of a chosen family and precision level, on one value outside
// the driver and gives the results it reports, so that the self-test can put every kernel
// family at every word count to a question with a known answer.
#include <cstdint>
#include <string>
#include <vector>

#include "compute/kernel_layout.h"
#include "compute/kernels.h"

namespace aequa {

struct KernelQuestion {
  uint32_t power = 0;
  uint32_t left = 1;   // m
  uint32_t right = 1;  // n
  uint32_t mode = 2;   // Exact: every result of the value, whatever the order of the search
  uint32_t value = 0;  // x1
};

struct KernelAnswer {
  std::vector<std::string> results;  // "(5,1,4) 144=133+110+84+27", as the log shows them
  int32_t error = 0;                 // the kernel's internal error, 0 when none
};

// The smallest level whose words hold m * x1^k, and the family the driver would choose.
int NaturalKernelLevel(const KernelQuestion& q);
KernelFamily NaturalKernelFamily(const KernelQuestion& q);

// Runs the kernel on a run of its own, with the current directory's results file taking its
// results. The log's line sink is borrowed while it runs: not beside a running search.
KernelAnswer RunKernelOnce(const KernelQuestion& q, KernelFamily family, int level);

// Tests put a broken kernel in the place of a real one (null: the real kernels).
using KernelSubstitute = KernelFunction (*)(KernelFamily family, int level, KernelFunction real);
void SetKernelSubstitute(KernelSubstitute substitute);

}  // namespace aequa
