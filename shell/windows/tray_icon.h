#pragma once
// The notification-area icon of the main window: id 352, callback WM_APP + 100, icon 31233.
// Failures are not reported: the icon simply is not there.
#include <cstdint>
#include <string>

#include "shell/windows/win32.h"

namespace aequa::win {

class TrayIcon {
 public:
  // The frame's record and the icon as the shell shows it may differ after the shell
  // restarts (TaskbarCreated): Forget() makes the next Apply add it again.
  void Apply(HWND owner, bool present, const std::string& tip);
  void Forget() { shown_ = false; }
  // A balloon with `text` at the icon when `number` is new (and the icon is there).
  void ShowBalloon(HWND owner, const std::string& text, uint32_t number);
  bool shown() const { return shown_; }

 private:
  bool shown_ = false;
  std::string tip_;
  uint32_t balloonNumber_ = 0;
};

}  // namespace aequa::win
