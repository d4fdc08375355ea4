#include "platform/threads.h"

#include <process.h>
#include <windows.h>

namespace aequa::platform {
namespace {

unsigned __stdcall Run(void* body) {
  reinterpret_cast<void (*)()>(body)();
  return 0;
}

}  // namespace

bool StartThread(void (*body)(), size_t stackBytes, ThreadHandle& handle) {
  // The size is reserved, not committed: pages are committed as the stack grows.
  const uintptr_t thread =
      _beginthreadex(nullptr, static_cast<unsigned>(stackBytes), &Run,
                     reinterpret_cast<void*>(body), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == 0) return false;
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
