#pragma once
// `aequa selftest`: known-answer cases of every search and of every equal-sums kernel family
// at every word count, run in a temporary data directory; PASS or FAIL and the time of each.
#include <cstdio>

namespace aequa::ui {

// Prints one line per case to `out` and returns kExitOk only when every case passed. Takes
// no data directory's lock: it works in a directory of its own, removed at the end.
int RunSelftest(std::FILE* out);

}  // namespace aequa::ui
