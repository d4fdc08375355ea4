#include "core/results_merge.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/crc32.h"
#include "core/work_queue.h"

namespace aequa {
namespace {

std::string Signed(const std::string& text) {
  char tag[16];
  std::snprintf(tag, sizeof tag, "%08X", static_cast<unsigned>(ResultCrc(text.data(), text.size())));
  return text + " S3:" + tag + " Ann\r\n";
}

WorkItem Line(const char* text) {
  WorkItem item;
  EXPECT_NE(ReadWorkLineText(text, item), 0u) << text;
  return item;
}

MergeInput Part(uint32_t index, const char* line, const char* range, std::string text) {
  MergeInput input;
  input.name = "part-" + std::to_string(index);
  input.text = std::move(text);
  input.hasPart = true;
  input.part = {index, 2, Line(line), Line(range)};
  return input;
}

bool Has(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

// Two Penta parts of 100..119 and two sum-collision parts of 1..2000, each complete.
struct MergeCase : ::testing::Test {
  std::vector<MergeInput> inputs{
      Part(1, "PENTA=5,100,110,2", "PENTA=5,100,120,2",
           "[Wed Jan 02 02:03:55 1980]\r\nUser: Ann, ann@example.org\r\n" +
               Signed("Penta2:      105^5 +        1^5 +        2^5 -        3^5") +
               Signed("(5,2) 100-104 done in 1 seconds (0 candidates)") +
               Signed("(5,2) 105-109 done in 1 seconds (1 candidates)")),
      Part(2, "PENTA=5,110,120,2", "PENTA=5,100,120,2",
           Signed("(5,2) 110-119 done in 1 seconds (0 candidates)")),
      Part(1, "ADD=3,1,1500,2,1", "ADD=3,1,2000,2,1",
           "(3,2,2) at 4104\r\n(3,2,2) at 1729\r\n(3,2,2) at 87539319\r\n"
           "(3,2,2) at 87539319\r\n" +
               Signed("(3,2) 1000 done in 1 seconds") +
               Signed("(3,2) 1500 done in 1 seconds")),
      Part(2, "ADD=3,1500,2000,2,1", "ADD=3,1,2000,2,1",
           "(3,2,2) at 3393000000\r\n" + Signed("(3,2) 2000 done in 1 seconds")),
  };
};

TEST_F(MergeCase, CompletePartsMergeIntoOneSortedFile) {
  const MergeOutcome out = MergeResults(inputs, {});
  EXPECT_TRUE(out.covered) << out.report;
  EXPECT_TRUE(out.tagsCheck) << out.report;
  EXPECT_TRUE(Has(out.report, "Covered: PENTA=5,100,120,2")) << out.report;
  EXPECT_TRUE(Has(out.report, "Covered: ADD=3,1,2000,2,1")) << out.report;
  // Results first, sorted by search and value; stamps and user lines are left out.
  EXPECT_EQ(out.merged.substr(0, out.merged.find("Penta2")),
            "(3,2,2) at 1729\r\n(3,2,2) at 4104\r\n(3,2,2) at 87539319\r\n"
            "(3,2,2) at 87539319\r\n(3,2,2) at 3393000000\r\n");
  // A number with three representations meets the tree twice: not a line given twice.
  EXPECT_FALSE(Has(out.report, "Given more than once")) << out.report;
  EXPECT_FALSE(Has(out.merged, "User:"));
  EXPECT_TRUE(Has(out.merged, Signed("(5,2) 110-119 done in 1 seconds (0 candidates)")));
}

TEST_F(MergeCase, FindsAGapATamperedLineAndADuplicatedPart) {
  // A gap: part 2 of the Penta range stopped at 114.
  inputs[1].text = Signed("(5,2) 110-114 done in 1 seconds (0 candidates)");
  MergeOutcome out = MergeResults(inputs, {});
  EXPECT_FALSE(out.covered);
  EXPECT_TRUE(out.tagsCheck);
  EXPECT_TRUE(Has(out.report, "Gaps in PENTA=5,100,120,2: 115-119")) << out.report;

  // A tampered done line claims the rest: it is listed, and covers nothing.
  std::string forged = Signed("(5,2) 115-119 done in 1 seconds (0 candidates)");
  forged[7] = '0';  // "(5,2) 105-119 ..."
  inputs[1].text += forged;
  out = MergeResults(inputs, {});
  EXPECT_FALSE(out.covered);
  EXPECT_FALSE(out.tagsCheck);
  EXPECT_TRUE(Has(out.report, "part-2, line 2: the tag does not match: (5,2) 105-119"))
      << out.report;
  EXPECT_FALSE(Has(out.merged, "105-119"));

  // A done line with its tag removed proves nothing either.
  inputs[1].text = "(5,2) 115-119 done in 1 seconds (0 candidates)\r\n" +
                   Signed("(5,2) 110-114 done in 1 seconds (0 candidates)");
  out = MergeResults(inputs, {});
  EXPECT_FALSE(out.tagsCheck);
  EXPECT_TRUE(Has(out.report, "part-2, line 1: a done line without its tag")) << out.report;

  // The first part given twice: named, its work counted as done twice, its lines once.
  inputs[1].text = Signed("(5,2) 110-119 done in 1 seconds (0 candidates)");
  MergeInput copy = inputs[0];
  copy.name = "copy-of-part-1";
  inputs.push_back(copy);
  out = MergeResults(inputs, {});
  EXPECT_TRUE(out.covered && out.tagsCheck) << out.report;
  EXPECT_TRUE(Has(out.report, "Part 1 of 2 (PENTA=5,100,110,2) is given twice: part-1 and "
                              "copy-of-part-1"))
      << out.report;
  EXPECT_TRUE(Has(out.report, "Done twice: PENTA type 2, 100-109 (again in copy-of-part-1)"))
      << out.report;
  EXPECT_TRUE(Has(out.report, "Given more than once: Penta2:")) << out.report;
  EXPECT_EQ(out.merged.find("Penta2:"), out.merged.rfind("Penta2:"));
}

TEST_F(MergeCase, RangesComeFromPartsOrFromTheCaller) {
  // Results files without their parts: the caller names the range; sum-collision done lines
  // then cannot be placed.
  for (MergeInput& input : inputs) input.hasPart = false;
  MergeOutcome out = MergeResults(inputs, {});
  EXPECT_FALSE(out.covered);
  EXPECT_TRUE(Has(out.report, "No part names its range")) << out.report;
  out = MergeResults(inputs, {Line("PENTA=5,100,120,2")});
  EXPECT_TRUE(out.covered) << out.report;
  EXPECT_TRUE(Has(out.report, "no part tells where this line's range starts")) << out.report;
  // A results file given with its range is a run of that range.
  out = MergeResults({inputs[3]}, {Line("ADD=3,1,2000,2,1")});
  EXPECT_TRUE(out.covered) << out.report;
}

}  // namespace
}  // namespace aequa
