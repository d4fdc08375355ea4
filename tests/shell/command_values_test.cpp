// The values of the range commands against the work-line rules: whatever is accepted at entry
// is accepted by the reader, and each refusal's range is exactly what the rules allow.
#include "shell/command_values.h"

#include <gtest/gtest.h>

#include <string>

#include "core/work_queue.h"
#include "core/work_rules.h"

namespace aequa::ui {
namespace {

std::optional<Refusal> NewRange(const std::vector<std::string>& v, const std::string& mode) {
  SumRangeValues out{};
  return CheckSumRange(v, {{"--mode", mode}}, out);
}

TEST(CommandValues, EveryEqualSumsRangeAcceptedAtEntryIsAcceptedByTheReader) {
  const char* modes[] = {"best", "same", "exact"};
  int accepted = 0;
  for (uint32_t power : {2u, 3u, 5u, 100u, 256u}) {
    for (uint32_t left : {1u, 2u, 4u, 5u, 255u, 256u}) {
      for (uint32_t right : {2u, 3u, 4096u}) {
        for (uint32_t mode = 0; mode < 3; ++mode) {
          for (uint32_t start : {0u, 1u, 2u, 80u, 2000000u, 2147483646u}) {
            for (uint32_t end : {start + 1, 3u, 90u, 2147483647u}) {
              std::vector<std::string> v = {std::to_string(power), std::to_string(start),
                                            std::to_string(end), std::to_string(left),
                                            std::to_string(right)};
              if (NewRange(v, modes[mode])) continue;
              ++accepted;
              WorkItem item;
              item.power = power;
              item.start = start;
              item.end = end;
              item.leftTerms = left;
              item.rightTerms = right;
              item.variant = mode;
              item.current = start;
              SCOPED_TRACE(SumLineValue(power, start, end, left, right, mode, 0));
              EXPECT_EQ(CheckSumItem(item), LineFault::None);
            }
          }
        }
      }
    }
  }
  EXPECT_GT(accepted, 100);
}

// A refusal's range: its ends are accepted, one past either end is not.
TEST(CommandValues, TheRangeARefusalGivesIsExactlyWhatTheRulesAllow) {
  struct Case {
    std::vector<std::string> values;
    const char* mode;
    size_t field;  // the value the refusal names
    int64_t min, max;
  };
  const Case cases[] = {
      {{"5", "80", "90", "5", "4"}, "best", 3, 1, 4},            // left terms below the power
      {{"300", "80", "90", "1", "4"}, "best", 0, 2, 256},
      {{"5", "80", "90", "3", "2"}, "same", 4, 3, 4096},         // right terms not below left
      {{"5", "90", "90", "1", "4"}, "best", 2, 91, 2147483647},  // no range
      {{"100", "2", "2000000", "2", "2"}, "best", 2, 3, 34},     // 2 * end^100 below 2^512
      {{"100", "2000000", "2000001", "2", "2"}, "best", 1, 0, 33},
      {{"5", "0", "2", "1", "4"}, "best", 2, 3, 2147483647},     // start is read as 2
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.values[c.field]);
    std::optional<Refusal> refusal = NewRange(c.values, c.mode);
    ASSERT_TRUE(refusal);
    ASSERT_NE(refusal->field, nullptr);
    EXPECT_EQ(refusal->message, "Please enter an integer between " + std::to_string(c.min) +
                                    " and " + std::to_string(c.max) + ".");
    for (int64_t inside : {c.min, c.max}) {
      std::vector<std::string> v = c.values;
      v[c.field] = std::to_string(inside);
      std::optional<Refusal> again = NewRange(v, c.mode);
      EXPECT_TRUE(!again || again->field != refusal->field) << inside << ": " << again->Text();
    }
    for (int64_t outside : {c.min - 1, c.max + 1}) {
      if (outside < 0) continue;
      std::vector<std::string> v = c.values;
      v[c.field] = std::to_string(outside);
      std::optional<Refusal> again = NewRange(v, c.mode);
      ASSERT_TRUE(again) << outside;
      EXPECT_EQ(again->field, refusal->field) << outside;
    }
  }
}

TEST(CommandValues, ComputeAndPentaRangesHoldWhatTheirSearchesTake) {
  AddRangeValues add{};
  EXPECT_FALSE(CheckAddRange({"8", "1", "65535", "2"}, {}, add));
  // 65536^8 is 2^128: the sum-collision search cannot hold it.
  EXPECT_EQ(CheckAddRange({"8", "1", "65536", "2"}, {}, add)->Text(),
            "End: Please enter an integer between 2 and 65535.");
  EXPECT_EQ(CheckAddRange({"3", "10", "10", "2"}, {}, add)->Text(),
            "End: Please enter an integer between 11 and 2147483647.");
  EXPECT_EQ(CheckAddRange({"3", "0", "10", "2"}, {}, add)->Text(),
            "Start: Please enter an integer between 1 and 2147483647.");
  EXPECT_EQ(CheckAddRange({"3", "1", "10", "256"}, {}, add)->Text(),
            "Number of terms: Please enter an integer between 2 and 255.");
  EXPECT_EQ(CheckAddRange({"3", "1", "10", "2"}, {{"--memory", "0"}}, add)->Text(),
            "Memory size: Please enter an integer between 1 and 131071.");
  ASSERT_FALSE(CheckAddRange({"3", "1", "10", "2"}, {}, add));
  EXPECT_EQ(add.megabytes, 1);

  PentaRangeValues penta{};
  EXPECT_FALSE(CheckPentaRange({"5", "99999", "100000", "20"}, penta));
  EXPECT_EQ(CheckPentaRange({"5", "99999", "100001", "0"}, penta)->Text(),
            "End: Please enter an integer between 0 and 100000.");
  EXPECT_EQ(CheckPentaRange({"5", "100000", "100000", "0"}, penta)->Text(),
            "Start: Please enter an integer between 0 and 99999.");
  EXPECT_EQ(CheckPentaRange({"5", "50", "40", "0"}, penta)->Text(),
            "End: Please enter an integer between 51 and 100000.");
}

}  // namespace
}  // namespace aequa::ui
