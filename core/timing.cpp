#include "core/timing.h"

#include <atomic>

#include "platform/clock.h"

namespace aequa {
namespace {
std::atomic<SleepHook> sleepHook{nullptr};
}

void ProtocolSleep(uint32_t ms) {
  SleepHook hook = sleepHook.load();
  if (hook != nullptr) {
    hook(ms);
  } else {
    platform::SleepMilliseconds(ms);
  }
}

void SetSleepHook(SleepHook hook) { sleepHook.store(hook); }

}  // namespace aequa
