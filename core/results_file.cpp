#include "core/results_file.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "core/output_log.h"
#include "platform/clock.h"

namespace aequa {
namespace {

int64_t lastStampTime = 0;
std::atomic<StampClock> stampClock{&platform::NowSeconds};

// Text files are written with CR LF line ends on every system.
std::string WithCrLf(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '\n') out += '\r';
    out += *p;
  }
  return out;
}

}  // namespace

int AppendResults(const char* text) {
  {
    std::lock_guard<std::mutex> guard(OutputLock());
    std::FILE* file = std::fopen(kResultsFileName, "ab");
    if (file != nullptr) {
      int64_t now = stampClock.load()();
      if (now > lastStampTime + 300) {
        lastStampTime = now;
        std::string stamp = "[" + platform::LocalTimeText(now) + "]\r\n";
        std::fputs(stamp.c_str(), file);
      }
      std::string body = WithCrLf(text);
      std::fwrite(body.data(), 1, body.size(), file);
      std::fclose(file);
      return 1;
    }
  }
  LogText("Error opening the results file.\n");
  return 0;
}

void SetStampClock(StampClock clock) {
  stampClock.store(clock != nullptr ? clock : &platform::NowSeconds);
}

void ResetStampTime() {
  std::lock_guard<std::mutex> guard(OutputLock());
  lastStampTime = 0;
}

}  // namespace aequa
