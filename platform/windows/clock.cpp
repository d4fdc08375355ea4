#include "platform/clock.h"

#include <windows.h>

#include <ctime>

namespace aequa::platform {

int64_t NowSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

std::string LocalTimeText(int64_t seconds) {
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm parts{};
  localtime_s(&parts, &t);
  char text[64];
  std::strftime(text, sizeof text, "%a %b %d %H:%M:%S %Y", &parts);
  return text;
}

void SleepMilliseconds(uint32_t ms) { Sleep(ms); }

int64_t MonotonicMilliseconds() { return static_cast<int64_t>(GetTickCount64()); }

int64_t ThreadCpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  auto ticks = [](const FILETIME& t) {
    return (static_cast<int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return (ticks(kernel) + ticks(user)) / 10000;  // 100 ns ticks
}

}  // namespace aequa::platform
