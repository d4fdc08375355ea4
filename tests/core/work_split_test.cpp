// Property: cutting queue lines in two, anywhere, any number of times, leaves a queue that a
// fresh reader sees covering every unsearched value exactly once, with the rest of each line
// unchanged; a cut outside a line's unsearched values changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/settings.h"
#include "core/settings_store.h"
#include "core/work_queue.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

// What stays the same in every part of a line: everything but its range.
using Identity = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t>;

Identity IdentityOf(const WorkItem& item) {
  return {item.kind,    item.power,    item.leftTerms, item.rightTerms,
          item.variant, item.duration, item.terms};
}

// The queue as a fresh copy of the program reads it: each line's values [start, end).
std::map<Identity, std::vector<std::pair<uint32_t, uint32_t>>> ReadQueue() {
  IniFreeAll();
  std::map<Identity, std::vector<std::pair<uint32_t, uint32_t>>> ranges;
  WorkItem item;
  for (uint32_t i = 1; ParseWorkLine(i, item) != 0; ++i) {
    ranges[IdentityOf(item)].push_back({item.start, item.end});
  }
  return ranges;
}

TEST(WorkSplit, AnySplitLeavesEveryUnsearchedValueInExactlyOneLine) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 40; ++round) {
    test::TempDir dir;
    IniFreeAll();
    SetFileNames();
    // Distinct searches, so that each line's parts can be told apart by what they search.
    std::string queue;
    std::map<Identity, std::pair<uint32_t, uint32_t>> original;
    const int lines = 1 + static_cast<int>(random() % 5);
    for (int l = 0; l < lines; ++l) {
      const uint32_t start = 2 + random() % 50;
      const uint32_t end = start + 1 + random() % 200;
      std::string line;
      switch (l % 3) {
        case 0:
          line = "SUM=5," + std::to_string(start) + "," + std::to_string(end) + ",1," +
                 std::to_string(3 + l) + ",0," + std::to_string(start + random() % (end - start)) +
                 ",0";
          break;
        case 1:
          line = "ADD=3," + std::to_string(start) + "," + std::to_string(end) + "," +
                 std::to_string(2 + l) + ",1";
          break;
        default:
          line = "PENTA=5," + std::to_string(start) + "," + std::to_string(end) + "," +
                 std::to_string(l);
          break;
      }
      queue += line + "\r\n";
    }
    test::WriteFile("worksum.ini", queue);
    for (const auto& [identity, ranges] : ReadQueue()) {
      ASSERT_EQ(ranges.size(), 1u);
      original[identity] = ranges[0];
    }
    for (int cut = 0; cut < 25; ++cut) {
      const uint32_t count = IniLineCount(WorkFile());
      WorkItem item;
      ASSERT_NE(ParseWorkLine(1 + random() % count, item), 0u);
      const uint32_t from = item.kind == WORK_SUM ? item.current : item.start;
      const uint32_t point = from - 1 + random() % (item.end - from + 3);
      const bool inside = point > from && point < item.end;
      const uint32_t end = item.end;
      EXPECT_EQ(SplitWorkLine(item, point), inside);
      EXPECT_EQ(item.end, inside ? point : end);
      // Each search's parts tile its original range: no gap, no overlap.
      for (auto [identity, ranges] : ReadQueue()) {
        std::sort(ranges.begin(), ranges.end());
        ASSERT_EQ(ranges.front().first, original[identity].first);
        for (size_t i = 1; i < ranges.size(); ++i) {
          ASSERT_EQ(ranges[i].first, ranges[i - 1].second);
        }
        ASSERT_EQ(ranges.back().second, original[identity].second);
      }
    }
  }
}

}  // namespace
}  // namespace aequa
