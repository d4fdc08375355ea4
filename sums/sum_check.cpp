#include "sums/sum_check.h"

#include <cstdio>
#include <string>
#include <vector>

#include "compute/equal_sums_report.h"
#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "core/output_log.h"
#include "core/shared_words.h"
#include "core/timing.h"
#include "core/work_control.h"
#include "sums/sum_powers.h"
#include "sums/sum_run_state.h"

namespace aequa {

U128 Target;
uint32_t TableEnd = 0;
uint32_t FoundCount = 0;
bool CountLineWritten = false;

namespace {

ParseStop targetStop = ParseStop::End;
SearchFrame* frames = nullptr;
bool searchOver = false;
bool stopped = false;  // ended by a stop or a slice, not run to its end

inline const uint32_t* Entry(uint32_t x) {
  return PtrPowers + static_cast<size_t>(x) * kStandardEntryWords;
}
inline U128 PowerAt(uint32_t x) { return PowerEntry(Entry(x)); }
inline uint32_t TermOf(const uint32_t* entry) {
  return static_cast<uint32_t>((entry - PtrPowers) / kStandardEntryWords);
}

void Fail(int32_t code) {
  InternalError.store(code);
  searchOver = true;
}

// x^k > S, a power beyond 128 bits counting as greater.
bool PowerAbove(uint32_t x) {
  U128 power;
  return !PowerOf(x, SumRun.k, power) || Less128(Target, power);
}

// The smallest x >= 1 with x^k > S, found by halving since x^k ascends; false when it would
// pass kMaxTableEntries.
bool FindTableEnd() {
  if (!PowerAbove(kMaxTableEntries)) return false;
  uint32_t low = 1, high = kMaxTableEntries;
  while (low < high) {
    const uint32_t mid = low + (high - low) / 2;
    if (PowerAbove(mid)) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  TableEnd = low;
  return true;
}

// Largest y in [1, limit] with y^k <= value, 0 when there is none.
uint32_t LargestTermAtMost(const U128& value, uint32_t limit) {
  uint32_t low = 0, high = limit;
  while (low < high) {
    const uint32_t mid = low + (high - low + 1) / 2;
    if (Less128(value, PowerAt(mid))) {
      high = mid - 1;
    } else {
      low = mid;
    }
  }
  return low;
}

// The terms of levels 1..count go to PathTerms, largest first; they must add up to S exactly.
void Report(uint32_t count) {
  U128 rest = Target;
  bool borrow = false;
  for (uint32_t level = 1; level <= count; ++level) {
    const uint32_t term = TermOf(frames[level].term);
    if (term == 0 || term >= TableEnd) return Fail(1);
    PathTerms[level - 1] = term;
    borrow = Sub128(rest, PowerAt(term)) || borrow;
  }
  if (borrow) return Fail(5);
  if (!rest.IsZero()) return Fail(6);
  PrintRepresentation(count);
}

// A request seen at level d: the placed terms go out as a progress line. A halt or the end of
// a time slice ends the search.
bool EndsSearch(uint32_t d) {
  for (uint32_t level = 1; level < d; ++level) PathTerms[level - 1] = TermOf(frames[level].term);
  PathTermCount = d - 1;
  const uint32_t flags = RequestFlags.load();
  ReportProgress();
  return (flags & (REQ_HALT | REQ_SLICE)) != 0;
}

// Level d = n - 1 from its largest term y down, and the last level with it: as y falls,
// what is left for the last term grows, so the largest z with z^k at most that only climbs.
// One pointer walk instead of a halving search per y; the lines come in the same order.
void LastTwoLevels(uint32_t d, uint32_t y) {
  const uint32_t n = d + 1;
  const U128& rest = frames[d - 1].rest;
  SearchFrame& frame = frames[d];
  SearchFrame& last = frames[n];
  uint32_t z = 0;
  bool zFound = false;
  for (; y >= 1; --y) {
    const uint32_t* entry = Entry(y);
    const U128 power = PowerEntry(entry);
    if (Less128(power, frame.bound)) return;  // the terms left cannot reach S any more
    frame.term = entry;
    frame.rest = rest;
    Sub128(frame.rest, power);
    if (frame.rest.IsZero()) {
      Report(d);
      if (searchOver) return;
      continue;
    }
    if (!zFound) {
      z = LargestTermAtMost(frame.rest, y);
      zFound = true;
    }
    if (z > y) z = y;  // y^k <= z^k was at most what was left before, so it is now
    while (z < y && !Less128(frame.rest, PowerAt(z + 1))) ++z;
    if (z == 0) continue;
    const uint32_t* zEntry = Entry(z);
    if (PowerEntry(zEntry) == frame.rest) {
      last.term = zEntry;
      last.rest = U128();
      Report(n);
      if (searchOver) return;
    }
  }
}

// Levels 2..n: terms from `limit` down, each no larger than the one before.
void SearchLevel(uint32_t d, uint32_t limit) {
  const uint32_t n = SumRun.n;
  const U128& rest = frames[d - 1].rest;
  SearchFrame& frame = frames[d];
  // Terms whose power exceeds what is left are skipped at once.
  uint32_t y = LargestTermAtMost(rest, limit);
  if (d == n) {
    // The last term must match what is left exactly.
    if (y != 0 && PowerAt(y) == rest) {
      frame.term = Entry(y);
      frame.rest = U128();
      Report(n);
    }
    return;
  }
  frame.bound = DivSmall128(rest, n + 1 - d);
  if (RequestFlags.load(std::memory_order_relaxed) != 0 && EndsSearch(d)) {
    searchOver = true;
    stopped = true;
    return;
  }
  if (d + 1 == n) return LastTwoLevels(d, y);
  for (; y >= 1; --y) {
    const U128 power = PowerAt(y);
    if (Less128(power, frame.bound)) return;  // the terms left cannot reach S any more
    frame.term = Entry(y);
    frame.rest = rest;
    Sub128(frame.rest, power);
    // A representation complete at this level does not end it: smaller terms may still
    // complete S with more terms.
    if (frame.rest.IsZero()) {
      Report(d);
    } else {
      SearchLevel(d + 1, y);
    }
    if (searchOver) return;
  }
}

}  // namespace

void PrintRepresentation(uint32_t count) {
  std::string line = Decimal128(Target) + "=";
  for (uint32_t i = 0; i < count;) {
    uint32_t j = i;
    while (j < count && PathTerms[j] == PathTerms[i]) ++j;
    char run[32];
    if (j - i > 1) {
      std::snprintf(run, sizeof run, "%s%d*%d", i == 0 ? "" : "+",
                    static_cast<int>(PathTerms[i]), static_cast<int>(j - i));
    } else {
      std::snprintf(run, sizeof run, "%s%d", i == 0 ? "" : "+", static_cast<int>(PathTerms[i]));
    }
    line += run;
    i = j;
  }
  line += "\n";
  LogMessage(line.c_str());
  ++FoundCount;
}

void FindRepresentations() {
  const uint32_t n = SumRun.n;
  searchOver = false;
  stopped = false;
  if (PtrPowers == nullptr || Entry(TableEnd) > PowersEnd) return Fail(2);
  frames[0].term = Entry(TableEnd);
  frames[0].rest = Target;
  SearchFrame& first = frames[1];
  first.bound = DivSmall128(Target, n);
  for (uint32_t x = TableEnd - 1; x >= 1; --x) {
    // Requests are seen here too, so that a stop and the progress line work when there is
    // no middle level.
    if (RequestFlags.load(std::memory_order_relaxed) != 0) {
      PathTerms[0] = x;
      PathTermCount = 1;
      const uint32_t flags = RequestFlags.load();
      ReportProgress();
      if ((flags & (REQ_HALT | REQ_SLICE)) != 0) {
        searchOver = true;
        stopped = true;
        return;
      }
    }
    const U128 power = PowerAt(x);
    if (Less128(power, first.bound)) return;  // n terms up to x stay below S
    if (Less128(Target, power)) return Fail(7);
    first.term = Entry(x);
    first.rest = Target;
    Sub128(first.rest, power);
    if (first.rest.IsZero()) {
      Report(1);
    } else {
      SearchLevel(2, x);
    }
    if (searchOver) return;
  }
}

void StartSumCheck(uint32_t power, uint32_t terms, const char* text) {
  RequestFlags.store(0);
  SumRun.k = power;
  SumRun.n = terms;
  targetStop = ParseDecimal128(text, Target);
  StartWorkWith(&SumCheckMain);
}

void SumCheckMain() {
  PrecisionWords = 4;
  WorkerRunning.store(1);
  InternalError.store(0);
  FoundCount = 0;
  CountLineWritten = false;
  // No left terms: the progress report writes no equal-sums checkpoint. Its line shows the
  // power and the term count of this search.
  LeftTerms = 0;
  Power = SumRun.k;
  RightTerms = SumRun.n;
  // A slice length left by an earlier equal-sums run would end this search early.
  SliceLength.store(0);
  ApplyPriority();

  char text[160];
  if (targetStop == ParseStop::TooLarge) {
    LogText("The number is too large: the largest is 340282366920938463463374607431768211455\n");
  } else if (!FindTableEnd()) {
    std::snprintf(text, sizeof text,
                  "The number is too large for power %d: its table of powers would need more "
                  "than %lu entries\n",
                  static_cast<int>(SumRun.k), static_cast<unsigned long>(kMaxTableEntries));
    LogText(text);
  } else if (!AllocPowers(static_cast<uint64_t>(TableEnd) * 4 * kStandardEntryWords)) {
    LogText("Not enough memory for the table of powers\n");
  } else {
    BuildSumPowers(TableEnd);
    if (InternalError.load() == 0) {
      std::vector<SearchFrame> levels(SumRun.n + 1);
      frames = levels.data();
      FindRepresentations();
      frames = nullptr;
      // A search cut short says so: its count is of the sums found before the stop.
      std::snprintf(text, sizeof text, stopped ? "Stopped after %d sums of " : "Found %d sums of ",
                    static_cast<int>(FoundCount));
      std::string line = text + Decimal128(Target);
      std::snprintf(text, sizeof text, " with %d terms of power %d\n",
                    static_cast<int>(SumRun.n), static_cast<int>(SumRun.k));
      line += text;
      LogMessage(line.c_str());
      CountLineWritten = true;
    }
    FreePowers();
  }

  WorkerRunning.store(0);
  while (TimerRunning.load() == 1) {
    RequestFlags.store(REQ_HALT);
    ProtocolSleep(50);
  }
}

}  // namespace aequa
