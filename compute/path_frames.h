#pragma once
// The path frames of the equal-sums kernels: n + 1 right frames and m left frames, sized for
// the run's word count, taken once per run.
#include <cstdint>

namespace aequa {

extern uint32_t* RightPath;
extern uint32_t* LeftPath;
extern uint32_t RightPathFrames;  // frames that RightPath holds
extern uint32_t LeftPathFrames;
extern uint32_t PathFrameWords;   // the largest W the frames are sized for

// Frames for m left and n right terms at W = PrecisionWords. False, with no frames, when
// memory is short.
bool AllocPaths(uint32_t m, uint32_t n);
void FreePaths();

}  // namespace aequa
