#include "shell/windows/instance_window.h"

namespace aequa::win {
namespace {

struct Search {
  LONG_PTR key;
  HWND found;
};

BOOL CALLBACK MatchUserData(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (GetWindowLongPtrA(window, GWLP_USERDATA) != search->key) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindInstanceWindow(int32_t instanceKey) {
  Search search{static_cast<LONG_PTR>(instanceKey), nullptr};
  EnumWindows(&MatchUserData, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool RestoreRunningCopy(int32_t instanceKey) {
  Sleep(750);
  HWND window = FindInstanceWindow(instanceKey);
  if (window == nullptr) return false;
  ShowWindow(window, SW_HIDE);
  ShowWindow(window, SW_MINIMIZE);
  ShowWindow(window, SW_SHOWNORMAL);
  return true;
}

}  // namespace aequa::win
