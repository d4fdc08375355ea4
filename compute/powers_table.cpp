#include "compute/powers_table.h"

#include <new>

namespace aequa {

bool PowersTable::Allocate(uint64_t bytes) {
  Release();
  const uint64_t words = (bytes + 3) / 4;
  if (words > SIZE_MAX / 4) return false;
  words_.reset(new (std::nothrow) uint32_t[static_cast<size_t>(words == 0 ? 1 : words)]);
  if (!words_) return false;
  end_ = words_.get() + words;
  return true;
}

void PowersTable::Release() {
  words_.reset();
  end_ = nullptr;
  filledEnd = nullptr;
}

}  // namespace aequa
