#include "shell/framework/application.h"

#include "shell/framework/backend.h"
#include "shell/framework/document_view.h"
#include "shell/framework/frame_window.h"
#include "shell/framework/standard_ids.h"

namespace aequa::fw {
namespace {
Application* theApp = nullptr;
}

Application* GetApp() { return theApp; }

Application::Application() {
  theApp = this;
  OnCommand(ID_APP_EXIT, [this] {
    if (mainWindow_ != nullptr) mainWindow_->SendClose();
  });
}

Application::~Application() {
  if (theApp == this) theApp = nullptr;
}

void Application::SetMainWindow(FrameWindow* frame, View* view, Document* document) {
  mainWindow_ = frame;
  view_ = view;
  document_ = document;
  if (frame != nullptr) frame->SetView(view);
  if (view != nullptr) view->SetDocument(document);
}

int Application::Run() {
  if (InitInstance()) CurrentBackend().RunMessageLoop();
  return ExitInstance();
}

CommandUI Application::QueryCommand(uint32_t id) {
  CommandUI ui;
  ui.id = id;
  CommandTarget* targets[] = {view_, document_, mainWindow_, this};
  for (CommandTarget* t : targets) {
    if (t != nullptr && t->OnUpdateCmdUI(ui)) return ui;
  }
  ui.enabled = false;
  return ui;
}

bool Application::RouteCommand(uint32_t id) {
  if (!QueryCommand(id).enabled) return false;
  CommandTarget* targets[] = {view_, document_, mainWindow_, this};
  for (CommandTarget* t : targets) {
    if (t != nullptr && t->OnCmdMsg(id)) return true;
  }
  return false;
}

void Application::WinHelp() { CurrentBackend().ShowHelp(); }

}  // namespace aequa::fw
