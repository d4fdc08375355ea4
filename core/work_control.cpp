#include "core/work_control.h"

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>

#include "core/coordinator.h"
#include "core/drivers.h"
#include "core/output_log.h"
#include "core/results_file.h"
#include "core/running_lines.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/status_display.h"
#include "core/timing.h"
#include "core/work_queue.h"
#include "platform/scheduling.h"
#include "platform/threads.h"

namespace aequa {
namespace {

SearchDrivers drivers;
std::atomic<platform::ThreadRef> workerThreadRef{0};
std::atomic<platform::ThreadRef> timerThreadRef{0};
// The searches recurse once per right term (at most 4096) and once per left term (at most 256).
// A level takes about 100 bytes, and 2 to 3 KB under AddressSanitizer (which overflows the
// 8 MB default stack there); 8 KB a level leaves room for that and for the widest numbers. The
// size is reserved, not taken: pages are used only as deep as the search goes.
constexpr size_t kSearchStackBytes = (4096 + 256) * size_t{8192} + (size_t{1} << 20);
constexpr size_t kTimerStackBytes = size_t{1} << 20;
// The thread handles are only touched by the thread that starts and waits for work.
platform::ThreadHandle workerThread;
platform::ThreadHandle timerThread;
std::atomic<WorkEnd> lastWorkEnd{WorkEnd::Finished};
// Set by the worker when a search of this run reported an internal error.
bool internalErrorSeen = false;

void JoinFinishedThreads() {
  platform::JoinThread(workerThread);
  platform::JoinThread(timerThread);
}

void LogSendRequest(const char* what) {
  std::string text = std::string(what) + CoordinatorEmail() + "\n";
  LogText(text.c_str());
}

// Hands the first valid line to its driver. Returns true when the worker loop must end.
bool RunItem(uint32_t kind, WorkItem& item) {
  switch (kind) {
    case WORK_SUM:
      if (drivers.equalSums == nullptr) break;
      return drivers.equalSums(item) != 0;
    case WORK_ADD: {
      if (drivers.sumCollision == nullptr) break;
      drivers.sumCollision(item);
      if (InternalError.load() != 0) {
        char text[200];
        std::snprintf(text, sizeof text, "Internal error %d on %d,%d,%d,%d\n",
                      static_cast<int>(InternalError.load()), static_cast<int32_t>(item.power),
                      static_cast<int32_t>(item.start), static_cast<int32_t>(item.end),
                      static_cast<int32_t>(item.terms));
        LogMessage(text);
        // Only a file that is there can be sent.
        std::snprintf(text, sizeof text, "A%d-%d", static_cast<int32_t>(item.power),
                      static_cast<int32_t>(item.terms));
        if (std::filesystem::exists(text)) {
          const std::string send =
              std::string("Please send file ") + text + " to " + CoordinatorEmail() + "\n";
          LogMessage(send.c_str());
        }
        DeleteWorkLine(item);
        return false;
      }
      return Requested(REQ_HALT);
    }
    case WORK_PENTA:
      if (drivers.penta == nullptr) break;
      drivers.penta(item);
      return false;
    default:
      return false;
  }
  // No search of this kind is built in: say so, keep the line, and stop here rather than
  // take the same line again and again.
  static const char* const names[] = {"", "SUM", "ADD", "PENTA"};
  char text[160];
  std::snprintf(text, sizeof text,
                "This program cannot search %s lines; the line stays in the queue.\n",
                names[kind]);
  LogText(text);
  return true;
}

}  // namespace

void RegisterDrivers(const SearchDrivers& d) { drivers = d; }
const SearchDrivers& RegisteredDrivers() { return drivers; }

void ApplyPriority() {
  platform::ApplyThreadPriority(Settings.Priority.load());
  const int32_t affinity = Settings.Affinity.load();
  if (affinity != 99 && !platform::IsWindows9x()) {
    platform::BindCurrentThread(static_cast<uint32_t>(affinity));
  }
}

namespace {

// Runs the queue until it is empty, a driver ends the loop or a halt is requested. Returns
// true when it ended because no search of a line's kind is built in.
bool RunQueue() {
  for (;;) {
    IniHold(WorkFile(), 1);
    if (!IniReadable(WorkFile())) {
      LogText("The work file cannot be read; the work stops until it can.\n");
      RequestFlags.store(REQ_HALT);
      return false;
    }
    if (IniLineCount(WorkFile()) == 0) {
      IniRelease(WorkFile());
      LogText("There are no more work to do.\n");
      LogSendRequest("Please send the solution.txt file to ");
      return false;
    }
    WorkItem item;
    uint32_t kind = ParseWorkLine(1, item);
    if (kind != 0) {
      const bool noDriver = (kind == WORK_SUM && drivers.equalSums == nullptr) ||
                            (kind == WORK_ADD && drivers.sumCollision == nullptr) ||
                            (kind == WORK_PENTA && drivers.penta == nullptr);
      const RunningLineScope running(item.lineId);
      const bool ends = RunItem(kind, item);
      internalErrorSeen = internalErrorSeen || InternalError.load() != 0;
      if (ends) return noDriver;
    }
    if (Requested(REQ_HALT)) return false;
  }
}

// After a halt raised because results could not be written: waits, trying to write them
// every display period, until they are on the disk (true: the work goes on) or a Stop comes.
bool WaitForResultsFile() {
  LogText("Waiting until the results file can be written; Stop ends the wait.\n");
  RequestFlags.store(0);
  while (!Requested(REQ_HALT)) {
    for (int32_t tick = 0; tick < Settings.DisplayFrequency.load() * 10; ++tick) {
      ProtocolSleep(100);
      if (Requested(REQ_HALT)) return false;
    }
    if (WriteHeldResults()) {
      LogText("The results file can be written again; the held results are in it.\n");
      return true;
    }
  }
  return false;
}

}  // namespace

void WorkerMain() {
  WorkerRunning.store(1);
  workerThreadRef.store(platform::CurrentThreadRef());
  ApplyPriority();
  if (Settings.NoSave.load() != 0) LogText("No saving, all computations will be lost\n");
  bool noDriver = false;
  internalErrorSeen = false;
  while (!Requested(REQ_HALT)) {
    noDriver = RunQueue();
    if (!(Requested(REQ_HALT) && HeldResultCount() > 0 && WaitForResultsFile())) break;
  }
  lastWorkEnd = noDriver            ? WorkEnd::NoSearch
                : internalErrorSeen ? WorkEnd::InternalError
                : Requested(REQ_HALT) ? WorkEnd::Halted
                                      : WorkEnd::Finished;
  if (Requested(REQ_HALT)) {
    LogText("Execution halted.\n");
    LogText("Choose Test/Continue to restart.\n");
  } else if (!noDriver) {
    LogText("Computation finished.\n");
    LogText("Ask for a new range.\n");
  }
  WorkerRunning.store(0);
  while (TimerRunning.load() == 1) {
    RequestFlags.store(REQ_HALT);
    ProtocolSleep(50);
  }
  ShowStatus("IDLE");
}

void TimerMain() {
  TimerRunning.store(1);
  SliceCounter.store(0);
  timerThreadRef.store(platform::CurrentThreadRef());
  ApplyPriority();
  uint32_t saveCounter = 0;
  for (;;) {
    for (int32_t second = 0; second < Settings.DisplayFrequency.load(); ++second) {
      for (int i = 0; i < 10; ++i) {
        ProtocolSleep(100);
        // The timer ends once the worker has stopped too: a worker that waits for the
        // results file after a halt goes on with its requests once the file is back.
        if (Requested(REQ_HALT) && WorkerRunning.load() == 0) {
          TimerRunning.store(0);
          return;
        }
      }
      ElapsedSeconds.fetch_add(1);
      const uint32_t slice = SliceLength.load();
      if (slice != 0) {
        if (static_cast<uint32_t>(SliceCounter.fetch_add(1) + 1) >= slice) {
          SliceCounter.store(0);
          // REQ_SLICE replaces any other request, but never a pending halt.
          uint32_t flags = RequestFlags.load();
          while ((flags & REQ_HALT) == 0 &&
                 !RequestFlags.compare_exchange_weak(flags, REQ_SLICE)) {
          }
        }
      }
      if (++saveCounter >= static_cast<uint32_t>(Settings.SaveFrequency.load()) * 60u) {
        saveCounter = 0;
        RequestFlags.fetch_or(REQ_SAVE);
      }
    }
    RequestFlags.fetch_or(REQ_DISPLAY);
  }
}

void StartWorkWith(void (*body)()) {
  JoinFinishedThreads();
  RequestFlags.store(0);
  // The flags are raised here as well as by the threads themselves, so that the commands'
  // enabled states are right from this moment on.
  WorkerRunning.store(1);
  TimerRunning.store(1);
  if (!platform::StartThread(body, kSearchStackBytes, workerThread)) {
    WorkerRunning.store(0);
    TimerRunning.store(0);
    LogText("Cannot start the search thread.\n");
    return;
  }
  if (!platform::StartThread(TimerMain, kTimerStackBytes, timerThread)) {
    // The worker stops the timer before it ends; without one it must not wait for it.
    TimerRunning.store(0);
    LogText("Cannot start the timer thread.\n");
  }
}

void StartWork() { StartWorkWith(WorkerMain); }

void StopWork() {
  RequestFlags.store(REQ_HALT);
  platform::RaiseForStop(workerThreadRef.load());
  platform::RaiseForStop(timerThreadRef.load());
}

void FinishWork() {
  if (WorkerRunning.load() != 0 || TimerRunning.load() != 0) {
    NoRedraw.store(true);
    StopWork();
    while (WorkerRunning.load() != 0 || TimerRunning.load() != 0) {
      RequestFlags.store(REQ_HALT);
      ProtocolSleep(50);
    }
  }
  JoinFinishedThreads();
}

void WaitForWorkEnd() {
  while (WorkerRunning.load() != 0 || TimerRunning.load() != 0) ProtocolSleep(50);
  JoinFinishedThreads();
}

WorkEnd LastWorkEnd() { return lastWorkEnd.load(); }

bool ContinueEnabled() { return WorkerRunning.load() == 0 && TimerRunning.load() == 0; }

bool StopEnabled() {
  return (WorkerRunning.load() != 0 || TimerRunning.load() != 0) && !Requested(REQ_HALT);
}

}  // namespace aequa
