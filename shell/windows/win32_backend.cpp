#include "shell/windows/win32_backend.h"

#include "core/coordinator.h"
#include "core/work_control.h"
#include "shell/framework/document_view.h"
#include "shell/framework/standard_ids.h"
#include "shell/help_topics.h"
#include "shell/resource.h"
#include "shell/windows/dialog_host.h"
#include "shell/windows/gdi_canvas.h"
#include "shell/windows/menu_state.h"

namespace aequa::win {
namespace {

constexpr char kWindowClass[] = "AequaFrame";
constexpr char kCaption[] = "Aequa";
// Another thread changed the frame's wanted state.
constexpr UINT kReconcileMessage = WM_APP + 1;

// The window procedure reaches the backend here: the window's user-data word holds the
// instance key, not a pointer.
Win32Backend* theBackend = nullptr;

Shown ActualShown(HWND window) {
  if (!IsWindowVisible(window)) return Shown::Hidden;
  return IsIconic(window) ? Shown::Minimised : Shown::Normal;
}

Shown WantedShown(const fw::FrameWindow& frame) {
  if (!frame.IsWindowVisible()) return Shown::Hidden;
  return frame.IsIconic() ? Shown::Minimised : Shown::Normal;
}

}  // namespace

int ShowCommandFor(Shown wanted, Shown actual) {
  if (wanted == actual) return kNoShowCommand;
  switch (wanted) {
    case Shown::Hidden: return SW_HIDE;
    case Shown::Minimised: return SW_MINIMIZE;
    case Shown::Normal: return actual == Shown::Minimised ? SW_RESTORE : SW_SHOWNORMAL;
  }
  return kNoShowCommand;
}

Win32Backend::Win32Backend(HINSTANCE instance) : instance_(instance) { theBackend = this; }

Win32Backend::~Win32Backend() {
  if (window_ != nullptr) DestroyWindow(window_);
  if (theBackend == this) theBackend = nullptr;
}

bool Win32Backend::CreateMainWindow(fw::Application& app, fw::FrameWindow& frame,
                                    int32_t instanceKey) {
  app_ = &app;
  frame_ = &frame;
  uiThread_ = GetCurrentThreadId();
  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(ui::IDR_MAINFRAME));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kWindowClass;
  if (RegisterClassExA(&wc) == 0) return false;

  HMENU menu = LoadMenuA(instance_, MAKEINTRESOURCEA(ui::IDR_MAINFRAME));
  accelerators_ = LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(ui::IDR_MAINFRAME));
  creating_ = true;
  HWND window = CreateWindowExA(0, kWindowClass, kCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu,
                                instance_, nullptr);
  creating_ = false;
  window_ = window;
  if (window == nullptr) return false;
  appliedTitle_ = kCaption;
  SetWindowLongPtrA(window, GWLP_USERDATA, static_cast<LONG_PTR>(instanceKey));
  return true;
}

void Win32Backend::RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // The keys of the main window act only there: Alt+F4 in the help window closes the help.
    HWND main = window_;
    const bool forMain = main != nullptr && (msg.hwnd == main || IsChild(main, msg.hwnd));
    if (forMain && accelerators_ != nullptr &&
        TranslateAcceleratorA(main, accelerators_, &msg)) {
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

HWND Win32Backend::MessageOwner() const {
  if (!dialogs_.empty()) return dialogs_.back();
  HWND window = window_;
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

int Win32Backend::RunModalDialog(fw::Dialog& dialog) {
  return RunDialogResource(
      instance_, MessageOwner(), dialog, [this](HWND d) { dialogs_.push_back(d); },
      [this](HWND d) {
        if (!dialogs_.empty() && dialogs_.back() == d) dialogs_.pop_back();
      });
}

int Win32Backend::MessageBox(const std::string& text, unsigned type) {
  return MessageBoxA(MessageOwner(), text.c_str(), kCaption, type);
}

void Win32Backend::ShowHelp() {
  help_.Show(instance_, MessageOwner(), ui::FullHelpText() + "\nPlease send SOLUTION.TXT to " +
                                     CoordinatorEmail() + ".\n");
}

uint32_t Win32Backend::TrackPopupMenu(const std::vector<fw::MenuItem>& items) {
  HWND window = window_;
  if (window == nullptr) return 0;
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return 0;
  for (const fw::MenuItem& item : items) {
    if (item.id == 0) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuA(menu, MF_STRING, item.id, item.text.c_str());
    }
  }
  if (app_ != nullptr) UpdatePopup(menu, *app_);
  SetMenuDefaultItem(menu, static_cast<UINT>(items.front().id), FALSE);
  POINT at{};
  GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if its owner is in the foreground;
  // the posted message lets it close at once after a pick.
  SetForegroundWindow(window);
  const BOOL id = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                   at.x, at.y, 0, window, nullptr);
  PostMessageA(window, WM_NULL, 0, 0);
  DestroyMenu(menu);
  return id > 0 ? static_cast<uint32_t>(id) : 0;
}

void Win32Backend::Quit() {
  quitting_ = true;
  if (window_ != nullptr) {
    tray_.Apply(window_, false, std::string());
    DestroyWindow(window_);
  }
  PostQuitMessage(0);
}

void Win32Backend::PostCommand(uint32_t id) {
  if (HWND window = window_) PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// From the worker the request only marks the window for painting: the user-interface thread
// paints when it next runs, and the worker never waits for it.
void Win32Backend::Invalidate() {
  HWND window = window_;
  if (window == nullptr) return;
  if (OnUiThread()) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  } else {
    InvalidateRect(window, nullptr, TRUE);
  }
}

void Win32Backend::WindowChanged() {
  if (OnUiThread()) {
    Reconcile();
  } else if (HWND window = window_) {
    PostMessageA(window, kReconcileMessage, 0, 0);
  }
}

void Win32Backend::Reconcile() {
  if (window_ == nullptr || frame_ == nullptr || quitting_) return;
  if (reconciling_) {
    reconcileAgain_ = true;
    return;
  }
  reconciling_ = true;
  do {
    reconcileAgain_ = false;
    const std::string title = frame_->GetWindowText();
    if (title != appliedTitle_) {
      SetWindowTextA(window_, title.c_str());
      appliedTitle_ = title;
    }
    const Shown wanted = WantedShown(*frame_);
    const Shown actual = ActualShown(window_);
    if (!placementApplied_ && (wanted != Shown::Hidden || frame_->GetNormalPlacement())) {
      // The saved rectangle is applied together with the first show state, hidden too, so
      // that a window first shown by the tray icon or a second copy appears where it was.
      WINDOWPLACEMENT placement{};
      placement.length = sizeof placement;
      GetWindowPlacement(window_, &placement);
      if (auto r = frame_->GetNormalPlacement()) {
        placement.rcNormalPosition = RECT{r->left, r->top, r->right, r->bottom};
      }
      placement.flags = 0;
      placement.showCmd = wanted == Shown::Hidden      ? SW_HIDE
                          : wanted == Shown::Minimised ? SW_SHOWMINNOACTIVE
                                                       : SW_SHOWNORMAL;
      SetWindowPlacement(window_, &placement);
      placementApplied_ = true;
    } else if (const int command = ShowCommandFor(wanted, actual); command != kNoShowCommand) {
      ShowWindow(window_, command);
      if (wanted == Shown::Normal && actual == Shown::Hidden) SetForegroundWindow(window_);
    }
    const fw::TrayState tray = frame_->Tray();
    tray_.Apply(window_, tray.present, tray.tip);
    tray_.ShowBalloon(window_, tray.balloon, tray.balloonNumber);
  } while (reconcileAgain_);
  reconciling_ = false;
}

void Win32Backend::TakeWindowState() {
  if (frame_ == nullptr || window_ == nullptr) return;
  if (placementApplied_) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window_, &placement)) {
      const RECT& r = placement.rcNormalPosition;
      frame_->SetNormalPlacement(fw::Rect{r.left, r.top, r.right, r.bottom});
    }
  }
  if (reconciling_ || quitting_) return;  // our own change
  const Shown actual = ActualShown(window_);
  if (actual == WantedShown(*frame_)) return;
  switch (actual) {
    case Shown::Hidden: frame_->ShowWindow(fw::ShowCommand::Hide); break;
    case Shown::Minimised: frame_->ShowWindow(fw::ShowCommand::Minimise); break;
    case Shown::Normal: frame_->ShowWindow(fw::ShowCommand::Normal); break;
  }
}

void Win32Backend::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  if (fw::View* view = frame_ != nullptr ? frame_->GetActiveView() : nullptr) {
    GdiCanvas canvas(dc, window_);
    view->OnDraw(canvas);
  }
  EndPaint(window_, &ps);
}

// Windows ends the session after this returns: the search saves its progress and stops, and
// the window's placement and icon are dealt with as on a normal exit.
void Win32Backend::EndSession() {
  if (frame_ != nullptr && !frame_->destroyed()) frame_->SendClose();
  FinishWork();
}

LRESULT CALLBACK Win32Backend::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  Win32Backend* backend = theBackend;
  if (backend != nullptr && backend->creating_ && backend->window_ == nullptr) {
    backend->window_ = window;
  }
  if (backend == nullptr || backend->window_ != window) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return backend->HandleMessage(message, wParam, lParam);
}

LRESULT Win32Backend::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_;
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_COMMAND:
      if (lParam == 0 && app_ != nullptr) app_->RouteCommand(LOWORD(wParam));
      return 0;
    case WM_INITMENUPOPUP:
      if (app_ != nullptr && HIWORD(lParam) == 0) {
        UpdatePopup(reinterpret_cast<HMENU>(wParam), *app_);
      }
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
      TakeWindowState();
      return result;
    }
    case kReconcileMessage:
      Reconcile();
      return 0;
    case ui::WM_APP_TRAY:
      if (frame_ != nullptr) {
        const UINT mouse = LOWORD(lParam);
        frame_->OnTrayNotify(static_cast<uint32_t>(wParam),
                             mouse == WM_LBUTTONDBLCLK ? fw::TrayMouse::LeftDoubleClick
                             : mouse == WM_RBUTTONUP   ? fw::TrayMouse::RightClick
                                                       : fw::TrayMouse::Other);
      }
      return 0;
    case WM_CLOSE:
      if (frame_ != nullptr) frame_->SendClose();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) EndSession();
      return 0;
    case WM_DESTROY:
      tray_.Apply(window, false, std::string());
      window_ = nullptr;
      return 0;
    default:
      break;
  }
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    // The shell restarted without our icon: add it again if it is wanted.
    tray_.Forget();
    Reconcile();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace aequa::win
