#pragma once
// The one-line status of the running work, in the window title (while minimised) and the tray
// tip, as "Aequa - <status>".
#include <string>

namespace aequa {

void ShowStatus(const char* status);
// 0 add, 1 change tip, 2 delete; tip "Aequa" when none is given.
void SetTrayIcon(int operation, const char* tip);

}  // namespace aequa
