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

namespace {

// The progress of the line being searched, after the status of a single search.
std::string WithProgress(const std::string& status) {
  std::lock_guard<std::mutex> hold(progressLock);
  return Progress().empty() ? status : status + " [" + Progress() + "]";
}

void Display(const std::string& text) {
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

}  // namespace

void ShowStatus(const char* status) {
  std::string text = std::string("Aequa - ") + status;
  RecordStatusText(text);
  Display(text);
}

void SetStatusProgress(const std::string& progress) {
  std::lock_guard<std::mutex> hold(progressLock);
  Progress() = progress;
}

void ShowStatus(const SearchControl& from, const char* status) {
  // One search: its line's progress follows its status. Several: each line's progress is in
  // the status report, the title holds each worker's status.
  const std::string shown = Settings.Workers.load() <= 1 ? WithProgress(status) : status;
  const std::string composed = RecordWorkerStatus(from.index, shown);
  Display(composed);
  // The icon comes back if it has gone, with the search's status (all of them when several
  // searches run).
  if (Settings.TrayIcon.load() != 0) {
    SetTrayIcon(0, Settings.Workers.load() <= 1 ? shown.c_str() : composed.c_str());
  }
}

void ClearStatus(const SearchControl& from) { RecordWorkerStatus(from.index, ""); }

void SetTrayIcon(int operation, const char* tip) {
  WindowPort* w = window.load();
  if (w == nullptr) return;
  std::string text = tip != nullptr ? tip : "Aequa";
  if (text.size() > 63) text.resize(63);
  w->TrayIcon(operation, text);
}

}  // namespace aequa
