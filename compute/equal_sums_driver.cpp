#include "compute/equal_sums_driver.h"

#include <cmath>
#include <filesystem>
#include <cstdio>
#include <string>

#include "compute/equal_sums_report.h"
#include "compute/kernels.h"
#include "compute/multiword.h"
#include "compute/path_frames.h"
#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "compute/sieve.h"
#include "core/coordinator.h"
#include "core/output_log.h"
#include "core/results_file.h"
#include "core/settings.h"
#include "core/checkpoint_file.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/status_display.h"
#include "core/work_queue.h"

namespace aequa {
namespace {

// Internal error of a run whose tables cannot be allocated.
constexpr int32_t kNoMemory = 61;
constexpr int32_t kPrecisionOverflow = 100;

int Int(uint32_t v) { return static_cast<int>(v); }


void CopyProgress(WorkItem& item, uint32_t x) {
  item.power = Power;
  item.leftTerms = LeftTerms;
  item.rightTerms = RightTerms;
  item.variant = SearchMode;
  item.current = x;
  item.duration = SliceLength.load();
}

int32_t InternalErrorExit(const WorkItem& item, uint32_t x) {
  char text[256];
  std::snprintf(text, sizeof text, "Internal error %d on %d,%d,%d,%d,%d,%d,%d,%d\n",
                static_cast<int>(InternalError.load()), Int(Power), Int(item.start),
                Int(item.end), Int(LeftTerms), Int(RightTerms), Int(SearchMode), Int(x),
                Int(SliceLength.load()));
  LogMessage(text);
  // Only a file that is there can be sent.
  CurrentValue = x;
  const std::string checkpoint = CheckpointName();
  if (std::filesystem::exists(checkpoint)) {
    LogMessage(("Please send file " + checkpoint + " to " + CoordinatorEmail() + "\n").c_str());
  }
  DeleteWorkLine(item);
  FreePowers();
  FreePaths();
  return 1;
}

// Items that only the relaxed checks of mode "Exact" let through: the search needs at least
// one term a side, at most 4096 right terms (the depth counters) and 4352 terms in all.
bool Searchable(const WorkItem& item) {
  const uint64_t m = item.leftTerms;
  const uint64_t n = item.rightTerms;
  return m >= 1 && n >= 1 && n <= kDepthCapacity && m + n <= kPathCapacity;
}

void LogDepthCounters(uint32_t count) {
  std::string line;
  for (uint32_t d = 0; d < count && d < kDepthCapacity && line.size() < 1000; ++d) {
    line += std::to_string(static_cast<int>(DepthCounters[d])) + " ";
  }
  line += "\n";
  LogText(line.c_str());
}

}  // namespace

long double EqualSumsBits(uint32_t power, uint64_t x, uint32_t leftTerms) {
  const long double ln2 = std::log(2.0L);
  return power * std::log(static_cast<long double>(x)) / ln2 +
         std::log(static_cast<long double>(leftTerms)) / ln2;
}

int32_t ComputeEqualSums(WorkItem& item) {
  char text[256];
  if (!Searchable(item)) {
    std::snprintf(text, sizeof text,
                  "Cannot search %d,%d,%d,%d: a search needs 1 to 4096 right terms, at least "
                  "one left term and at most 4352 terms in all; the range is dropped\n",
                  Int(item.power), Int(item.current), Int(item.leftTerms),
                  Int(item.rightTerms));
    LogMessage(text);
    DeleteWorkLine(item);
    return 1;
  }
  Power = item.power;
  LeftTerms = item.leftTerms;
  RightTerms = item.rightTerms;
  SearchMode = item.variant;
  CurrentValue = item.current;
  SliceLength.store(item.duration);

  const int runLevel = LevelForBits(EqualSumsBits(Power, item.end, LeftTerms));
  if (runLevel >= kLevelCount) {
    std::snprintf(text, sizeof text, "Overflow maximum precision on %d,%d,%d,%d\n", Int(Power),
                  Int(item.current), Int(LeftTerms), Int(RightTerms));
    LogMessage(text);
    InternalError.store(kPrecisionOverflow);
    DeleteWorkLine(item);
    return 1;
  }
  PrecisionWords = static_cast<uint32_t>(kLevelWords[runLevel]);
  const uint64_t entryWords = PrecisionWords + (LeftTerms == 1 ? 1 : 3);
  const bool allocated = AllocPowers(entryWords * item.end * 4) && AllocPaths(LeftTerms, RightTerms);
  SearchLimit = RightTerms + 1;
  if (!allocated) {
    LogMessage("Not enough memory for the search tables\n");
    InternalError.store(kNoMemory);
    return InternalErrorExit(item, CurrentValue);
  }

  while (item.start < item.end) {
    const uint32_t x = CurrentValue;
    // n of the run: a checkpoint saved before a result lowered it resumes with its own n,
    // which applies to that value only.
    const uint32_t runRightTerms = RightTerms;
    SliceCounter.store(0);
    LoadCheckpoint();
    if (RightTerms + 1 > RightPathFrames && !AllocPaths(LeftTerms, RightTerms)) {
      LogMessage("Not enough memory for the search tables\n");
      InternalError.store(kNoMemory);
      return InternalErrorExit(item, x);
    }
    const long double bits = EqualSumsBits(Power, x, LeftTerms);
    std::snprintf(text, sizeof text, "k=%d, on %d from %d to %d, m=%d, n=%d", Int(Power), Int(x),
                  Int(item.start), Int(item.end), Int(LeftTerms), Int(RightTerms));
    ShowStatus(text);
    if (Settings.TrayIcon.load() != 0) SetTrayIcon(0, text);
    std::snprintf(text, sizeof text, "Searching (%d,%d,%d) at %d (%f bits)\n", Int(Power),
                  Int(LeftTerms), Int(RightTerms), Int(x), static_cast<double>(bits));
    LogText(text);

    InternalError.store(0);
    const int level = LevelForBits(bits);
    if (level >= kLevelCount) {
      std::snprintf(text, sizeof text, "Overflow maximum precision on %d,%d,%d,%d\n", Int(Power),
                    Int(x), Int(LeftTerms), Int(RightTerms));
      LogMessage(text);
      InternalError.store(kPrecisionOverflow);
    }
    for (uint32_t& counter : DepthCounters) counter = 0;
    if (InternalError.load() != 0) return InternalErrorExit(item, x);

    WorkItem sieveItem = item;
    sieveItem.rightTerms = SieveRightTerms;
    SetupSieve(sieveItem);
    const KernelFunction kernel = SelectKernel(ChooseFamily(SieveCount > 0, LeftTerms == 1), level);
    kernel();
    if (InternalError.load() != 0 && ResumeRejected != 0) {
      // A saved path that the search cannot rebuild: the value is searched afresh and the
      // line stays.
      SetCheckpointAside(CheckpointName(), "does not fit its line");
      InternalError.store(0);
      ResumeRejected = 0;
      Resumed = 0;
      ElapsedSeconds.store(0);
      RightTerms = runRightTerms;
      SieveRightTerms = RightTerms;
      SearchLimit = RightTerms + 1;
      for (uint32_t& counter : DepthCounters) counter = 0;
      sieveItem.rightTerms = SieveRightTerms;
      SetupSieve(sieveItem);
      SelectKernel(ChooseFamily(SieveCount > 0, LeftTerms == 1), level)();
    }
    if (InternalError.load() != 0) return InternalErrorExit(item, x);
    LogDepthCounters(item.rightTerms);

    // A value whose search ran to its end is done, even when a request came meanwhile: a
    // search again from its last checkpoint would write its later results twice.
    const bool finished = SearchAbandoned == 0;
    bool done = false;
    if (finished) {
      std::snprintf(text, sizeof text, "(%d,%d,%d) %d done in %d seconds", Int(Power),
                    Int(LeftTerms), Int(RightTerms), Int(x), Int(ElapsedSeconds.load()));
      // Not done until the line is on the disk: a line held in memory stops the work.
      done = ReportResult(text) != 0;
    }
    if (RightTerms > runRightTerms) {
      RightTerms = runRightTerms;
      SearchLimit = RightTerms + 1;
    }
    const uint32_t flags = RequestFlags.load();
    // A halt inside the value, or a "done" line that could not be written: the value stays
    // the current one.
    if ((!finished && (flags & REQ_HALT) != 0) || (finished && !done)) {
      CopyProgress(item, x);
      UpdateWorkLine(item);
      FreePowers();
      FreePaths();
      return 1;
    }
    if (!finished) {
      RequestFlags.fetch_and(REQ_HALT);  // the slice is over; a stop meanwhile is kept
      std::snprintf(text, sizeof text, "(%d,%d,%d) %d tested %d seconds (total: %d seconds)\n",
                    Int(Power), Int(LeftTerms), Int(RightTerms), Int(x), Int(SliceLength.load()),
                    Int(ElapsedSeconds.load()));
      LogText(text);
    } else {
      RequestFlags.fetch_and(~REQ_SLICE);  // a slice that ended with the value is moot
      std::remove(CheckpointName().c_str());
      std::remove(CheckpointBackupName().c_str());
      if (x == item.start) ++item.start;
    }

    uint32_t next = x + 1;
    if (Settings.NoSave.load() == 0) {
      if (next >= item.end) next = item.start;
    } else {
      item.start = next;
    }
    CurrentValue = next;
    CopyProgress(item, next);
    if (!UpdateWorkLine(item)) break;  // the line is gone: nothing to record progress in
    if (Requested(REQ_HALT) && item.start < item.end) {  // a stop that came as the value ended
      FreePowers();
      FreePaths();
      return 1;
    }
  }
  FreePowers();
  FreePaths();
  return 0;
}

}  // namespace aequa
