#include "platform/signals.h"

#include <windows.h>

#include <atomic>

namespace aequa::platform {
namespace {

std::atomic<void (*)()> stopCallback{nullptr};

BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      if (auto callback = stopCallback.load()) callback();
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void InstallStopHandler(void (*onStop)()) {
  stopCallback.store(onStop);
  SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
}

}  // namespace aequa::platform
