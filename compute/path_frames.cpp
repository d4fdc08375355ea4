#include "compute/path_frames.h"

#include <cstdlib>

#include "compute/run_state.h"

namespace aequa {

uint32_t* RightPath = nullptr;
uint32_t* LeftPath = nullptr;
uint32_t RightPathFrames = 0;
uint32_t LeftPathFrames = 0;
uint32_t PathFrameWords = 0;

bool AllocPaths(uint32_t m, uint32_t n) {
  FreePaths();
  const uint64_t w = PrecisionWords;
  const uint64_t right = (static_cast<uint64_t>(n) + 1) * (2 * w + 3);
  const uint64_t left = (m > 1 ? static_cast<uint64_t>(m) : 1) * (w + 3);
  RightPath = static_cast<uint32_t*>(std::calloc(right, sizeof(uint32_t)));
  LeftPath = static_cast<uint32_t*>(std::calloc(left, sizeof(uint32_t)));
  if (RightPath == nullptr || LeftPath == nullptr) {
    FreePaths();
    return false;
  }
  RightPathFrames = n + 1;
  LeftPathFrames = m > 1 ? m : 1;
  PathFrameWords = PrecisionWords;
  return true;
}

void FreePaths() {
  std::free(RightPath);
  std::free(LeftPath);
  RightPath = nullptr;
  LeftPath = nullptr;
  RightPathFrames = 0;
  LeftPathFrames = 0;
  PathFrameWords = 0;
}

}  // namespace aequa
