#include "sums/sum_search.h"

#include <cstdio>
#include <memory>
#include <string>

#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "compute/sieve.h"
#include "core/output_log.h"
#include "core/settings.h"
#include "core/shared_words.h"
#include "core/status_display.h"
#include "core/work_queue.h"
#include "sums/collision_reports.h"
#include "sums/sum_checkpoint.h"
#include "sums/sum_powers.h"
#include "sums/sum_run_state.h"
#include "sums/sum_tree.h"
#include "sums/window_engine.h"

namespace aequa {
namespace {

template <bool Filtered>
constexpr uint32_t kStride = Filtered ? kFilteredEntryWords : kStandardEntryWords;

// Largest x in [1, count) with x^k <= limit, or 1 when there is none. The table ascends.
template <uint32_t Stride>
uint32_t LargestPowerAtMost(const U128& limit, uint32_t count) {
  uint32_t low = 1;  // invariant: the answer is at least low
  if (count <= 1 || Less128(limit, PowerEntry(PtrPowers + Stride))) return 1;
  uint32_t high = count - 1;
  while (low < high) {
    const uint32_t mid = low + (high - low + 1) / 2;
    if (Less128(limit, PowerEntry(PtrPowers + static_cast<size_t>(mid) * Stride))) {
      high = mid - 1;
    } else {
      low = mid;
    }
  }
  return low;
}

// Smallest y in [1, limit] with y^k >= value, limit + 1 when there is none.
template <uint32_t Stride>
uint32_t SmallestPowerAtLeast(const U128& value, uint32_t limit) {
  uint32_t low = 1, high = limit + 1;
  while (low < high) {
    const uint32_t mid = low + (high - low) / 2;
    if (Less128(PowerEntry(PtrPowers + static_cast<size_t>(mid) * Stride), value)) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

// Adds one more term y = 1 .. limit to RunningSum and enters each sum of the window; terms
// ascend, so the first sum that reaches Ceiling ends the level.
template <bool Filtered>
void ExtendSum(uint32_t depth, uint32_t limit) {
  constexpr uint32_t stride = kStride<Filtered>;
  if (Requested(REQ_HALT)) return;
  uint32_t y = 1;
  if (Less128(RunningSum, WindowLow)) {
    // With r terms still to add, none above y, a y with r * y^k short of the window enters
    // nothing, here or deeper: start at the first y that can reach it.
    U128 need = WindowLow;
    Sub128(need, RunningSum);
    const uint32_t r = SumRun.n + 1 - depth;
    y = SmallestPowerAtLeast<stride>(r == 1 ? need : DivSmall128(need, r), limit);
  }
  const uint32_t* entry = PtrPowers + static_cast<size_t>(y) * stride;
  for (; y <= limit; ++y, entry += stride) {
    const U128 power = PowerEntry(entry);
    if (Add128(RunningSum, power)) {
      Sub128(RunningSum, power);
      return;
    }
    if constexpr (Filtered) RunningResidues += entry[4];
    if (!Less128(RunningSum, WindowLow)) {
      if (!Less128(RunningSum, Ceiling)) {
        Sub128(RunningSum, power);
        if constexpr (Filtered) RunningResidues -= entry[4];
        return;
      }
      if (!Filtered || Admitted(RunningResidues, SieveMask)) TreeInsert(RunningSum, depth);
    }
    if (depth < SumRun.n) ExtendSum<Filtered>(depth + 1, y);
    if (Sub128(RunningSum, power)) InternalError.store(303);
    if constexpr (Filtered) RunningResidues -= entry[4];
  }
}

template <bool Filtered>
void RunPass() {
  constexpr uint32_t stride = kStride<Filtered>;
  const uint32_t end = SumRun.end;
  if (end == 0 || !Less128(WindowLow, Ceiling)) return;  // an empty window enters nothing
  const uint32_t first = LargestPowerAtMost<stride>(DivSmall128(WindowLow, SumRun.n), end);
  for (uint32_t x = first; x < end; ++x) {
    if (Requested(REQ_HALT) || InternalError.load(std::memory_order_relaxed) != 0) return;
    const uint32_t* entry = PtrPowers + static_cast<size_t>(x) * stride;
    const U128 power = PowerEntry(entry);
    RunningSum = power;
    if constexpr (Filtered) RunningResidues = entry[4];
    // Every sum still to come is at least x^k: smaller values can no longer meet their equal.
    for (const SumNode* smallest = TreeFirst();
         smallest != nullptr && Less128(smallest->key, power); smallest = TreeFirst()) {
      TreeDeleteFirst();
    }
    if (!Less128(power, WindowLow)) {
      if (!Less128(power, Ceiling)) return;
      bool admitted = true;
      if constexpr (Filtered) admitted = Admitted(entry[4], SieveMask);
      if (admitted) TreeInsert(power, 1);
    }
    ExtendSum<Filtered>(2, x);
    if (!Less128(power, Ceiling)) InternalError.store(302);
  }
}

std::string DoneText(uint32_t value) {
  char text[96];
  std::snprintf(text, sizeof text, "(%d,%d) %d done in %d seconds", static_cast<int>(SumRun.k),
                static_cast<int>(SumRun.n), static_cast<int>(value),
                static_cast<int>(ElapsedSeconds.load()));
  return text;
}

// The largest x in [start, end) with x^k <= WindowLow; start - 1 (reported as false) when
// even start^k is above it.
template <uint32_t Stride>
bool ProgressMark(uint32_t& mark) {
  const uint32_t start = SumRun.start;
  const uint32_t end = SumRun.end;
  if (start >= end) {
    mark = start;
    return true;
  }
  // x^k ascends: find the first x in [start, end) with x^k >= WindowLow (end when none).
  uint32_t low = start, high = end;
  while (low < high) {
    const uint32_t mid = low + (high - low) / 2;
    if (Less128(PowerEntry(PtrPowers + static_cast<size_t>(mid) * Stride), WindowLow)) {
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
  if (PowerEntry(PtrPowers + static_cast<size_t>(x) * Stride) == WindowLow) {
    mark = x;
    return true;
  }
  if (x == start) return false;
  mark = x - 1;
  return true;
}

void LogWindow(uint32_t mark) {
  char tail[160];
  if (Settings.Info.load() != 0) {
    std::snprintf(tail, sizeof tail, " (%d done in %d seconds, %d/%d deletions)\n",
                  static_cast<int>(mark), static_cast<int>(ElapsedSeconds.load()),
                  static_cast<int>(EvictionCount), static_cast<int>(DeletionCount));
  } else {
    std::snprintf(tail, sizeof tail, " (%d done in %d seconds)\n", static_cast<int>(mark),
                  static_cast<int>(ElapsedSeconds.load()));
  }
  const std::string line = "Range: " + Decimal128(WindowLow) + "-" + Decimal128(Ceiling) + tail;
  LogText(line.c_str());
}

void ShowSumStatus() {
  char text[96];
  std::snprintf(text, sizeof text, "Sum %d,%d: %d-%d", static_cast<int>(SumRun.k),
                static_cast<int>(SumRun.n), static_cast<int>(SumRun.start),
                static_cast<int>(SumRun.end));
  ShowStatus(text);
  if (Settings.TrayIcon.load() != 0) SetTrayIcon(0, text);
}

// With an engine the windows are its own; without, the sum tree's.
template <bool Filtered>
void WindowLoop(WorkItem& item, WindowEngine* engine) {
  constexpr uint32_t stride = kStride<Filtered>;
  for (;;) {
    uint32_t mark = SumRun.start;
    const bool marked = ProgressMark<stride>(mark);
    if (marked && mark > SumRun.start) {
      // Not done until the line is on the disk: a line held in memory stops the work, and
      // the next run writes it again from the checkpoint.
      if (ReportResult(DoneText(mark).c_str()) == 0) {
        SaveSumCheckpoint();
        return;
      }
      SumRun.start = mark;
      item.start = mark;
      ElapsedSeconds.store(0);
      UpdateWorkLine(item);
      SaveSumCheckpoint();
    }
    if (engine != nullptr) Ceiling = engine->PlanWindow(WindowLow, EndPower);
    LogWindow(marked ? mark : SumRun.start - 1);
    ShowSumStatus();

    EvictionCount = 0;
    DeletionCount = 0;
    if (Requested(REQ_SAVE)) {
      RequestFlags.fetch_and(~REQ_SAVE);
      SaveSumCheckpoint();
    }
    ClearCollisionReports();
    if (engine != nullptr) {
      Ceiling = engine->Search(WindowLow, Ceiling, [](const CollisionLine& line) {
        AddCollisionReport(line.value, line.m, line.n);
      });
    } else {
      TreeReset();
      RunPass<Filtered>();
    }
    if (InternalError.load() != 0) return;
    if (Requested(REQ_HALT)) {
      // The window is searched again from its start: its lines are written then.
      ClearCollisionReports();
      SaveSumCheckpoint();
      return;
    }
    // The lines of the values below the final ceiling: those above it come again with the
    // next window.
    if (!WriteCollisionReports(Ceiling)) {
      SaveSumCheckpoint();
      return;
    }
    if (!Less128(Ceiling, EndPower)) {
      WindowLow = EndPower;
      if (ReportResult(DoneText(SumRun.end).c_str()) == 0) {
        SaveSumCheckpoint();
        return;
      }
      DeleteSumCheckpoint();
      item.start = item.end;
      UpdateWorkLine(item);
      return;
    }
    if (EvictionCount > 0) {
      NextWindow();
    } else {
      WindowLow = Ceiling;
      Ceiling = EndPower;
    }
    SaveSumCheckpoint();
  }
}

}  // namespace

void SumPass() { RunPass<false>(); }
void SumPassFiltered() { RunPass<true>(); }

void NextWindow() {
  const U128 low = WindowLow;
  const U128 upper = Ceiling;
  U128 width = upper;
  Sub128(width, low);
  U128 next = upper;
  const bool carry = Add128(next, width) || Add128(next, width);
  WindowLow = upper;
  Ceiling = (carry || !Less128(next, EndPower)) ? EndPower : next;
}

void RunSumSearch(WorkItem& item) {
  SumRun.k = item.power;
  SumRun.start = item.start;
  SumRun.end = item.end;
  SumRun.n = item.terms;
  SumRun.poolSize = PoolSizeFor(item.megabytes);
  InternalError.store(0);
  PrecisionWords = 4;
  SliceLength.store(0);

  // The residue filter keeps out sums whose terms all share an active prime p. With fewer
  // terms than the prime's modulus q such a sum can only equal another such sum (a multiple of
  // a smaller collision), so only those primes are used.
  WorkItem sieveItem = item;
  sieveItem.leftTerms = 0;
  sieveItem.rightTerms = item.terms;
  SetupSieve(sieveItem);
  const bool filtered = SieveCount > 0;
  if (filtered) LogText("Using faster AVL...\n");

  if (!Power128(SumRun.start, WindowLow)) return;
  if (!Power128(SumRun.end, EndPower)) return;

  const uint32_t entryWords = filtered ? kFilteredEntryWords : kStandardEntryWords;
  if (!AllocPowers(static_cast<uint64_t>(entryWords) * 4 * SumRun.end)) {
    LogMessage("Not enough memory for the table of powers\n");
    InternalError.store(301);
    return;
  }
  if (filtered) {
    BuildSumPowersFiltered(SumRun.end);
  } else {
    BuildSumPowers(SumRun.end);
  }
  if (InternalError.load() != 0) {
    FreePowers();
    return;
  }

  std::unique_ptr<WindowEngine> engine;
  if (Settings.SumTree.load() != 0) {
    TreeCreate();
  } else {
    WindowEngineSetup setup;
    setup.k = SumRun.k;
    setup.n = SumRun.n;
    setup.end = SumRun.end;
    setup.powers = PtrPowers;
    setup.stride = entryWords;
    setup.sieveMask = SieveMask;
    setup.memoryBytes = static_cast<uint64_t>(SumRun.poolSize) * sizeof(SumNode);
    setup.wanted = CollisionWanted;
    setup.stop = [] { return Requested(REQ_HALT); };
    engine = std::make_unique<WindowEngine>(setup);
  }
  LoadSumCheckpoint();
  if (Less128(EndPower, WindowLow)) WindowLow = EndPower;
  DeletionCount = 0;
  EvictionCount = 0;
  Ceiling = EndPower;
  if (filtered) {
    WindowLoop<true>(item, engine.get());
  } else {
    WindowLoop<false>(item, engine.get());
  }
  engine.reset();
  TreeDestroy();
  FreePowers();
}

}  // namespace aequa
