#include "core/status_display.h"

#include <atomic>
#include <mutex>

#include "core/output_log.h"
#include "core/settings.h"
#include "core/window_port.h"

namespace aequa {
namespace {

std::atomic<WindowPort*> window{nullptr};
std::atomic<bool> titleChanged{false};
std::mutex progressLock;
std::string& Progress() {
  static std::string progress;
  return progress;
}

}  // namespace

void AttachWindow(WindowPort* w) { window.store(w); }
WindowPort* AttachedWindow() { return window.load(); }

void SetStatusProgress(const std::string& progress) {
  std::lock_guard<std::mutex> hold(progressLock);
  Progress() = progress;
}

void ShowStatus(const char* status) {
  std::string text = std::string("Aequa - ") + status;
  {
    std::lock_guard<std::mutex> hold(progressLock);
    if (!Progress().empty()) text += " [" + Progress() + "]";
  }
  RecordStatusText(text);
  WindowPort* w = window.load();
  if (w == nullptr) return;
  if (Settings.TrayIcon.load() == 1) w->TrayIcon(1, text);
  if (w->IsMinimised()) {
    w->SetTitle(text);
    titleChanged.store(true);
  } else if (titleChanged.exchange(false)) {
    w->SetTitle("Aequa");
  }
}

void SetTrayIcon(int operation, const char* tip) {
  WindowPort* w = window.load();
  if (w == nullptr) return;
  std::string text = tip != nullptr ? tip : "Aequa";
  if (text.size() > 63) text.resize(63);
  w->TrayIcon(operation, text);
}

}  // namespace aequa
