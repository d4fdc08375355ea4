#include "platform/clock.h"

#include <time.h>

#include <cstdio>

namespace aequa::platform {

int64_t NowSeconds() { return static_cast<int64_t>(::time(nullptr)); }

std::string LocalTimeText(int64_t seconds) {
  time_t t = static_cast<time_t>(seconds);
  struct tm parts {};
  localtime_r(&t, &parts);
  char text[64];
  strftime(text, sizeof text, "%a %b %d %H:%M:%S %Y", &parts);
  return text;
}

void SleepMilliseconds(uint32_t ms) {
  struct timespec ts {};
  ts.tv_sec = ms / 1000;
  ts.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
  while (nanosleep(&ts, &ts) != 0) {
  }
}

int64_t MonotonicMilliseconds() {
  struct timespec ts {};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

int64_t ThreadCpuMilliseconds() {
  struct timespec ts {};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace aequa::platform
