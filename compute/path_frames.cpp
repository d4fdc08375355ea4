#include "compute/path_frames.h"

#include <new>

namespace aequa {

bool PathFrames::Allocate(uint32_t m, uint32_t n, uint32_t words) {
  Release();
  const uint64_t w = words;
  const uint64_t right = (static_cast<uint64_t>(n) + 1) * (2 * w + 3);
  const uint64_t left = (m > 1 ? static_cast<uint64_t>(m) : 1) * (w + 3);
  right_.reset(new (std::nothrow) uint32_t[right]());
  left_.reset(new (std::nothrow) uint32_t[left]());
  if (!right_ || !left_) {
    Release();
    return false;
  }
  rightFrames = n + 1;
  leftFrames = m > 1 ? m : 1;
  frameWords = words;
  return true;
}

void PathFrames::Release() {
  right_.reset();
  left_.reset();
  rightFrames = 0;
  leftFrames = 0;
  frameWords = 0;
}

}  // namespace aequa
