#include "compute/equal_sums_driver.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "compute/equal_sums_report.h"
#include "compute/kernels.h"
#include "compute/multiword.h"
#include "compute/run_state.h"
#include "compute/sieve.h"
#include "core/checkpoint_file.h"
#include "core/output_log.h"
#include "core/settings.h"
#include "core/status_display.h"
#include "core/work_queue.h"

namespace aequa {
namespace {

// Internal error of a run whose tables cannot be allocated.
constexpr int32_t kNoMemory = 61;
constexpr int32_t kPrecisionOverflow = 100;

int Int(uint32_t v) { return static_cast<int>(v); }

// Items that only the relaxed checks of mode "Exact" let through: the search needs at least
// one term a side, at most 4096 right terms (the depth counters) and 4352 terms in all.
bool Searchable(const WorkItem& item) {
  const uint64_t m = item.leftTerms;
  const uint64_t n = item.rightTerms;
  return m >= 1 && n >= 1 && n <= kDepthCapacity && m + n <= kPathCapacity;
}

// One line's search: the values of its range in turn, on a run this object owns.
class EqualSumsLine {
 public:
  EqualSumsLine(EqualSumsRun& run, WorkItem& item) : run_(run), item_(item) {}
  SearchOutcome Search();

 private:
  enum class Value { Next, Stop, Gone, Failed };
  Value SearchValue();
  // The values of the line take turns (with time slices): the next in turn from v, round
  // [start, end), past the values marked finished (start never is).
  uint32_t NextInTurn(uint32_t v) const;
  // Moves the line's start past the values marked finished just above it.
  void PassFinishedStart();
  // Once the work line records a start moved up from `from`, this line's marks below it go.
  void RemoveMarksBelowStart(uint32_t from);
  void CopyProgress(uint32_t x);
  SearchOutcome InternalErrorExit(uint32_t x);
  void LogDepthCounters(uint32_t count);
  SearchControl& control() { return run_.control; }

  EqualSumsRun& run_;
  WorkItem& item_;
  char text_[256] = {};
};

uint32_t EqualSumsLine::NextInTurn(uint32_t v) const {
  for (;; ++v) {
    if (v < item_.start || v >= item_.end) v = item_.start;
    if (v == item_.start || !MarkedFinished(run_, v)) return v;
  }
}

void EqualSumsLine::PassFinishedStart() {
  while (item_.start < item_.end && MarkedFinished(run_, item_.start)) ++item_.start;
}

void EqualSumsLine::RemoveMarksBelowStart(uint32_t from) {
  for (uint32_t v = from; v < item_.start; ++v) {
    // A mark of another line (another mode, fewer right terms) stays.
    if (MarkedFinished(run_, v)) std::remove(FinishedMarkName(run_, v).c_str());
  }
}

void EqualSumsLine::CopyProgress(uint32_t x) {
  item_.power = run_.power;
  item_.leftTerms = run_.leftTerms;
  item_.rightTerms = run_.rightTerms;
  item_.variant = run_.searchMode;
  item_.current = x;
  item_.duration = control().sliceLength.load();
}

SearchOutcome EqualSumsLine::InternalErrorExit(uint32_t x) {
  std::snprintf(text_, sizeof text_, "Internal error %d on %d,%d,%d,%d,%d,%d,%d,%d\n",
                static_cast<int>(control().internalError.load()), Int(run_.power),
                Int(item_.start), Int(item_.end), Int(run_.leftTerms), Int(run_.rightTerms),
                Int(run_.searchMode), Int(x), Int(control().sliceLength.load()));
  run_.currentValue = x;
  return FailLine(control(), item_, text_, CheckpointName(run_));
}

void EqualSumsLine::LogDepthCounters(uint32_t count) {
  std::string line;
  for (uint32_t d = 0; d < count && d < kDepthCapacity && line.size() < 1000; ++d) {
    line += std::to_string(static_cast<int>(run_.depthCounters[d])) + " ";
  }
  line += "\n";
  LogText(control(), line.c_str());
}

SearchOutcome EqualSumsLine::Search() {
  if (!Searchable(item_)) {
    std::snprintf(text_, sizeof text_,
                  "Cannot search %d,%d,%d,%d: a search needs 1 to 4096 right terms, at least "
                  "one left term and at most 4352 terms in all; the range is dropped\n",
                  Int(item_.power), Int(item_.current), Int(item_.leftTerms),
                  Int(item_.rightTerms));
    return FailLine(control(), item_, text_, "");
  }
  run_.power = item_.power;
  run_.leftTerms = item_.leftTerms;
  run_.rightTerms = item_.rightTerms;
  run_.searchMode = item_.variant;
  run_.currentValue = item_.current;
  control().sliceLength.store(item_.duration);

  const int runLevel = LevelForBits(EqualSumsBits(run_.power, item_.end, run_.leftTerms));
  if (runLevel >= kLevelCount) {
    std::snprintf(text_, sizeof text_, "Overflow maximum precision on %d,%d,%d,%d\n",
                  Int(run_.power), Int(item_.current), Int(run_.leftTerms),
                  Int(run_.rightTerms));
    control().internalError.store(kPrecisionOverflow);
    return FailLine(control(), item_, text_, "");
  }
  run_.precisionWords = static_cast<uint32_t>(kLevelWords[runLevel]);
  const uint64_t entryWords = run_.precisionWords + (run_.leftTerms == 1 ? 1 : 3);
  const bool allocated =
      run_.powers.Allocate(entryWords * item_.end * 4) &&
      run_.frames.Allocate(run_.leftTerms, run_.rightTerms, run_.precisionWords);
  run_.searchLimit = run_.rightTerms + 1;
  if (!allocated) {
    LogMessage(control(), "Not enough memory for the search tables\n");
    control().internalError.store(kNoMemory);
    return InternalErrorExit(run_.currentValue);
  }
  if (Settings.NoSave.load() == 0) {
    // A value marked finished that the line still holds (a crash just after its mark, or a
    // split that starts the line there) is not searched again.
    const uint32_t startBefore = item_.start;
    PassFinishedStart();
    run_.currentValue = NextInTurn(run_.currentValue);
    if (item_.start != startBefore) {
      CopyProgress(run_.currentValue);
      if (!UpdateWorkLine(item_)) return SearchOutcome::Finished;
      RemoveMarksBelowStart(startBefore);
    }
  }
  // A worker that would have nothing to do gets the upper values before the first one starts.
  OfferSplit(control(), item_, run_.currentValue);
  while (item_.start < item_.end) {
    switch (SearchValue()) {
      case Value::Next:
        break;
      case Value::Stop:
        return SearchOutcome::Stopped;
      case Value::Gone:
        return SearchOutcome::Finished;
      case Value::Failed:
        return InternalErrorExit(run_.currentValue);
    }
  }
  return SearchOutcome::Finished;
}

EqualSumsLine::Value EqualSumsLine::SearchValue() {
  const uint32_t x = run_.currentValue;
  const uint32_t startBefore = item_.start;
  // n of the run: a checkpoint saved before a result lowered it resumes with its own n,
  // which applies to that value only.
  const uint32_t runRightTerms = run_.rightTerms;
  control().sliceCounter.store(0);
  LoadCheckpoint(run_);
  if (run_.rightTerms + 1 > run_.frames.rightFrames &&
      !run_.frames.Allocate(run_.leftTerms, run_.rightTerms, run_.precisionWords)) {
    LogMessage(control(), "Not enough memory for the search tables\n");
    control().internalError.store(kNoMemory);
    return Value::Failed;
  }
  const long double bits = EqualSumsBits(run_.power, x, run_.leftTerms);
  std::snprintf(text_, sizeof text_, "k=%d, on %d from %d to %d, m=%d, n=%d", Int(run_.power),
                Int(x), Int(item_.start), Int(item_.end), Int(run_.leftTerms),
                Int(run_.rightTerms));
  ShowStatus(control(), text_);
  std::snprintf(text_, sizeof text_, "Searching (%d,%d,%d) at %d (%f bits)\n", Int(run_.power),
                Int(run_.leftTerms), Int(run_.rightTerms), Int(x), static_cast<double>(bits));
  LogText(control(), text_);

  control().internalError.store(0);
  const int level = LevelForBits(bits);
  if (level >= kLevelCount) {
    std::snprintf(text_, sizeof text_, "Overflow maximum precision on %d,%d,%d,%d\n",
                  Int(run_.power), Int(x), Int(run_.leftTerms), Int(run_.rightTerms));
    LogMessage(control(), text_);
    control().internalError.store(kPrecisionOverflow);
    return Value::Failed;
  }
  for (uint32_t& counter : run_.depthCounters) counter = 0;

  run_.sieve = SetupSieve(run_.power, run_.leftTerms, run_.sieveRightTerms);
  SelectKernel(ChooseFamily(run_.sieve.count > 0, run_.leftTerms == 1), level)(run_);
  if (control().internalError.load() != 0 && run_.resumeRejected != 0) {
    // A saved path that the search cannot rebuild: the value is searched afresh and the
    // line stays.
    SetCheckpointAside(CheckpointName(run_), "does not fit its line");
    control().internalError.store(0);
    run_.resumeRejected = 0;
    run_.resumed = 0;
    control().elapsedSeconds.store(0);
    run_.rightTerms = runRightTerms;
    run_.sieveRightTerms = run_.rightTerms;
    run_.searchLimit = run_.rightTerms + 1;
    for (uint32_t& counter : run_.depthCounters) counter = 0;
    run_.sieve = SetupSieve(run_.power, run_.leftTerms, run_.sieveRightTerms);
    SelectKernel(ChooseFamily(run_.sieve.count > 0, run_.leftTerms == 1), level)(run_);
  }
  if (control().internalError.load() != 0) return Value::Failed;
  LogDepthCounters(item_.rightTerms);

  // A value whose search ran to its end is done, even when a request came meanwhile: a
  // search again from its last checkpoint would write its later results twice.
  const bool finished = run_.searchAbandoned == 0;
  bool done = false;
  if (finished) {
    std::snprintf(text_, sizeof text_, "(%d,%d,%d) %d done in %d seconds", Int(run_.power),
                  Int(run_.leftTerms), Int(run_.rightTerms), Int(x),
                  Int(control().elapsedSeconds.load()));
    // Not done until the line is on the disk: a line held in memory stops the work.
    done = ReportResult(control(), text_) != 0;
  }
  if (run_.rightTerms > runRightTerms) {
    run_.rightTerms = runRightTerms;
    run_.searchLimit = run_.rightTerms + 1;
  }
  const uint32_t flags = control().requests.load();
  // A halt inside the value, or a "done" line that could not be written: the value stays
  // the current one.
  if ((!finished && (flags & REQ_HALT) != 0) || (finished && !done)) {
    CopyProgress(x);
    UpdateWorkLine(item_);
    return Value::Stop;
  }
  if (!finished) {
    control().ClearRequestsButHalt();  // the slice is over; a stop meanwhile is kept
    std::snprintf(text_, sizeof text_, "(%d,%d,%d) %d tested %d seconds (total: %d seconds)\n",
                  Int(run_.power), Int(run_.leftTerms), Int(run_.rightTerms), Int(x),
                  Int(control().sliceLength.load()), Int(control().elapsedSeconds.load()));
    LogText(control(), text_);
  } else {
    control().requests.fetch_and(~REQ_SLICE);  // a slice that ended with the value is moot
    std::remove(CheckpointName(run_).c_str());
    std::remove(CheckpointBackupName(run_).c_str());
    if (x == item_.start) {
      ++item_.start;
      PassFinishedStart();
    } else if (Settings.NoSave.load() == 0) {
      // Finished before a smaller value of the line: its next turns skip it.
      MarkFinished(run_, x);
    }
  }

  uint32_t next = x + 1;
  if (Settings.NoSave.load() == 0) {
    next = NextInTurn(next);
  } else {
    item_.start = next;
  }
  run_.currentValue = next;
  CopyProgress(next);
  if (!UpdateWorkLine(item_)) return Value::Gone;  // nowhere to record progress any more
  RemoveMarksBelowStart(startBefore);
  // An idle worker gets the upper values still to come.
  OfferSplit(control(), item_, next);
  if (control().Requested(REQ_HALT) && item_.start < item_.end) {
    return Value::Stop;  // a stop that came as the value ended
  }
  return Value::Next;
}

}  // namespace

long double EqualSumsBits(uint32_t power, uint64_t x, uint32_t leftTerms) {
  const long double ln2 = std::log(2.0L);
  return power * std::log(static_cast<long double>(x)) / ln2 +
         std::log(static_cast<long double>(leftTerms)) / ln2;
}

SearchOutcome ComputeEqualSums(SearchControl& control, WorkItem& item) {
  // The run holds the path arrays (about 50 KB): it lives on the heap, owned here.
  auto run = std::make_unique<EqualSumsRun>(control);
  return EqualSumsLine(*run, item).Search();
}

}  // namespace aequa
