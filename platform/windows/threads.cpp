#include "platform/threads.h"

#include <process.h>
#include <windows.h>

namespace aequa::platform {
namespace {

struct Start {
  void (*body)(uint32_t);
  uint32_t argument;
};

unsigned __stdcall Run(void* start) {
  const Start s = *static_cast<Start*>(start);
  delete static_cast<Start*>(start);
  s.body(s.argument);
  return 0;
}

}  // namespace

bool StartThread(void (*body)(uint32_t), uint32_t argument, size_t stackBytes,
                 ThreadHandle& handle) {
  // The size is reserved, not committed: pages are committed as the stack grows.
  Start* start = new Start{body, argument};
  const uintptr_t thread = _beginthreadex(nullptr, static_cast<unsigned>(stackBytes), &Run, start,
                                          STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == 0) {
    delete start;
    return false;
  }
  handle.id = thread;
  handle.started = true;
  return true;
}

void JoinThread(ThreadHandle& handle) {
  if (!handle.started) return;
  HANDLE thread = reinterpret_cast<HANDLE>(handle.id);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  handle = ThreadHandle{};
}

}  // namespace aequa::platform
