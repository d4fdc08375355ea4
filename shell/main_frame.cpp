#include "shell/main_frame.h"

#include "core/settings.h"
#include "core/settings_store.h"
#include "core/status_display.h"
#include "core/work_control.h"
#include "shell/framework/backend.h"
#include "shell/framework/application.h"
#include "shell/main_menu.h"
#include "shell/resource.h"

namespace aequa::ui {

CMainFrame::CMainFrame() {
  auto help = [] {
    if (fw::GetApp() != nullptr) fw::GetApp()->WinHelp();
  };
  OnCommand(fw::ID_HELP_FINDER, help);
  OnCommand(fw::ID_HELP, help);
  OnCommand(fw::ID_CONTEXT_HELP, help);
  OnCommand(ID_TRAY_OPEN, [this] { ShowWindow(fw::ShowCommand::Normal); });
}

void CMainFrame::OnSize(fw::SizeType type) {
  if (type == fw::SizeType::Minimised &&
      (Settings.TrayIcon.load() == 1 || Settings.HideIcon.load() == 1)) {
    ShowWindow(fw::ShowCommand::Hide);
  }
}

void CMainFrame::OnTrayNotify(uint32_t iconId, fw::TrayMouse event) {
  if (iconId != IDI_TRAY) return;
  if (event == fw::TrayMouse::RightClick) {
    const uint32_t id = fw::CurrentBackend().TrackPopupMenu(TrayMenu(StopEnabled()));
    if (id != 0 && fw::GetApp() != nullptr) fw::GetApp()->RouteCommand(id);
    return;
  }
  if (event != fw::TrayMouse::LeftDoubleClick) return;
  if (IsWindowVisible()) {
    ShowWindow(fw::ShowCommand::Hide);
  } else {
    ShowWindow(fw::ShowCommand::Normal);
  }
}

bool CMainFrame::DestroyWindow() {
  if (Settings.TrayIcon.load() == 1) SetTrayIcon(2, nullptr);
  if (auto rect = GetNormalPlacement()) {
    IniSetInt(SettingsFile(), "Left", rect->left);
    IniSetInt(SettingsFile(), "Top", rect->top);
    IniSetInt(SettingsFile(), "Right", rect->right);
    IniSetInt(SettingsFile(), "Bottom", rect->bottom);
  }
  return FrameWindow::DestroyWindow();
}

}  // namespace aequa::ui
