#pragma once
// The results file "SOLUTION.TXT": appended to with a time-stamp line at most every five
// minutes. Each text reaches the file whole and flushed to the disk, or not at all: a text that
// cannot be written is held in memory, every later text is held behind it, and the work is
// asked to stop (nothing may count as done while its results are not on the disk). The held
// texts are written first, in order, as soon as the file can be written again.
#include <cstddef>
#include <cstdint>

namespace aequa {

inline constexpr const char* kResultsFileName = "SOLUTION.TXT";

// Appends text (line ends written as CR LF), after a stamp line when more than 300 seconds
// have passed since the last one. 1 when it is on the disk; 0 when it is held in memory (the
// log then says why, and REQ_HALT is raised).
int AppendResults(const char* text);

// Texts waiting in memory for the results file.
size_t HeldResultCount();
// Tries to write the held texts; true when none is left.
bool WriteHeldResults();

// The clock behind the stamps: seconds since 1970. Replaceable in tests.
using StampClock = int64_t (*)();
void SetStampClock(StampClock clock);
// Forgets the last stamp time and any held text (tests).
void ResetStampTime();

}  // namespace aequa
