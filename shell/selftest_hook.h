#pragma once
// How the window runs the self-test: a backend that can run the program as a child registers
// a runner; without one the window's Self-test item is disabled. The self-test does not run
// inside the window's process, whose searches share the state the self-test uses.
#include <string>

namespace aequa::ui {

// Runs `aequa selftest` and returns its exit status, with its report in `report`.
using SelftestRunner = int (*)(std::string& report);
void SetSelftestRunner(SelftestRunner runner);
SelftestRunner GetSelftestRunner();

}  // namespace aequa::ui
