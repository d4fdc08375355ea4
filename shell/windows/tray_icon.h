#pragma once
// The notification-area icon of the main window: id 352, callback WM_APP + 100, icon 31233.
// Failures are not reported: the icon simply is not there.
#include <string>

#include "shell/windows/win32.h"

namespace aequa::win {

class TrayIcon {
 public:
  // The frame's record and the icon as the shell shows it may differ after the shell
  // restarts (TaskbarCreated): Forget() makes the next Apply add it again.
  void Apply(HWND owner, bool present, const std::string& tip);
  void Forget() { shown_ = false; }
  bool shown() const { return shown_; }

 private:
  bool shown_ = false;
  std::string tip_;
};

}  // namespace aequa::win
