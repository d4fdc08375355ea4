#pragma once
// Runs one equal-sums kernel on a chosen value outside the driver, collects the results it
// reports (from the log's "New result: " lines) and its depth counters, and enumerates the
// same search space plainly, with exact 128-bit arithmetic, for comparison.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "compute/kernel_layout.h"
#include "compute/kernels.h"
#include "compute/path_frames.h"
#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "compute/sieve.h"
#include "core/output_log.h"
#include "core/shared_words.h"

namespace aequa::test {

using Terms = std::vector<uint32_t>;

struct Solution {
  Terms left;   // largest first
  Terms right;  // largest first
  bool operator<(const Solution& o) const {
    return left != o.left ? left < o.left : right < o.right;
  }
  bool operator==(const Solution& o) const { return left == o.left && right == o.right; }
};

struct KernelCase {
  uint32_t power = 3;
  uint32_t left = 1;
  uint32_t right = 3;
  uint32_t mode = 2;  // Exact: the result set does not depend on the order of the search
  uint32_t value = 6;
};

struct KernelOutcome {
  std::vector<Solution> results;  // as reported, in order (terms sorted)
  std::vector<uint32_t> counters;  // the first `right` depth counters
  int32_t error = 0;
  uint32_t flagsAfter = 0;
};

namespace detail {

using u128 = unsigned __int128;

inline std::vector<Solution>* collected = nullptr;
inline uint32_t preparedRight = 0;  // n of the prepared case, before results lower it

// "a*2+b" -> {a, a, b}
inline Terms ParseRuns(const std::string& text) {
  Terms terms;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('+', pos);
    if (end == std::string::npos) end = text.size();
    const std::string run = text.substr(pos, end - pos);
    const size_t star = run.find('*');
    const uint32_t value = static_cast<uint32_t>(std::stoul(run.substr(0, star)));
    const uint32_t count = star == std::string::npos ? 1 : std::stoul(run.substr(star + 1));
    terms.insert(terms.end(), count, value);
    pos = end + 1;
  }
  std::sort(terms.rbegin(), terms.rend());
  return terms;
}

inline void CollectResult(const char* line, bool /*replaced*/) {
  const std::string text = line;
  const std::string prefix = "New result: (";
  if (collected == nullptr || text.compare(0, prefix.size(), prefix) != 0) return;
  const size_t space = text.find(") ");
  const size_t equals = text.find('=');
  collected->push_back({ParseRuns(text.substr(space + 2, equals - space - 2)),
                        ParseRuns(text.substr(equals + 1))});
}

inline u128 PowerOf(uint32_t x, uint32_t k) {
  u128 v = 1;
  for (uint32_t i = 0; i < k; ++i) v *= x;
  return v;
}

}  // namespace detail
using namespace detail;

// The control words and the run the tests search on (one per test process).
inline SearchControl& TestControl() {
  static SearchControl control;
  return control;
}
inline EqualSumsRun& TestRun() {
  static EqualSumsRun* run = new EqualSumsRun(TestControl());
  return *run;
}

inline int NaturalLevel(const KernelCase& c) {
  const long double bits = c.power * std::log(static_cast<long double>(c.value)) / std::log(2.0L) +
                           std::log(static_cast<long double>(c.left)) / std::log(2.0L);
  return LevelForBits(bits);
}

inline KernelFamily NaturalFamily(const KernelCase& c) {
  return ChooseFamily(SetupSieve(c.power, c.left, c.right).count > 0, c.left == 1);
}

// Run state, sieve, table and frames for the case at `level`.
inline void PrepareRun(const KernelCase& c, int level) {
  EqualSumsRun& run = TestRun();
  run.power = c.power;
  run.leftTerms = c.left;
  run.rightTerms = c.right;
  preparedRight = c.right;
  run.searchLimit = c.right + 1;
  run.searchMode = c.mode;
  run.currentValue = c.value;
  run.precisionWords = static_cast<uint32_t>(kLevelWords[level]);
  run.resumed = 0;
  run.sieveRightTerms = c.right;
  run.sieve = SetupSieve(c.power, c.left, c.right);
  const uint64_t entries = static_cast<uint64_t>(c.value) + 1;
  run.powers.Allocate((run.precisionWords + 3) * entries * 4);
  run.frames.Allocate(c.left, c.right, run.precisionWords);
}

// Runs the kernel on the state PrepareRun set (fresh, or resumed when resumed is set) with
// `flags` in the requests, and collects what it reported.
inline KernelOutcome RunPrepared(KernelFamily family, int level, uint32_t flags = 0) {
  EqualSumsRun& run = TestRun();
  KernelOutcome outcome;
  collected = &outcome.results;
  SetLogLineSink(&CollectResult);
  for (uint32_t& counter : run.depthCounters) counter = 0;
  run.control.internalError.store(0);
  run.control.requests.store(flags);
  SelectKernel(family, level)(run);
  SetLogLineSink(nullptr);
  collected = nullptr;
  outcome.error = run.control.internalError.load();
  outcome.flagsAfter = run.control.requests.load();
  outcome.counters.assign(run.depthCounters, run.depthCounters + preparedRight);
  return outcome;
}

inline KernelOutcome RunCase(const KernelCase& c, KernelFamily family, int level) {
  PrepareRun(c, level);
  return RunPrepared(family, level);
}

// Every solution of the search space: x1 = value, other left terms at most x1, right terms
// below x1, at most `right` of them, none equal to a left term; for a sieve family, left
// combinations that share an active sieve prime (multiples of smaller solutions) left out.
// With `firstOnly`, a depth whose candidate completes the sum tries no smaller candidate, as
// the plain families' depths do (they take right terms largest first).
inline std::set<Solution> ReferenceSolutions(const KernelCase& c, bool sieveFamily,
                                             bool firstOnly = false) {
  std::set<Solution> found;
  const uint32_t k = c.power;
  Terms left{c.value};
  Terms right;
  std::vector<uint32_t> primes;
  if (sieveFamily) {
    const SieveSlots sieve = SetupSieve(c.power, c.left, c.right);
    for (uint32_t i = 0; i < sieve.count; ++i) primes.push_back(sieve.primes[i]);
  }
  auto isLeft = [&](uint32_t y) { return std::find(left.begin(), left.end(), y) != left.end(); };

  std::function<void(uint32_t, u128)> rightTerms = [&](uint32_t largest, u128 remaining) {
    if (remaining == 0) {
      if (!right.empty()) found.insert({left, right});
      return;
    }
    if (right.size() == c.right) return;
    const uint32_t slots = c.right - static_cast<uint32_t>(right.size());
    for (uint32_t y = largest; y >= 1; --y) {
      const u128 p = PowerOf(y, k);
      if (p * slots < remaining) break;  // even `slots` terms this large fall short
      if (p > remaining || isLeft(y)) continue;
      right.push_back(y);
      rightTerms(y, remaining - p);
      right.pop_back();
      if (firstOnly && p == remaining) break;
    }
  };
  std::function<void(uint32_t)> leftTerms = [&](uint32_t largest) {
    if (left.size() == c.left) {
      for (uint32_t p : primes) {
        if (std::all_of(left.begin(), left.end(), [p](uint32_t x) { return x % p == 0; })) return;
      }
      u128 sum = 0;
      for (uint32_t x : left) sum += PowerOf(x, k);
      rightTerms(c.value - 1, sum);
      return;
    }
    for (uint32_t x = largest; x >= 1; --x) {
      left.push_back(x);
      leftTerms(x);
      left.pop_back();
    }
  };
  leftTerms(c.value);
  return found;
}

// The results as a set, without those that repeat a left term on the right.
inline std::set<Solution> DistinctProper(const std::vector<Solution>& results) {
  std::set<Solution> proper;
  for (const Solution& s : results) {
    bool repeats = false;
    for (uint32_t y : s.right) {
      if (std::find(s.left.begin(), s.left.end(), y) != s.left.end()) repeats = true;
    }
    if (!repeats) proper.insert(s);
  }
  return proper;
}

inline void PrintTo(const Solution& s, std::ostream* os) {
  for (uint32_t x : s.left) *os << x << " ";
  *os << "=";
  for (uint32_t y : s.right) *os << " " << y;
}

inline std::string Describe(const std::set<Solution>& solutions) {
  std::string text;
  for (const Solution& s : solutions) {
    for (uint32_t x : s.left) text += std::to_string(x) + " ";
    text += "=";
    for (uint32_t y : s.right) text += " " + std::to_string(y);
    text += "; ";
  }
  return text;
}

}  // namespace aequa::test
