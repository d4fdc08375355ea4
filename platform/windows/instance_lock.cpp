#include "platform/instance_lock.h"

#include <windows.h>

#include <cstdio>

namespace aequa::platform {
namespace {
HANDLE mutexHandle = nullptr;
}

std::string InstanceLockName(int32_t key) {
  char name[32];
  std::snprintf(name, sizeof name, "SUM %ld", static_cast<long>(key));
  return name;
}

// The named mutex lives as long as its first holder's process; the system removes it when
// that process ends, however it ends.
InstanceLockResult AcquireInstanceLock(int32_t key) {
  InstanceLockResult result;
  HANDLE handle = CreateMutexA(nullptr, FALSE, InstanceLockName(key).c_str());
  if (handle == nullptr) {
    result.failed = true;
    return result;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(handle);
    return result;
  }
  if (mutexHandle != nullptr) CloseHandle(mutexHandle);
  mutexHandle = handle;
  result.acquired = true;
  return result;
}

void ReleaseInstanceLock() {
  if (mutexHandle != nullptr) {
    CloseHandle(mutexHandle);
    mutexHandle = nullptr;
  }
}

}  // namespace aequa::platform
