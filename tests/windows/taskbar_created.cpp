// Tells every top-level window that the shell's taskbar was created, as the shell does when
// it restarts: programs add their notification icons again. Used by gui_test.sh.
#include <windows.h>

int main() {
  const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return SendNotifyMessageA(HWND_BROADCAST, message, 0, 0) ? 0 : 1;
}
