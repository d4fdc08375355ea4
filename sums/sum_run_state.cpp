#include "sums/sum_run_state.h"

namespace aequa {

SumRunState SumRun;

U128 WindowLow;
U128 Ceiling;
U128 EndPower;
uint32_t EvictionCount = 0;
uint32_t DeletionCount = 0;
U128 RunningSum;
uint32_t RunningResidues = 0;

}  // namespace aequa
