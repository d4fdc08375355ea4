#include "sums/sum_search.h"

#include <cstdio>
#include <string>

#include <memory>
#include <optional>

#include "compute/sieve.h"
#include "core/drivers.h"
#include "core/output_log.h"
#include "core/settings.h"
#include "core/shared_words.h"
#include "core/status_display.h"
#include "core/work_queue.h"
#include "sums/sum_checkpoint.h"
#include "sums/sum_powers.h"
#include "sums/window_engine.h"

namespace aequa {
namespace {

template <bool Filtered>
constexpr uint32_t kStride = Filtered ? kFilteredEntryWords : kStandardEntryWords;

// Largest x in [1, count) with x^k <= limit, or 1 when there is none. The table ascends.
template <uint32_t Stride>
uint32_t LargestPowerAtMost(const uint32_t* table, const U128& limit, uint32_t count) {
  uint32_t low = 1;  // invariant: the answer is at least low
  if (count <= 1 || Less128(limit, PowerEntry(table + Stride))) return 1;
  uint32_t high = count - 1;
  while (low < high) {
    const uint32_t mid = low + (high - low + 1) / 2;
    if (Less128(limit, PowerEntry(table + static_cast<size_t>(mid) * Stride))) {
      high = mid - 1;
    } else {
      low = mid;
    }
  }
  return low;
}

// Smallest y in [1, limit] with y^k >= value, limit + 1 when there is none.
template <uint32_t Stride>
uint32_t SmallestPowerAtLeast(const uint32_t* table, const U128& value, uint32_t limit) {
  uint32_t low = 1, high = limit + 1;
  while (low < high) {
    const uint32_t mid = low + (high - low) / 2;
    if (Less128(PowerEntry(table + static_cast<size_t>(mid) * Stride), value)) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

// Adds one more term y = 1 .. limit to the running sum and enters each sum of the window;
// terms ascend, so the first sum that reaches the ceiling ends the level.
template <bool Filtered>
void ExtendSum(SumRun& run, uint32_t depth, uint32_t limit) {
  constexpr uint32_t stride = kStride<Filtered>;
  if (run.control.Requested(REQ_HALT)) return;
  const uint32_t* const table = run.powers.begin();
  U128& sum = run.runningSum;
  uint32_t y = 1;
  if (Less128(sum, run.windowLow)) {
    // With r terms still to add, none above y, a y with r * y^k short of the window enters
    // nothing, here or deeper: start at the first y that can reach it.
    U128 need = run.windowLow;
    Sub128(need, sum);
    const uint32_t r = run.n + 1 - depth;
    y = SmallestPowerAtLeast<stride>(table, r == 1 ? need : DivSmall128(need, r), limit);
  }
  const uint32_t* entry = table + static_cast<size_t>(y) * stride;
  for (; y <= limit; ++y, entry += stride) {
    const U128 power = PowerEntry(entry);
    if (Add128(sum, power)) {
      Sub128(sum, power);
      return;
    }
    if constexpr (Filtered) run.runningResidues += entry[4];
    if (!Less128(sum, run.windowLow)) {
      if (!Less128(sum, run.ceiling)) {
        Sub128(sum, power);
        if constexpr (Filtered) run.runningResidues -= entry[4];
        return;
      }
      if (!Filtered || Admitted(run.runningResidues, run.sieve.mask)) run.tree.Insert(sum, depth);
    }
    if (depth < run.n) ExtendSum<Filtered>(run, depth + 1, y);
    if (Sub128(sum, power)) run.control.internalError.store(303);
    if constexpr (Filtered) run.runningResidues -= entry[4];
  }
}

template <bool Filtered>
void RunPass(SumRun& run) {
  constexpr uint32_t stride = kStride<Filtered>;
  const uint32_t end = run.end;
  if (end == 0 || !Less128(run.windowLow, run.ceiling)) return;  // an empty window enters nothing
  const uint32_t* const table = run.powers.begin();
  const uint32_t first =
      LargestPowerAtMost<stride>(table, DivSmall128(run.windowLow, run.n), end);
  for (uint32_t x = first; x < end; ++x) {
    if (run.control.Requested(REQ_HALT) ||
        run.control.internalError.load(std::memory_order_relaxed) != 0) {
      return;
    }
    const uint32_t* entry = table + static_cast<size_t>(x) * stride;
    const U128 power = PowerEntry(entry);
    run.runningSum = power;
    if constexpr (Filtered) run.runningResidues = entry[4];
    // Every sum still to come is at least x^k: smaller values can no longer meet their equal.
    for (const SumNode* smallest = run.tree.First();
         smallest != nullptr && Less128(smallest->key, power); smallest = run.tree.First()) {
      run.tree.DeleteFirst();
    }
    if (!Less128(power, run.windowLow)) {
      if (!Less128(power, run.ceiling)) return;
      bool admitted = true;
      if constexpr (Filtered) admitted = Admitted(entry[4], run.sieve.mask);
      if (admitted) run.tree.Insert(power, 1);
    }
    ExtendSum<Filtered>(run, 2, x);
    if (!Less128(power, run.ceiling)) run.control.internalError.store(302);
  }
}

std::string DoneText(const SumRun& run, uint32_t value) {
  char text[96];
  std::snprintf(text, sizeof text, "(%d,%d) %d done in %d seconds", static_cast<int>(run.k),
                static_cast<int>(run.n), static_cast<int>(value),
                static_cast<int>(run.control.elapsedSeconds.load()));
  return text;
}

// The largest x in [start, end) with x^k <= windowLow; start - 1 (reported as false) when
// even start^k is above it.
template <uint32_t Stride>
bool ProgressMark(const SumRun& run, uint32_t& mark) {
  const uint32_t start = run.start;
  const uint32_t end = run.end;
  const uint32_t* const table = run.powers.begin();
  if (start >= end) {
    mark = start;
    return true;
  }
  // x^k ascends: find the first x in [start, end) with x^k >= windowLow (end when none).
  uint32_t low = start, high = end;
  while (low < high) {
    const uint32_t mid = low + (high - low) / 2;
    if (Less128(PowerEntry(table + static_cast<size_t>(mid) * Stride), run.windowLow)) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  const uint32_t x = low;
  if (x == end) {
    mark = end - 1;
    return true;
  }
  if (PowerEntry(table + static_cast<size_t>(x) * Stride) == run.windowLow) {
    mark = x;
    return true;
  }
  if (x == start) return false;
  mark = x - 1;
  return true;
}

void LogWindow(const SumRun& run, uint32_t mark) {
  char tail[160];
  const int seconds = static_cast<int>(run.control.elapsedSeconds.load());
  if (Settings.Info.load() != 0) {
    std::snprintf(tail, sizeof tail, " (%d done in %d seconds, %d/%d deletions)\n",
                  static_cast<int>(mark), seconds, static_cast<int>(run.evictionCount),
                  static_cast<int>(run.deletionCount));
  } else {
    std::snprintf(tail, sizeof tail, " (%d done in %d seconds)\n", static_cast<int>(mark),
                  seconds);
  }
  const std::string line =
      "Range: " + Decimal128(run.windowLow) + "-" + Decimal128(run.ceiling) + tail;
  LogText(run.control, line.c_str());
}

void ShowSumStatus(const SumRun& run) {
  char text[96];
  std::snprintf(text, sizeof text, "Sum %d,%d: %d-%d", static_cast<int>(run.k),
                static_cast<int>(run.n), static_cast<int>(run.start), static_cast<int>(run.end));
  ShowStatus(run.control, text);
}

// At a window's boundary, with `mark` the largest x whose x^k the window low has reached: an
// idle worker gets the upper part of the line. This run then ends at the cut, and its
// checkpoint moves to the name of the shortened line.
void OfferUpperPart(SumRun& run, WorkItem& item, uint32_t mark) {
  if (run.control.splitWanted.load(std::memory_order_relaxed) == 0) return;
  const std::string oldName = SumCheckpointName(run);
  const std::string oldBackup = SumCheckpointBackupName(run);
  if (!OfferSplit(run.control, item, mark + 1)) return;
  U128 endPower;
  if (!RunPower(run, item.end, endPower)) return;
  run.end = item.end;
  run.endPower = endPower;
  if (Less128(run.endPower, run.ceiling)) run.ceiling = run.endPower;
  SaveSumCheckpoint(run);
  std::remove(oldName.c_str());
  std::remove(oldBackup.c_str());
}

// Progress is saved (the held collision lines, the done line, the work line and the
// checkpoint, in that order) at most this often, and at a save request, a split, a stop and
// the end: a small pool gives thousands of windows a second, and a save per window would
// leave the search waiting on the disk.
constexpr uint32_t kSavePeriodSeconds = 5;
// ... and as soon as this many collision lines are held.
constexpr size_t kMostHeldLines = size_t{1} << 16;

class SumLine {
 public:
  SumLine(SumRun& run, WorkItem& item) : run_(run), item_(item) {}
  ~SumLine();
  SearchOutcome Search(const SumSearchOptions& options);

 private:
  template <bool Filtered>
  SearchOutcome WindowLoop();
  // Writes the held lines, then the progress up to the window low (`mark` as ProgressMark
  // gave it). Nothing when the progress is on the disk; otherwise how the search ends: the
  // results file could not take a line (the work stops, its checkpoint no further than the
  // lines on the disk), or the line is gone from the work file.
  std::optional<SearchOutcome> SaveProgress(uint32_t mark, bool marked);
  // Puts the held lines on the disk, waiting while the results file refuses them. False when
  // a Stop ended the wait: the lines are held in memory only, and their windows are searched
  // again from the last checkpoint.
  bool WriteHeldLines() {
    if (run_.reports.Write(run_.control, run_.k) || WaitForResultsFile(run_.control)) return true;
    run_.windowLow = savedLow_;
    return false;
  }
  bool SaveDue() const {
    return run_.control.elapsedSeconds.load() - savedAt_ >= kSavePeriodSeconds ||
           run_.reports.size() >= kMostHeldLines;
  }
  SearchOutcome Fail();
  // Progress that could not be written stops the work; the next run starts from the
  // checkpoint.
  SearchOutcome Stop() {
    SaveSumCheckpoint(run_);
    return SearchOutcome::Stopped;
  }

  SumRun& run_;
  WorkItem& item_;
  // The windowed engine, unless "SumEngine=tree" selects the sum tree.
  std::unique_ptr<WindowEngine> engine_;
  U128 savedLow_;         // the window low of the last saved checkpoint
  uint32_t savedAt_ = 0;  // the elapsed seconds at that save
};

SumLine::~SumLine() = default;

SearchOutcome SumLine::Fail() {
  // The lines of the windows searched before the failing one are sound.
  run_.reports.DropFrom(run_.windowLow);
  run_.reports.Write(run_.control, run_.k);
  char text[200];
  std::snprintf(text, sizeof text, "Internal error %d on %d,%d,%d,%d\n",
                static_cast<int>(run_.control.internalError.load()),
                static_cast<int32_t>(item_.power), static_cast<int32_t>(item_.start),
                static_cast<int32_t>(item_.end), static_cast<int32_t>(item_.terms));
  return FailLine(run_.control, item_, text, SumCheckpointName(run_));
}

std::optional<SearchOutcome> SumLine::SaveProgress(uint32_t mark, bool marked) {
  SearchControl& control = run_.control;
  if (!WriteHeldLines()) return Stop();
  if (marked && mark > run_.start) {
    // Not done until the line is on the disk: a line held in memory stops the work, and
    // the next run writes it again from the checkpoint.
    if (ReportResult(control, DoneText(run_, mark).c_str()) == 0) return Stop();
    run_.start = mark;
    item_.start = mark;
    control.elapsedSeconds.store(0);
    if (!UpdateWorkLine(item_)) return SearchOutcome::Finished;  // the line is gone
  }
  SaveSumCheckpoint(run_);
  savedLow_ = run_.windowLow;
  savedAt_ = control.elapsedSeconds.load();
  return std::nullopt;
}

template <bool Filtered>
SearchOutcome SumLine::WindowLoop() {
  constexpr uint32_t stride = kStride<Filtered>;
  SearchControl& control = run_.control;
  savedLow_ = run_.windowLow;
  savedAt_ = control.elapsedSeconds.load();
  for (;;) {
    uint32_t mark = run_.start;
    const bool marked = ProgressMark<stride>(run_, mark);
    const bool splitWanted = control.splitWanted.load(std::memory_order_relaxed) != 0;
    if (control.Requested(REQ_SAVE) || splitWanted || SaveDue()) {
      control.requests.fetch_and(~REQ_SAVE);
      if (std::optional<SearchOutcome> ended = SaveProgress(mark, marked)) return *ended;
      // The cut lies above every saved value, and no line is held.
      if (splitWanted) OfferUpperPart(run_, item_, marked ? mark : run_.start - 1);
    }
    // With the engine the windows are its own; without, the sum tree's.
    if (engine_ != nullptr) run_.ceiling = engine_->PlanWindow(run_.windowLow, run_.endPower);
    LogWindow(run_, marked ? mark : run_.start - 1);
    ShowSumStatus(run_);

    run_.evictionCount = 0;
    run_.deletionCount = 0;
    if (engine_ != nullptr) {
      run_.ceiling = engine_->Search(run_.windowLow, run_.ceiling, [this](const CollisionLine& line) {
        run_.reports.Add(line.value, line.m, line.n);
      });
    } else {
      run_.tree.Reset();
      RunPass<Filtered>(run_);
    }
    if (control.internalError.load() != 0) return Fail();
    if (control.Requested(REQ_HALT)) {
      // The window is searched again from its start: its lines are written then.
      run_.reports.DropFrom(run_.windowLow);
      if (std::optional<SearchOutcome> ended = SaveProgress(mark, marked)) return *ended;
      return SearchOutcome::Stopped;
    }
    // The values at and above the final ceiling come again with the next window.
    run_.reports.DropFrom(run_.ceiling);
    if (!Less128(run_.ceiling, run_.endPower)) {
      if (!WriteHeldLines()) return Stop();
      run_.windowLow = run_.endPower;
      if (ReportResult(control, DoneText(run_, run_.end).c_str()) == 0) return Stop();
      DeleteSumCheckpoint(run_);
      item_.start = item_.end;
      UpdateWorkLine(item_);
      return SearchOutcome::Finished;
    }
    if (run_.evictionCount > 0) {
      NextWindow(run_);
    } else {
      run_.windowLow = run_.ceiling;
      run_.ceiling = run_.endPower;
    }
  }
}

SearchOutcome SumLine::Search(const SumSearchOptions& options) {
  SearchControl& control = run_.control;
  run_.k = item_.power;
  run_.first = item_.first != 0 && item_.first < item_.start ? item_.first : item_.start;
  run_.start = item_.start;
  run_.end = item_.end;
  run_.n = item_.terms;
  run_.poolSize = PoolSizeFor(item_.megabytes, options.poolNodeLimit);
  control.internalError.store(0);
  control.sliceLength.store(0);

  // The residue filter keeps out sums whose terms all share an active prime p. With fewer
  // terms than the prime's modulus q such a sum can only equal another such sum (a multiple of
  // a smaller collision), so only those primes are used.
  run_.sieve = SetupSieve(run_.k, 0, run_.n);
  const bool filtered = run_.sieve.count > 0;
  if (filtered) LogText(control, "Using faster AVL...\n");

  if (!RunPower(run_, run_.start, run_.windowLow)) return Fail();
  if (!RunPower(run_, run_.end, run_.endPower)) return Fail();

  const uint32_t entryWords = filtered ? kFilteredEntryWords : kStandardEntryWords;
  if (!run_.powers.Allocate(static_cast<uint64_t>(entryWords) * 4 * run_.end)) {
    LogMessage(control, "Not enough memory for the table of powers\n");
    control.internalError.store(301);
    return Fail();
  }
  const bool built =
      filtered ? BuildSumPowersFiltered(run_.powers, run_.k, run_.sieve, run_.end,
                                        control.internalError)
               : BuildSumPowers(run_.powers, run_.k, run_.end, control.internalError);
  if (!built) return Fail();

  if (Settings.SumTree.load() != 0) {
    run_.tree.Create();
  } else {
    WindowEngineSetup setup;
    setup.k = run_.k;
    setup.n = run_.n;
    setup.end = run_.end;
    setup.powers = run_.powers.begin();
    setup.stride = entryWords;
    setup.sieveMask = run_.sieve.mask;
    setup.memoryBytes = static_cast<uint64_t>(run_.poolSize) * sizeof(SumNode);
    const uint32_t power = run_.k;
    setup.wanted = [power](uint32_t m, uint32_t n) { return CollisionWanted(power, m, n); };
    SearchControl* control = &run_.control;
    setup.stop = [control] { return control->Requested(REQ_HALT); };
    engine_ = std::make_unique<WindowEngine>(setup);
  }
  LoadSumCheckpoint(run_);
  if (Less128(run_.endPower, run_.windowLow)) run_.windowLow = run_.endPower;
  run_.deletionCount = 0;
  run_.evictionCount = 0;
  run_.ceiling = run_.endPower;
  return filtered ? WindowLoop<true>() : WindowLoop<false>();
}

}  // namespace

void SumPass(SumRun& run) { RunPass<false>(run); }
void SumPassFiltered(SumRun& run) { RunPass<true>(run); }

void NextWindow(SumRun& run) {
  const U128 low = run.windowLow;
  const U128 upper = run.ceiling;
  U128 width = upper;
  Sub128(width, low);
  U128 next = upper;
  const bool carry = Add128(next, width) || Add128(next, width);
  run.windowLow = upper;
  run.ceiling = (carry || !Less128(next, run.endPower)) ? run.endPower : next;
}

SearchOutcome RunSumSearch(SearchControl& control, WorkItem& item,
                           const SumSearchOptions& options) {
  // The run holds its tree and tables on the heap; it lives for the line.
  auto run = std::make_unique<SumRun>(control);
  return SumLine(*run, item).Search(options);
}

SearchOutcome RunSumSearch(SearchControl& control, WorkItem& item) {
  return RunSumSearch(control, item, SumSearchOptions{});
}

}  // namespace aequa
