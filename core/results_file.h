#pragma once
// The results file "SOLUTION.TXT": opened, appended to and closed for every write, with a
// time-stamp line at most every five minutes.
#include <cstdint>

namespace aequa {

inline constexpr const char* kResultsFileName = "SOLUTION.TXT";

// Appends text (line ends written as CR LF), after a stamp line when more than 300 seconds
// have passed since the last one. 1 on success; 0, with a message on the log, when the file
// cannot be opened.
int AppendResults(const char* text);

// The clock behind the stamps: seconds since 1970. Replaceable in tests.
using StampClock = int64_t (*)();
void SetStampClock(StampClock clock);
// Forgets the last stamp time (tests).
void ResetStampTime();

}  // namespace aequa
