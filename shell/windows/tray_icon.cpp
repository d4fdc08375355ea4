#include "shell/windows/tray_icon.h"

#include <cstring>

#include "shell/resource.h"

namespace aequa::win {
namespace {

bool Notify(DWORD message, HWND owner, UINT flags, const std::string& tip) {
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;  // the first version of the record
  data.hWnd = owner;
  data.uID = ui::IDI_TRAY;
  data.uFlags = flags;
  data.uCallbackMessage = ui::WM_APP_TRAY;
  data.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ui::IDI_PROGRAM));
  std::strncpy(data.szTip, tip.c_str(), sizeof data.szTip - 1);
  return Shell_NotifyIconA(message, &data) != FALSE;
}

}  // namespace

void TrayIcon::ShowBalloon(HWND owner, const std::string& text, uint32_t number) {
  if (number == balloonNumber_) return;
  balloonNumber_ = number;
  if (!shown_ || number == 0) return;
  // The balloon needs the second version of the record.
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = owner;
  data.uID = ui::IDI_TRAY;
  data.uFlags = NIF_INFO;
  std::strncpy(data.szInfo, text.c_str(), sizeof data.szInfo - 1);
  std::strncpy(data.szInfoTitle, "Aequa: new result", sizeof data.szInfoTitle - 1);
  data.dwInfoFlags = NIIF_INFO;
  Shell_NotifyIconA(NIM_MODIFY, &data);
}

void TrayIcon::Apply(HWND owner, bool present, const std::string& tip) {
  if (present && !shown_) {
    Notify(NIM_ADD, owner, NIF_MESSAGE | NIF_ICON | NIF_TIP, tip);
    shown_ = true;
    tip_ = tip;
  } else if (present && tip != tip_) {
    Notify(NIM_MODIFY, owner, NIF_TIP, tip);
    tip_ = tip;
  } else if (!present && shown_) {
    Notify(NIM_DELETE, owner, 0, std::string());
    shown_ = false;
  }
}

}  // namespace aequa::win
