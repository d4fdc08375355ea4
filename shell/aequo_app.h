#pragma once
// The application: the window's start-up (once the data directory is entered and its lock
// held), the menu's command handlers with their enabled and checked states, and exit.
#include "shell/aequo_doc.h"
#include "shell/aequo_view.h"
#include "shell/framework/application.h"
#include "shell/main_frame.h"

namespace aequa::ui {

class CAequoApp : public fw::Application {
 public:
  CAequoApp();
  bool InitInstance() override;
  int ExitInstance() override;
  // The first start of the window registers the program to start at boot (once per
  // settings file); a copy started in the background from a shell or by a command does not.
  void OnWindowOpened() override;

  CMainFrame& Frame() { return frame_; }
  CAequoView& View() { return view_; }

 private:
  void OnNew();
  void OnCompute();
  void OnComputeSum();
  void OnPenta();
  void OnStatus();
  void OnUserInfo();
  void OnPreferences();
  void OnPriority();
  void OnWorkers();
  void OnTrayIcon();
  void OnNoIcon();
  void OnQueue();
  void OnSelftest();

  CMainFrame frame_;
  CAequoDoc document_;
  CAequoView view_;
};

}  // namespace aequa::ui
