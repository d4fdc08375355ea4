#pragma once
// One work line of the queue in memory: eleven unsigned 32-bit words, the id of the line it
// was read from, so that progress is written to that line and to no other, and what the line
// keeps of its past (its first start and the CPU time spent on it).
#include <cstdint>

namespace aequa {

inline constexpr uint32_t WORK_SUM = 1;    // "SUM": equal sums of like powers
inline constexpr uint32_t WORK_ADD = 2;    // "ADD": numbers that are sums in several ways
inline constexpr uint32_t WORK_PENTA = 3;  // "PENTA": the Penta search

struct WorkItem {
  uint32_t kind = 0;
  uint32_t power = 0;
  uint32_t start = 0;
  uint32_t end = 0;
  uint32_t leftTerms = 0;
  uint32_t rightTerms = 0;
  uint32_t variant = 0;
  uint32_t current = 0;
  uint32_t duration = 0;
  uint32_t terms = 0;
  uint32_t megabytes = 0;
  uint32_t lineId = 0;  // the settings store's id of the line; 0 for an item of no line
  // Where the line's range began (its start when queued, or the cut of a split), so that its
  // progress is known after its start has moved. Kept in the line, after its other fields,
  // once it differs from the start; a line without it began at its start.
  uint32_t first = 0;
  uint32_t cpuSeconds = 0;  // CPU seconds spent on the line before it was read this time
  uint32_t cpuMark = 0;     // the line clock (milliseconds) when it was read this time
};

}  // namespace aequa
