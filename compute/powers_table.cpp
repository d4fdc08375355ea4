#include "compute/powers_table.h"

#include <new>

#include "core/output_log.h"

namespace aequa {

uint32_t* PtrPowers = nullptr;
uint32_t* PowersEnd = nullptr;

bool AllocPowers(uint64_t bytes) {
  if (PtrPowers != nullptr) {
    LogMessage("PtrPowers not Null\n");
    FreePowers();
  }
  const uint64_t words = (bytes + 3) / 4;
  if (words > SIZE_MAX / 4) return false;
  PtrPowers = new (std::nothrow) uint32_t[static_cast<size_t>(words == 0 ? 1 : words)];
  if (PtrPowers == nullptr) return false;
  PowersEnd = PtrPowers + words;
  return true;
}

void FreePowers() {
  delete[] PtrPowers;
  PtrPowers = nullptr;
  PowersEnd = nullptr;
}

}  // namespace aequa
