#include "core/cost_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace aequa {
namespace {

WorkItem Line(uint32_t kind, uint32_t left, uint32_t right, uint32_t terms) {
  WorkItem item;
  item.kind = kind;
  item.power = 5;
  item.leftTerms = left;
  item.rightTerms = right;
  item.terms = terms;
  return item;
}

// A cut leaves two parts whose work differs by at most the work of one unit at the cut.
TEST(CostModel, ABalancedCutHalvesTheWork) {
  const WorkItem lines[] = {Line(WORK_SUM, 1, 5, 0), Line(WORK_SUM, 2, 3, 0),
                            Line(WORK_ADD, 0, 0, 2), Line(WORK_ADD, 0, 0, 40),
                            Line(WORK_PENTA, 0, 0, 0)};
  const std::pair<uint32_t, uint32_t> ranges[] = {{1000, 2000}, {2, 100000}, {7, 9}, {1, 4000000000u}};
  for (const WorkItem& item : lines) {
    for (auto [from, to] : ranges) {
      const uint32_t c = BalancedCut(item, from, to);
      ASSERT_GT(c, from);
      ASSERT_LT(c, to);
      const double left = RangeCost(item, from, c);
      const double right = RangeCost(item, c, to);
      const double unit = RangeCost(item, c - 1, c + 1);
      EXPECT_LE(std::fabs(left - right), unit) << item.kind << " " << from << " " << to;
    }
  }
  // Steep costs cut late: the upper half of the values of a 4-term line is far more work.
  EXPECT_GT(BalancedCut(Line(WORK_SUM, 1, 5, 0), 1000, 2000), 1700u);
  EXPECT_EQ(BalancedCut(Line(WORK_PENTA, 0, 0, 0), 1000, 2000), 1500u);
}

TEST(CostModel, RangesTooSmallToCutStayWhole) {
  const WorkItem item = Line(WORK_SUM, 1, 4, 0);
  EXPECT_EQ(BalancedCut(item, 10, 11), 10u);
  EXPECT_EQ(BalancedCut(item, 10, 10), 10u);
  EXPECT_EQ(BalancedCut(item, 11, 10), 11u);
  EXPECT_EQ(RangeCost(item, 11, 10), 0.0);
  EXPECT_EQ(CutAtFraction(item, 10, 20, 0.0), 10u);
  EXPECT_EQ(CutAtFraction(item, 10, 20, 1.0), 20u);
  EXPECT_EQ(CutAtFraction(item, 10, 20, 7.0), 20u);
}

}  // namespace
}  // namespace aequa
