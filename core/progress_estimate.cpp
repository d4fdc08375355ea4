#include "core/progress_estimate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/cost_model.h"

namespace aequa {

LineProgress EstimateProgress(const WorkItem& item, uint32_t cpuSeconds) {
  LineProgress p;
  const uint32_t first = item.first == 0 || item.first > item.start ? item.start : item.first;
  const uint32_t done = std::min(item.start, item.end);
  p.cpuSeconds = cpuSeconds;
  p.unitsDone = done - std::min(first, done);
  p.unitsTotal = item.end > first ? item.end - first : 0;
  const double whole = RangeCost(item, first, item.end);
  const double finished = RangeCost(item, first, done);
  if (whole <= 0.0) {
    p.percent = 100.0;
    p.secondsLeft = 0;
    return p;
  }
  p.percent = std::clamp(100.0 * finished / whole, 0.0, 100.0);
  if (cpuSeconds == 0 || finished <= 0.0) return p;
  p.unitsPerHour = 3600.0 * p.unitsDone / cpuSeconds;
  const double costPerSecond = finished / cpuSeconds;
  p.secondsLeft = std::llround((whole - finished) / costPerSecond);
  return p;
}

std::string DurationText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  const int64_t days = seconds / 86400;
  const int64_t rest = seconds % 86400;
  char text[48];
  if (days > 0) {
    std::snprintf(text, sizeof text, "%lldd %02lld:%02lld:%02lld", static_cast<long long>(days),
                  static_cast<long long>(rest / 3600), static_cast<long long>(rest / 60 % 60),
                  static_cast<long long>(rest % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(rest / 3600),
                  static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
  }
  return text;
}

std::string ProgressText(const LineProgress& progress) {
  char percent[32];
  std::snprintf(percent, sizeof percent, "%.1f%%", progress.percent);
  std::string text = std::string(percent) + " done, " + DurationText(progress.cpuSeconds) +
                     " CPU, ";
  if (progress.secondsLeft < 0) return text + "time left not known yet";
  return text + "about " + DurationText(progress.secondsLeft) + " left";
}

std::string ShortProgressText(const LineProgress& progress) {
  char percent[32];
  std::snprintf(percent, sizeof percent, "%.1f%%", progress.percent);
  if (progress.secondsLeft < 0) return percent;
  return std::string(percent) + ", " + DurationText(progress.secondsLeft) + " left";
}

}  // namespace aequa
