#pragma once
// The help on the Windows desktop: a window of its own holding the help text in a read-only,
// scrolling text box. One at a time; asking for it again brings it to the front.
#include <string>

#include "shell/windows/win32.h"

namespace aequa::win {

class HelpWindow {
 public:
  // Shows `text` (LF line ends), creating the window on first use, owned by `owner` (may be
  // null).
  void Show(HINSTANCE instance, HWND owner, const std::string& text);
  // The window, or null when it is not open (for tests).
  HWND Window() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

}  // namespace aequa::win
