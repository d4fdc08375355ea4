#include "core/results_file.h"

#include <deque>
#include <mutex>
#include <string>

#include "core/output_log.h"
#include "core/shared_words.h"
#include "platform/append_file.h"
#include "platform/clock.h"

namespace aequa {
namespace {

// The results file has a lock of its own: a write waits for the disk, and the log's painter
// must not wait for that.
std::mutex resultsLock;
int64_t lastStampTime = 0;
std::deque<std::string> held;  // texts not yet on the disk, oldest first, with CR LF
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

// Writes the held texts in order, each after a stamp line when one is due. Call with the lock.
bool WriteHeld(std::string& error) {
  while (!held.empty()) {
    const int64_t now = stampClock.load()();
    const bool stamp = now > lastStampTime + 300;
    std::string text = stamp ? "[" + platform::LocalTimeText(now) + "]\r\n" + held.front()
                             : held.front();
    if (!platform::AppendWhole(kResultsFileName, text, error)) return false;
    if (stamp) lastStampTime = now;
    held.pop_front();
  }
  return true;
}

}  // namespace

int AppendResults(const char* text) {
  std::string error;
  bool written = false;
  size_t heldBefore = 0;
  {
    std::lock_guard<std::mutex> guard(resultsLock);
    heldBefore = held.size();
    held.push_back(WithCrLf(text));
    written = WriteHeld(error);
  }
  if (written) return 1;
  // Nothing may count as done while results are not on the disk: stop the work.
  RequestHaltEverywhere();
  LogText("Error opening the results file.\n");
  if (heldBefore == 0) {
    const std::string message =
        "Cannot write " + std::string(kResultsFileName) + " (" + error +
        "): the work stops and keeps its progress; the results are held and written first "
        "when the file can be written again.\n";
    LogText(message.c_str());
  }
  return 0;
}

size_t HeldResultCount() {
  std::lock_guard<std::mutex> guard(resultsLock);
  return held.size();
}

bool WriteHeldResults() {
  std::lock_guard<std::mutex> guard(resultsLock);
  std::string error;
  return WriteHeld(error);
}

void SetStampClock(StampClock clock) {
  stampClock.store(clock != nullptr ? clock : &platform::NowSeconds);
}

void ResetStampTime() {
  std::lock_guard<std::mutex> guard(resultsLock);
  lastStampTime = 0;
  held.clear();
}

}  // namespace aequa
