#pragma once
// The one-line status of the running work, in the window title (while minimised) and the tray
// tip, as "Aequa - <status>", followed by the progress of the line being searched when it is
// known ("Aequa - k=5, from 994 to 995 [37.5%, 0:20:00 left]").
#include <string>

#include "core/shared_words.h"

namespace aequa {

// The program's status (for example "IDLE" when the work has ended).
void ShowStatus(const char* status);
// A search's status; with several searches running, the title shows them all. With a tray
// icon, the icon is also added again if it has gone.
void ShowStatus(const SearchControl& from, const char* status);
// The search has ended: its status is no longer shown (nothing is redrawn).
void ClearStatus(const SearchControl& from);
// The progress shown after the status from now on; empty for none.
void SetStatusProgress(const std::string& progress);
// 0 add, 1 change tip, 2 delete; tip "Aequa" when none is given.
void SetTrayIcon(int operation, const char* tip);

}  // namespace aequa
