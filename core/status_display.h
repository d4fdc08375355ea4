#pragma once
// The one-line status of the running work, in the window title (while minimised) and the tray
// tip, as "Aequa - <status>", followed by the progress of the line being searched when it is
// known ("Aequa - k=5, from 994 to 995 [37.5%, 0:20:00 left]").
#include <string>

namespace aequa {

void ShowStatus(const char* status);
// The progress shown after the status from now on; empty for none.
void SetStatusProgress(const std::string& progress);
// 0 add, 1 change tip, 2 delete; tip "Aequa" when none is given.
void SetTrayIcon(int operation, const char* tip);

}  // namespace aequa
