#include "sums/sum_check.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "compute/equal_sums_report.h"
#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "core/output_log.h"
#include "core/work_control.h"
#include "sums/sum_powers.h"

namespace aequa {
namespace {

// One level of the search: the smallest power this level's term may have, the entry of the
// term, and what is left to reach after it.
struct SearchFrame {
  U128 bound;
  const uint32_t* term;
  U128 rest;
};

class SumCheck {
 public:
  SumCheck(SearchControl& control, uint32_t power, uint32_t terms)
      : control_(control), k_(power), n_(terms), progress_(std::make_unique<EqualSumsRun>(control)) {
    // No left terms: the progress report writes no equal-sums checkpoint. Its line shows the
    // power and the term count of this search.
    progress_->power = power;
    progress_->leftTerms = 0;
    progress_->rightTerms = terms;
    progress_->precisionWords = 4;
  }
  SumCheckResult Run(const std::string& text);

 private:
  const uint32_t* Entry(uint32_t x) const {
    return powers_.begin() + static_cast<size_t>(x) * kStandardEntryWords;
  }
  U128 PowerAt(uint32_t x) const { return PowerEntry(Entry(x)); }
  uint32_t TermOf(const uint32_t* entry) const {
    return static_cast<uint32_t>((entry - powers_.begin()) / kStandardEntryWords);
  }
  void Fail(int32_t code) {
    control_.internalError.store(code);
    searchOver_ = true;
  }
  bool PowerAbove(uint32_t x) const;
  bool FindTableEnd();
  uint32_t LargestTermAtMost(const U128& value, uint32_t limit) const;
  void Report(uint32_t count);
  bool EndsSearch(uint32_t d);
  void LastTwoLevels(uint32_t d, uint32_t y);
  void SearchLevel(uint32_t d, uint32_t limit);
  void FindRepresentations();
  void PrintRepresentation(uint32_t count);

  SearchControl& control_;
  const uint32_t k_;
  const uint32_t n_;
  U128 target_;         // S
  uint32_t tableEnd_ = 0;  // smallest x >= 1 with x^k > S; the table holds 0 .. tableEnd_ - 1
  uint32_t found_ = 0;
  bool searchOver_ = false;
  bool stopped_ = false;  // ended by a stop or a slice, not run to its end
  PowersTable powers_;
  std::vector<SearchFrame> frames_;
  std::unique_ptr<EqualSumsRun> progress_;  // the placed terms, for the progress line
};

// x^k > S, a power beyond 128 bits counting as greater.
bool SumCheck::PowerAbove(uint32_t x) const {
  U128 power;
  return !PowerOf(x, k_, power) || Less128(target_, power);
}

// The smallest x >= 1 with x^k > S, found by halving since x^k ascends; false when it would
// pass kMaxTableEntries.
bool SumCheck::FindTableEnd() {
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
  tableEnd_ = low;
  return true;
}

// Largest y in [1, limit] with y^k <= value, 0 when there is none.
uint32_t SumCheck::LargestTermAtMost(const U128& value, uint32_t limit) const {
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

// The terms of levels 1..count, largest first; they must add up to S exactly.
void SumCheck::Report(uint32_t count) {
  U128 rest = target_;
  bool borrow = false;
  for (uint32_t level = 1; level <= count; ++level) {
    const uint32_t term = TermOf(frames_[level].term);
    if (term == 0 || term >= tableEnd_) return Fail(1);
    progress_->pathTerms[level - 1] = term;
    borrow = Sub128(rest, PowerAt(term)) || borrow;
  }
  if (borrow) return Fail(5);
  if (!rest.IsZero()) return Fail(6);
  PrintRepresentation(count);
}

// A request seen at level d: the placed terms go out as a progress line. A halt or the end of
// a time slice ends the search.
bool SumCheck::EndsSearch(uint32_t d) {
  for (uint32_t level = 1; level < d; ++level) {
    progress_->pathTerms[level - 1] = TermOf(frames_[level].term);
  }
  progress_->pathTermCount = d - 1;
  const uint32_t flags = control_.requests.load();
  ReportProgress(*progress_);
  return (flags & (REQ_HALT | REQ_SLICE)) != 0;
}

// Level d = n - 1 from its largest term y down, and the last level with it: as y falls,
// what is left for the last term grows, so the largest z with z^k at most that only climbs.
// One pointer walk instead of a halving search per y; the lines come in the same order.
void SumCheck::LastTwoLevels(uint32_t d, uint32_t y) {
  const uint32_t n = d + 1;
  const U128& rest = frames_[d - 1].rest;
  SearchFrame& frame = frames_[d];
  SearchFrame& last = frames_[n];
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
      if (searchOver_) return;
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
      if (searchOver_) return;
    }
  }
}

// Levels 2..n: terms from `limit` down, each no larger than the one before.
void SumCheck::SearchLevel(uint32_t d, uint32_t limit) {
  const U128& rest = frames_[d - 1].rest;
  SearchFrame& frame = frames_[d];
  // Terms whose power exceeds what is left are skipped at once.
  uint32_t y = LargestTermAtMost(rest, limit);
  if (d == n_) {
    // The last term must match what is left exactly.
    if (y != 0 && PowerAt(y) == rest) {
      frame.term = Entry(y);
      frame.rest = U128();
      Report(n_);
    }
    return;
  }
  frame.bound = DivSmall128(rest, n_ + 1 - d);
  if (control_.requests.load(std::memory_order_relaxed) != 0 && EndsSearch(d)) {
    searchOver_ = true;
    stopped_ = true;
    return;
  }
  if (d + 1 == n_) return LastTwoLevels(d, y);
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
    if (searchOver_) return;
  }
}

// Writes "S=" and the first `count` placed terms as runs ("5*2+1"); counts it.
void SumCheck::PrintRepresentation(uint32_t count) {
  const uint32_t* terms = progress_->pathTerms;
  std::string line = Decimal128(target_) + "=";
  for (uint32_t i = 0; i < count;) {
    uint32_t j = i;
    while (j < count && terms[j] == terms[i]) ++j;
    char run[32];
    if (j - i > 1) {
      std::snprintf(run, sizeof run, "%s%d*%d", i == 0 ? "" : "+", static_cast<int>(terms[i]),
                    static_cast<int>(j - i));
    } else {
      std::snprintf(run, sizeof run, "%s%d", i == 0 ? "" : "+", static_cast<int>(terms[i]));
    }
    line += run;
    i = j;
  }
  line += "\n";
  LogMessage(control_, line.c_str());
  ++found_;
}

void SumCheck::FindRepresentations() {
  if (powers_.begin() == nullptr || Entry(tableEnd_) > powers_.end()) return Fail(2);
  frames_[0].term = Entry(tableEnd_);
  frames_[0].rest = target_;
  SearchFrame& first = frames_[1];
  first.bound = DivSmall128(target_, n_);
  for (uint32_t x = tableEnd_ - 1; x >= 1; --x) {
    // Requests are seen here too, so that a stop and the progress line work when there is
    // no middle level.
    if (control_.requests.load(std::memory_order_relaxed) != 0) {
      progress_->pathTerms[0] = x;
      progress_->pathTermCount = 1;
      const uint32_t flags = control_.requests.load();
      ReportProgress(*progress_);
      if ((flags & (REQ_HALT | REQ_SLICE)) != 0) {
        searchOver_ = true;
        stopped_ = true;
        return;
      }
    }
    const U128 power = PowerAt(x);
    if (Less128(power, first.bound)) return;  // n terms up to x stay below S
    if (Less128(target_, power)) return Fail(7);
    first.term = Entry(x);
    first.rest = target_;
    Sub128(first.rest, power);
    if (first.rest.IsZero()) {
      Report(1);
    } else {
      SearchLevel(2, x);
    }
    if (searchOver_) return;
  }
}

SumCheckResult SumCheck::Run(const std::string& text) {
  SumCheckResult result;
  control_.internalError.store(0);
  // A slice length left by an earlier equal-sums run would end this search early.
  control_.sliceLength.store(0);
  char line[160];
  const ParseStop parsed = ParseDecimal128(text.c_str(), target_);
  if (parsed == ParseStop::TooLarge) {
    LogText(control_,
            "The number is too large: the largest is 340282366920938463463374607431768211455\n");
  } else if (!FindTableEnd()) {
    std::snprintf(line, sizeof line,
                  "The number is too large for power %d: its table of powers would need more "
                  "than %lu entries\n",
                  static_cast<int>(k_), static_cast<unsigned long>(kMaxTableEntries));
    LogText(control_, line);
  } else if (!powers_.Allocate(static_cast<uint64_t>(tableEnd_) * 4 * kStandardEntryWords)) {
    LogText(control_, "Not enough memory for the table of powers\n");
  } else if (BuildSumPowers(powers_, k_, tableEnd_, control_.internalError)) {
    frames_.assign(n_ + 1, SearchFrame{});
    FindRepresentations();
    // A search cut short says so: its count is of the sums found before the stop.
    std::snprintf(line, sizeof line, stopped_ ? "Stopped after %d sums of " : "Found %d sums of ",
                  static_cast<int>(found_));
    std::string count = line + Decimal128(target_);
    std::snprintf(line, sizeof line, " with %d terms of power %d\n", static_cast<int>(n_),
                  static_cast<int>(k_));
    count += line;
    LogMessage(control_, count.c_str());
    result.countLineWritten = true;
  }
  result.found = found_;
  result.stopped = stopped_;
  return result;
}

}  // namespace

SumCheckResult RunSumCheck(SearchControl& control, uint32_t power, uint32_t terms,
                           const std::string& text) {
  return SumCheck(control, power, terms).Run(text);
}

bool StartSumCheck(uint32_t power, uint32_t terms, const char* text, SumCheckResult* result) {
  const std::string number = text;
  return StartQuestion([power, terms, number, result](SearchControl& control) {
    const SumCheckResult outcome = RunSumCheck(control, power, terms, number);
    if (result != nullptr) *result = outcome;
  });
}

void StartSumCheckFromWindow(uint32_t power, uint32_t terms, const char* text) {
  StartSumCheck(power, terms, text);
}

}  // namespace aequa
