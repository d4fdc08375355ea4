#pragma once
// The representation command: every way of writing one number S as a sum of at most n k-th
// powers of positive integers, found on the representation command's own thread beside the
// workers and written to the log and the results file, followed by a count line. Nothing is
// queued or saved.
#include <cstdint>
#include <string>

#include "core/shared_words.h"
#include "sums/u128.h"

namespace aequa {

// Largest table the command builds (16 bytes an entry): a number that needs more is refused
// with a message instead of exhausting memory or time.
inline constexpr uint32_t kMaxTableEntries = 1u << 26;

// How a representation search ended.
struct SumCheckResult {
  uint32_t found = 0;             // representations written
  bool countLineWritten = false;  // false when the number was refused
  bool stopped = false;           // cut short by a stop
};

// Searches S (the leading digits of `text`) on `control`'s thread: the whole command, from
// the checks of S to the count line.
SumCheckResult RunSumCheck(SearchControl& control, uint32_t power, uint32_t terms,
                           const std::string& text);

// Starts RunSumCheck on the representation command's thread; when `result` is given it
// receives the outcome before the thread ends (it must outlive the search). False when such a
// search runs already or its thread cannot be started.
bool StartSumCheck(uint32_t power, uint32_t terms, const char* text,
                   SumCheckResult* result = nullptr);
// The window's form of StartSumCheck.
void StartSumCheckFromWindow(uint32_t power, uint32_t terms, const char* text);

}  // namespace aequa
