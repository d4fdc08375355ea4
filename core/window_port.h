#pragma once
// What the core asks of a window, supplied by the user interface. With none attached the
// requests do nothing. Calls may come from any thread; an implementation must not block on
// the user-interface thread while that thread waits for the worker.
#include <string>

namespace aequa {

class WindowPort {
 public:
  virtual ~WindowPort() = default;
  // The log changed: repaint it.
  virtual void RequestRepaint() = 0;
  virtual bool IsMinimised() = 0;
  virtual void SetTitle(const std::string& title) = 0;
  // Tray icon: 0 add (fails if present), 1 change the tip, 2 delete.
  virtual void TrayIcon(int operation, const std::string& tip) = 0;
  // A search found a result (the line written to the results file).
  virtual void AnnounceResult(const std::string& /*line*/) {}
};

// Attaches the window (or detaches it with null).
void AttachWindow(WindowPort* window);

}  // namespace aequa

namespace aequa {
// The attached window, or null.
WindowPort* AttachedWindow();
}  // namespace aequa
