#pragma once
// How the window runs the self-test: the program run again as a child with the argument
// "selftest", so that the self-test's searches share nothing with this copy's searches. A
// backend registers that runner; without one (the unit tests' windows) the item is disabled.
#include <string>

namespace aequa::ui {

// Runs `aequa selftest` and returns its exit status, with its report in `report`.
using SelftestRunner = int (*)(std::string& report);
void SetSelftestRunner(SelftestRunner runner);
SelftestRunner GetSelftestRunner();

// The runner of both backends: this executable started as a child, its output read.
int RunSelftestAsChild(std::string& report);

}  // namespace aequa::ui
