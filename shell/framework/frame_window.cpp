#include "shell/framework/frame_window.h"

#include "shell/framework/backend.h"

namespace aequa::fw {

void FrameWindow::LoadFrame(MenuBar menu, std::vector<Accelerator> accelerators,
                            const std::string& title) {
  menu_ = std::move(menu);
  accelerators_ = std::move(accelerators);
  SetWindowText(title);
}

void FrameWindow::ShowWindow(ShowCommand command) {
  const bool wasIconic = iconic_.load();
  switch (command) {
    case ShowCommand::Hide:
      visible_.store(false);
      break;
    case ShowCommand::Normal:
    case ShowCommand::Restore:
      visible_.store(true);
      iconic_.store(false);
      if (wasIconic) OnSize(SizeType::Restored);
      break;
    case ShowCommand::Minimise:
      visible_.store(true);
      iconic_.store(true);
      if (!wasIconic) OnSize(SizeType::Minimised);
      break;
  }
  CurrentBackend().WindowChanged();
}

void FrameWindow::SetWindowText(const std::string& title) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    title_ = title;
  }
  CurrentBackend().WindowChanged();
}

std::string FrameWindow::GetWindowText() const {
  std::lock_guard<std::mutex> guard(lock_);
  return title_;
}

TrayState FrameWindow::Tray() const {
  std::lock_guard<std::mutex> guard(lock_);
  TrayState state = tray_;
  state.balloon = balloon_;
  state.balloonNumber = balloonNumber_;
  return state;
}

void FrameWindow::AnnounceResult(const std::string& line) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (!tray_.present) return;
    balloon_ = line;
    ++balloonNumber_;
  }
  CurrentBackend().WindowChanged();
}

void FrameWindow::TrayIcon(int operation, const std::string& tip) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    switch (operation) {
      case 0:  // add: fails while the icon exists
        if (tray_.present) return;
        tray_.present = true;
        tray_.tip = tip;
        break;
      case 1:  // change the tip
        if (!tray_.present) return;
        tray_.tip = tip;
        break;
      case 2:
        tray_ = {};
        break;
      default:
        return;
    }
  }
  CurrentBackend().WindowChanged();
}

void FrameWindow::RequestRepaint() { CurrentBackend().Invalidate(); }

void FrameWindow::SendClose() {
  if (destroyed_.load()) return;
  DestroyWindow();
}

bool FrameWindow::DestroyWindow() {
  destroyed_.store(true);
  visible_.store(false);
  CurrentBackend().Quit();
  return true;
}

}  // namespace aequa::fw
