#include "sums/sum_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "compute/powers_table.h"
#include "core/output_log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/work_queue.h"
#include "support/temp_dir.h"
#include "sums/sum_checkpoint.h"
#include "sums/sum_tree.h"

namespace aequa {
namespace {

using Wide = unsigned __int128;

std::string WideText(Wide v) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  } while (v != 0);
  return digits;
}

Wide WidePower(uint32_t x, uint32_t k) {
  Wide p = 1;
  for (uint32_t i = 0; i < k; ++i) p *= x;
  return p;
}

// The primes of the residue filter that hold for n terms: (prime, modulus) with n < modulus.
std::vector<uint32_t> FilterPrimes(uint32_t k, uint32_t n) {
  std::vector<std::pair<uint32_t, uint32_t>> pairs;
  if (k == 2) pairs = {{3, 3}, {2, 4}};
  if (k == 4) pairs = {{5, 5}, {2, 16}};
  std::vector<uint32_t> primes;
  for (auto [p, q] : pairs) {
    if (n < q) primes.push_back(p);
  }
  return primes;
}

bool Wanted(uint32_t k, uint32_t m, uint32_t n, bool force) {
  if (force) return true;
  if (k == 2) return m + n <= 3;
  if (k == 3 || k == 4) return m + n <= 4;
  return true;
}

// Every multiset of 1..n terms below `end` whose sum lies in [start^k, end^k), grouped by
// value in the order the search meets them (largest term first, then lexicographic), and the
// collision lines that the tree's rules give for them.
std::multiset<std::string> BruteForce(uint32_t k, uint32_t n, uint32_t start, uint32_t end,
                                      bool force) {
  const Wide low = WidePower(start, k);
  const Wide high = WidePower(end, k);
  const std::vector<uint32_t> primes = FilterPrimes(k, n);
  std::map<Wide, std::vector<std::vector<uint32_t>>> byValue;
  std::vector<uint32_t> terms;
  auto visit = [&](auto& self, uint32_t limit, Wide sum) -> void {
    for (uint32_t y = 1; y <= limit; ++y) {
      const Wide s = sum + WidePower(y, k);
      if (s >= high) return;
      terms.push_back(y);
      if (s >= low) {
        bool admitted = true;
        for (uint32_t p : primes) {
          bool allDivisible = true;
          for (uint32_t t : terms) allDivisible = allDivisible && t % p == 0;
          if (allDivisible) admitted = false;
        }
        if (admitted) byValue[s].push_back(terms);
      }
      if (terms.size() < n) self(self, y, s);
      terms.pop_back();
    }
  };
  visit(visit, end - 1, 0);
  std::multiset<std::string> lines;
  for (auto& [value, reps] : byValue) {
    std::sort(reps.begin(), reps.end());
    uint32_t stored = static_cast<uint32_t>(reps[0].size());
    for (size_t i = 1; i < reps.size(); ++i) {
      const uint32_t count = static_cast<uint32_t>(reps[i].size());
      if (Wanted(k, stored, count, force)) {
        lines.insert("(" + std::to_string(k) + "," + std::to_string(stored) + "," +
                     std::to_string(count) + ") at " + WideText(value));
      }
      stored = std::min(stored, count);
    }
  }
  return lines;
}

std::vector<std::string> logged;
void Capture(const char* line, bool) { logged.push_back(line); }

// A sink that raises a halt on `haltTarget` as the n-th window begins.
int haltAfter = 0;
SearchControl* haltTarget = nullptr;
void CaptureAndHalt(const char* line, bool) {
  logged.push_back(line);
  if (std::string(line).rfind("Range: ", 0) == 0 && --haltAfter == 0) {
    haltTarget->requests.store(REQ_HALT);
  }
}

std::multiset<std::string> CollisionLines() {
  std::multiset<std::string> lines;
  for (const std::string& line : logged) {
    if (line.find(") at ") != std::string::npos) lines.insert(line);
  }
  return lines;
}

std::vector<std::string> LinesStartingWith(const std::string& prefix) {
  std::vector<std::string> lines;
  for (const std::string& line : logged) {
    if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
  }
  return lines;
}

class SumSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetFileNames();
    IniFreeAll();
    SetLogLineSink(&Capture);
    logged.clear();
    Settings.ForceAVL.store(0);
    Settings.Info.store(0);
    Settings.SumTree.store(0);
    haltTarget = &control_;
  }
  void TearDown() override {
    SetLogLineSink(nullptr);
    Settings.SumTree.store(0);
    IniFreeAll();
  }
  // The driver with the tree's pool capped at pool_ nodes (0: the memory setting alone).
  SearchOutcome Run(WorkItem& item) {
    return RunSumSearch(control_, item, SumSearchOptions{pool_});
  }
  static WorkItem Item(uint32_t k, uint32_t start, uint32_t end, uint32_t n) {
    WorkItem item;
    item.kind = WORK_ADD;
    item.power = k;
    item.start = start;
    item.end = end;
    item.terms = n;
    item.megabytes = 1;
    return item;
  }
  test::TempDir dir_;
  SearchControl control_;
  uint32_t pool_ = 0;
};

struct Case {
  uint32_t k, n, start, end;
};

TEST_F(SumSearchTest, FindsWhatABruteForceFindsWithAnyPoolSize) {
  const Case cases[] = {{2, 2, 1, 70}, {2, 3, 1, 36}, {2, 3, 5, 30}, {2, 4, 1, 20},
                        {3, 2, 1, 90}, {3, 3, 2, 40}, {4, 3, 1, 26}, {4, 2, 1, 60}};
  for (const Case& c : cases) {
    for (int force = 0; force <= 1; ++force) {
      Settings.ForceAVL.store(force);
      const auto expected = BruteForce(c.k, c.n, c.start, c.end, force != 0);
      for (uint32_t pool : {0u, 7u, 40u, 300u}) {
        SCOPED_TRACE("k=" + std::to_string(c.k) + " n=" + std::to_string(c.n) + " start=" +
                     std::to_string(c.start) + " end=" + std::to_string(c.end) + " force=" +
                     std::to_string(force) + " pool=" + std::to_string(pool));
        pool_ = pool;
        logged.clear();
        WorkItem item = Item(c.k, c.start, c.end, c.n);
        Run(item);
        ASSERT_EQ(control_.internalError.load(), 0);
        EXPECT_EQ(item.start, c.end);
        // Every collision is written once, whatever the pool size: lines of values that a
        // full pool gives up are written with the window that searches them again.
        EXPECT_EQ(CollisionLines(), expected);
      }
    }
  }
}

TEST_F(SumSearchTest, SquaresToTenWriteTwentyFiveAndFiftyOnlyWhenForced) {
  test::WriteFile("worksum.ini", "ADD=2,1,10,2,1\r\n");
  WorkItem item;
  ASSERT_EQ(ParseWorkLine(1, item), WORK_ADD);
  Run(item);
  EXPECT_EQ(CollisionLines(), std::multiset<std::string>{"(2,2,1) at 25"});
  EXPECT_EQ(logged.front(), "Using faster AVL...");
  EXPECT_EQ(LinesStartingWith("Range: "), std::vector<std::string>{"Range: 1-100 (1 done in 0 seconds)"});
  ASSERT_EQ(LinesStartingWith("(2,2) ").size(), 1u);
  EXPECT_EQ(LinesStartingWith("(2,2) ")[0].substr(0, 30), "(2,2) 10 done in 0 seconds S3:");
  EXPECT_EQ(test::ReadFile("worksum.ini"), "");

  logged.clear();
  Settings.ForceAVL.store(1);
  item = Item(2, 1, 10, 2);
  Run(item);
  const auto forced = CollisionLines();
  EXPECT_EQ(forced.count("(2,2,1) at 25"), 1u);
  EXPECT_EQ(forced.count("(2,2,2) at 50"), 1u);
  EXPECT_EQ(forced.count("(2,2,2) at 65"), 1u);  // 64 + 1 = 49 + 16
}

TEST_F(SumSearchTest, FilteredVariantLeavesOutSumsOfEvenTerms) {
  Settings.ForceAVL.store(1);
  WorkItem item = Item(2, 1, 12, 2);
  Run(item);
  for (const std::string& line : CollisionLines()) EXPECT_EQ(line.find(" at 100"), std::string::npos);
  // With odd powers there is no filter and no message.
  logged.clear();
  item = Item(3, 1, 13, 2);
  Run(item);
  EXPECT_EQ(CollisionLines(), std::multiset<std::string>{"(3,2,2) at 1729"});
  EXPECT_TRUE(LinesStartingWith("Using faster AVL").empty());
}

TEST_F(SumSearchTest, TermCountsAtOrAboveAModulusKeepEveryRepresentation) {
  // 9 = 3^2 = 2^2 + 2^2 + 1^2: with three terms the prime 3 cannot filter (3 terms prime to 3
  // add up to 0 mod 3), so 3^2 must be entered.
  Settings.ForceAVL.store(1);
  WorkItem item = Item(2, 1, 4, 3);
  Run(item);
  EXPECT_EQ(CollisionLines().count("(2,3,1) at 9"), 1u);
}

// Range lines: "Range: L-C (x done in s seconds, e/d deletions)".
struct RangeLine {
  Wide low, ceiling;
  uint32_t evictions;
};

Wide ParseWide(const std::string& text) {
  Wide v = 0;
  for (char c : text) v = v * 10 + static_cast<unsigned>(c - '0');
  return v;
}

TEST_F(SumSearchTest, WindowsAfterEvictionsStartAtTheCeilingWithTwiceTheWidth) {
  Settings.SumTree.store(1);
  Settings.Info.store(1);
  pool_ = 25;
  WorkItem item = Item(3, 1, 60, 3);
  Run(item);
  std::vector<RangeLine> ranges;
  for (const std::string& line : LinesStartingWith("Range: ")) {
    const size_t dash = line.find('-');
    const size_t paren = line.find(" (");
    const size_t comma = line.find(", ");
    const size_t slash = line.find('/');
    ranges.push_back({ParseWide(line.substr(7, dash - 7)),
                      ParseWide(line.substr(dash + 1, paren - dash - 1)),
                      static_cast<uint32_t>(std::stoul(line.substr(comma + 2, slash - comma - 2)))});
  }
  ASSERT_GT(ranges.size(), 3u);
  const Wide endPower = WidePower(60, 3);
  EXPECT_EQ(ranges[0].low, 1u);
  EXPECT_EQ(ranges[0].evictions, 0u);
  bool sawEvictions = false;
  for (size_t i = 1; i < ranges.size(); ++i) {
    const RangeLine& before = ranges[i - 1];
    const RangeLine& now = ranges[i];
    EXPECT_GT(now.low, before.low);
    EXPECT_LE(now.low, before.ceiling);
    if (now.evictions > 0) {
      sawEvictions = true;
      EXPECT_EQ(now.ceiling, std::min(endPower, now.low + 2 * (now.low - before.low)));
    } else {
      EXPECT_EQ(now.low, before.ceiling);
      EXPECT_EQ(now.ceiling, endPower);
    }
  }
  EXPECT_TRUE(sawEvictions);
}

TEST_F(SumSearchTest, AStopSavesTheWindowAndTheNextRunRepeatsIt) {
  Settings.ForceAVL.store(1);
  pool_ = 40;
  const auto expected = BruteForce(2, 3, 1, 40, true);
  test::WriteFile("worksum.ini", "ADD=2,1,40,3,1\r\n");
  WorkItem item;
  ASSERT_EQ(ParseWorkLine(1, item), WORK_ADD);
  SetLogLineSink(&CaptureAndHalt);
  haltAfter = 12;  // a stop as the twelfth window begins
  EXPECT_EQ(Run(item), SearchOutcome::Stopped);
  ASSERT_TRUE(control_.Requested(REQ_HALT));
  ASSERT_EQ(control_.internalError.load(), 0);
  const std::string saved = test::ReadFile("A2-3-1-40");
  ASSERT_EQ(saved.size(), 44u);
  U128 low;
  for (int i = 0; i < 4; ++i) {
    for (int b = 3; b >= 0; --b) {
      low.w[i] = (low.w[i] << 8) | static_cast<unsigned char>(saved[20 + 4 * i + b]);
    }
  }
  const std::string lastRange = LinesStartingWith("Range: ").back();
  EXPECT_EQ(lastRange.substr(7, lastRange.find('-') - 7), Decimal128(low));
  EXPECT_NE(test::ReadFile("worksum.ini"), "");

  const auto beforeStop = CollisionLines();
  EXPECT_FALSE(beforeStop.empty());
  control_.requests.store(0);
  SetLogLineSink(&Capture);
  logged.clear();
  ASSERT_EQ(ParseWorkLine(1, item), WORK_ADD);
  Run(item);
  EXPECT_EQ(LinesStartingWith("Range: ")[0].rfind("Range: " + Decimal128(low) + "-", 0), 0u);
  // The stopped window wrote none of its lines: together the runs write each line once.
  auto found = CollisionLines();
  found.insert(beforeStop.begin(), beforeStop.end());
  EXPECT_EQ(found, expected);
  EXPECT_FALSE(test::FileExists("A2-3-1-40"));
  EXPECT_FALSE(test::FileExists("A2-3-1-40.BAK"));
  EXPECT_EQ(test::ReadFile("worksum.ini"), "");
}

// A sink on which every window takes a second.
void CaptureAndTick(const char* line, bool) {
  logged.push_back(line);
  if (std::string(line).rfind("Range: ", 0) == 0) haltTarget->elapsedSeconds.fetch_add(1);
}

TEST_F(SumSearchTest, ProgressIsSavedEveryFewSecondsAndClaimsOnlyLinesAlreadyWritten) {
  Settings.ForceAVL.store(1);
  pool_ = 40;
  const auto expected = BruteForce(2, 3, 1, 40, true);
  SetLogLineSink(&CaptureAndTick);
  WorkItem item = Item(2, 1, 40, 3);
  ASSERT_EQ(Run(item), SearchOutcome::Finished);
  EXPECT_EQ(CollisionLines(), expected);
  const size_t windows = LinesStartingWith("Range: ").size();
  const size_t saves = LinesStartingWith("(2,3) ").size();
  ASSERT_GT(windows, 50u);
  EXPECT_LT(saves, windows / 3);
  EXPECT_GT(saves, windows / 10);
  // A done line claims every value below its x^2: their lines are logged before it.
  std::set<std::string> seen;
  for (const std::string& line : logged) {
    if (line.find(") at ") != std::string::npos) seen.insert(line);
    unsigned x = 0;
    if (std::sscanf(line.c_str(), "(2,3) %u done", &x) != 1) continue;
    for (const std::string& want : expected) {
      if (std::stoull(want.substr(want.find(" at ") + 4)) < Wide{x} * x) {
        EXPECT_EQ(seen.count(want), 1u) << line << " claims " << want;
      }
    }
  }
}

TEST_F(SumSearchTest, PowersBeyond128BitsFailBeforeAnyAllocation) {
  WorkItem item = Item(5, 1, 60000000, 2);
  EXPECT_EQ(Run(item), SearchOutcome::Failed);
  EXPECT_EQ(control_.internalError.load(), 300);
  item = Item(128, 1, 2, 2);
  Run(item);
  EXPECT_EQ(control_.internalError.load(), 300);
}

TEST_F(SumSearchTest, ACheckpointBehindItsLineLeavesTheSearchAtTheLinesStart) {
  Settings.ForceAVL.store(1);
  SumRun behind(control_);
  behind.k = 2;
  behind.n = 2;
  behind.first = behind.start = 4;
  behind.end = 8;
  behind.windowLow = U128::Of(20);
  SaveSumCheckpoint(behind);
  WorkItem item = Item(2, 5, 8, 2);
  item.first = 4;
  Run(item);
  EXPECT_EQ(LinesStartingWith("Range: ")[0], "Range: 25-64 (5 done in 0 seconds)");
  EXPECT_EQ(CollisionLines().count("(2,2,1) at 25"), 1u);
}

TEST_F(SumSearchTest, AnEmptyRangeFinishesAtOnce) {
  WorkItem item = Item(3, 9, 5, 2);
  Run(item);
  EXPECT_EQ(control_.internalError.load(), 0);
  EXPECT_EQ(item.start, 5u);
  EXPECT_TRUE(CollisionLines().empty());
}

}  // namespace
}  // namespace aequa
