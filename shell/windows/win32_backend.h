#pragma once
// The framework on the Windows desktop: the main window (menu 128, accelerators, the log
// painted by the view), modal dialogs from the dialog resources, message boxes and the
// notification icon.
//
// The frame object holds the wanted state (title, shown, minimised, tray icon); the window
// follows it on the user-interface thread. Calls from other threads only post a message and
// never wait, so the worker cannot block on a window whose thread waits for the worker.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/framework/application.h"
#include "shell/framework/backend.h"
#include "shell/framework/frame_window.h"
#include "shell/windows/help_window.h"
#include "shell/windows/tray_icon.h"
#include "shell/windows/win32.h"

namespace aequa::win {

// How the window is shown, or is to be shown.
enum class Shown { Hidden, Minimised, Normal };
// The ShowWindow command that takes the window from `actual` to `wanted` (SW_HIDE is 0).
inline constexpr int kNoShowCommand = -1;
int ShowCommandFor(Shown wanted, Shown actual);

class Win32Backend : public fw::Backend {
 public:
  explicit Win32Backend(HINSTANCE instance);
  ~Win32Backend() override;

  // Creates the main window, hidden, with menu 128 and `instanceKey` as its user-data word,
  // by which a second copy finds it.
  bool CreateMainWindow(fw::Application& app, fw::FrameWindow& frame, int32_t instanceKey);
  HWND MainWindow() const { return window_; }

  void RunMessageLoop() override;
  int RunModalDialog(fw::Dialog& dialog) override;
  int MessageBox(const std::string& text, unsigned type) override;
  void ShowHelp() override;
  uint32_t TrackPopupMenu(const std::vector<fw::MenuItem>& items) override;
  void Quit() override;
  void PostCommand(uint32_t id) override;
  void Invalidate() override;
  void WindowChanged() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnUiThread() const { return GetCurrentThreadId() == uiThread_; }
  // The frame's wanted state onto the window.
  void Reconcile();
  // The window's state, changed by the user or by another program, into the frame.
  void TakeWindowState();
  void Paint();
  void EndSession();
  HWND MessageOwner() const;

  HINSTANCE instance_;
  HelpWindow help_;
  std::atomic<HWND> window_{nullptr};  // read by other threads to post to it
  bool creating_ = false;
  HACCEL accelerators_ = nullptr;
  DWORD uiThread_ = 0;
  UINT taskbarCreated_ = 0;
  fw::Application* app_ = nullptr;
  fw::FrameWindow* frame_ = nullptr;
  TrayIcon tray_;
  std::string appliedTitle_;
  bool placementApplied_ = false;
  bool reconciling_ = false;
  bool reconcileAgain_ = false;
  bool quitting_ = false;
  std::vector<HWND> dialogs_;  // open modal dialogs, innermost last
};

}  // namespace aequa::win
