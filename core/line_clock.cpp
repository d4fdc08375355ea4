#include "core/line_clock.h"

#include <atomic>

#include "platform/clock.h"

namespace aequa {
namespace {
std::atomic<LineClockHook> clockHook{nullptr};
}

uint32_t LineCpuMilliseconds() {
  LineClockHook hook = clockHook.load();
  if (hook != nullptr) return hook();
  // Kept modulo 2^32: differences stay right over any run shorter than 49 days of CPU time.
  return static_cast<uint32_t>(platform::ThreadCpuMilliseconds());
}

void SetLineClockHook(LineClockHook hook) { clockHook.store(hook); }

}  // namespace aequa
