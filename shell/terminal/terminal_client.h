#pragma once
// The terminal that shows the window of the running copy: draws the grids it receives with
// ncurses and sends the keys typed.

namespace aequa::term {

// Runs until the window leaves the terminal; `fd` is a connection to the running copy.
int RunTerminalClient(int fd);

}  // namespace aequa::term
