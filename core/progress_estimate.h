#pragma once
// How far a work line has come and how long the rest will take: the share of the line's work
// done (weighted by the cost model, from the line's first start to its start), the CPU time
// spent, the rate measured so far and the time left at that rate.
#include <cstdint>
#include <string>

#include "core/work_item.h"

namespace aequa {

struct LineProgress {
  double percent = 0.0;         // of the line's work, 0..100
  uint32_t cpuSeconds = 0;      // spent on the line so far
  uint32_t unitsDone = 0;       // values, term bounds or a done since the first start
  uint32_t unitsTotal = 0;
  double unitsPerHour = 0.0;    // 0 until CPU time has been measured
  int64_t secondsLeft = -1;     // CPU seconds at the measured rate; -1 while not known
};

// The progress of `item` after `cpuSeconds` of CPU time on it.
LineProgress EstimateProgress(const WorkItem& item, uint32_t cpuSeconds);

// "1:02:03" (hours, minutes, seconds), or "3d 04:05:06" past a day.
std::string DurationText(int64_t seconds);

// "37.5% done, 0:12:00 CPU, about 0:20:00 left" ("time left not known yet" without a rate).
std::string ProgressText(const LineProgress& progress);
// The short form for the status line and tray tip: "37.5%, 0:20:00 left" (or "37.5%").
std::string ShortProgressText(const LineProgress& progress);

}  // namespace aequa
