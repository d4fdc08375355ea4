#pragma once
// Starting the program again: in the background, detached from the terminal, or as a child
// whose output is read.
#include <string>
#include <vector>

namespace aequa::platform {

// Starts this executable with `arguments` in a new session, with no terminal and standard
// streams on the null device. Returns its process id, or -1.
long StartDetached(const std::vector<std::string>& arguments);
// True while the child `pid` started by StartDetached has not ended (reaps it when it has).
bool ChildRunning(long pid);

// Runs this executable with `arguments` to its end with standard input on the null device,
// gives its standard output and error in `output`, and returns its exit status (-1 when it
// could not be run or did not exit).
int RunSelfCaptured(const std::vector<std::string>& arguments, std::string& output);

}  // namespace aequa::platform
