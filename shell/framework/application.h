#pragma once
// The application object: start-up, the message loop, exit, and command routing through the
// view, the document, the frame and the application, in that order.
#include <cstdint>

#include "shell/framework/command_target.h"

namespace aequa::fw {

class Document;
class FrameWindow;
class View;

class Application : public CommandTarget {
 public:
  Application();
  ~Application() override;

  // Returns false to end the program at once (ExitInstance still runs).
  virtual bool InitInstance() = 0;
  virtual int ExitInstance() { return 0; }
  // InitInstance, the backend's message loop, ExitInstance. Returns the exit code.
  int Run();

  // Routes a command to the first target that handles it; false when none does or the
  // command is disabled.
  bool RouteCommand(uint32_t id);
  // The command's state; a command that no target handles is disabled.
  CommandUI QueryCommand(uint32_t id);

  // Opens the help (F1 and the Help menu).
  void WinHelp();

  // A window of the program was opened for the user (see Backend::WindowOpensAtStart).
  virtual void OnWindowOpened() {}

  FrameWindow* MainWindow() const { return mainWindow_; }

 protected:
  void SetMainWindow(FrameWindow* frame, View* view, Document* document);

 private:
  FrameWindow* mainWindow_ = nullptr;
  View* view_ = nullptr;
  Document* document_ = nullptr;
};

// The application object of the process.
Application* GetApp();

}  // namespace aequa::fw
