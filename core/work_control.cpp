#include "core/work_control.h"

#include <array>
#include <functional>
#include <mutex>
#include <string>

#include "core/coordinator.h"
#include "core/cost_model.h"
#include "core/drivers.h"
#include "core/output_log.h"
#include "core/results_file.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/status_display.h"
#include "core/timing.h"
#include "core/work_queue.h"
#include "platform/scheduling.h"
#include "platform/threads.h"

namespace aequa {
namespace {

SearchDrivers drivers;
// The searches recurse once per right term (at most 4096) and once per left term (at most 256).
// A level takes about 100 bytes, and 2 to 3 KB under AddressSanitizer (which overflows the
// 8 MB default stack there); 8 KB a level leaves room for that and for the widest numbers. The
// size is reserved, not taken: pages are used only as deep as the search goes.
constexpr size_t kSearchStackBytes = (4096 + 256) * size_t{8192} + (size_t{1} << 20);
constexpr size_t kTimerStackBytes = size_t{1} << 20;
constexpr uint32_t kTimerIndex = kMaxWorkers + 1;  // for the priority of the timer thread

// Thread handles: touched only by the thread that starts and joins (the user interface).
std::array<platform::ThreadHandle, kMaxWorkers + 1> searchThreads;
platform::ThreadHandle timerThread;
std::array<std::atomic<platform::ThreadRef>, kMaxWorkers + 2> threadRefs{};

// Starting and ending threads is decided under this lock, so that the timer never ends just as
// a search thread starts without one.
std::mutex poolLock;
std::atomic<uint32_t> workersLeft{0};  // workers of the current run still running
std::atomic<bool> poolDone{false};     // no line is left for any worker
std::atomic<bool> internalErrorSeen{false};
std::atomic<bool> noSearchSeen{false};
std::atomic<bool> waitAnnounced{false};
std::atomic<bool> waitStopped{false};  // a Stop ended a wait for the results file
std::atomic<WorkEnd> lastWorkEnd{WorkEnd::Finished};
std::atomic<bool> questionRunning{false};
// Written by StartQuestion before it starts the thread (after joining the previous one), and
// taken by the thread as it starts.
std::function<void(SearchControl&)> questionBody;

void LogSendRequest(const char* what) {
  std::string text = std::string(what) + CoordinatorEmail() + "\n";
  LogText(text.c_str());
}

// Fresh words for a run (`keepHalt` false) or for the next line of a run, where a stop that
// came meanwhile must still reach the search.
void ResetControl(SearchControl& control, bool keepHalt = false) {
  if (keepHalt) {
    control.ClearRequestsButHalt();
  } else {
    control.requests.store(0);
  }
  control.elapsedSeconds.store(0);
  control.sliceLength.store(0);
  control.sliceCounter.store(0);
  control.internalError.store(0);
  control.splitWanted.store(0);
}

SearchDriver DriverOf(uint32_t kind) {
  switch (kind) {
    case WORK_SUM:
      return drivers.equalSums;
    case WORK_ADD:
      return drivers.sumCollision;
    case WORK_PENTA:
      return drivers.penta;
    default:
      return nullptr;
  }
}

// Where a line's unsearched units begin, as the line records it.
uint32_t UnsearchedFrom(const WorkItem& item) {
  return item.kind == WORK_SUM && item.current > item.start ? item.current : item.start;
}

// An idle worker asks the worker with the most work left in a line it can still cut to give
// part of it away. Nothing is asked twice while an earlier request is pending.
void AskForSplit(uint32_t worker) {
  const TakenLine* busiest = nullptr;
  double most = 0;
  const std::vector<TakenLine> taken = TakenLines();
  for (const TakenLine& line : taken) {
    const uint32_t from = UnsearchedFrom(line.item);
    if (line.worker == worker || !Splittable(line.item, from)) continue;
    const double cost = RangeCost(line.item, from, line.item.end);
    if (busiest == nullptr || cost > most) {
      busiest = &line;
      most = cost;
    }
  }
  if (busiest != nullptr) ControlOf(busiest->worker).splitWanted.store(1);
}

// Runs lines until a halt, or until no line is left for any worker.
void RunQueue(SearchControl& control) {
  const uint32_t worker = control.index;
  while (!control.Requested(REQ_HALT) && !poolDone.load()) {
    IniReload(WorkFile());
    if (!IniReadable(WorkFile())) {
      LogText("The work file cannot be read; the work stops until it can.\n");
      RequestHaltEverywhere();
      return;
    }
    WorkItem item;
    const uint32_t kind = TakeWorkLine(worker, item);
    if (kind == 0) {
      if (IniLineCount(WorkFile()) == 0) {
        // The queue is empty: said once, by whichever worker sees it first.
        if (!poolDone.exchange(true)) {
          LogText("There are no more work to do.\n");
          LogSendRequest("Please send the solution.txt file to ");
        }
        return;
      }
      // Every line is taken: have the busiest give away part of its line, and look again.
      AskForSplit(worker);
      ProtocolSleep(100);
      continue;
    }
    const SearchDriver driver = DriverOf(kind);
    if (driver == nullptr) {
      // No search of this kind is built in: say so, keep the line, and end the run here rather
      // than take the same line again and again.
      static const char* const names[] = {"", "SUM", "ADD", "PENTA"};
      std::string text = std::string("This program cannot search ") + names[kind] +
                         " lines; the line stays in the queue.\n";
      LogText(text.c_str());
      noSearchSeen.store(true);
      poolDone.store(true);
      ReleaseWorkLine(worker, item);
      return;
    }
    ResetControl(control, true);
    // A worker of this run that has no line yet will find none: this line is cut at its
    // first boundary rather than after its first unit.
    const size_t taken = TakenLines().size();
    if (IniLineCount(WorkFile()) <= taken && taken < workersLeft.load()) {
      control.splitWanted.store(1);
    }
    const SearchOutcome outcome = driver(control, item);
    ReleaseWorkLine(worker, item);
    ClearStatus(control);
    if (outcome == SearchOutcome::Failed) internalErrorSeen.store(true);
    if (outcome == SearchOutcome::Stopped && Settings.Workers.load() > 1) {
      const std::string text = "Stopped: " + WorkLineText(item) + "\n";
      LogText(control, text.c_str());
    }
  }
}

// A search thread has ended: the last one waits for the timer, which then ends too.
void LeavePool() {
  uint32_t left = 0;
  {
    std::lock_guard<std::mutex> guard(poolLock);
    left = WorkerRunning.fetch_sub(1) - 1;
  }
  if (left != 0) return;
  while (TimerRunning.load() == 1) ProtocolSleep(50);
}

void QuestionMain(uint32_t index) {
  SearchControl& control = ControlOf(index);
  threadRefs[index].store(platform::CurrentThreadRef());
  ApplyPriority(index);
  const std::function<void(SearchControl&)> body = std::move(questionBody);
  questionBody = nullptr;
  if (body) body(control);
  control.active.store(false);
  questionRunning.store(false);
  LeavePool();
}

bool StartTimerIfNone() {
  // Called with poolLock held.
  if (TimerRunning.load() != 0) return true;
  platform::JoinThread(timerThread);
  TimerRunning.store(1);
  if (!platform::StartThread(TimerMain, 0, kTimerStackBytes, timerThread)) {
    TimerRunning.store(0);
    return false;
  }
  return true;
}

void JoinFinishedThreads() {
  for (uint32_t i = 0; i < searchThreads.size(); ++i) {
    if (i == kQuestionControl && questionRunning.load()) continue;
    platform::JoinThread(searchThreads[i]);
  }
  if (TimerRunning.load() == 0) platform::JoinThread(timerThread);
}

}  // namespace

bool WaitForResultsFile(SearchControl& control) {
  // A Stop ends every wait of the run, also those that begin after it.
  if (waitStopped.load()) return false;
  if (!waitAnnounced.exchange(true)) {
    LogText("Waiting until the results file can be written; Stop ends the wait.\n");
  }
  control.requests.store(0);
  for (;;) {
    for (int32_t tick = 0; tick < Settings.DisplayFrequency.load() * 10; ++tick) {
      if (control.Requested(REQ_HALT)) {
        waitStopped.store(true);
        return false;
      }
      ProtocolSleep(100);
    }
    if (HeldResultCount() == 0 || WriteHeldResults()) {
      if (waitAnnounced.exchange(false)) {
        LogText("The results file can be written again; the held results are in it.\n");
      }
      return true;
    }
  }
}

void RegisterDrivers(const SearchDrivers& d) { drivers = d; }
const SearchDrivers& RegisteredDrivers() { return drivers; }

void ApplyPriority(uint32_t index) {
  platform::ApplyThreadPriority(Settings.Priority.load());
  const int32_t affinity = Settings.Affinity.load();
  if (affinity != 99 && !platform::IsWindows9x()) {
    const uint32_t offset = index < kMaxWorkers ? index : 0;
    platform::BindCurrentThread(static_cast<uint32_t>(affinity) + offset);
  }
}

void WorkerMain(uint32_t index) {
  SearchControl& control = ControlOf(index);
  threadRefs[index].store(platform::CurrentThreadRef());
  ApplyPriority(index);
  if (index == 0 && Settings.NoSave.load() != 0) {
    LogText("No saving, all computations will be lost\n");
  }
  while (!control.Requested(REQ_HALT)) {
    RunQueue(control);
    if (!(control.Requested(REQ_HALT) && HeldResultCount() > 0 && WaitForResultsFile(control))) {
      break;
    }
  }
  control.active.store(false);
  if (workersLeft.fetch_sub(1) == 1) {
    // The last worker of the run says how it ended.
    const bool halted = HaltPending() || control.Requested(REQ_HALT);
    const bool noSearch = noSearchSeen.load();
    lastWorkEnd = noSearch                   ? WorkEnd::NoSearch
                  : internalErrorSeen.load() ? WorkEnd::InternalError
                  : halted                   ? WorkEnd::Halted
                                             : WorkEnd::Finished;
    if (halted) {
      LogText("Execution halted.\n");
      LogText("Choose Test/Continue to restart.\n");
    } else if (!noSearch) {
      LogText("Computation finished.\n");
      LogText("Ask for a new range.\n");
    }
    ShowStatus("IDLE");
  }
  LeavePool();
}

void TimerMain(uint32_t) {
  threadRefs[kTimerIndex].store(platform::CurrentThreadRef());
  ApplyPriority(kTimerIndex);
  for (uint32_t i = 0; i <= kMaxWorkers; ++i) ControlOf(i).sliceCounter.store(0);
  uint32_t saveCounter = 0;
  auto forActive = [](auto&& action) {
    for (uint32_t i = 0; i <= kMaxWorkers; ++i) {
      SearchControl& control = ControlOf(i);
      if (control.active.load()) action(control);
    }
  };
  for (;;) {
    for (int32_t second = 0; second < Settings.DisplayFrequency.load(); ++second) {
      for (int i = 0; i < 10; ++i) {
        ProtocolSleep(100);
        // The timer ends once every search thread has ended.
        if (WorkerRunning.load() == 0) {
          std::lock_guard<std::mutex> guard(poolLock);
          if (WorkerRunning.load() == 0) {
            TimerRunning.store(0);
            return;
          }
        }
      }
      forActive([](SearchControl& control) {
        control.elapsedSeconds.fetch_add(1);
        const uint32_t slice = control.sliceLength.load();
        if (slice != 0 && static_cast<uint32_t>(control.sliceCounter.fetch_add(1) + 1) >= slice) {
          control.sliceCounter.store(0);
          control.RaiseSlice();
        }
      });
      if (++saveCounter >= static_cast<uint32_t>(Settings.SaveFrequency.load()) * 60u) {
        saveCounter = 0;
        forActive([](SearchControl& control) { control.requests.fetch_or(REQ_SAVE); });
      }
    }
    forActive([](SearchControl& control) { control.requests.fetch_or(REQ_DISPLAY); });
  }
}

void StartWork() {
  JoinFinishedThreads();
  const uint32_t workers = static_cast<uint32_t>(AdjustWorkers(Settings.Workers.load()));
  poolDone.store(false);
  internalErrorSeen.store(false);
  noSearchSeen.store(false);
  waitAnnounced.store(false);
  waitStopped.store(false);
  std::lock_guard<std::mutex> guard(poolLock);
  workersLeft.store(workers);
  for (uint32_t i = 0; i < workers; ++i) {
    ResetControl(ControlOf(i));
    ControlOf(i).active.store(true);
  }
  // Raised here as well as by the threads themselves, so that the commands' enabled states are
  // right from this moment on.
  WorkerRunning.fetch_add(workers);
  StartTimerIfNone();
  for (uint32_t i = 0; i < workers; ++i) {
    if (!platform::StartThread(WorkerMain, i, kSearchStackBytes, searchThreads[i])) {
      ControlOf(i).active.store(false);
      workersLeft.fetch_sub(1);
      WorkerRunning.fetch_sub(1);
      LogText("Cannot start a search thread.\n");
    }
  }
}

bool StartQuestion(std::function<void(SearchControl& control)> body) {
  if (questionRunning.exchange(true)) return false;
  platform::JoinThread(searchThreads[kQuestionControl]);
  SearchControl& control = ControlOf(kQuestionControl);
  ResetControl(control);
  control.active.store(true);
  questionBody = std::move(body);
  std::lock_guard<std::mutex> guard(poolLock);
  WorkerRunning.fetch_add(1);
  StartTimerIfNone();
  if (!platform::StartThread(QuestionMain, kQuestionControl, kSearchStackBytes,
                             searchThreads[kQuestionControl])) {
    control.active.store(false);
    WorkerRunning.fetch_sub(1);
    questionRunning.store(false);
    LogText("Cannot start the search thread.\n");
    return false;
  }
  return true;
}

void StopWork() {
  RequestHaltEverywhere();
  for (auto& ref : threadRefs) platform::RaiseForStop(ref.load());
}

void FinishWork() {
  if (WorkerRunning.load() != 0 || TimerRunning.load() != 0) {
    NoRedraw.store(true);
    StopWork();
    while (WorkerRunning.load() != 0 || TimerRunning.load() != 0) {
      RequestHaltEverywhere();
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
  if (WorkerRunning.load() == 0 && TimerRunning.load() == 0) return false;
  for (uint32_t i = 0; i <= kMaxWorkers; ++i) {
    const SearchControl& control = ControlOf(i);
    if (control.active.load() && !control.Requested(REQ_HALT)) return true;
  }
  return false;
}

bool QuestionEnabled() { return !questionRunning.load(); }

}  // namespace aequa
