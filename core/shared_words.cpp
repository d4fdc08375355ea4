#include "core/shared_words.h"

namespace aequa {

std::atomic<uint32_t> RequestFlags{0};
std::atomic<uint32_t> WorkerRunning{0};
std::atomic<uint32_t> TimerRunning{0};
std::atomic<uint32_t> ElapsedSeconds{0};
std::atomic<uint32_t> SliceLength{0};
std::atomic<int32_t> SliceCounter{0};
std::atomic<int32_t> InternalError{0};

}  // namespace aequa
