#pragma once
// Stop requests from outside the program (Ctrl+C, a service manager's terminate).

namespace aequa::platform {

// From now on SIGINT, SIGTERM and SIGHUP (Ctrl+C / Ctrl+Break / console close on Windows) call
// `onStop` on a thread of their own instead of ending the process, and a write to a closed
// pipe or terminal fails instead of ending it. Call before starting other threads.
void InstallStopHandler(void (*onStop)());

}  // namespace aequa::platform
