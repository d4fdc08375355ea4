// The sum-collision search and the representation command through the program itself.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <signal.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The arguments for a run in `dir`, at normal priority (an idle one stalls on a busy machine).
std::vector<std::string> In(const test::TempDir& dir, std::vector<std::string> args) {
  if (!test::FileExists(dir.file("aequo.ini"))) test::WriteFile(dir.file("aequo.ini"), "Priority=9\r\nWorkers=1\r\n");
  args.insert(args.begin(), {"--dir", dir.path()});
  return args;
}

std::string DecimalOf(unsigned __int128 value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  } while (value != 0);
  return digits;
}

TEST(SumsCommandLine, ComputeRunsAnAddRangeToItsEnd) {
  test::TempDir dir(false);
  const auto run = test::RunAequa(In(dir, {"compute", "2", "1", "10", "2"}));
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_TRUE(Contains(run.out, "Using faster AVL...\nRange: 1-100 (1 done in 0 seconds)\n"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "(2,2,1) at 25\n"));
  EXPECT_FALSE(Contains(run.out, " at 50"));
  EXPECT_TRUE(Contains(run.out, "(2,2) 10 done in 0 seconds S3:"));
  EXPECT_TRUE(Contains(run.out, "Computation finished."));
  EXPECT_EQ(test::ReadFile(dir.file("worksum.ini")), "");
  EXPECT_FALSE(test::FileExists(dir.file("A2-2-1-10")));
  EXPECT_TRUE(Contains(test::ReadFile(dir.file("SOLUTION.TXT")), "(2,2,1) at 25\r\n"));
}

TEST(SumsCommandLine, ComputeStoppedByInterruptResumesFromItsCheckpoint) {
  test::TempDir dir(false);
  test::BackgroundAequa first(In(dir, {"compute", "3", "1", "1000000", "2", "--memory", "1"}));
  ASSERT_TRUE(first.WaitForOutput("Range: "));
  first.Signal(SIGINT);
  const auto stopped = first.Wait();
  EXPECT_EQ(stopped.status, 4);  // halted with work left
  EXPECT_TRUE(Contains(stopped.out, "Execution halted.")) << stopped.out;
  EXPECT_TRUE(Contains(test::ReadFile(dir.file("worksum.ini")), "ADD=3,"));
  const std::string saved = test::ReadFile(dir.file("A3-2-1-1000000"));
  ASSERT_EQ(saved.size(), 44u);
  EXPECT_EQ(saved[0], 6);
  unsigned __int128 low = 0;
  for (int i = 35; i >= 20; --i) low = (low << 8) | static_cast<unsigned char>(saved[i]);

  // The next start continues with the saved window.
  test::BackgroundAequa second(In(dir, {"continue"}));
  EXPECT_TRUE(second.WaitForOutput("Range: " + DecimalOf(low) + "-")) << second.Output();
  second.Signal(SIGINT);
  EXPECT_EQ(second.Wait().status, 4);
}

std::multiset<std::string> CollisionLines(const std::string& file) {
  std::multiset<std::string> lines;
  std::istringstream in(file);
  for (std::string line; std::getline(in, line);) {
    if (line.find(" at ") != std::string::npos) lines.insert(line);
  }
  return lines;
}

// Every collision once, whatever the pool: a pool of 1 MB overflows many times on the way,
// and writes the lines of a pool that never fills, each as often.
TEST(SumsCommandLine, ComputeWritesEachCollisionOnceWhateverThePool) {
  test::TempDir small(false), large(false);
  test::WriteFile(small.file("aequo.ini"), "Priority=9\r\nWorkers=1\r\nSumEngine=tree\r\n");
  const auto windows = test::RunAequa(In(small, {"compute", "3", "1", "2000", "2", "--memory", "1"}));
  ASSERT_EQ(windows.status, 0);
  ASSERT_EQ(test::RunAequa(In(large, {"compute", "3", "1", "2000", "2", "--memory", "64"})).status,
            0);
  size_t ranges = 0;
  for (size_t at = windows.out.find("Range: "); at != std::string::npos;
       at = windows.out.find("Range: ", at + 1)) {
    ++ranges;
  }
  EXPECT_GT(ranges, 2u);
  const auto lines = CollisionLines(test::ReadFile(small.file("SOLUTION.TXT")));
  EXPECT_GT(lines.size(), 4000u);
  EXPECT_EQ(lines, CollisionLines(test::ReadFile(large.file("SOLUTION.TXT"))));
}

// A checkpoint that claims more than its line searched is set aside and the line is searched
// from its start: the run writes what a run without it writes.
TEST(SumsCommandLine, ACheckpointThatClaimsTooMuchIsSetAside) {
  test::TempDir clean(false);
  ASSERT_EQ(test::RunAequa(In(clean, {"compute", "3", "1", "300", "2"})).status, 0);
  const auto expected = CollisionLines(test::ReadFile(clean.file("SOLUTION.TXT")));
  auto words = [](std::initializer_list<uint32_t> list) {
    std::string bytes;
    for (uint32_t w : list) {
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((w >> (8 * i)) & 0xFF));
    }
    return bytes;
  };
  const std::string files[] = {
      words({5, 3, 2, 1, 0, 0, 1, 0, 0}),          // window low 2^32, past 300^3
      words({5, 3, 2, 200, 0, 8000000, 0, 0, 0}),  // left by a range started at 200
      words({6, 3, 2, 1, 0, 8000000, 0, 0, 0, 300, 12345}),  // a checksum that fails
  };
  for (const std::string& bytes : files) {
    test::TempDir dir(false);
    test::WriteFile(dir.file("A3-2"), bytes);
    const auto run = test::RunAequa(In(dir, {"compute", "3", "1", "300", "2"}));
    EXPECT_TRUE(Contains(run.out, "The checkpoint A3-2 ")) << run.out;
    EXPECT_EQ(test::ReadFile(dir.file("A3-2.BAD")), bytes);
    EXPECT_EQ(CollisionLines(test::ReadFile(dir.file("SOLUTION.TXT"))), expected);
  }
}

TEST(SumsCommandLine, SumListsRepresentationsAndChecksItsArguments) {
  test::TempDir dir(false);
  const auto run = test::RunAequa(In(dir, {"sum", "3", "2", "1729"}));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1729=12+1\n1729=10+9\nFound 2 sums of 1729 with 2 terms of power 3\n");
  EXPECT_EQ(test::ReadFile(dir.file("worksum.ini")), "");

  const auto badPower = test::RunAequa(In(dir, {"sum", "1", "2", "9"}));
  EXPECT_EQ(badPower.status, 2);
  EXPECT_TRUE(Contains(badPower.err, "Power: Please enter an integer between 2 and 256."))
      << badPower.err;
  const auto badTerms = test::RunAequa(In(dir, {"sum", "2", "257", "9"}));
  EXPECT_EQ(badTerms.status, 2);
  EXPECT_TRUE(Contains(badTerms.err, "Terms:"));
  const auto longNumber = test::RunAequa(In(dir, {"sum", "2", "2", std::string(129, '1')}));
  EXPECT_EQ(longNumber.status, 2);
  EXPECT_TRUE(Contains(longNumber.err, "Sum: Please enter no more than 128 characters."))
      << longNumber.err;
  // A number whose table of powers the search could not build is refused where it is typed.
  const auto tooLarge = test::RunAequa(In(dir, {"sum", "2", "2", "99999999999999999999"}));
  EXPECT_EQ(tooLarge.status, 2);
  EXPECT_TRUE(Contains(tooLarge.err, "Sum: Please enter a number below 4503599627370496."))
      << tooLarge.err;
  EXPECT_TRUE(Contains(test::RunAequa({"--help"}).out, "sum POWER TERMS NUMBER"));
}

TEST(SumsCommandLine, InterruptedSumStillWritesTheCountLine) {
  // 4641000^3: its one-term representation comes at once, the rest of the search takes hours.
  const std::string cube = "99961946721000000000";
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    test::TempDir dir(false);
    test::BackgroundAequa run(In(dir, {"sum", "3", "3", cube}));
    ASSERT_TRUE(run.WaitForOutput(cube + "=4641000\n"));
    run.Signal(sig);
    const auto result = run.Wait();
    EXPECT_EQ(result.status, 0) << sig;
    EXPECT_TRUE(Contains(result.out, "Break at 3,0,3: -")) << result.out;
    EXPECT_TRUE(Contains(result.out, "Stopped after ")) << result.out;
    EXPECT_TRUE(Contains(test::ReadFile(dir.file("SOLUTION.TXT")),
                         " sums of " + cube + " with 3 terms of power 3\r\n"));
    EXPECT_FALSE(Contains(result.out, "Found ")) << result.out;
  }
}

}  // namespace
}  // namespace aequa
#endif  // _WIN32
