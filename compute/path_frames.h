#pragma once
// The path frames of the equal-sums kernels: n + 1 right frames and m left frames, sized for
// the run's word count, taken once per run.
#include <cstdint>
#include <memory>

namespace aequa {

class PathFrames {
 public:
  // Frames for m left and n right terms at `words` words a number. False, with no frames,
  // when memory is short.
  bool Allocate(uint32_t m, uint32_t n, uint32_t words);
  void Release();

  uint32_t* right() const { return right_.get(); }
  uint32_t* left() const { return left_.get(); }
  uint32_t rightFrames = 0;  // frames that right() holds
  uint32_t leftFrames = 0;
  uint32_t frameWords = 0;   // the largest W the frames are sized for

 private:
  std::unique_ptr<uint32_t[]> right_;
  std::unique_ptr<uint32_t[]> left_;
};

}  // namespace aequa
