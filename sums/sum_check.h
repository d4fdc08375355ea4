#pragma once
// The representation command: every way of writing one number S as a sum of at most n k-th
// powers of positive integers, found on a thread of its own in the worker's place and written
// to the log and the results file, followed by a count line. Nothing is queued or saved.
#include <cstdint>

#include "sums/u128.h"

namespace aequa {

extern U128 Target;          // S
extern uint32_t TableEnd;    // smallest x >= 1 with x^k > S; the table holds 0 .. TableEnd - 1
extern uint32_t FoundCount;  // representations written so far
// Whether the last search ended with its count line (false when the number was refused).
extern bool CountLineWritten;

// Largest table the command builds (16 bytes an entry): a number that needs more is refused
// with a message instead of exhausting memory or time.
inline constexpr uint32_t kMaxTableEntries = 1u << 26;

// One level of the search: the smallest power this level's term may have, the entry of the
// term, and what is left to reach after it.
struct SearchFrame {
  U128 bound;
  const uint32_t* term;
  U128 rest;
};

// Sets the power, the term count and S (the leading digits of `text`) and starts the search
// thread and the timer. Call only while neither runs.
void StartSumCheck(uint32_t power, uint32_t terms, const char* text);
// The search thread's body.
void SumCheckMain();
// The search itself, over the built table.
void FindRepresentations();
// Writes "S=" and the first `count` terms of PathTerms as runs ("5*2+1"); counts it.
void PrintRepresentation(uint32_t count);

}  // namespace aequa
