#pragma once
// A table of k-th powers: one block of 32-bit words, entry x at begin + x * entry size. The
// equal-sums and the sum-collision searches each own one and fill it in their own formats.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace aequa {

class PowersTable {
 public:
  // Takes `bytes` (rounded up to whole words), giving back any earlier block. False, with no
  // table, when memory is short.
  bool Allocate(uint64_t bytes);
  void Release();

  uint32_t* begin() const { return words_.get(); }  // null when none is allocated
  uint32_t* end() const { return end_; }            // end of the allocation
  // Just after the last entry filled; every lookup of a search stays below it.
  uint32_t* filledEnd = nullptr;

 private:
  std::unique_ptr<uint32_t[]> words_;
  uint32_t* end_ = nullptr;
};

}  // namespace aequa
