#pragma once
// Starting the program again in the background, detached from the terminal.
#include <string>
#include <vector>

namespace aequa::platform {

// Starts this executable with `arguments` in a new session, with no terminal and standard
// streams on the null device. Returns its process id, or -1.
long StartDetached(const std::vector<std::string>& arguments);
// True while the child `pid` started by StartDetached has not ended (reaps it when it has).
bool ChildRunning(long pid);

}  // namespace aequa::platform
