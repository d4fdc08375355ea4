#pragma once
// `aequa selftest`: known-answer cases of every search and of every equal-sums kernel family
// at every word count, run in a temporary data directory; PASS or FAIL and the time of each.
#include <cstdio>
#include <string>

namespace aequa::ui {

// Prints one line per case to `out` and returns kExitOk only when every case passed. Takes
// no data directory's lock: it works in a directory of its own, removed at the end.
int RunSelftest(std::FILE* out);

// The report cut to what a message box can show: whether it passed, the lines of the cases
// that failed (and anything else that is not a PASS line), and the count line.
std::string SelftestSummary(const std::string& report, int status);

}  // namespace aequa::ui
