#include "sums/sum_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/output_log.h"
#include "core/settings.h"
#include "core/shared_words.h"
#include "core/timing.h"
#include "core/work_control.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

std::mutex linesLock;
std::vector<std::string> lines;
int haltAfter = 0;     // raise a halt at this representation line (0: never)
int displayAfter = 0;  // raise a display request at this representation line (0: never)
int progressLines = 0; // progress lines seen (and left out of `lines`)

// Keeps every line but the progress lines of the display tick ("2,0,3: -8-5"), which the fast
// timer of these tests may ask for at any moment; a stop's "Break at" line is kept.
void Capture(const char* line, bool) {
  std::lock_guard<std::mutex> guard(linesLock);
  const std::string text = line;
  const size_t colon = text.find(": ");
  if (colon != std::string::npos && text.find('=') == std::string::npos &&
      text.rfind("Break at", 0) != 0 && text.find_first_not_of("0123456789,") == colon) {
    ++progressLines;
    return;
  }
  lines.push_back(line);
  if (haltAfter > 0 && std::string(line).find('=') != std::string::npos && --haltAfter == 0) {
    ControlOf(kQuestionControl).requests.store(REQ_HALT);
  }
  if (displayAfter > 0 && std::string(line).find('=') != std::string::npos &&
      --displayAfter == 0) {
    ControlOf(kQuestionControl).requests.fetch_or(REQ_DISPLAY);
  }
}

void QuickSleep(uint32_t) { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

class SumCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings.Priority.store(9);  // a priority that a busy machine still serves
    SetSleepHook(&QuickSleep);
    SetLogLineSink(&Capture);
    lines.clear();
    haltAfter = 0;
    displayAfter = 0;
  }
  void TearDown() override {
    SetLogLineSink(nullptr);
    SetSleepHook(nullptr);
  }
  static std::vector<std::string> Run(uint32_t power, uint32_t terms, const char* text) {
    {
      std::lock_guard<std::mutex> guard(linesLock);
      lines.clear();
    }
    StartSumCheck(power, terms, text);
    WaitForWorkEnd();
    std::lock_guard<std::mutex> guard(linesLock);
    return lines;
  }
  test::TempDir dir_;
};

using Lines = std::vector<std::string>;

TEST_F(SumCheckTest, ListsEveryRepresentationAndCountsThem) {
  EXPECT_EQ(Run(2, 3, "9"), (Lines{"9=3", "9=2*2+1", "Found 2 sums of 9 with 3 terms of power 2"}));
  // A representation complete at a middle level does not hide those with smaller terms.
  EXPECT_EQ(Run(2, 3, "50"),
            (Lines{"50=7+1", "50=5*2", "50=5+4+3", "Found 3 sums of 50 with 3 terms of power 2"}));
  EXPECT_EQ(Run(3, 2, "1729"),
            (Lines{"1729=12+1", "1729=10+9", "Found 2 sums of 1729 with 2 terms of power 3"}));
  EXPECT_EQ(Run(2, 2, "0"), (Lines{"Found 0 sums of 0 with 2 terms of power 2"}));
  EXPECT_EQ(Run(2, 3, "12a4"), (Lines{"12=2*3", "Found 1 sums of 12 with 3 terms of power 2"}));
  EXPECT_EQ(WorkerRunning.load(), 0u);
  EXPECT_EQ(TimerRunning.load(), 0u);
  const std::string results = test::ReadFile("SOLUTION.TXT");
  EXPECT_NE(results.find("50=5+4+3\r\nFound 3 sums of 50 with 3 terms of power 2\r\n"), std::string::npos);
}

TEST_F(SumCheckTest, PerfectPowersAndPowersBeyond128Bits) {
  // 2^100 as a 100th power.
  EXPECT_EQ(Run(100, 2, "1267650600228229401496703205376"),
            (Lines{"1267650600228229401496703205376=2",
                   "Found 1 sums of 1267650600228229401496703205376 with 2 terms of power 100"}));
  // 2^128 does not fit: it is simply larger than the number.
  EXPECT_EQ(Run(128, 2, "340282366920938463463374607431768211455"),
            (Lines{"Found 0 sums of 340282366920938463463374607431768211455 with 2 terms of power 128"}));
  EXPECT_EQ(ControlOf(kQuestionControl).internalError.load(), 0);
}

TEST_F(SumCheckTest, RefusesNumbersItCannotTabulate) {
  const Lines tooMany = Run(2, 2, "99999999999999999999");
  ASSERT_EQ(tooMany.size(), 1u);
  EXPECT_EQ(tooMany[0].rfind("The number is too large for power 2", 0), 0u);
  const Lines beyond = Run(200, 2, "340282366920938463463374607431768211456");
  ASSERT_EQ(beyond.size(), 1u);
  EXPECT_EQ(beyond[0].rfind("The number is too large", 0), 0u);
}

// A stopped search never reads as complete: a "Break at" line, then a count that says it is
// the count so far.
TEST_F(SumCheckTest, AStopEndsTheSearchWithTheCountSoFar) {
  haltAfter = 3;
  const Lines stopped = Run(2, 4, "1000000");
  ASSERT_GE(stopped.size(), 5u);
  EXPECT_EQ(stopped[stopped.size() - 2].rfind("Break at 2,0,4: -", 0), 0u);
  EXPECT_EQ(stopped.back(), "Stopped after 3 sums of 1000000 with 4 terms of power 2");
  // With two terms there is no middle level; the stop still ends the search.
  haltAfter = 1;
  const Lines two = Run(2, 2, "5525");
  EXPECT_EQ(two[two.size() - 2].rfind("Break at 2,0,2: -", 0), 0u);
  EXPECT_EQ(two.back(), "Stopped after 1 sums of 5525 with 2 terms of power 2");
  EXPECT_NE(test::ReadFile("SOLUTION.TXT").find("Stopped after 1 sums of 5525 with 2 terms of power 2\r\n"),
            std::string::npos);
}

TEST_F(SumCheckTest, TwoTermSearchesShowProgressAndGoOn) {
  const Lines whole = Run(2, 2, "5525");
  progressLines = 0;
  displayAfter = 1;
  const Lines shown = Run(2, 2, "5525");
  // The display tick is seen at the first level: a progress line, then the rest as before.
  EXPECT_GE(progressLines, 1);  // the timer may add its own tick
  EXPECT_EQ(shown, whole);
}

// Every multiset of 1..n positive terms with sum S, written as the command writes it.
std::set<std::string> BruteRepresentations(uint32_t k, uint32_t n, uint64_t s) {
  std::set<std::string> found;
  std::vector<uint64_t> terms;
  auto power = [k](uint64_t x) {
    uint64_t p = 1;
    for (uint32_t i = 0; i < k; ++i) p *= x;
    return p;
  };
  auto visit = [&](auto& self, uint64_t limit, uint64_t rest) -> void {
    for (uint64_t y = limit; y >= 1; --y) {
      const uint64_t p = power(y);
      if (p > rest) continue;
      terms.push_back(y);
      if (p == rest) {
        std::string text = std::to_string(s) + "=";
        for (size_t i = 0; i < terms.size();) {
          size_t j = i;
          while (j < terms.size() && terms[j] == terms[i]) ++j;
          text += (i == 0 ? "" : "+") + std::to_string(terms[i]);
          if (j - i > 1) text += "*" + std::to_string(j - i);
          i = j;
        }
        found.insert(text);
      } else if (terms.size() < n) {
        self(self, y, rest - p);
      }
      terms.pop_back();
    }
  };
  uint64_t top = 1;
  while (power(top + 1) <= s) ++top;
  if (s > 0) visit(visit, top, s);
  return found;
}

TEST_F(SumCheckTest, AgreesWithABruteForce) {
  struct Case {
    uint32_t k, n;
    uint64_t from, to;
  };
  for (const Case& c : {Case{2, 4, 0, 130}, Case{3, 3, 1700, 1760}, Case{4, 5, 600, 640},
                        Case{2, 2, 1100, 1130}}) {
    for (uint64_t s = c.from; s < c.to; ++s) {
      const Lines out = Run(c.k, c.n, std::to_string(s).c_str());
      ASSERT_FALSE(out.empty());
      const std::set<std::string> listed(out.begin(), out.end() - 1);
      const std::set<std::string> expected = BruteRepresentations(c.k, c.n, s);
      EXPECT_EQ(listed, expected) << "k=" << c.k << " n=" << c.n << " S=" << s;
      EXPECT_EQ(listed.size(), out.size() - 1) << "a representation was written twice";
      EXPECT_EQ(out.back(), "Found " + std::to_string(expected.size()) + " sums of " +
                                std::to_string(s) + " with " + std::to_string(c.n) +
                                " terms of power " + std::to_string(c.k));
    }
  }
}

}  // namespace
}  // namespace aequa
