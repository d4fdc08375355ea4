#pragma once
// The main frame window: title, show state, menu and accelerators, the notification icon
// record, and the window port through which the core asks for repaints and status texts.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/window_port.h"
#include "shell/framework/canvas.h"
#include "shell/framework/command_target.h"
#include "shell/framework/menu.h"
#include "shell/framework/standard_ids.h"

namespace aequa::fw {

class View;

// The notification icon: present or not, and its tip.
struct TrayState {
  bool present = false;
  std::string tip;
  // The latest result announced with a balloon, and its number (0: none yet); a backend
  // shows a balloon whenever the number changes.
  std::string balloon;
  uint32_t balloonNumber = 0;
};

enum class TrayMouse { LeftDoubleClick, RightClick, Other };

class FrameWindow : public CommandTarget, public WindowPort {
 public:
  // Sets the menu, the accelerators and the title. The window starts hidden.
  void LoadFrame(MenuBar menu, std::vector<Accelerator> accelerators, const std::string& title);
  const MenuBar& Menu() const { return menu_; }
  const std::vector<Accelerator>& Accelerators() const { return accelerators_; }

  void SetView(View* view) { view_ = view; }
  View* GetActiveView() const { return view_; }

  void ShowWindow(ShowCommand command);
  bool IsWindowVisible() const { return visible_.load(); }
  bool IsIconic() const { return iconic_.load(); }
  void SetWindowText(const std::string& title);
  std::string GetWindowText() const;

  // The normal (restored) rectangle, where the backend has one.
  std::optional<Rect> GetNormalPlacement() const { return placement_; }
  void SetNormalPlacement(std::optional<Rect> rect) { placement_ = rect; }

  TrayState Tray() const;
  // The notification icon's callback (id and mouse event).
  virtual void OnTrayNotify(uint32_t /*iconId*/, TrayMouse /*event*/) {}

  // The user closes the window: destroys it, which ends the message loop.
  void SendClose();
  virtual bool DestroyWindow();
  bool destroyed() const { return destroyed_.load(); }

  // WindowPort, callable from any thread.
  void RequestRepaint() override;
  bool IsMinimised() override { return IsIconic(); }
  void SetTitle(const std::string& title) override { SetWindowText(title); }
  void TrayIcon(int operation, const std::string& tip) override;
  void AnnounceResult(const std::string& line) override;

 protected:
  virtual void OnSize(SizeType /*type*/) {}

 private:
  MenuBar menu_;
  std::vector<Accelerator> accelerators_;
  View* view_ = nullptr;
  std::atomic<bool> visible_{false};
  std::atomic<bool> iconic_{false};
  std::atomic<bool> destroyed_{false};
  std::optional<Rect> placement_;
  mutable std::mutex lock_;  // title and tray
  std::string title_;
  TrayState tray_;
  std::string balloon_;
  uint32_t balloonNumber_ = 0;
};

}  // namespace aequa::fw
