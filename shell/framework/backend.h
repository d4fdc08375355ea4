#pragma once
// What the framework needs from a window system. One backend is current per process; the
// application, frame and dialogs reach it through CurrentBackend().
#include <cstdint>
#include <string>
#include <vector>

#include "shell/framework/menu.h"

namespace aequa::fw {

class Application;
class Dialog;

class Backend {
 public:
  virtual ~Backend() = default;
  // Runs the message loop until Quit; the application has been initialised.
  virtual void RunMessageLoop() = 0;
  // Shows `dialog` and runs a nested loop until it ends; returns its result.
  virtual int RunModalDialog(Dialog& dialog) = 0;
  virtual int MessageBox(const std::string& text, unsigned type) = 0;
  virtual void ShowHelp() = 0;
  // A menu of `items` at the pointer (the tray icon's menu); the id picked, 0 for none.
  virtual uint32_t TrackPopupMenu(const std::vector<MenuItem>& /*items*/) { return 0; }
  virtual void Quit() = 0;
  // True when the program's start is the start of its window (a desktop program). A backend
  // whose program runs first in the background tells the application when a window first
  // opens instead (Application::OnWindowOpened).
  virtual bool WindowOpensAtStart() const { return true; }
  // The following may be called from any thread and never wait for the loop.
  virtual void PostCommand(uint32_t id) = 0;
  // The view must be repainted.
  virtual void Invalidate() = 0;
  // The frame's title, show state or tray icon changed.
  virtual void WindowChanged() = 0;
};

Backend& CurrentBackend();
void SetCurrentBackend(Backend* backend);

}  // namespace aequa::fw
