#pragma once
// The second copy in a directory brings the first copy's window back: it finds the top-level
// window whose user-data word is the directory's instance key.
#include <cstdint>

#include "shell/windows/win32.h"

namespace aequa::win {

// The first copy's main window, or null when none has the key (yet).
HWND FindInstanceWindow(int32_t instanceKey);
// Waits 750 ms, then shows the first copy's window hidden, minimised and then normal, which
// brings back a window hidden in the tray or without an icon. False when none was found.
bool RestoreRunningCopy(int32_t instanceKey);

}  // namespace aequa::win
