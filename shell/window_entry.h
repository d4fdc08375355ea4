#pragma once
// The window's entry points, supplied by the window backend the program is built with.
#include <optional>
#include <string>
#include <vector>

namespace aequa::ui {

// `aequa` without a command: opens the window of the data directory, and starts the program
// in the background first when no copy runs there. Returns the exit status.
int OpenWindow(const std::string& directory, bool create);
// `aequa serve`: runs the program for the data directory with its window closed; terminals
// attach to it with OpenWindow, commands with ForwardToRunningCopy. Returns the exit status.
int ServeDirectory(const std::string& directory, bool create);
// Hands a command to the copy that runs in the current directory and prints its reply;
// returns its exit status, or nothing when that copy takes no commands.
std::optional<int> ForwardToRunningCopy(const std::vector<std::string>& arguments);

}  // namespace aequa::ui
