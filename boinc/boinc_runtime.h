#pragma once
// The BOINC application library behind a small interface: the only file that includes its
// headers. Start-up, file names, the client port, and the two ways out.
#include <string>

#include "boinc/client_port.h"

namespace aequa::boinc {

// Starts the runtime (standalone when no client runs the program). False on failure.
bool InitRuntime();
// The physical name of a logical file name (the work unit's input, the result's outputs).
std::string ResolveFileName(const char* logicalName);
ClientPort& RuntimePort();
// The volunteer's account name ("" when the client gave none).
std::string UserNameOfAccount();
// Tells the client the work unit ended with `status` (0: done) and ends the process.
[[noreturn]] void FinishWorkUnit(int status);
// Ends the process without finishing: the client starts the program again later (at once
// after a quit, after a delay with TryAgainLater).
[[noreturn]] void ExitForNow();
[[noreturn]] void TryAgainLater(const char* reason);

}  // namespace aequa::boinc
