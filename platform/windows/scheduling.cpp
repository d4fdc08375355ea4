#include "platform/scheduling.h"

#include <windows.h>

namespace aequa::platform {
namespace {

// Priority 1..10: the process class and the thread priority.
struct WindowsPriority {
  DWORD processClass;
  int threadPriority;
};
constexpr WindowsPriority kPriorityTable[11] = {
    {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_IDLE},          // (unused)
    {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_IDLE},          // 1
    {IDLE_PRIORITY_CLASS, THREAD_PRIORITY_LOWEST},          // 2
    {IDLE_PRIORITY_CLASS, THREAD_PRIORITY_BELOW_NORMAL},    // 3
    {IDLE_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL},          // 4
    {IDLE_PRIORITY_CLASS, THREAD_PRIORITY_ABOVE_NORMAL},    // 5
    {IDLE_PRIORITY_CLASS, THREAD_PRIORITY_HIGHEST},         // 6
    {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_LOWEST},        // 7
    {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_BELOW_NORMAL},  // 8
    {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL},        // 9
    {NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_ABOVE_NORMAL},  // 10
};

}  // namespace

// The thread id: another thread opens the thread by it when it needs to.
ThreadRef CurrentThreadRef() { return static_cast<ThreadRef>(GetCurrentThreadId()); }

void ApplyThreadPriority(int32_t priority) {
  if (priority < 1) priority = 1;
  if (priority > 10) priority = 10;
  SetPriorityClass(GetCurrentProcess(), kPriorityTable[priority].processClass);
  SetThreadPriority(GetCurrentThread(), kPriorityTable[priority].threadPriority);
}

// The affinity mask has one bit per processor: the setting is taken modulo 32.
void BindCurrentThread(uint32_t processor) {
  SetThreadAffinityMask(GetCurrentThread(), static_cast<DWORD_PTR>(1) << (processor % 32));
}

void RaiseForStop(ThreadRef thread) {
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  if (thread <= 0) return;
  HANDLE handle = OpenThread(THREAD_SET_INFORMATION, FALSE, static_cast<DWORD>(thread));
  if (handle == nullptr) return;
  SetThreadPriority(handle, THREAD_PRIORITY_ABOVE_NORMAL);
  CloseHandle(handle);
}

unsigned ProcessorCount() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1;
}

bool IsWindows9x() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // the 148-byte structure
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

}  // namespace aequa::platform
