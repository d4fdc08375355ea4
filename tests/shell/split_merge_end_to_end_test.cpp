// The coordinator's commands end to end: a range of each search cut by `split`, every part
// run in its own data directory, and `merge` giving the results of one uninterrupted run;
// `results` and `merge` finding what was tampered with or left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/results_reader.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

std::vector<std::string> In(const std::string& dir, std::vector<std::string> args) {
  const std::string settings = dir + "/aequo.ini";
  if (!test::FileExists(settings)) WriteFile(settings, "Priority=9\r\n");
  args.insert(args.begin(), {"--dir", dir});
  return args;
}

bool Has(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

// The result lines of a results file, without their tags and names.
std::multiset<std::string> Results(const std::string& text) {
  std::multiset<std::string> results;
  for (const ResultsLine& line : ReadResultsText(text)) {
    if (line.kind == ResultsLineKind::Result) results.insert(line.body);
  }
  return results;
}

std::vector<std::string> PartDirs(const std::string& base) {
  std::vector<std::string> dirs;
  for (const auto& entry : fs::directory_iterator(base)) {
    if (entry.is_directory()) dirs.push_back(entry.path().string());
  }
  std::sort(dirs.begin(), dirs.end());
  return dirs;
}

// Each range finds results in more than one part.
const std::vector<std::vector<std::string>> kRanges = {
    {"new", "4", "2", "300", "2", "2", "--mode", "exact"},  // 59^4+158^4 = 133^4+134^4 and more
    {"compute", "3", "1", "3000", "2"},                      // the taxicab numbers below 3000^3
    {"penta", "5", "125", "140", "2"},                       // the identity at a = 133
};

TEST(SplitAndMerge, PartsMergeIntoTheResultsOfOneRun) {
  for (const auto& range : kRanges) {
    test::TempDir whole(false), parts(false);
    const auto one = test::RunAequa(In(whole.path(), range));
    ASSERT_EQ(one.status, 0) << one.err;
    const std::multiset<std::string> expected = Results(ReadFile(whole.file("SOLUTION.TXT")));
    ASSERT_GE(expected.size(), 1u) << range[0];

    std::vector<std::string> split = {"split"};
    split.insert(split.end(), range.begin(), range.end());
    split.insert(split.end(), {"--parts", "3", "--into", parts.path() + "/p"});
    const auto cut = test::RunAequa(split);
    ASSERT_EQ(cut.status, 0) << cut.err;
    const std::vector<std::string> dirs = PartDirs(parts.path() + "/p");
    ASSERT_EQ(dirs.size(), 3u);
    EXPECT_TRUE(Has(ReadFile(dirs[0] + "/aequo.ini"), "Priority=9\r\n"));
    for (const std::string& dir : dirs) {
      const auto run = test::RunAequa({"--dir", dir, "continue"});
      ASSERT_EQ(run.status, 0) << run.err;
    }
    std::vector<std::string> merge = {"merge", "--output", parts.file("MERGED.TXT")};
    merge.insert(merge.end(), dirs.begin(), dirs.end());
    const auto merged = test::RunAequa(merge);
    EXPECT_EQ(merged.status, 0) << merged.out << merged.err;
    EXPECT_TRUE(Has(merged.out, "Every range is covered and every tag checks.")) << merged.out;
    EXPECT_EQ(Results(ReadFile(parts.file("MERGED.TXT"))), expected) << range[0];
  }
}

TEST(SplitAndMerge, MergeFailsOnAGapATamperedLineOrMissingParts) {
  test::TempDir base(false);
  const std::string into = base.path() + "/p";
  ASSERT_EQ(test::RunAequa({"split", "penta", "5", "125", "140", "2", "--parts", "2", "--into",
                            into}).status,
            0);
  const std::vector<std::string> dirs = PartDirs(into);
  ASSERT_EQ(dirs.size(), 2u);
  for (const std::string& dir : dirs) ASSERT_EQ(test::RunAequa({"--dir", dir, "continue"}).status, 0);
  const std::string output = base.file("MERGED.TXT");

  // One part alone leaves the other's units as a gap.
  auto run = test::RunAequa({"merge", "--output", output, dirs[0]});
  EXPECT_EQ(run.status, 6);
  EXPECT_TRUE(Has(run.out, "Gaps in PENTA=5,125,140,2: ")) << run.out;

  // A forged count of candidates in the second part's done line.
  const std::string results = dirs[1] + "/SOLUTION.TXT";
  std::string text = ReadFile(results);
  const size_t at = text.find(" candidates)");
  ASSERT_NE(at, std::string::npos);
  text[at - 1] = text[at - 1] == '7' ? '8' : '7';
  WriteFile(results, text);
  run = test::RunAequa({"merge", "--output", output, dirs[0], dirs[1]});
  EXPECT_EQ(run.status, 6);
  EXPECT_TRUE(Has(run.out, "the tag does not match")) << run.out;
  EXPECT_TRUE(Has(run.out, "Gaps in PENTA=5,125,140,2: ")) << run.out;

  // The merged file is never written over an input.
  run = test::RunAequa({"merge", "--output", results, dirs[0], dirs[1]});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(ReadFile(results), text);
}

TEST(SplitAndMerge, SplitWritesWorkUnitsAndQueueLinesAndOverwritesNothing) {
  test::TempDir base(false);
  const std::string data = base.path() + "/data";
  ASSERT_EQ(test::RunAequa(In(data, {"penta", "5", "1000", "2000", "0", "--queue-only"})).status, 0);
  const auto units = test::RunAequa(
      In(data, {"split", "--line", "1", "--cpu-time", "300", "--unit-ms", "2000", "--boinc",
                "--into", base.path() + "/wu"}));
  ASSERT_EQ(units.status, 0) << units.err;
  EXPECT_TRUE(Has(units.out, "7 parts of PENTA=5,1000,2000,0")) << units.out;
  EXPECT_TRUE(Has(ReadFile(base.path() + "/wu/part-0007.in"), "Range=PENTA=5,1000,2000,0\r\n"));

  // A second split into the same place writes nothing.
  const std::string before = ReadFile(base.path() + "/wu/part-0001.in");
  const auto again = test::RunAequa(
      In(data, {"split", "--line", "1", "--parts", "2", "--boinc", "--into", base.path() + "/wu"}));
  EXPECT_EQ(again.status, 1);
  EXPECT_TRUE(Has(again.err, "exists already")) << again.err;
  EXPECT_EQ(ReadFile(base.path() + "/wu/part-0001.in"), before);

  // What split is given is checked as the range commands check it.
  const struct {
    std::vector<std::string> args;
    const char* message;
  } refused[] = {
      {{"split", "new", "5", "80", "90", "5", "4", "--parts", "2", "--into", "x"}, "Left terms"},
      {{"split", "penta", "5", "1", "9", "0", "--mode", "best", "--parts", "2", "--into", "x"},
       "--mode does not apply"},
      {{"split", "penta", "5", "1", "9", "0", "--into", "x"}, "either --parts or --cpu-time"},
      {{"split", "penta", "5", "1", "9", "0", "--parts", "0", "--into", "x"}, "Parts:"},
      {{"split", "--line", "2", "--parts", "2", "--into", "x"}, "has no line 2"},
  };
  for (const auto& r : refused) {
    const auto run = test::RunAequa(In(data, r.args));
    EXPECT_NE(run.status, 0) << r.message;
    EXPECT_TRUE(Has(run.err, r.message)) << run.err;
  }
  EXPECT_FALSE(test::FileExists(data + "/x"));
}

TEST(Results, ListsResultsAndFindsATamperedLineAndAGap) {
  test::TempDir dir(false);
  ASSERT_EQ(test::RunAequa(In(dir.path(), {"new", "5", "140", "150", "1", "4", "--mode", "exact"}))
                .status,
            0);
  auto run = test::RunAequa(In(dir.path(), {"results"}));
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(Has(run.out, "(5,1,4) 144=133+110+84+27\n")) << run.out;
  EXPECT_FALSE(Has(run.out, "done in")) << "done lines only with --all";
  EXPECT_TRUE(Has(run.out, "SUM power 5, 1 left term: 140-149\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "Every tag checks.")) << run.out;
  EXPECT_TRUE(Has(test::RunAequa(In(dir.path(), {"results", "--all"})).out, "146 done in"));

  // The done line of 145 is lost and the one of 146 made to say 147.
  std::string text = ReadFile(dir.file("SOLUTION.TXT"));
  const size_t lost = text.find("(5,1,4) 145 done");
  ASSERT_NE(lost, std::string::npos);
  text.erase(lost, text.find('\n', lost) + 1 - lost);
  const size_t forged = text.find("(5,1,4) 146 done");
  text[forged + 10] = '7';
  WriteFile(dir.file("SOLUTION.TXT"), text);
  run = test::RunAequa(In(dir.path(), {"results"}));
  EXPECT_EQ(run.status, 6);
  EXPECT_TRUE(Has(run.out, ": the tag does not match: (5,1,4) 147 done")) << run.out;
  EXPECT_TRUE(Has(run.out, "SUM power 5, 1 left term: 140-144, 147-149\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "Gaps (neither done nor queued):\n  SUM power 5, 1 left term: 145-146\n"))
      << run.out;
  EXPECT_TRUE(Has(run.out, "1 line fails its tag check.")) << run.out;
}

}  // namespace
}  // namespace aequa
