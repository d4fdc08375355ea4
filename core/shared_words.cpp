#include "core/shared_words.h"

#include <array>

namespace aequa {
namespace {

std::array<SearchControl, kMaxWorkers + 1>& Controls() {
  static std::array<SearchControl, kMaxWorkers + 1> controls;
  static const bool numbered = [] {
    for (uint32_t i = 0; i < controls.size(); ++i) controls[i].index = i;
    return true;
  }();
  (void)numbered;
  return controls;
}

}  // namespace

std::atomic<uint32_t> WorkerRunning{0};
std::atomic<uint32_t> TimerRunning{0};

SearchControl& ControlOf(uint32_t index) {
  return Controls()[index <= kMaxWorkers ? index : kMaxWorkers];
}

void RequestHaltEverywhere() {
  for (SearchControl& control : Controls()) control.requests.store(REQ_HALT);
}

bool HaltPending() {
  for (const SearchControl& control : Controls()) {
    if (control.active.load() && control.Requested(REQ_HALT)) return true;
  }
  return false;
}

}  // namespace aequa
