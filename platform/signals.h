#pragma once
// Stop requests from outside the program (Ctrl+C, a service manager's terminate).

namespace aequa::platform {

// From now on SIGINT and SIGTERM (Ctrl+C / Ctrl+Break on Windows) call `onStop` on a
// thread of their own instead of ending the process. Call before starting other threads.
void InstallStopHandler(void (*onStop)());

}  // namespace aequa::platform
