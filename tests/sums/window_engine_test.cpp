// The windowed engine against the sum tree: the same collision lines for every memory size,
// true "done" lines, runs stopped and resumed with the other engine, and windows past 64 bits.
#include "sums/window_engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "compute/powers_table.h"
#include "compute/sieve.h"
#include "core/output_log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/work_queue.h"
#include "support/temp_dir.h"
#include "sums/collision_reports.h"
#include "sums/sum_powers.h"
#include "sums/sum_run.h"
#include "sums/sum_search.h"
#include "sums/sum_tree.h"

namespace aequa {
namespace {

std::vector<std::string> logged;
void Capture(const char* line, bool) { logged.push_back(line); }

// The control of the searches run here, and the run whose table and tree the tests use.
SearchControl control;
std::unique_ptr<SumRun> run;

// Raises a halt when the countdown of window starts reaches zero.
int haltAtWindow = 0;
void CaptureAndHaltAtWindow(const char* line, bool) {
  logged.push_back(line);
  if (std::string(line).rfind("Range: ", 0) == 0 && --haltAtWindow == 0) {
    control.requests.store(REQ_HALT);
  }
}

bool IsCollisionLine(const std::string& line) { return line.find(") at ") != std::string::npos; }

std::multiset<std::string> CollisionLines() {
  std::multiset<std::string> lines;
  for (const std::string& line : logged) {
    if (IsCollisionLine(line)) lines.insert(line);
  }
  return lines;
}

U128 ValueOf(const std::string& collisionLine) {
  U128 value;
  ParseDecimal128(collisionLine.substr(collisionLine.find(" at ") + 4).c_str(), value);
  return value;
}

std::string LineText(uint32_t k, const CollisionLine& line) {
  char head[64];
  std::snprintf(head, sizeof head, "(%u,%u,%u) at ", k, line.m, line.n);
  return head + Decimal128(line.value);
}

class WindowEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetFileNames();
    IniFreeAll();
    SetLogLineSink(&Capture);
    logged.clear();
    control.requests.store(0);
    control.internalError.store(0);
    Settings.ForceAVL.store(0);
    Settings.SumTree.store(0);
    run = std::make_unique<SumRun>(control);
  }
  void TearDown() override {
    SetLogLineSink(nullptr);
    Settings.SumTree.store(0);
    run.reset();
    IniFreeAll();
  }

  // The collision lines of a whole line run by one engine with a pool of `pool` nodes (0:
  // the megabyte of the line).
  static std::multiset<std::string> RunLines(uint32_t k, uint32_t n, uint32_t start,
                                             uint32_t end, bool tree, uint32_t pool) {
    Settings.SumTree.store(tree ? 1 : 0);
    SetLogLineSink(&Capture);
    control.requests.store(0);
    logged.clear();
    WorkItem item;
    item.kind = WORK_ADD;
    item.power = k;
    item.start = start;
    item.end = end;
    item.terms = n;
    item.megabytes = 1;
    RunSumSearch(control, item, SumSearchOptions{pool});
    EXPECT_EQ(control.internalError.load(), 0);
    EXPECT_EQ(item.start, end);
    return CollisionLines();
  }

  // Each "done" line logged claims every value below its mark^k searched: every expected
  // line of such a value must have been written before it.
  static void ExpectDoneLinesTrue(uint32_t k, const std::multiset<std::string>& expected) {
    std::multiset<std::string> written;
    for (const std::string& line : logged) {
      if (IsCollisionLine(line)) {
        written.insert(line);
        continue;
      }
      unsigned lk = 0, ln = 0, mark = 0;
      if (line[0] != '(' || std::sscanf(line.c_str(), "(%u,%u) %u done", &lk, &ln, &mark) != 3) {
        continue;
      }
      U128 markPower;
      ASSERT_TRUE(PowerOf(mark, k, markPower));
      for (const std::string& e : expected) {
        if (Less128(ValueOf(e), markPower)) {
          EXPECT_EQ(written.count(e), expected.count(e)) << line << " before " << e;
        }
      }
    }
  }

  test::TempDir dir_;
};

struct Case {
  uint32_t k, n, start, end;
};

// The powers table and residue filter of a line, as the driver makes them.
void BuildTable(uint32_t k, uint32_t n, uint32_t end, bool& filtered) {
  run->k = k;
  run->n = n;
  run->end = end;
  run->sieve = SetupSieve(k, 0, n);
  filtered = run->sieve.count > 0;
  const uint32_t words = filtered ? kFilteredEntryWords : kStandardEntryWords;
  ASSERT_TRUE(run->powers.Allocate(uint64_t{words} * 4 * end));
  if (filtered) {
    ASSERT_TRUE(BuildSumPowersFiltered(run->powers, k, run->sieve, end, control.internalError));
  } else {
    ASSERT_TRUE(BuildSumPowers(run->powers, k, end, control.internalError));
  }
}

// The lines of the tree's pass over [low, ceiling) with a pool that never fills.
std::multiset<std::string> TreeLines(const U128& low, const U128& ceiling, bool filtered) {
  run->poolSize = 1u << 20;
  run->tree.Create();
  run->reports.Clear();
  run->windowLow = low;
  run->ceiling = ceiling;
  run->endPower = ceiling;
  logged.clear();
  if (filtered) {
    SumPassFiltered(*run);
  } else {
    SumPass(*run);
  }
  EXPECT_EQ(run->ceiling, ceiling);
  run->reports.DropFrom(run->ceiling);
  EXPECT_TRUE(run->reports.Write(control, run->k));
  run->tree.Destroy();
  return CollisionLines();
}

// The engine's lines over [low, ceiling), window after window; `windows` gets their number.
std::multiset<std::string> EngineLines(const U128& low, const U128& ceiling, bool filtered,
                                       uint64_t memory, int& windows) {
  WindowEngineSetup setup;
  setup.k = run->k;
  setup.n = run->n;
  setup.end = run->end;
  setup.powers = run->powers.begin();
  setup.stride = filtered ? kFilteredEntryWords : kStandardEntryWords;
  setup.sieveMask = run->sieve.mask;
  setup.memoryBytes = memory;
  const uint32_t power = run->k;
  setup.wanted = [power](uint32_t m, uint32_t n) { return CollisionWanted(power, m, n); };
  WindowEngine engine(setup);
  std::multiset<std::string> found;
  windows = 0;
  for (U128 from = low; Less128(from, ceiling); ++windows) {
    const U128 to = engine.PlanWindow(from, ceiling);
    const U128 reached = engine.Search(from, to, [&](const CollisionLine& line) {
      EXPECT_FALSE(Less128(line.value, from));
      EXPECT_TRUE(Less128(line.value, to));
      found.insert(LineText(run->k, line));
    });
    EXPECT_TRUE(Less128(from, reached));
    EXPECT_FALSE(Less128(to, reached));
    if (!Less128(from, reached)) break;
    from = reached;
  }
  return found;
}

TEST_F(WindowEngineTest, FindsTheTreesLinesForEveryMemorySize) {
  // Filtered (k = 2, 4 with few terms) and plain tables, two to five terms, later starts.
  const Case cases[] = {{2, 2, 1, 300}, {2, 3, 1, 70},  {2, 3, 7, 45}, {2, 5, 1, 16},
                        {3, 2, 1, 900}, {3, 3, 2, 90},  {4, 2, 1, 300}, {4, 3, 3, 60},
                        {5, 3, 1, 60},  {6, 2, 1, 100}, {6, 4, 1, 18}};
  for (const Case& c : cases) {
    bool filtered = false;
    BuildTable(c.k, c.n, c.end, filtered);
    U128 low, high;
    PowerOf(c.start, c.k, low);
    PowerOf(c.end, c.k, high);
    for (int force = 0; force <= 1; ++force) {
      Settings.ForceAVL.store(force);
      const auto expected = TreeLines(low, high, filtered);
      for (uint64_t memory : {0u, 2000u, 20000u, 1u << 20}) {
        SCOPED_TRACE("k=" + std::to_string(c.k) + " n=" + std::to_string(c.n) + " start=" +
                     std::to_string(c.start) + " end=" + std::to_string(c.end) + " force=" +
                     std::to_string(force) + " memory=" + std::to_string(memory));
        int windows = 0;
        EXPECT_EQ(EngineLines(low, high, filtered, memory, windows), expected);
        if (memory == 0) {
          EXPECT_GT(windows, 3);
        }
      }
    }
    run->powers.Release();
  }
}

TEST_F(WindowEngineTest, DoneLinesOfTheDriverAreTrueForSmallPools) {
  const Case cases[] = {{3, 2, 1, 200}, {2, 3, 1, 40}};
  for (const Case& c : cases) {
    Settings.ForceAVL.store(1);
    const auto expected = RunLines(c.k, c.n, c.start, c.end, true, 0);
    SCOPED_TRACE("k=" + std::to_string(c.k) + " n=" + std::to_string(c.n));
    EXPECT_EQ(RunLines(c.k, c.n, c.start, c.end, false, 150), expected);
    ExpectDoneLinesTrue(c.k, expected);
  }
}

TEST_F(WindowEngineTest, RunsStoppedAndResumedByTheOtherEngineWriteEachLineOnce) {
  const Case cases[] = {{2, 3, 1, 60}, {3, 2, 1, 300}, {4, 2, 2, 200}};
  std::mt19937 random(14);
  for (const Case& c : cases) {
    Settings.ForceAVL.store(1);
    const auto expected = RunLines(c.k, c.n, c.start, c.end, true, 0);
    ASSERT_FALSE(expected.empty());
    for (int trial = 0; trial < 4; ++trial) {
      SCOPED_TRACE("k=" + std::to_string(c.k) + " n=" + std::to_string(c.n) +
                   " trial=" + std::to_string(trial));
      char line[64];
      std::snprintf(line, sizeof line, "ADD=%u,%u,%u,%u,1\r\n", c.k, c.start, c.end, c.n);
      IniFreeAll();
      test::WriteFile("worksum.ini", line);
      SetLogLineSink(&CaptureAndHaltAtWindow);
      const uint32_t pool = 100 + random() % 300;
      std::multiset<std::string> found;
      bool tree = trial % 2 != 0;
      int runs = 0;
      WorkItem item;
      while (ParseWorkLine(1, item) == WORK_ADD && runs < 500) {
        Settings.SumTree.store(tree ? 1 : 0);
        control.requests.store(0);
        haltAtWindow = 1 + static_cast<int>(random() % 6);
        logged.clear();
        RunSumSearch(control, item, SumSearchOptions{pool});
        ASSERT_EQ(control.internalError.load(), 0);
        const auto lines = CollisionLines();
        found.insert(lines.begin(), lines.end());
        tree = !tree;
        ++runs;
      }
      EXPECT_GT(runs, 2);
      EXPECT_EQ(test::ReadFile("worksum.ini"), "");
      EXPECT_EQ(found, expected);
    }
  }
}

// Windows near and past 2^64 (wide entries) against the tree's pass over the same window:
// 635318657 = 59^4 + 158^4 = 133^4 + 134^4 times 411^4 (below 2^64) and 413^4 (above).
TEST_F(WindowEngineTest, WindowsPastSixtyFourBitsFindWhatTheTreeFinds) {
  constexpr uint32_t k = 4, n = 2, end = 66000;
  bool filtered = false;
  BuildTable(k, n, end, filtered);
  Settings.ForceAVL.store(1);
  auto around = [](uint64_t high, uint64_t low, uint64_t half, U128& from, U128& to) {
    U128 centre;
    centre.w[0] = static_cast<uint32_t>(low);
    centre.w[1] = static_cast<uint32_t>(low >> 32);
    centre.w[2] = static_cast<uint32_t>(high);
    centre.w[3] = static_cast<uint32_t>(high >> 32);
    from = centre;
    Sub128(from, U128::Of(half));
    to = centre;
    Add128(to, U128::Of(half));
  };
  struct Window {
    uint64_t high, low, half;
  };
  // 635318657 * 411^4, 635318657 * 413^4 and 2^64.
  const Window windows[] = {{0, 18128375848821524337ull, uint64_t{1} << 40},
                            {1, 37079552377377361ull, uint64_t{1} << 40},
                            {1, 0, uint64_t{1} << 46}};
  for (const Window& w : windows) {
    U128 low, ceiling;
    around(w.high, w.low, w.half, low, ceiling);
    SCOPED_TRACE(Decimal128(low) + "-" + Decimal128(ceiling));

    const auto expected = TreeLines(low, ceiling, filtered);
    if (w.half == uint64_t{1} << 40) {
      EXPECT_EQ(expected.size(), 1u);
    }
    for (uint64_t memory : {uint64_t{0}, uint64_t{4096}, uint64_t{1} << 20}) {
      int windows = 0;
      EXPECT_EQ(EngineLines(low, ceiling, filtered, memory, windows), expected) << memory;
      if (memory == 0) {
        EXPECT_GT(windows, 1);
      }
    }
  }
  run->powers.Release();
}

}  // namespace
}  // namespace aequa
