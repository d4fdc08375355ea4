#include "sums/sum_run.h"

namespace aequa {

bool RunPower(SumRun& run, uint32_t x, U128& out) {
  if (PowerOf(x, run.k, out)) return true;
  run.control.internalError.store(300);
  return false;
}

}  // namespace aequa
