#include "core/results_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "core/crc32.h"
#include "core/results_coverage.h"
#include "core/work_item.h"

namespace aequa {
namespace {

// A line as ReportResult signs it.
std::string Signed(const std::string& text, const std::string& name = "Ann Smith") {
  char tag[16];
  std::snprintf(tag, sizeof tag, "%08X", static_cast<unsigned>(ResultCrc(text.data(), text.size())));
  return text + " S3:" + tag + " " + name;
}

TEST(ResultsReader, ReadsEveryKindOfLine) {
  struct Case {
    std::string line;
    ResultsLineKind kind;
    SearchKey search;
    uint32_t from, to;
    bool fromLineStart;
    std::string position;
  };
  const Case cases[] = {
      {"[Wed Jan 02 02:03:55 1980]", ResultsLineKind::Stamp, {}, 0, 0, false, ""},
      {"User: Ann Smith, ann@example.org", ResultsLineKind::User, {}, 0, 0, false, ""},
      {"", ResultsLineKind::Blank, {}, 0, 0, false, ""},
      {Signed("(5,1,4) 86 done in 0 seconds"), ResultsLineKind::Done, {WORK_SUM, 5, 1}, 86, 87,
       false, ""},
      {Signed("(3,2) 1000 done in 12 seconds"), ResultsLineKind::Done, {WORK_ADD, 3, 2}, 0, 1000,
       true, ""},
      {Signed("(5,2) 100-299 done in 7 seconds (3 candidates)"), ResultsLineKind::Done,
       {WORK_PENTA, 5, 2}, 100, 300, false, ""},
      {"(5,1,4) 144=133+110+84+27", ResultsLineKind::Result, {WORK_SUM, 5, 1}, 0, 0, false, "144"},
      {"(4,2,2) 7*2+5=8+6+3*3", ResultsLineKind::Result, {WORK_SUM, 4, 2}, 0, 0, false, "7"},
      {"(3,2,2) at 1729", ResultsLineKind::Result, {WORK_ADD, 3, 0}, 0, 0, false, "1729"},
      {Signed("Penta2:      133^5 +       27^5 +       84^5 -      144^5"),
       ResultsLineKind::Result, {WORK_PENTA, 5, 2}, 0, 0, false, "133"},
      // Penta13's text ends with a blank before its tag.
      {Signed("Penta13:        1^5 +        2^5 +        3^5 +        4^5 "),
       ResultsLineKind::Result, {WORK_PENTA, 5, 13}, 0, 0, false, "1"},
      {"1729=12+1", ResultsLineKind::Result, {0, 0, 0}, 0, 0, false, "1729"},
      {"Found 2 sums of 1729 with 2 terms of power 3", ResultsLineKind::Message, {}, 0, 0, false,
       ""},
      {"Internal error 302 on 3,1,1000,2", ResultsLineKind::Message, {}, 0, 0, false, ""},
      // Near misses of the formats are messages, not results or done lines.
      {"(5,1,4) 86 done in 0 second", ResultsLineKind::Message, {}, 0, 0, false, ""},
      {"(5,2) 300-100 done in 7 seconds (3 candidates)", ResultsLineKind::Message, {}, 0, 0,
       false, ""},
      {"(5,1,4,2) 86 done in 0 seconds", ResultsLineKind::Message, {}, 0, 0, false, ""},
      {"(3,2,2) at 17x29", ResultsLineKind::Message, {}, 0, 0, false, ""},
  };
  for (const Case& c : cases) {
    const ResultsLine line = ReadResultsLine(c.line, 7);
    EXPECT_EQ(line.kind, c.kind) << c.line;
    EXPECT_TRUE(line.search == c.search) << c.line;
    EXPECT_EQ(line.from, c.from) << c.line;
    EXPECT_EQ(line.to, c.to) << c.line;
    EXPECT_EQ(line.fromLineStart, c.fromLineStart) << c.line;
    EXPECT_EQ(line.position, c.position) << c.line;
    EXPECT_EQ(line.number, 7u);
  }
}

TEST(ResultsReader, ChecksTagsAgainstTheSignedText) {
  EXPECT_TRUE(ReadResultsLine("abc S3:CA6598D0 Ann", 1).tagMatches);
  EXPECT_EQ(ReadResultsLine("abc S3:CA6598D0 Ann", 1).body, "abc");
  // No name at all (an empty user name) still signs.
  EXPECT_TRUE(ReadResultsLine(Signed("(5,1,4) 86 done in 0 seconds", ""), 1).tagMatches);
  const std::string good = Signed("(5,1,4) 86 done in 0 seconds");
  std::string changed = good;
  changed[8] = '7';  // 86 -> 76: the tag no longer matches
  const ResultsLine tampered = ReadResultsLine(changed, 1);
  EXPECT_TRUE(tampered.isSigned);
  EXPECT_FALSE(tampered.tagMatches);
  EXPECT_FALSE(tampered.Trusted());
  EXPECT_EQ(tampered.kind, ResultsLineKind::Done);
  // A done line with its tag cut off is read but not trusted.
  const ResultsLine bare = ReadResultsLine("(5,1,4) 86 done in 0 seconds", 1);
  EXPECT_FALSE(bare.isSigned);
  EXPECT_FALSE(bare.Trusted());
  // Something that only looks like a tag (lower-case digits, too short) is no tag.
  EXPECT_FALSE(ReadResultsLine("abc S3:ca6598d0 Ann", 1).isSigned);
  EXPECT_FALSE(ReadResultsLine("abc S3:CA6598D", 1).isSigned);
}

TEST(ResultsReader, SplitsCrLfAndLfLinesAndNumbersThem) {
  const auto lines = ReadResultsText("a\r\nb\n\r\nlast");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1].text, "b");
  EXPECT_EQ(lines[2].kind, ResultsLineKind::Blank);
  EXPECT_EQ(lines[3].text, "last");
  EXPECT_EQ(lines[3].number, 4u);
}

TEST(ResultsReader, SortsResultsBySearchThenValue) {
  std::vector<ResultsLine> lines;
  for (const char* text : {"(3,2,2) at 4104", "(3,2,2) at 1729", "(3,2,3) at 251",
                           "(3,2,2) at 13832", "(5,1,4) 144=133+110+84+27"}) {
    lines.push_back(ReadResultsLine(text, 1));
  }
  std::sort(lines.begin(), lines.end(), ResultOrder);
  std::vector<std::string> order;
  for (const auto& l : lines) order.push_back(l.text);
  EXPECT_EQ(order, (std::vector<std::string>{"(5,1,4) 144=133+110+84+27", "(3,2,3) at 251",
                                             "(3,2,2) at 1729", "(3,2,2) at 4104",
                                             "(3,2,2) at 13832"}));
}

TEST(StretchSet, JoinsAndReportsOverlapsAndHoles) {
  StretchSet set;
  EXPECT_TRUE(set.Add(10, 20).empty());
  EXPECT_TRUE(set.Add(20, 25).empty());  // touching: joined, not overlapping
  EXPECT_TRUE(set.Add(30, 40).empty());
  EXPECT_EQ(set.Stretches(), (std::vector<Stretch>{{10, 25}, {30, 40}}));
  EXPECT_EQ(set.Add(22, 33), (std::vector<Stretch>{{22, 25}, {30, 33}}));
  EXPECT_EQ(set.Stretches(), (std::vector<Stretch>{{10, 40}}));
  EXPECT_EQ(set.Missing(5, 45), (std::vector<Stretch>{{5, 10}, {40, 45}}));
  set.Remove(15, 17);
  EXPECT_EQ(set.Missing(10, 40), (std::vector<Stretch>{{15, 17}}));
  EXPECT_EQ(StretchesText(set.Missing(0, 50)), "0-9, 15-16, 40-49");
  EXPECT_EQ(StretchesText({{7, 8}}), "7");
}

TEST(Coverage, SumCollisionLinesCoverFromTheirPartsStart) {
  WorkItem part;
  part.kind = WORK_ADD;
  part.power = 3;
  part.start = 500;
  part.end = 1000;
  part.terms = 2;
  const auto lines = ReadResultsText(Signed("(3,2) 700 done in 1 seconds") + "\r\n" +
                                     Signed("(3,2) 1000 done in 1 seconds") + "\r\n");
  Coverage withPart;
  std::vector<DoneTwice> twice;
  withPart.AddFile(lines, &part, "a", twice);
  EXPECT_TRUE(twice.empty()) << "a later bound repeats the start of the earlier one";
  WorkItem whole = part;
  whole.start = 1;
  EXPECT_EQ(withPart.Gaps(whole), (std::vector<Stretch>{{1, 500}}));
  Coverage withoutPart;
  withoutPart.AddFile(lines, nullptr, "a", twice);
  EXPECT_TRUE(withoutPart.Done().empty());
  EXPECT_EQ(withoutPart.BoundsOnly().at({WORK_ADD, 3, 2}), 1000u);
  // The same file again: all of it is done twice.
  withPart.AddFile(lines, &part, "b", twice);
  ASSERT_EQ(twice.size(), 1u);
  EXPECT_EQ(twice[0].stretch, (Stretch{500, 1000}));
  EXPECT_EQ(twice[0].source, "b");
}

}  // namespace
}  // namespace aequa
