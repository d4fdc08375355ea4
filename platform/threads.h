#pragma once
// Threads with a stack of a chosen size: the searches recurse once per depth, deeper than a
// system's default thread stack allows.
#include <cstddef>
#include <cstdint>

namespace aequa::platform {

// A started thread, to be joined once.
struct ThreadHandle {
  uintptr_t id = 0;
  bool started = false;
};

// Starts `body(argument)` on a new thread whose stack holds at least `stackBytes`. False when
// the thread could not be started.
bool StartThread(void (*body)(uint32_t), uint32_t argument, size_t stackBytes,
                 ThreadHandle& handle);
// Waits until the thread has ended; does nothing for a handle that was never started.
void JoinThread(ThreadHandle& handle);

}  // namespace aequa::platform
