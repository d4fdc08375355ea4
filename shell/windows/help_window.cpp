#include "shell/windows/help_window.h"

namespace aequa::win {
namespace {

constexpr const char* kHelpClass = "AequaHelp";
constexpr const char* kHelpTitle = "Aequa Help";
constexpr int kEditId = 1;

// The text box wants CR LF between lines.
std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

LRESULT CALLBACK HelpWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<HelpWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_SIZE:
      if (self != nullptr && self->edit_ != nullptr) {
        MoveWindow(self->edit_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      }
      return 0;
    case WM_CLOSE: {
      // The owner takes the focus back before the help goes, so that its keys work at once.
      HWND owner = GetWindow(window, GW_OWNER);
      if (owner != nullptr && IsWindowVisible(owner)) SetForegroundWindow(owner);
      DestroyWindow(window);
      return 0;
    }
    case WM_SETFOCUS:
      if (self != nullptr && self->edit_ != nullptr) SetFocus(self->edit_);
      return 0;
    case WM_DESTROY:
      if (self != nullptr) {
        self->window_ = nullptr;
        self->edit_ = nullptr;
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void HelpWindow::Show(HINSTANCE instance, HWND owner, const std::string& text) {
  if (window_ == nullptr) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &HelpWindow::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHelpClass;
    RegisterClassA(&wc);  // fails harmlessly when the class is already registered
    // Owned by the main window (when it is shown): closing the help gives it the focus back.
    window_ = CreateWindowExA(0, kHelpClass, kHelpTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 720, 560, owner, nullptr, instance, this);
    if (window_ == nullptr) return;
    // No horizontal scrolling: the box wraps each paragraph to its width.
    edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                ES_AUTOVSCROLL,
                            0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance,
                            nullptr);
    if (edit_ != nullptr) {
      SendMessageA(edit_, WM_SETFONT,
                   reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), TRUE);
      RECT client{};
      GetClientRect(window_, &client);
      MoveWindow(edit_, 0, 0, client.right, client.bottom, TRUE);
    }
  }
  if (edit_ != nullptr) SetWindowTextA(edit_, WithCrLf(text).c_str());
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
}

}  // namespace aequa::win
