#pragma once
// The main window: hides when minimised with a tray icon or "No Icon", the tray icon's
// double-click and menu, saving the placement on close, and the help commands.
#include "shell/framework/frame_window.h"

namespace aequa::ui {

class CMainFrame : public fw::FrameWindow {
 public:
  CMainFrame();
  bool DestroyWindow() override;
  void OnTrayNotify(uint32_t iconId, fw::TrayMouse event) override;

 protected:
  void OnSize(fw::SizeType type) override;
};

}  // namespace aequa::ui
