#pragma once
// The `aequa` command line: the front end for terminals and scripts.

namespace aequa::ui {

// Runs one command (without one: opens the window); returns the process exit status: 0 done
// (the queue is finished), 1 refused by the program (for example a full queue), 2 bad command
// or arguments, 3 another copy runs in the data directory and takes no commands (a command in
// the foreground), 4 halted with work left in the queue, 5 a search reported an internal
// error, 6 results that do not check (shell/command_status.h). A copy that runs in the
// background carries the commands out itself.
int RunCommandLine(int argc, char** argv);

}  // namespace aequa::ui
